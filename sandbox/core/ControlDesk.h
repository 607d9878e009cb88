#pragma once

#include "BankState.h"
#include "HttpExchange.h"

class SandboxBank;

// The control path under /__sandbox/, for tests and the demo script. Every
// answer is JSON: {"ok": true, ...} or {"ok": false, "error": "..."}.
//
//   info                          addresses of the bank, demo notes, customers
//   reset[?clock=yyyyMMddHHmmss&frozen=1]
//   clock[?set=yyyyMMddHHmmss][&frozen=0|1][&advance=SECONDS]
//   order?contract=N&action=execute[&rate=R] | action=expire
//   fault?txcode=T&kind=error|html|malformed|empty|delay|drop
//         [&text=LINE][&page=interval|timeout|code|unavailable|server]
//         [&delay_ms=N][&perform=0|1][&count=N]     (txcode also LOGINPAGE, PICTURE)
//   log[?since=SEQ]               the request log
//   code                          the verification code of the latest login page
//   rate?base=B&quote=Q&bid=X&ask=Y
//   config[?quote_valid_ms=..][&session_idle_s=..][&submit_interval_ms=..]
//         [&statement_page_size=..][&deal_page_size=..]
//   state?login=N | user=ID       a customer's accounts and contracts
//   stop                          ends the server after answering
class ControlDesk
{
public:
    static HttpReply serve(SandboxBank &bank, BankState &state, const HttpRequestView &request);
};
