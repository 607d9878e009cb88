// The whole road with plain HTTP requests against the running program: the
// login page loaded and its script run in the browser engine the client
// uses, the picture read, the login, the accounts, an instant trade, an
// order with an appended order and its cancel, today's and past deals page
// by page, and the statement page by page, checking how the money moves.

#include "BankAnswer.h"
#include "PictureReader.h"
#include "SandboxProcess.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QNetworkCookie>
#include <QSet>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

namespace {

// The longest any page load or script of the browser engine may take.
constexpr int kBrowserTimeoutMs = 30000;

const QDateTime kToday(QDate(2024, 3, 15), QTime(10, 0));
const QString kCard = QStringLiteral("6222020200012345678");
const QString kUsdRemittance = QStringLiteral("00002");
const QString kYen = QStringLiteral("00004");

void makeApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static int argc = 1;
    static char name[] = "sandbox_end_to_end_test";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

template <class Done>
bool waitFor(Done done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < kBrowserTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QVariant runScript(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    waitFor([&] { return done; });
    return result;
}

class SandboxEndToEndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        makeApplication();
        bank = new SandboxProcess();
        ASSERT_TRUE(bank->start()) << qPrintable(bank->errorString());
    }
    static void TearDownTestSuite()
    {
        delete bank;
        bank = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(bank->reset(kToday, true)) << qPrintable(bank->errorString()); }

    // One transaction, its parameters in the client's order, values as they are.
    BankAnswer tx(const QString &txcode, const QList<QPair<QString, QString>> &params)
    {
        QString q = QStringLiteral("/app/vodMain?PT_STYLE=9&TXCODE=") + txcode;
        for (const auto &p : params)
            q += u'&' + p.first + u'=' + p.second;
        const SandboxProcess::HttpResult r = bank->get(q.toLatin1(), cookie);
        EXPECT_EQ(r.status, 200) << qPrintable(q);
        EXPECT_EQ(r.header("Content-Type"), QByteArray("text/xml; charset=gb2312")) << qPrintable(q);
        EXPECT_FALSE(r.body.contains('-')) << qPrintable(q);
        BankAnswer a = BankAnswer::fromBody(r.body, r.header("Content-Type"));
        EXPECT_TRUE(a.hasRoot()) << qPrintable(q) << " -> " << qPrintable(a.text.left(300));
        EXPECT_FALSE(a.isError()) << qPrintable(q) << " -> " << qPrintable(a.errorLines().join(u'|'));
        return a;
    }

    QMap<QString, QString> subAccount(const QString &sign)
    {
        const BankAnswer a = tx(QStringLiteral("310600"), {{"SKEY", skey}, {"USERID", userId}, {"BRANCHID", "110000000"},
                                                          {"ACC_NO", kCard}, {"ROW_NO", "1"}});
        for (const auto &s : a.entries(QStringLiteral("ACCOUNTINFOLIST")))
            if (s.value(QStringLiteral("ACC_SIGN")) == sign)
                return s;
        return {};
    }

    // Every page of a deal or order list, with the number of pages.
    QList<QMap<QString, QString>> allPages(const QString &txcode, const QString &start, const QString &end, int *pages)
    {
        QList<QMap<QString, QString>> out;
        int count = 1;
        for (int page = 1; page <= count; ++page) {
            const BankAnswer a = tx(txcode, {{"SKEY", skey}, {"BRANCHID", "110000000"}, {"USERID", userId},
                                             {"ACC_NO", kCard}, {"STARTDATE", start}, {"ENDDATE", end},
                                             {"PAGE", QString::number(page)},
                                             {"TRANS_FLAG", txcode == QLatin1String("320600") ? "0" : "1"}});
            count = a.value(QStringLiteral("PAGECOUNT")).toInt();
            out += a.entries(QStringLiteral("CONTRACTLIST"));
        }
        *pages = count;
        return out;
    }

    static SandboxProcess *bank;
    QByteArray cookie;
    QString skey;
    QString userId;
};

SandboxProcess *SandboxEndToEndTest::bank = nullptr;

} // namespace

TEST_F(SandboxEndToEndTest, LoginTradeAndQueriesAsTheClientWould)
{
    // 1. The login page, in a browser engine with a cookie store of its own.
    QWebEngineProfile profile;
    QList<QNetworkCookie> cookies;
    QObject::connect(profile.cookieStore(), &QWebEngineCookieStore::cookieAdded,
                     [&](const QNetworkCookie &c) { cookies << c; });
    QWebEnginePage page(&profile);
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    page.load(bank->loginUrl());
    ASSERT_TRUE(waitFor([&] { return loaded; })) << "login page did not load";
    ASSERT_TRUE(waitFor([&] { return !cookies.isEmpty(); })) << "the page set no cookie";
    cookie = cookies.first().name() + '=' + cookies.first().value();
    EXPECT_EQ(cookies.first().name(), QByteArray("JSESSIONID"));

    // 2. The picture named by the page, fetched with the session cookie, read.
    const QUrl pictureUrl(runScript(page, QStringLiteral("document.getElementsByName('fujiama')[0].src")).toString());
    ASSERT_TRUE(pictureUrl.isValid() && !pictureUrl.path().isEmpty());
    const SandboxProcess::HttpResult picture = bank->get(pictureUrl.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority), cookie);
    ASSERT_EQ(picture.header("Content-Type"), QByteArray("image/gif"));
    const QImage image = QImage::fromData(picture.body, "GIF");
    ASSERT_FALSE(image.isNull());
    const QString code = PictureReader::digits(image);
    ASSERT_EQ(code.size(), 4);
    EXPECT_EQ(code, bank->lastVerificationCode());

    // 3. The page's own script protects the password; 100101 with its values.
    const QVariantList values = runScript(page, QStringLiteral(
        "var f = document.forms['jhform']; f.USERID.value = 'zhangwei'; f.LOGPASS.value = '123456';"
        "f.PT_CONFIRM_PWD.value = '%1'; jiamiMima(); [f.LOGPASS.value, f.VOD_PWD_MAP_GIGEST.value]").arg(code)).toList();
    ASSERT_EQ(values.size(), 2);
    const QString logpass = values[0].toString();
    const QString digest = values[1].toString();
    EXPECT_NE(logpass, QStringLiteral("123456"));
    const BankAnswer login = tx(QStringLiteral("100101"), {{"USERID", "zhangwei"}, {"LOGPASS", logpass},
                                                          {"PT_CONFIRM_PWD", code}, {"VOD_PWD_MAP_GIGEST", digest}});
    skey = login.value(QStringLiteral("SKEY"));
    userId = login.value(QStringLiteral("USERID"));
    ASSERT_FALSE(skey.isEmpty());
    EXPECT_EQ(login.value(QStringLiteral("USERNAME")), QStringLiteral("张伟"));

    // 4. Accounts and sub-accounts.
    const BankAnswer cards = tx(QStringLiteral("310102"), {{"SKEY", skey}, {"USERID", userId},
                                                          {"COOKIES", login.value(QStringLiteral("COOKIES"))}});
    QStringList numbers;
    for (const auto &c : cards.entries(QStringLiteral("ACCQUERYLIST")))
        numbers << c.value(QStringLiteral("ACCOUNTNO"));
    ASSERT_TRUE(numbers.contains(kCard));
    EXPECT_EQ(cards.entries(QStringLiteral("FINAACCTLIST")).value(0).value(QStringLiteral("BBANK_NAME")), QStringLiteral("310104001"));
    const auto usd0 = subAccount(kUsdRemittance);
    const auto yen0 = subAccount(kYen);
    ASSERT_EQ(usd0.value(QStringLiteral("CASHTYPE")), QStringLiteral("美元"));
    ASSERT_EQ(yen0.value(QStringLiteral("CASHTYPE")), QStringLiteral("日元"));
    const double usdBalance = usd0.value(QStringLiteral("BALANCE")).toDouble();
    const double usdUsable = usd0.value(QStringLiteral("USEBALANCE")).toDouble();

    // 5. Instant trade: 1000 dollars into yen at the bank's 149.50.
    const QList<QPair<QString, QString>> trade = {{"SKEY", skey}, {"USERID", userId}, {"BRANCHID", "110000000"},
                                                  {"TRANS_PASSWD", "888888"}, {"SUB_ACC", kCard},
                                                  {"SELL_CUR_TYPE", "14"}, {"BUY_CUR_TYPE", "27"}, {"BILL_FLAG", "1"},
                                                  {"TRANS_DIR", "1"}, {"ACC_NO", kCard}};
    const BankAnswer quote = tx(QStringLiteral("320102"), trade + QList<QPair<QString, QString>>{{"CHANGED_AMOUNT", "1000"}});
    EXPECT_EQ(quote.value(QStringLiteral("RATIO")), QStringLiteral("149.5000"));
    const BankAnswer deal = tx(QStringLiteral("320100"), trade + QList<QPair<QString, QString>>{
        {"PT_SIGN_STR", quote.value(QStringLiteral("PT_SIGN_STR"))},
        {"CONTRACT_NO", quote.value(QStringLiteral("CONTRACT_NO"))}, {"CHANGED_AMOUNT", "1000"}});
    EXPECT_EQ(deal.value(QStringLiteral("RESULTMSG/BUY_CUR")), QStringLiteral("149500日元"));
    const QString dealNo = deal.value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    EXPECT_DOUBLE_EQ(subAccount(kUsdRemittance).value(QStringLiteral("BALANCE")).toDouble(), usdBalance - 1000);
    EXPECT_DOUBLE_EQ(subAccount(kYen).value(QStringLiteral("BALANCE")).toDouble(),
                     yen0.value(QStringLiteral("BALANCE")).toDouble() + 149500);

    // 6. An order holds 2000 dollars; an appended order on it; the cancel.
    const BankAnswer order = tx(QStringLiteral("320200"), {{"SKEY", skey}, {"USERID", userId}, {"BRANCHID", "110000000"},
                                                          {"TRANS_PASSWD", "888888"}, {"ACC_NO", kCard}, {"SUB_ACC", kCard},
                                                          {"BUY_CUR_TYPE", "27"}, {"QUOTEPRICE", "151.2"}, {"SHUTRATE", ""},
                                                          {"VLAIDDAY", "3"}, {"CHANGED_AMOUNT", "2000"}, {"TRANS_DIR", "1"},
                                                          {"BILL_FLAG", "1"}, {"SELL_CUR_TYPE", "14"}});
    const QString orderNo = order.value(QStringLiteral("RESULTMSG/CONTRCTNO"));
    ASSERT_FALSE(orderNo.isEmpty());
    EXPECT_DOUBLE_EQ(subAccount(kUsdRemittance).value(QStringLiteral("USEBALANCE")).toDouble(), usdUsable - 1000 - 2000);
    const BankAnswer appended = tx(QStringLiteral("321104"), {{"SKEY", skey}, {"BRANCHID", "110000000"}, {"USERID", userId},
                                                             {"TRANS_PASSWD", "888888"}, {"CONTRACT_NO1", orderNo},
                                                             {"NETBANKNO", orderNo}, {"ACC_NO", kCard}, {"BUY_CUR_TYPE", "14"},
                                                             {"QUOTEPRICE", "148.5"}, {"SHUTRATE", ""}, {"VLAIDDAY", "3"}});
    const QString appendedNo = appended.value(QStringLiteral("RESULTMSG/NEWCONTRACTNO"));
    ASSERT_FALSE(appendedNo.isEmpty());
    tx(QStringLiteral("320400"), {{"SKEY", skey}, {"BRANCHID", "110000000"}, {"USERID", userId}, {"CONTRACT_NO", orderNo},
                                  {"ACC_NO", kCard}, {"TRANS_PASSWD", "qbxmrt"}});
    EXPECT_DOUBLE_EQ(subAccount(kUsdRemittance).value(QStringLiteral("USEBALANCE")).toDouble(), usdUsable - 1000);

    // 7. Today's orders and deals, then the past deals over several pages.
    int pages = 0;
    QMap<QString, QString> statusOf;
    for (const auto &o : allPages(QStringLiteral("320800"), "20240315", "20240315", &pages))
        statusOf.insert(o.value(QStringLiteral("CONTRACTNO")), o.value(QStringLiteral("STATUSCODE")));
    EXPECT_EQ(statusOf.value(orderNo), QStringLiteral("2"));
    EXPECT_EQ(statusOf.value(appendedNo), QStringLiteral("2"));
    EXPECT_EQ(statusOf.value(QStringLiteral("240000000102")), QStringLiteral("0"));
    EXPECT_EQ(statusOf.value(QStringLiteral("240000000103")), QStringLiteral("3"));
    const auto today = allPages(QStringLiteral("320600"), "20240315", "20240315", &pages);
    ASSERT_EQ(today.size(), 3);
    EXPECT_EQ(today.first().value(QStringLiteral("CONTRACTNO")), dealNo);
    EXPECT_EQ(today.first().value(QStringLiteral("BANKDEFINE1")), QStringLiteral("149.5000")); // Beijing's deal rate
    const auto past = allPages(QStringLiteral("320600"), "20240101", "20240315", &pages);
    EXPECT_GE(pages, 3);
    QSet<QString> seen;
    for (const auto &d : past)
        seen.insert(d.value(QStringLiteral("CONTRACTNO")));
    EXPECT_EQ(seen.size(), past.size()); // no deal twice across the pages
    EXPECT_GT(past.size(), 20);

    // 8. The dollar statement page by page; it ends with the trade's line.
    QList<QMap<QString, QString>> lines;
    QString aStr;
    int count = 1;
    for (int page = 1; page <= count; ++page) {
        const BankAnswer a = tx(QStringLiteral("310200"),
                                {{"SKEY", skey}, {"USERID", userId}, {"BRANCHID", "110000000"}, {"ACC_NO", kCard},
                                 {"ACC_SIGN", kUsdRemittance}, {"START_DATE", "20231201"}, {"END_DATE", "20240315"},
                                 {"PAGE", QString::number(page)}, {"PDT_CODE", usd0.value(QStringLiteral("PDT_CODE"))},
                                 {"A_STR", aStr}, {"IS_UPDATE", "1"}, {"UPDATE_DETAIL", "1"}, {"STR_USERID", userId},
                                 {"CURRENT_PAGE", QString::number(qMax(1, page - 1))}});
        if (page == 1)
            count = a.value(QStringLiteral("PAGECOUNT")).toInt();
        aStr = a.value(QStringLiteral("A_STR"));
        lines += a.entries(QStringLiteral("DETAILLIST"));
    }
    EXPECT_EQ(count, 3);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last().value(QStringLiteral("CHANGEDATE")), QStringLiteral("2024/03/15"));
    EXPECT_EQ(lines.last().value(QStringLiteral("INOUT")), QStringLiteral("0"));
    EXPECT_EQ(lines.last().value(QStringLiteral("CHANGEAMOUNT")), QStringLiteral("1000.00"));
    EXPECT_DOUBLE_EQ(lines.last().value(QStringLiteral("BALANCE")).toDouble(), usdBalance - 1000);
}

TEST_F(SandboxEndToEndTest, ValuesOfAnotherPageLoadDoNotLogIn)
{
    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    QList<QNetworkCookie> cookies;
    QObject::connect(profile.cookieStore(), &QWebEngineCookieStore::cookieAdded,
                     [&](const QNetworkCookie &c) { cookies << c; });
    page.load(bank->loginUrl());
    ASSERT_TRUE(waitFor([&] { return loaded && !cookies.isEmpty(); }));
    const QString code = bank->lastVerificationCode();
    const QVariantList values = runScript(page, QStringLiteral(
        "var f = document.forms['jhform']; f.USERID.value = 'zhangwei'; f.LOGPASS.value = '123456';"
        "f.PT_CONFIRM_PWD.value = '%1'; jiamiMima(); [f.LOGPASS.value, f.VOD_PWD_MAP_GIGEST.value]").arg(code)).toList();
    ASSERT_EQ(values.size(), 2);

    // The page is loaded again: a new nonce and code for the same session.
    loaded = false;
    page.triggerAction(QWebEnginePage::Reload);
    ASSERT_TRUE(waitFor([&] { return loaded; }));
    const QByteArray c = cookies.last().name() + '=' + cookies.last().value();
    const SandboxProcess::HttpResult r = bank->get(
        QStringLiteral("/app/vodMain?PT_STYLE=9&TXCODE=100101&USERID=zhangwei&LOGPASS=%1&PT_CONFIRM_PWD=%2&VOD_PWD_MAP_GIGEST=%3")
            .arg(values[0].toString(), bank->lastVerificationCode(), values[1].toString())
            .toLatin1(),
        c);
    const BankAnswer a = BankAnswer::fromBody(r.body);
    EXPECT_TRUE(a.isError()) << qPrintable(a.text);
}
