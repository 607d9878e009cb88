// The main window's and account views' core without windows: keep-alive and
// idle exit, account totals, the grids' models, the notification router,
// the account refresh.

#include "AccountRefresh.h"
#include "AccountTexts.h"
#include "AccountTotals.h"
#include "CustomQuoteModel.h"
#include "MainTimings.h"
#include "MainWindowLogic.h"
#include "ModelOps.h"
#include "NotificationRouter.h"
#include "OtherAccountModel.h"
#include "QuoteLayouts.h"
#include "SessionKeeper.h"
#include "StatementModel.h"
#include "SubAccountModel.h"
#include "TestWorld.h"
#include "controls/GridRoles.h"

#include <QCoreApplication>
#include <QCryptographicHash>

namespace {

// --- masked account numbers -----------------------------------------------------

TEST(AccountTexts, MaskedNumbers)
{
    struct Case {
        const char *in, *out;
    } cases[] = {
        {"1234567890123456789", "1234567890*****6789"},
        {"12345678", "12345678"},
        {"123456789", "*****6789"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AccountTexts::MaskAccountNo(QLatin1String(c.in)), QLatin1String(c.out)) << c.in;
}

// --- keep-alive and idle exit -------------------------------------------------------

class KeeperTest : public TestWorld
{
protected:
    SessionKeeper::TickResult tick(uint32_t now, int step = 0)
    {
        return SessionKeeper::Tick(*Settings, step, now, &card(), bank);
    }
};

TEST_F(KeeperTest, IdleExitStepStartsFromTheSetting)
{
    struct Case {
        int seconds, step;
    } cases[] = {{0, -1}, {-5, -1}, {300, 0}, {600, 0}, {1200, 1}, {1800, 2}, {1799, 1}};
    for (const Case &c : cases)
        EXPECT_EQ(SessionKeeper::IdleExitStepFor(c.seconds), c.step) << c.seconds;
    EXPECT_EQ(SessionKeeper::IdleItemFor(1800), 3);
    EXPECT_EQ(SessionKeeper::IdleItemFor(99999), 3);
}

TEST_F(KeeperTest, KeepAliveAlternatesAndNeverCountsAsActivity)
{
    const uint32_t start = 1000;
    Settings->LastRequestTick = start;
    bank.tickOnRequest = 0xDEAD; // a transport that would move the tick
    EXPECT_FALSE(tick(start + 360000).keepAliveSent) << "exactly 6 minutes is not yet due";
    auto r = tick(start + 360001);
    EXPECT_TRUE(r.keepAliveSent);
    EXPECT_EQ(r.keepAliveTurn, 0);
    r = tick(start + 2 * 360001 + 1);
    EXPECT_EQ(r.keepAliveTurn, 1);
    r = tick(start + 3 * 360001 + 2);
    EXPECT_EQ(r.keepAliveTurn, 0);
    EXPECT_EQ(bank.calls, (QStringList{"KeepAliveOrders", "KeepAliveSubAccounts", "KeepAliveOrders"}));
    EXPECT_EQ(Settings->LastRequestTick, start);
}

TEST_F(KeeperTest, ARequestDelaysTheNextKeepAlive)
{
    Settings->LastRequestTick = 0x10;
    tick(0x10 + 360001);
    ASSERT_EQ(bank.calls.size(), 1);
    // The customer's request three minutes later.
    Settings->LastRequestTick = 0x10 + 360001 + 180000;
    EXPECT_FALSE(tick(0x10 + 360001 + 360001).keepAliveSent);
    EXPECT_TRUE(tick(Settings->LastRequestTick + 360001).keepAliveSent);
}

TEST_F(KeeperTest, ErrorPageMakesKeepAliveDueAndErrorsRetry)
{
    Settings->LastRequestTick = 5000;
    bank.pageUnavailable = true;
    EXPECT_TRUE(tick(6000).keepAliveSent);
    bank.pageUnavailable = false;
    // A failing keep-alive leaves the turn and the tick for the next try.
    Settings->LastKeepAliveTick = 0;
    Settings->KeepAliveTurn = 0;
    bank.failNext = true;
    EXPECT_FALSE(tick(5000 + 360001).keepAliveSent);
    EXPECT_EQ(Settings->KeepAliveTurn, 0);
    EXPECT_TRUE(tick(5000 + 360002).keepAliveSent);
    EXPECT_EQ(Settings->KeepAliveTurn, 1);
}

TEST_F(KeeperTest, IdleExitAcrossTheTickWrap)
{
    struct Case {
        uint32_t last;
        uint32_t elapsed;
        int step;
        bool exits;
    } cases[] = {
        {1000, 600000, 0, false},        // 10:00 is not more than 10 minutes
        {1000, 600001, 0, true},
        {1000, 599000, 0, false},        // 9:59
        {0xFFFFFF00u, 600001, 0, true},  // the counter wraps in between
        {0xFFFFFF00u, 599999, 0, false},
        {0xFFFFFF00u, 1200001, 1, true},
        {0xFFFFFF00u, 1199999, 1, false},
        {1000, 0x7FFFFFFF, -1, false},   // never
    };
    for (const Case &c : cases) {
        Settings->LastRequestTick = c.last;
        Settings->LastKeepAliveTick = c.last;
        EXPECT_EQ(tick(c.last + c.elapsed, c.step).exitDue, c.exits) << c.last << " +" << c.elapsed;
    }
}

TEST_F(KeeperTest, LaterRequestAcrossTheWrapResetsTheKeepAliveClock)
{
    Settings->LastKeepAliveTick = 0xFFFFFF00u;
    Settings->LastRequestTick = 0x100; // after the wrap: later
    EXPECT_FALSE(tick(0x100 + 1000).keepAliveSent);
    EXPECT_EQ(Settings->LastKeepAliveTick, 0x100u);
    EXPECT_TRUE(SessionKeeper::IsLater(0x100, 0xFFFFFF00u));
    EXPECT_FALSE(SessionKeeper::IsLater(0xFFFFFF00u, 0x100));
}

TEST_F(KeeperTest, BusySessionSkipsTheTick)
{
    Settings->LastRequestTick = 0;
    bank.busy = true;
    const auto r = tick(0x7000000, 0);
    EXPECT_TRUE(r.skippedBusy);
    EXPECT_FALSE(r.exitDue);
    EXPECT_TRUE(bank.calls.isEmpty());
}

// --- account totals -------------------------------------------------------------------

class TotalsTest : public TestWorld
{
protected:
    void sub(const char *code, const char *chaoHui, double usable, double total)
    {
        auto *s = card().SubAccounts.Emplace(Settings, CurrentUser.get());
        s->Currency = code ? CurrencyList->FindByCode(QLatin1String(code)) : nullptr;
        s->ChaoHui = QLatin1String(chaoHui);
        s->UseBalance = usable;
        s->Balance = total;
        s->SaveType = DemandSaveType();
    }
};

TEST_F(TotalsTest, FrameTotalsConvertDirectAndReversedPairs)
{
    quote("14", "01", 7.00, 7.10);  // USD/CNY
    quote("12", "14", 1.25, 1.30);  // GBP/USD
    sub("01", "0", 7000, 14000);    // CNY, quoted only as USD/CNY when converting to USD
    sub("14", "1", 100, 200);
    sub("12", "0", 10, 20);
    const auto t = AccountTotals::FrameTotals(card().SubAccounts, QStringLiteral("14"), *BankMarketList);
    ASSERT_TRUE(t.valid);
    // 7000 CNY / 7.00 = 1000 USD (multiplying by the price would give 49000).
    EXPECT_DOUBLE_EQ(t.usable, 1000 + 100 + 10 * 1.30);
    EXPECT_DOUBLE_EQ(t.total, 2000 + 200 + 20 * 1.30);
    // The sub-accounts are sorted by currency code, then ChaoHui.
    QStringList order;
    for (const auto &s : card().SubAccounts)
        order << s->Currency->Code;
    EXPECT_EQ(order, (QStringList{"01", "12", "14"}));
    EXPECT_DOUBLE_EQ(AccountTotals::ConversionFactor(QStringLiteral("01"), QStringLiteral("14"), *BankMarketList),
                     1 / 7.00);
    // The pair price itself stays as the trade pages show it.
    EXPECT_DOUBLE_EQ(PairRate(QStringLiteral("01"), QStringLiteral("14"), *BankMarketList), 7.00);
}

TEST_F(TotalsTest, FrameTotalsWithoutARateOrTargetShowDashes)
{
    quote("14", "01", 7.00, 7.10);
    sub("14", "1", 100, 200);
    sub("38", "1", 5, 5); // no EUR quote
    sub(nullptr, "1", 1, 1);
    EXPECT_FALSE(AccountTotals::FrameTotals(card().SubAccounts, QString(), *BankMarketList).valid);
    EXPECT_FALSE(AccountTotals::FrameTotals(card().SubAccounts, QStringLiteral("01"), *BankMarketList).valid);
    EXPECT_EQ(card().SubAccounts.Item(0)->Currency, nullptr) << "without a currency sorts first";
}

TEST_F(TotalsTest, SelectedConversion)
{
    quote("14", "01", 7.00, 7.10);
    quote("12", "14", 1.25, 1.30);
    quote("14", "27", 150.0, 151.0);
    std::vector<AccountTotals::Holding> chosen{
        {QStringLiteral("12"), QStringLiteral("英镑"), QStringLiteral("0"), 10, 20},
        {QStringLiteral("12"), QStringLiteral("英镑"), QStringLiteral("1"), 5, 5},
        {QStringLiteral("27"), QStringLiteral("日元"), QStringLiteral("1"), 15100, 30200},
    };
    auto s = AccountTotals::ConvertSelected(chosen, QStringLiteral("14"), *BankMarketList);
    ASSERT_TRUE(s.totals.valid);
    ASSERT_EQ(s.shares.size(), 2u);
    // GBP: record 12/14 is reversed for (14, 12): multiply by its BuyPrice0.
    EXPECT_DOUBLE_EQ(s.shares[0].usable, 18.75);
    EXPECT_DOUBLE_EQ(s.shares[0].total, 31.25);
    // JPY: record 14/27 is direct: its SellPrice0 inverted.
    EXPECT_DOUBLE_EQ(s.shares[1].usable, 100.0);
    EXPECT_DOUBLE_EQ(s.shares[1].total, 200.0);
    EXPECT_FALSE(AccountTotals::ConvertSelected({}, QStringLiteral("14"), *BankMarketList).totals.valid);
    chosen.push_back({QStringLiteral("38"), QStringLiteral("欧元"), QStringLiteral("1"), 1, 1});
    s = AccountTotals::ConvertSelected(chosen, QStringLiteral("14"), *BankMarketList);
    EXPECT_FALSE(s.totals.valid);
    EXPECT_EQ(s.shares.size(), 2u) << "the currency without a rate gets no slice";
}

// --- models -------------------------------------------------------------------------------

TEST_F(TotalsTest, SubAccountRowsKeepTheirValuesAfterTheListIsFreed)
{
    sub("27", "0", 12345.6, 20000.4);
    sub("14", "1", 0, 99.999);
    SubAccountModel m;
    m.fill(card().SubAccounts);
    card().SubAccounts.Clear();
    ASSERT_EQ(m.rowCount(), 2);
    auto cell = [&](int r, int c, int role = Qt::DisplayRole) { return m.data(m.index(r, c), role); };
    EXPECT_EQ(cell(0, SubAccountModel::ColNo).toString(), QStringLiteral("1"));
    EXPECT_EQ(cell(0, SubAccountModel::ColCurr).toString(), QStringLiteral("日元 ") + DemandSaveType());
    EXPECT_EQ(cell(0, SubAccountModel::ColCurr, GridRoles::ValueRole).toString(), QStringLiteral("27"));
    EXPECT_DOUBLE_EQ(cell(0, SubAccountModel::ColCashCurr, GridRoles::ValueRole).toDouble(), 12346);
    EXPECT_EQ(cell(0, SubAccountModel::ColBillCurr).toString(), QStringLiteral("-"));
    EXPECT_EQ(cell(1, SubAccountModel::ColCashTotal).toString(), QStringLiteral("-"));
    EXPECT_EQ(cell(1, SubAccountModel::ColBillCurr).toString(), QStringLiteral("-"));
    EXPECT_EQ(cell(1, SubAccountModel::ColBillTotal).toString(), QStringLiteral("100.00"));
    EXPECT_EQ(m.headerData(SubAccountModel::ColBillCurr, Qt::Horizontal, GridRoles::BandRole).toString(),
              QStringLiteral("可用余额"));
    EXPECT_FALSE(m.headerData(SubAccountModel::ColNo, Qt::Horizontal, GridRoles::BandRole).isValid());
    EXPECT_EQ(m.headerData(SubAccountModel::ColCashTotal, Qt::Horizontal, GridRoles::ColumnNameRole).toString(),
              QStringLiteral("ColCashTotal"));
}

TEST(StatementModelTest, IncomeAndExpense)
{
    TIncomList lines;
    for (const char *amount : {"1500.5", "-20.25", "0"}) {
        auto *l = lines.Emplace();
        l->ChangeAmount = Fixed4::parseOrZero(QLatin1String(amount));
        l->Balance = Fixed4::fromInt(1234567);
        l->ChangeDate = Formats::toDays(QDate(2024, 3, 5));
    }
    StatementModel m;
    m.takeLines(lines);
    EXPECT_EQ(lines.Count(), 0);
    auto text = [&](int r, int c) { return m.data(m.index(r, c)).toString(); };
    EXPECT_EQ(text(0, StatementModel::ColIn), QStringLiteral("1,500.50"));
    EXPECT_EQ(text(0, StatementModel::ColOut), QStringLiteral("0.00"));
    EXPECT_EQ(text(1, StatementModel::ColIn), QStringLiteral("0.00"));
    EXPECT_EQ(text(1, StatementModel::ColOut), QStringLiteral("20.25"));
    EXPECT_EQ(text(2, StatementModel::ColIn), QStringLiteral("0.00"));
    EXPECT_EQ(text(0, StatementModel::ColRemain), QStringLiteral("1,234,567.00"));
    EXPECT_EQ(text(0, StatementModel::Coldate), QStringLiteral("2024-03-05"));
}

TEST_F(TotalsTest, OtherAccountsShowDashesUntilQueried)
{
    for (const char *type : {"91", "03"}) {
        auto *a = CurrentUser->Accounts.Emplace(Settings, CurrentUser.get());
        a->AccountType = QLatin1String(type);
        a->AccountNo = QLatin1String(type);
    }
    OtherAccountModel m;
    m.setUser(CurrentUser.get());
    ASSERT_EQ(m.rowCount(), 2) << "the card of type 12 and the one of type 03";
    EXPECT_EQ(m.data(m.index(1, OtherAccountModel::ColBalance)).toString(), QStringLiteral("-"));
    m.accountAt(1)->Balance = 50;
    m.accountAt(1)->UseBalance = 0;
    m.setQueried(1);
    EXPECT_EQ(m.data(m.index(1, OtherAccountModel::ColUseBalance)).toString(), QStringLiteral("0.00"));
    EXPECT_EQ(m.data(m.index(1, OtherAccountModel::ColFrozen)).toString(), QStringLiteral("50.00"));
}

TEST_F(TotalsTest, CustomQuotesReuseDeleteAndRevealRows)
{
    IntList custom;
    custom.append(QStringLiteral("14/01"), 0);
    custom.append(QStringLiteral("12 / 14"), 1);
    custom.append(QStringLiteral("bad"), 1);
    custom.append(QStringLiteral("38/14"), 1);
    QuoteLayouts::RebuildFromCustom(*BankMarketList, custom, *CurrencyList);
    ASSERT_EQ(BankMarketList->Count(), 3);
    EXPECT_FALSE(BankMarketList->Item(0)->Visible);
    EXPECT_EQ(BankMarketList->Item(1)->Code1(), QStringLiteral("12"));

    CustomQuoteModel m;
    m.refresh(CustomQuoteModel::Collect(*BankMarketList, nullptr, nullptr, 0));
    EXPECT_EQ(m.rowCount(), 2) << "the hidden 14/01 is not shown";
    EXPECT_EQ(m.rowOf(14, 1), -1);
    ASSERT_TRUE(QuoteLayouts::MarkPairVisible(*BankMarketList, 1, 14));
    m.refresh(CustomQuoteModel::Collect(*BankMarketList, nullptr, nullptr, 0));
    EXPECT_EQ(m.rowOf(1, 14), 2);

    // A reversed pair replaces the row, an unsupported one is removed.
    std::vector<CustomQuoteModel::Quote> next(1);
    next[0].code1 = QStringLiteral("14");
    next[0].code2 = QStringLiteral("12");
    m.refresh(next);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.quoteAt(2).code1, QStringLiteral("14"));
    next[0].supported = false;
    m.refresh(next);
    EXPECT_EQ(m.rowCount(), 2);

    const IntList back = QuoteLayouts::CollectCustom(*BankMarketList);
    EXPECT_EQ(back.toLines(), (QStringList{"14/01=1", "12/14=1", "38/14=1"}));
}

// --- the router -------------------------------------------------------------------------------

TEST(RouterTest, SentBeforeTheSenderGoesOnPostedAfter)
{
    NotificationRouter r;
    QStringList log;
    auto recorder = [&log](const char *who) {
        return [&log, who](int message, int flag) { log << QStringLiteral("%1:%2:%3").arg(who).arg(message).arg(flag); };
    };
    r.SetReceiver(PageTarget::Overview, recorder("overview"));
    r.SetReceiver(PageTarget::Account, recorder("account"));
    r.SetReceiver(PageTarget::News, recorder("news"));
    r.SetReceiver(PageTarget::DealList, recorder("deals"));
    r.hooks.refreshAccount = [&log] { log << QStringLiteral("fetch"); };
    r.hooks.refreshNews = [&log] { log << QStringLiteral("newsRefresh"); };

    r.SendToMain(MsgAccountChanged, 0);
    log << QStringLiteral("sender");
    r.SendToMain(MsgDealsChanged, 0);
    log << QStringLiteral("sender");
    r.SendToMain(MsgHistoryChanged, 1);
    r.SendToMain(MsgNewsRefresh, 1);
    r.SendToMain(MsgAccountChanged, 1);
    log << QStringLiteral("sender");
    QCoreApplication::processEvents();
    EXPECT_EQ(log, (QStringList{"fetch", "sender", "overview:5121:0", "sender", "newsRefresh", "news:5127:1",
                                "overview:5127:1", "sender", "overview:5120:0", "account:5120:0", "deals:5122:1",
                                "overview:5120:1", "account:5120:1"}));
}

TEST(RouterTest, APageRemovedBeforeDeliveryIsSkipped)
{
    NotificationRouter r;
    int got = 0;
    r.SetReceiver(PageTarget::Market, [&got](int, int) { ++got; });
    r.SendToMain(MsgMarketChanged, 1);
    r.SetReceiver(PageTarget::Market, {});
    QCoreApplication::processEvents();
    EXPECT_EQ(got, 0);
    r.PostToMain(MsgMarketChanged, 1);
    EXPECT_EQ(got, 0);
}

// --- the account refresh ------------------------------------------------------------------------

TEST_F(TotalsTest, FailedRefreshKeepsTheSubAccounts)
{
    bank.subs = {{"14", "1", 10, 20}, {"27", "0", 1000, 2000}};
    QString error;
    ASSERT_TRUE(AccountRefresh::FetchSubAccounts(card(), bank, &error));
    EXPECT_EQ(card().SubAccounts.Count(), 2);
    EXPECT_TRUE(OnlyDemandDeposits);
    TAccount *before = card().SubAccounts.Item(0);
    bank.failNext = true;
    EXPECT_FALSE(AccountRefresh::FetchSubAccounts(card(), bank, &error));
    EXPECT_EQ(error, bank.failText);
    ASSERT_EQ(card().SubAccounts.Count(), 2);
    EXPECT_EQ(card().SubAccounts.Item(0), before);
    bank.subs = {{"38", "1", 1, 1, QStringLiteral("整存整取")}};
    ASSERT_TRUE(AccountRefresh::FetchSubAccounts(card(), bank, &error));
    EXPECT_EQ(card().SubAccounts.Count(), 1);
    EXPECT_FALSE(OnlyDemandDeposits);
}

TEST_F(TotalsTest, AutomaticRequestPutsTheActivityTickBack)
{
    Settings->LastRequestTick = 42;
    {
        AccountRefresh::AutomaticRequest automatic(Settings);
        Settings->LastRequestTick = 99;
    }
    EXPECT_EQ(Settings->LastRequestTick, 42u);
}

// --- window decisions ----------------------------------------------------------------------------------

TEST(MainWindowLogicTest, TradePagesAndDefaultPage)
{
    struct Case {
        int type;
        bool fixed, addBill;
        int page, height;
    } cases[] = {{0, false, false, 0, 350}, {1, false, false, 1, 435}, {1, false, true, 1, 520},
                 {2, false, false, 2, 325}, {0, true, false, 3, 370}, {1, true, true, 4, 435},
                 {2, true, false, 5, 325}};
    for (const Case &c : cases) {
        const auto l = MainWindowLogic::TransLayoutFor(c.type, c.fixed, c.addBill);
        EXPECT_EQ(l.page, c.page) << c.type << c.fixed;
        EXPECT_EQ(l.height, c.height) << c.type << c.fixed;
    }
    const QStringList names{"TCollFm", "TAccountFm", "TDevolveFm", "Tmarketfm", "TjhInfoFm"};
    EXPECT_EQ(MainWindowLogic::DefaultPageIndex(QStringLiteral("tmarketfm"), names), 3);
    EXPECT_EQ(MainWindowLogic::DefaultPageIndex(QStringLiteral("nothing"), names), -1);
    EXPECT_EQ(MainWindowLogic::ClockCaption(QStringLiteral("T"), Formats::toDays(QDateTime({2007, 8, 20}, {12, 0}))),
              QStringLiteral("T [北京时间：2007-08-20 12:00:00]"));
    // MD5("200708201200"), upper case.
    EXPECT_EQ(MainWindowLogic::PluginParameter(QDateTime({2007, 8, 20}, {12, 0})),
              QString::fromLatin1(QCryptographicHash::hash("200708201200", QCryptographicHash::Md5).toHex().toUpper()));
    EXPECT_EQ(MainWindowLogic::PluginParameter(QDateTime({2007, 8, 20}, {12, 0})).size(), 32);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
