#include "ModelOps.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TCurrencyList.h"
#include "TIndexInfoList.h"
#include "TMarketList.h"
#include "TSettings.h"
#include "TUser.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QStringList kDic = {
    QStringLiteral("14 = 美元 | USD | us dollar | x |1"), QStringLiteral("27=日元|JPY|yen||1"),
    QStringLiteral("38=欧元|EUR|euro||1"),                 QStringLiteral("12=英镑|GBP|pound||0"),
    QStringLiteral("29=澳大利亚元|AUD|aud|| 1"),           QStringLiteral("99 no bars"),
    QStringLiteral("=空代码|X|x||1"),                       QStringLiteral("13=|HKD|hk||1"),
};

TEST(CurrencyList, BuildsFromDictionaryLines)
{
    TCurrencyList list;
    EXPECT_EQ(list.Build(kDic), 5);
    TCurrency *usd = list.FindByCode(QStringLiteral("14"));
    EXPECT_EQ(usd->Name, QStringLiteral("美元"));
    EXPECT_EQ(usd->EnglishName, QStringLiteral("US DOLLAR"));
    EXPECT_TRUE(usd->Tradable);
    // The tradable mark is compared untrimmed: " 1" is not tradable.
    EXPECT_FALSE(list.FindByCode(QStringLiteral("29"))->Tradable);
    EXPECT_EQ(list.FindByNumber(14), usd);
    EXPECT_EQ(list.FindByName(QStringLiteral("日元"))->Code, QStringLiteral("27"));
    EXPECT_EQ(list.FindByName(QStringLiteral("卢布")), nullptr);
    EXPECT_EQ(list.PositionOf(QStringLiteral("38")), 2);

    const auto picker = list.PickerList([](const QString &code) { return code != QLatin1String("38"); });
    ASSERT_EQ(picker.size(), 2u);
    EXPECT_EQ(picker[0].text, QStringLiteral("美元 US DOLLAR") + QChar(4) + QStringLiteral("14"));
    EXPECT_EQ(picker[1].code, 27);
}

TEST(CurrencyList, UnknownCodesGetOneEntry)
{
    TCurrencyList list;
    TCurrency *a = list.FindByCode(QStringLiteral("99"));
    EXPECT_EQ(a->Name, QStringLiteral("未知货币"));
    EXPECT_EQ(a->EnglishName, QStringLiteral("Unknown"));
    EXPECT_EQ(list.FindByCode(QStringLiteral("99")), a);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.FindByNumber(5)->Code, QStringLiteral("05"));
}

TEST(IndexInfoList, FixedTableAndLookups)
{
    TIndexInfoList list;
    EXPECT_EQ(list.Count(), 23);
    EXPECT_EQ(list.FindByCode(QStringLiteral("djii")), 2);
    EXPECT_EQ(list.Item(19)->Name, QStringLiteral("#CRB指数"));
    EXPECT_DOUBLE_EQ(list.Item(2)->PriceUnit(), 0.1);
    TIndexInfo *fresh = list.IndexFor(QStringLiteral("NEW1"));
    EXPECT_EQ(fresh->Name, QStringLiteral("NEW1"));
    EXPECT_EQ(list.Count(), 24);
    list.AddEntries({QStringLiteral("A,B"), QStringLiteral("X,Y,zz")});
    EXPECT_EQ(list.Count(), 25);
    EXPECT_EQ(list.Item(24)->Decimals, 0);
}

// Shared instances with a currency table and a few bank quotes.
class BalanceTest : public ::testing::Test
{
protected:
    SharedInstances::Scope scope;
    std::unique_ptr<TUser> user;
    TAccount *card = nullptr;

    void SetUp() override
    {
        CurrencyList->Build(kDic);
        addQuote("14", "27", 110.0, 110.5); // USD/JPY
        addQuote("38", "14", 1.08, 1.09);   // EUR/USD
        user = std::make_unique<TUser>(Settings);
        card = user->Accounts.Emplace(Settings, user.get());
        CurrentAccount = card;
        OnlyDemandDeposits = true;
        addSub("14", "0", 1000, 1000);
        addSub("27", "0", 50000, 50000);
    }
    void TearDown() override
    {
        CurrentAccount = nullptr;
        user.reset();
    }
    void addQuote(const char *a, const char *b, double buy, double sell)
    {
        TMarket *m = BankMarketList->Emplace();
        m->Currency1 = CurrencyList->FindByCode(QLatin1String(a));
        m->Currency2 = CurrencyList->FindByCode(QLatin1String(b));
        m->BuyPrice0 = buy;
        m->SellPrice0 = sell;
    }
    TAccount *addSub(const char *code, const char *chaoHui, double balance, double usable)
    {
        TAccount *sub = card->SubAccounts.Emplace(Settings, user.get());
        sub->Currency = CurrencyList->FindByCode(QLatin1String(code));
        sub->ChaoHui = QLatin1String(chaoHui);
        sub->SaveType = DemandSaveType();
        sub->Balance = balance;
        sub->UseBalance = usable;
        return sub;
    }
    TAccount *sub(const char *code) { return FindSubAccount(*card, QLatin1String(code), QStringLiteral("0")); }
};

TEST_F(BalanceTest, CrossRateAndPairRate)
{
    struct Case {
        const char *a, *b;
        int kind;
        double rate;
        double pairRate;
    } cases[] = {
        {"14", "14", -1, 1.0, 1.0},   {"14", "27", 2, 110.5, 110.5}, {"27", "14", 1, 110.0, 110.0},
        {"014", "27", 2, 110.5, 110.5}, {"12", "27", 0, 7.0, 0.0},
    };
    for (const auto &c : cases) {
        const auto r = CrossRate(QLatin1String(c.a), QLatin1String(c.b), *BankMarketList, 7.0);
        EXPECT_EQ(r.kind, c.kind) << c.a << c.b;
        EXPECT_DOUBLE_EQ(r.rate, c.rate) << c.a << c.b;
        EXPECT_DOUBLE_EQ(PairRate(QLatin1String(c.a), QLatin1String(c.b), *BankMarketList), c.pairRate);
    }
    EXPECT_DOUBLE_EQ(ConvertWithRate(100, 1, 0), 0); // no division by a zero rate
}

TEST_F(BalanceTest, InstantTradeMovesBothSides)
{
    Bargaining->Step = QStringLiteral("0003");
    Bargaining->BillFlag = QStringLiteral("0");
    Bargaining->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    Bargaining->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("27"));
    Bargaining->SellAmount = 100;
    Bargaining->BuyAmount = 0; // the bought yen come from the USD/JPY quote (reversed: buy price)
    EXPECT_TRUE(ApplyDealToBalances(card, *Bargaining));
    EXPECT_DOUBLE_EQ(sub("14")->Balance, 900);
    EXPECT_DOUBLE_EQ(sub("14")->UseBalance, 900);
    EXPECT_DOUBLE_EQ(sub("27")->Balance, 50000 + 100 * 110.0);
}

TEST_F(BalanceTest, BuyingANewCurrencyCreatesItsSubAccount)
{
    Bargaining->Step = QStringLiteral("0003");
    Bargaining->BillFlag = QStringLiteral("0");
    Bargaining->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    Bargaining->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("38"));
    Bargaining->SellAmount = 109;
    Bargaining->BuyAmount = 100;
    ASSERT_TRUE(ApplyDealToBalances(card, *Bargaining));
    TAccount *eur = sub("38");
    ASSERT_NE(eur, nullptr);
    EXPECT_DOUBLE_EQ(eur->Balance, 100);
    EXPECT_DOUBLE_EQ(eur->UseBalance, 100);
    EXPECT_TRUE(IsOnlyDemand(*card));
}

TEST_F(BalanceTest, BalancesNeverGoNegative)
{
    Bargaining->Step = QStringLiteral("0003");
    Bargaining->BillFlag = QStringLiteral("0");
    Bargaining->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    Bargaining->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("27"));
    Bargaining->SellAmount = 5000;
    Bargaining->BuyAmount = 552500;
    ASSERT_TRUE(ApplyDealToBalances(card, *Bargaining));
    EXPECT_EQ(sub("14")->Balance, 0.0);
    EXPECT_EQ(sub("14")->UseBalance, 0.0);
}

TEST_F(BalanceTest, OrdersFreezeAndCancelsRelease)
{
    Delegate->BillFlag = QStringLiteral("0");
    Delegate->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    Delegate->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("38"));
    Delegate->SellAmount = 0;
    Delegate->BuyAmount = 100;
    Delegate->QuotePrice = 0;
    Delegate->ShutRate = 1.1; // (buy 38, sell 14) is the direct EUR/USD pair: multiply
    ASSERT_TRUE(ApplyDealToBalances(card, *Delegate));
    const auto cr = CrossRate(QStringLiteral("38"), QStringLiteral("14"), *BankMarketList);
    EXPECT_EQ(cr.kind, 2);
    EXPECT_DOUBLE_EQ(sub("14")->UseBalance, 1000 - 110);
    EXPECT_DOUBLE_EQ(sub("14")->Balance, 1000);

    // The cancel finds the order in today's list and releases its amount.
    auto *order = BargainingToday->Details.Emplace();
    order->ContractNo = QStringLiteral("C1");
    order->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    order->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("38"));
    order->BillFlag = QStringLiteral("0");
    order->SaleAmount = 110;
    DelegateCancel->ContractNo = QStringLiteral("C1");
    ASSERT_TRUE(ApplyDealToBalances(card, *DelegateCancel));
    EXPECT_DOUBLE_EQ(sub("14")->UseBalance, 1000);

    // A contract in neither list changes nothing.
    DelegateCancel->ContractNo = QStringLiteral("nowhere");
    EXPECT_FALSE(ApplyDealToBalances(card, *DelegateCancel));
    EXPECT_DOUBLE_EQ(sub("14")->UseBalance, 1000);
}

TEST_F(BalanceTest, AppliesOnlyToDemandOnlyAccounts)
{
    Bargaining->Step = QStringLiteral("0003");
    Bargaining->BillFlag = QStringLiteral("0");
    Bargaining->SellCurrency = CurrencyList->FindByCode(QStringLiteral("14"));
    Bargaining->BuyCurrency = CurrencyList->FindByCode(QStringLiteral("27"));
    Bargaining->SellAmount = 100;
    OnlyDemandDeposits = false;
    EXPECT_FALSE(ApplyDealToBalances(card, *Bargaining));
    EXPECT_DOUBLE_EQ(sub("14")->Balance, 1000);
    OnlyDemandDeposits = true;
    Bargaining->Step = QStringLiteral("0001"); // a rate request moves nothing
    EXPECT_FALSE(ApplyDealToBalances(card, *Bargaining));
    EXPECT_FALSE(ApplyDealToBalances(card, *DelegateOpponent));
}

TEST_F(BalanceTest, SingleRecordsBelongToTheFirstAccount)
{
    EXPECT_EQ(Bargaining->Owner, card);
    auto *second = user->Accounts.Emplace(Settings, user.get());
    EXPECT_EQ(Bargaining->Owner, card);
    user->Accounts.Delete(user->Accounts.IndexOf(second));
    EXPECT_NE(Bargaining, nullptr);
    user->Accounts.Clear();
    EXPECT_EQ(Bargaining, nullptr);
    EXPECT_EQ(DelegateCancel, nullptr);
    EXPECT_EQ(CurrentAccount, nullptr);
}

TEST(ForexObjList, OwnsItsItems)
{
    static int alive = 0;
    struct Counted {
        Counted() { ++alive; }
        ~Counted() { --alive; }
    };
    {
        TForexObjList<Counted> list;
        list.Emplace();
        list.Emplace();
        EXPECT_EQ(alive, 2);
        list.Delete(0);
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(list.Item(5), nullptr);
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
