// Refreshing the account page with 200 sub-accounts and filling the
// statement grid with 5,000 lines, on the GUI thread, offscreen: each should
// take well under 100 ms. Prints the times and the longest single stretch
// the event loop was blocked.

#include "AccountTotals.h"
#include "NotificationRouter.h"
#include "SessionBank.h"
#include "SharedInstances.h"
#include "StatementModel.h"
#include "SubAccountModel.h"
#include "TAccount.h"
#include "TAccountFm.h"
#include "TAcctDetailfm.h"
#include "TCurrency.h"
#include "TCurrencyList.h"
#include "TFrameAcct.h"
#include "TInCom.h"
#include "TMainfm.h"
#include "TMarketList.h"
#include "TSettings.h"
#include "TUser.h"
#include "platform/ProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const char *kCodes[] = {"01", "12", "13", "14", "27", "38"};

class BenchBank : public SessionBank
{
public:
    void LoadSubAccounts(TAccount &card) override
    {
        for (int i = 0; i < 200; ++i) {
            auto *s = card.SubAccounts.Emplace(card.Settings, card.User);
            s->Currency = CurrencyList->FindByCode(QLatin1String(kCodes[i % 6]));
            s->ChaoHui = i % 2 ? QStringLiteral("1") : QStringLiteral("0");
            s->UseBalance = 1000 + i;
            s->Balance = 2000 + i;
            s->SaveType = DemandSaveType();
            s->AccSign = QString::number(i);
        }
    }
    void LoadStatement(TInCom &q) override
    {
        for (int i = 0; i < 5000; ++i) {
            auto *l = q.Details.Emplace();
            l->CurrencyCode = QStringLiteral("14");
            l->ChangeDate = q.BeginDate + i % 30;
            l->ChangeAmount = Fixed4::fromInt(i % 2 ? -i : i);
            l->Balance = Fixed4::fromInt(100000 + i);
            l->Memo = QStringLiteral("外汇买卖");
        }
    }
};

struct World {
    QTemporaryDir dir;
    SharedInstances::Scope shared;
    BenchBank bank;
    TMainfm *window = nullptr;
    TAccountFm *page = nullptr;
    World()
    {
        setProgramDir(dir.path());
        CurrencyList->Build({QStringLiteral("01=人民币|CNY|RENMINBI||0"), QStringLiteral("12=英镑|GBP|POUND||1"),
                             QStringLiteral("13=港币|HKD|HKD||1"), QStringLiteral("14=美元|USD|USD||1"),
                             QStringLiteral("27=日元|JPY|YEN||1"), QStringLiteral("38=欧元|EUR|EURO||1")});
        CurrentUser = std::make_unique<TUser>(Settings);
        CurrentAccount = CurrentUser->Accounts.Emplace(Settings, CurrentUser.get());
        CurrentAccount->AccountNo = QStringLiteral("6222020200012345678");
        SessionBank::Install(&bank);
        TMainfm::Ext().confirmExit = [](QWidget *) { return true; };
        window = new TMainfm;
        page = new TAccountFm(window);
        window->AttachAccountPage(page);
        window->resize(1280, 900);
        window->show();
        QCoreApplication::processEvents();
        for (int i = 0; i < 6; ++i) {
            auto *m = BankMarketList->Emplace();
            m->Currency1 = CurrencyList->FindByCode(QLatin1String(kCodes[i]));
            m->Currency2 = CurrencyList->FindByCode(QStringLiteral("01"));
            m->BuyPrice0 = 1 + i;
            m->SellPrice0 = 1.1 + i;
        }
        page->Frame->SetTarget(QStringLiteral("01"));
    }
    ~World()
    {
        delete window;
        SessionBank::Install(nullptr);
        TMainfm::Ext() = {};
        CurrentAccount = nullptr;
    }
};

World *g_world = nullptr;

// One account refresh as the "查询" button starts it: fetch, swap, the
// posted notice, the frame's totals and grid, painted.
void BM_AccountPageRefresh(benchmark::State &state)
{
    World &w = *g_world;
    for (auto _ : state) {
        w.window->Router->SendToMain(MsgAccountChanged, 0);
        QCoreApplication::processEvents();
        w.page->Frame->tlAcct->viewport()->repaint();
        benchmark::DoNotOptimize(w.page->Frame->Model->rowCount());
    }
    state.counters["rows"] = w.page->Frame->Model->rowCount();
}
BENCHMARK(BM_AccountPageRefresh)->Unit(benchmark::kMillisecond);

void BM_StatementFill(benchmark::State &state)
{
    World &w = *g_world;
    TAcctDetailfm dlg(*CurrentAccount->SubAccounts.Item(0), w.window);
    dlg.resize(900, 600);
    dlg.show();
    for (auto _ : state) {
        dlg.Query();
        dlg.Grid->viewport()->repaint();
        benchmark::DoNotOptimize(dlg.Model->rowCount());
    }
    state.counters["rows"] = dlg.Model->rowCount();
}
BENCHMARK(BM_StatementFill)->Unit(benchmark::kMillisecond);

// The longest stretch the event loop is blocked while the window runs its
// timers (clock, strip, keep-alive check) for a second.
void BM_LongestEventLoopBlock(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer total, gap;
        total.start();
        gap.start();
        qint64 longest = 0;
        while (total.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = std::max(longest, gap.restart());
        }
        state.counters["longest_block_ms"] = double(longest);
    }
}
BENCHMARK(BM_LongestEventLoopBlock)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("OSTREL_UNATTENDED", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_world = new World;
    benchmark::RunSpecifiedBenchmarks();
    delete g_world;
    benchmark::Shutdown();
    return 0;
}
