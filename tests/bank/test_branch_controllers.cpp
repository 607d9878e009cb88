// The fifteen branch controllers: which one serves which branch, their
// captions, levels, capabilities and endpoints, the news line, the chart
// address, and the account choice's keep-or-replace rule.

#include "BankTestSupport.h"
#include "BranchDirectory.h"
#include "ForexErrors.h"
#include "TBranchBankController.h"
#include "TForexNews.h"
#include "TMarket.h"
#include "TMarketList.h"
#include "TSettings.h"
#include "platform/Formats.h"

#include <QDateTime>
#include <typeinfo>

namespace {

// Everything a controller fixes, in one line.
QString summary(const TBranchBankController &c)
{
    QString bands, levels, captions, names;
    for (int i = 0; i < 7; ++i) {
        bands += c.Bands[size_t(i)].Visible ? QLatin1Char('1') : QLatin1Char('0');
        levels += c.Levels[size_t(i)].LevelOffered ? QLatin1Char('1') : QLatin1Char('0');
    }
    for (int i = 0; i < 5; ++i) {
        captions += (i ? QStringLiteral("|") : QString()) + c.Bands[size_t(i)].Caption;
        names += (i ? QStringLiteral("|") : QString()) + c.Levels[size_t(i)].LevelName;
    }
    const QString cols = c.Bands[1].BuyCaption + QLatin1Char('/') + c.Bands[1].SellCaption + QLatin1Char(',')
        + c.Bands[2].BuyCaption + QLatin1Char('/') + c.Bands[2].SellCaption;
    QString flags;
    const std::pair<bool, char> f[] = {{c.HasBankQuotes, 'Q'}, {c.HasInterQuotes, 'I'}, {c.HasIndices, 'X'},
                                       {c.HasNews, 'N'},       {c.ShowUpDown, 'U'},     {c.ShowOpenPrice, 'O'},
                                       {c.ShowLastPrice, 'L'}, {c.HasFixedTerm, 'F'},   {c.AllowFixedTermIn, 'T'},
                                       {c.AllowAppend, 'A'},   {c.ShowDealDate, 'D'}};
    for (const auto &[on, letter] : f)
        if (on)
            flags += QLatin1Char(letter);
    return QStringLiteral("%1 B:%2 C:%3 K:%4 L:%5 N:%6 F:%7 div=%8 chart=%9")
               .arg(c.BranchCode(), bands, captions, cols, levels, names, flags)
               .arg(c.PriceDivisor)
               .arg(c.ChartMode)
        + QStringLiteral(" | %1 | %2 | %3 | %4 | %5 | %6")
              .arg(c.BankQuoteUrl, c.IntlQuoteUrl, c.NewsUrl, c.News5Url, c.ChartUrl, c.SpreadPageUrl);
}

const char kStdCols[] = "买入/卖出,买入/卖出";

QString std5(const char *server, const char *chart)
{
    const QString s = QLatin1String(server);
    return QStringLiteral("%1/servlet/get?arg=jhData | %1/servlet/get?arg=shihuaData | %1/servlet/get?arg=newsData | "
                          "%1/servlet/get?arg=newsData5 | %1%2 | ")
        .arg(s, QLatin1String(chart));
}

class BranchControllersTest : public BankTest
{
};

} // namespace

TEST_F(BranchControllersTest, EachBranchGetsItsController)
{
    const QString base5 = QStringLiteral("基本|优惠|大额|贵宾|至尊");
    const QString unnamed0 = QStringLiteral("|优惠|大额|贵宾|至尊");
    const struct {
        const char *branchId;
        const char *cls;
        QString expected;
    } cases[] = {
        {"110105000", "TBeiJingBranchController",
         QStringLiteral("110000000 B:1000000 C:%1 K:%2 L:1000000 N:%3 F:QIXNUTAD div=10000 chart=1 | ")
                 .arg(base5, QString::fromUtf8(kStdCols), unnamed0)
             + std5("http://q110.test", "/client/kanpanqi.jsp")},
        {"220000000", "TJiLinBranchController",
         QStringLiteral("220000000 B:1100000 C:||大额|贵宾|至尊 K:最高/最低,买入/卖出 L:1000000 N:%1 F:QIXNUTA div=10000 "
                        "chart=1 | ")
                 .arg(unnamed0)
             + std5("http://q220.test", "/kanpanqi.jsp")},
        {"310000000", "TShangHaiBranchController",
         QStringLiteral("310000000 B:1000000 C:%1 K:%2 L:1000000 N:%1 F:QIXNUFTD div=1 chart=1 | "
                        "https://bank.test/app/vodMain?PT_STYLE=9&TXCODE=R00001 | http://q310.test/servlet/get?arg=shihuaData"
                        " | http://q310.test/servlet/get?arg=newsData | http://q310.test/servlet/get?arg=newsData5 | "
                        "http://q310.test/kanpanqi/fx/kanpanqi.jsp | ")
             .arg(base5, QString::fromUtf8(kStdCols))},
        {"320500000", "TJiangSuBranchController",
         QStringLiteral("320000000 B:1000000 C:%1 K:%2 L:1000000 N:%3 F:QIXNUTAD div=10000 chart=1 | ")
                 .arg(base5, QString::fromUtf8(kStdCols), unnamed0)
             + std5("", "/kanpanqi.jsp")},
        {"330100000", "TZheJiangBranchController",
         QStringLiteral("330000000 B:1000000 C:%1 K:%2 L:1000000 N:%3 F:QIXNUTAD div=10000 chart=1 | "
                        "http://q330.test:8080/httpQuote/bankQuotes.txt | "
                        "http://q330.test:8080/httpQuote/internationalQuotes.txt | "
                        "http://q330.test:8080/httpQuote/newsDay.xml | http://q330.test:8080/httpQuote/news5Min.xml | "
                        "http://q330.test:8080/fxlanchuan/ | ")
             .arg(base5, QString::fromUtf8(kStdCols), unnamed0)},
        {"350000000", "TFuJianBranchController",
         QStringLiteral("350000000 B:1111100 C:%1 K:%2 L:1111100 N:%1 F:QIXNUFTAD div=10000 chart=1 | ")
                 .arg(base5, QString::fromUtf8(kStdCols))
             + std5("", "/vod/kanpanqi.jsp")},
        {"370000000", "TShanDongBranchController",
         QStringLiteral("370000000 B:1110000 C:|||贵宾|至尊 K:最高/最低,开盘/收盘 L:1000000 N:%1 F:QIXNUTAD div=10000 "
                        "chart=1 | ")
                 .arg(unnamed0)
             + std5("", "/kanpanqi.jsp")},
        {"410000000", "THeNanBranchController",
         QStringLiteral("410000000 B:1111100 C:%1 K:%2 L:1111100 N:%1 F:QIXNUTAD div=10000 chart=1 | ")
                 .arg(base5, QString::fromUtf8(kStdCols))
             + std5("", "/kanpanqi.jsp")},
        {"420000000", "THuBeiBranchController",
         QStringLiteral("420000000 B:1100000 C:%1 K:%2 L:1100000 N:%1 F:QTAD div=1 chart=0 | "
                        "http://q420.test/waihui/yhbj.txt |  |  |  |  | ")
             .arg(base5, QString::fromUtf8(kStdCols))},
        {"441000000", "TGuangDongBranchController",
         QStringLiteral("441000000 B:1100000 C:||大额|贵宾|至尊 K:最高/最低,买入/卖出 L:1000000 N:%1 F:QIXNUFAD "
                        "div=10000 chart=1 | ")
                 .arg(unnamed0)
             + std5("", "/kanpanqi.jsp")},
        {"442000000", "TShenZhenBranchController",
         QStringLiteral("442000000 B:1111100 C:%1 K:%2 L:1111100 N:%1 F:QIXNUFTAD div=10000 chart=1 | ")
                 .arg(base5, QString::fromUtf8(kStdCols))
             + std5("", "/kanpanqi.jsp")},
        {"450000000", "TGuangXiBranchController",
         QStringLiteral("450000000 B:1100000 C:||大额|贵宾|至尊 K:最高/最低,买入/卖出 L:1000000 N:%1 F:QIXNUTAD "
                        "div=10000 chart=1 | ")
                 .arg(unnamed0)
             + std5("", "/kanpanqi.jsp")},
        {"511000000", "TChongQingBranchController",
         QStringLiteral("511000000 B:1111100 C:基本点差|3千美元|1万美元|3万美元|10万美元 K:%1 L:1111100 "
                        "N:基本点差|3千美元|10万美元|1万美元|3万美元 F:QIXNUFTAD div=10000 chart=1 | ")
                 .arg(QString::fromUtf8(kStdCols))
             + std5("http://q511.test", "/kanpanqi.jsp") + QStringLiteral("http://q511.test/rate.html")},
        {"211000000", "TLiaoNingBranchController",
         QStringLiteral("211000000 B:1000000 C:%1 K:%2 L:1000000 N:%3 F:QIXNUTAD div=10000 chart=1 | "
                        "http://q211.test/httpQuote/BankQuotes.txt | http://q211.test/httpQuote/interQuotes.txt | "
                        "http://q211.test/httpQuote/NewsInDay.xml | http://q211.test/httpQuote/NewsIn5Min.xml | "
                        "http://q211.test/fxlanchuan/index.jsp | ")
             .arg(base5, QString::fromUtf8(kStdCols), unnamed0)},
    };
    for (const auto &c : cases) {
        const auto ctrl = BranchDirectory::CreateForBranch(QLatin1String(c.branchId));
        EXPECT_NE(std::string(typeid(*ctrl).name()).find(c.cls), std::string::npos) << c.cls;
        EXPECT_EQ(summary(*ctrl), c.expected) << c.cls;
    }
    // The Jiangxi group: four provinces, one controller with one code.
    for (const char *id : {"360000000", "351200000", "340000000", "510100000"}) {
        const auto ctrl = BranchDirectory::CreateForBranch(QLatin1String(id));
        EXPECT_EQ(summary(*ctrl),
                  QStringLiteral("360000000 B:1111100 C:基本|优惠|大额|贵宾|至尊 K:%1 L:1111100 N:基本|优惠|大额|贵宾|至尊 "
                                 "F:QIXNUOLTAD div=10000 chart=1 | ")
                          .arg(QString::fromUtf8(kStdCols))
                      + std5("http://q360.test", "/kanpanqi.jsp"))
            << id;
    }
}

TEST_F(BranchControllersTest, UnknownBranchesAndProvinceNames)
{
    EXPECT_THROW(BranchDirectory::CreateForBranch(QStringLiteral("500100000")), ENoBranchError);
    EXPECT_THROW(BranchDirectory::CreateForBranch(QStringLiteral("990000000")), ENoBranchError);
    EXPECT_THROW(BranchDirectory::CreateForBranch(QString()), ENoBranchError);
    try {
        BranchDirectory::CreateForBranch(QStringLiteral("500100000"));
    } catch (const ENoBranchError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("此分行未开通外汇交易客户端！"));
    }
    const std::pair<const char *, const char *> names[] = {
        {"500100000", "重庆市"}, {"511000000", ""},   {"351200000", "厦门市"},   {"230000000", "黑龙江省"},
        {"990000000", "特殊分行号"}, {"123456789", ""}, {"", ""},
    };
    for (const auto &[id, name] : names)
        EXPECT_EQ(BranchDirectory::ProvinceName(QLatin1String(id)), QString::fromUtf8(name)) << id;
}

TEST_F(BranchControllersTest, CurrencySupportAndChartAddress)
{
    EXPECT_FALSE(BranchDirectory::CreateForBranch(QStringLiteral("330000000"))->IsCurrencySupported(QStringLiteral("18")));
    EXPECT_TRUE(BranchDirectory::CreateForBranch(QStringLiteral("330000000"))->IsCurrencySupported(QStringLiteral("14")));
    EXPECT_TRUE(BranchDirectory::CreateForBranch(QStringLiteral("211000000"))->IsCurrencySupported(QStringLiteral("18")));

    const auto hubei = BranchDirectory::CreateForBranch(QStringLiteral("420000000"));
    EXPECT_EQ(hubei->KLineUrl(QStringLiteral("1427"), 2), QStringLiteral("http://k420.test/waihui/5minute1427.txt"));
    EXPECT_EQ(hubei->KLineUrl(QStringLiteral("1427"), 0), QStringLiteral("http://k420.test/waihui/day1427.txt"));
    EXPECT_EQ(hubei->KLineUrl(QStringLiteral("1427"), 6), QString());
    EXPECT_EQ(BranchDirectory::CreateForBranch(QStringLiteral("110000000"))->KLineUrl(QStringLiteral("1427"), 2), QString());

    TMarketList pairs, indices;
    pairs.Emplace();
    hubei->MergeInterQuotes(pairs, QStringLiteral("1427,7.8,7.9"), indices, *Settings);
    EXPECT_EQ(pairs.Count(), 1);
    EXPECT_EQ(indices.Count(), 0);
}

TEST_F(BranchControllersTest, NewsLines)
{
    TForexNews item;
    item.TitleId = QStringLiteral("N 7");
    item.Title = QStringLiteral("美元走强<b>");
    item.NewsTime = Formats::toDays(QDateTime(QDate(2007, 8, 20), QTime(10, 30)));
    TBranchBankController base;
    EXPECT_EQ(base.FormatNewsItem(item), QStringLiteral("美元走强&lt;b&gt; (2007-08-20 10:30:00)<br><br>"));
    EXPECT_EQ(BranchDirectory::CreateForBranch(QStringLiteral("220000000"))->FormatNewsItem(item),
              QStringLiteral("<a href=\"http://q220.test/show_detail.jsp?news_id=N%207\" target=\"_blank\">"
                             "美元走强&lt;b&gt;</a> (2007-08-20 10:30:00)<br><br>"));
    EXPECT_EQ(BranchDirectory::CreateForBranch(QStringLiteral("511000000"))->FormatNewsItem(item),
              QStringLiteral("<a href=\"http://q511.test/show_detail.jsp?news_id=N%207\" target=\"_blank\">"
                             "美元走强&lt;b&gt;</a> (2007-08-20 10:30:00)<br><br>"));
    EXPECT_EQ(BranchDirectory::CreateForBranch(QStringLiteral("211000000"))->FormatNewsItem(item),
              QStringLiteral("<a href=\"http://q211.test/httpQuote/newsContent/N%207.html\" target=\"_blank\">"
                             "美元走强&lt;b&gt;</a> (2007-08-20 10:30:00)<br><br>"));
    EXPECT_EQ(BranchDirectory::CreateForBranch(QStringLiteral("330000000"))->FormatNewsItem(item),
              base.FormatNewsItem(item));
}

TEST_F(BranchControllersTest, AccountChoiceKeepsTheControllerOfTheSameProvince)
{
    EXPECT_TRUE(BranchDirectory::ChooseForBranch(QStringLiteral("330100000")));
    const auto first = CurrentBranchController();
    // Another city of the same province: the controller stays.
    EXPECT_FALSE(BranchDirectory::ChooseForBranch(QStringLiteral("330200000")));
    EXPECT_EQ(CurrentBranchController(), first);
    // A reader holding the old controller keeps it alive after the switch.
    EXPECT_TRUE(BranchDirectory::ChooseForBranch(QStringLiteral("351000000")));
    EXPECT_EQ(first->BranchCode(), QStringLiteral("330000000"));
    const auto jiangxi = CurrentBranchController();
    EXPECT_FALSE(BranchDirectory::ChooseForBranch(QStringLiteral("340100000"))); // same group
    EXPECT_THROW(BranchDirectory::ChooseForBranch(QStringLiteral("500000000")), ENoBranchError);
    EXPECT_EQ(CurrentBranchController(), jiangxi);
}
