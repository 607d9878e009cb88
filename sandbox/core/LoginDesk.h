#pragma once

#include "BankPages.h"
#include "BankState.h"
#include "HttpExchange.h"
#include "RawQuery.h"
#include "XmlAnswer.h"

// Thrown where the bank answers with one of its HTML pages.
struct BankPageRefusal
{
    BankPages::Kind kind;
};

// The login: the page with its script, the verification picture, and the
// login transaction 100101 that checks what the page produced.
class LoginDesk
{
public:
    static HttpReply page(BankState &state, const HttpRequestView &request);
    static HttpReply picture(BankState &state, const HttpRequestView &request);
    // Throws BankRefusal or BankPageRefusal.
    static XmlAnswer login(BankState &state, const RawQuery &query, const HttpRequestView &request);

    static QByteArray sessionCookie(const Session &session);
};
