#include "AccountRefresh.h"

#include "ForexErrors.h"
#include "ModelOps.h"
#include "SessionBank.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TSettings.h"

#include <exception>
#include <memory>

namespace AccountRefresh {

QString ErrorText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EForexError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QStringLiteral("未知错误");
}

bool FetchSubAccounts(TAccount &card, SessionBank &bank, QString *error)
{
    try {
        // A stand-in card account with the same identity receives the new
        // sub-accounts; the single trade records already exist, so it owns
        // none of them and frees only what it holds.
        TAccount fresh(card.Settings, card.User);
        fresh.ForexEnabled = card.ForexEnabled;
        fresh.AccountNo = card.AccountNo;
        fresh.AccountType = card.AccountType;
        fresh.AccountStatus = card.AccountStatus;
        fresh.Currency = card.Currency;
        fresh.FlagCard = card.FlagCard;
        fresh.PdtCode = card.PdtCode;
        fresh.BranchId = card.BranchId;
        fresh.AccSign = card.AccSign;
        bank.LoadSubAccounts(fresh);
        card.SubAccounts.Swap(fresh.SubAccounts);
        if (&card == CurrentAccount)
            OnlyDemandDeposits = IsOnlyDemand(card);
        return true;
    } catch (...) {
        if (error)
            *error = ErrorText(std::current_exception());
        return false;
    }
}

AutomaticRequest::AutomaticRequest(TSettings *settings) : m_settings(settings)
{
    if (m_settings)
        m_tick = m_settings->LastRequestTick;
}

AutomaticRequest::~AutomaticRequest()
{
    if (m_settings)
        m_settings->LastRequestTick = m_tick;
}

} // namespace AccountRefresh
