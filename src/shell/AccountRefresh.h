#pragma once
// Refreshing the current card account's sub-accounts from the bank.

#include <QString>
#include <cstdint>
#include <exception>

class TAccount;
class TSettings;
class SessionBank;

namespace AccountRefresh {

// Fetches the sub-accounts into a new list and, only when the fetch
// succeeded, swaps it in for the old one (which is then freed) and sets
// OnlyDemandDeposits. A failed fetch leaves the sub-accounts as they were
// and returns false with the error text in *error. Raises nothing.
bool FetchSubAccounts(TAccount &cardAccount, SessionBank &bank, QString *error);

// The error text for any exception escaping a bank call.
QString ErrorText(const std::exception_ptr &error);

// A refresh the client starts by itself (timers) is not the customer's
// activity: while this lives, bank requests may move LastRequestTick, and
// it is put back when this ends, so the idle exit still comes.
class AutomaticRequest
{
public:
    explicit AutomaticRequest(TSettings *settings);
    ~AutomaticRequest();
    AutomaticRequest(const AutomaticRequest &) = delete;
    AutomaticRequest &operator=(const AutomaticRequest &) = delete;

private:
    TSettings *m_settings;
    uint32_t m_tick = 0;
};

} // namespace AccountRefresh
