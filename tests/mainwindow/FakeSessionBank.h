#pragma once
// A session bank for the tests: records every call, hands out prepared
// sub-accounts and statement lines, fails on request, and can behave like
// the real transport by moving LastRequestTick.

#include "ForexErrors.h"
#include "SessionBank.h"
#include "TAccount.h"
#include "TCurrencyList.h"
#include "TInCom.h"
#include "TSettings.h"
#include "SharedInstances.h"

#include <QStringList>
#include <functional>
#include <vector>

struct FakeSub {
    const char *code;
    const char *chaoHui;
    double usable;
    double total;
    QString saveType = DemandSaveType();
};

class FakeSessionBank : public SessionBank
{
public:
    QStringList calls;
    std::vector<FakeSub> subs;
    bool failNext = false;          // the next bank call raises EResponseError
    QString failText = QStringLiteral("通讯故障，请稍后再试");
    bool busy = false;
    bool pageUnavailable = false;
    bool touchesRequestTick = true; // like the transport: every request moves it
    uint32_t tickOnRequest = 0;     // the tick a request sets
    int statementLines = 0;
    std::function<void()> duringFetch; // runs inside LoadSubAccounts

    void maybeFail()
    {
        if (touchesRequestTick && Settings)
            Settings->LastRequestTick = tickOnRequest;
        if (failNext) {
            failNext = false;
            throw EResponseError(failText);
        }
    }

    void LoadSubAccounts(TAccount &card) override
    {
        calls << QStringLiteral("LoadSubAccounts");
        if (duringFetch)
            duringFetch();
        maybeFail();
        for (const FakeSub &f : subs) {
            auto *s = card.SubAccounts.Emplace(card.Settings, card.User);
            s->Currency = CurrencyList->FindByCode(QLatin1String(f.code));
            s->ChaoHui = QLatin1String(f.chaoHui);
            s->UseBalance = f.usable;
            s->Balance = f.total;
            s->SaveType = f.saveType;
            s->AccountNo = card.AccountNo + QLatin1Char('-') + QLatin1String(f.code) + QLatin1String(f.chaoHui);
            s->AccSign = QLatin1String(f.code) + QLatin1String(f.chaoHui);
            s->BranchId = card.BranchId;
        }
    }
    void UpdateSubAccounts(TAccount &) override
    {
        calls << QStringLiteral("UpdateSubAccounts");
        maybeFail();
    }
    void LoadBalance(TAccount &a) override
    {
        calls << QStringLiteral("LoadBalance");
        maybeFail();
        a.Balance = 100;
        a.UseBalance = 0;
    }
    void LoadStatement(TInCom &q) override
    {
        calls << QStringLiteral("LoadStatement");
        maybeFail();
        for (int i = 0; i < statementLines; ++i) {
            auto *l = q.Details.Emplace();
            l->CurrencyCode = q.Account && q.Account->Currency ? q.Account->Currency->Code : QString();
            l->ChangeDate = q.BeginDate + (i % 28);
            l->ChangeAmount = Fixed4::fromInt(i % 2 ? -(i + 1) : i + 1);
            l->Balance = Fixed4::fromInt(10000 + i);
            l->Memo = QStringLiteral("外汇买卖");
        }
    }
    void KeepAliveOrders(TAccount &) override
    {
        calls << QStringLiteral("KeepAliveOrders");
        if (failNext) {
            failNext = false;
            throw EResponseError(failText);
        }
    }
    void KeepAliveSubAccounts(TAccount &) override { calls << QStringLiteral("KeepAliveSubAccounts"); }
    bool IsPageUnavailable() const override { return pageUnavailable; }
    bool Busy() const override { return busy; }
};
