// Bank operations against a scripted bank, for the cases the sandbox bank
// cannot stage: a failure on a later statement page, page counts beyond
// belief, requests refused before anything is sent.

#include "BankTestSupport.h"
#include "EAnswerError.h"
#include "TAccount.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TGetData.h"
#include "TInCom.h"
#include "TSettings.h"
#include "TUser.h"
#include "TestHttpServer.h"
#include "platform/Formats.h"
#include "platform/MessageBoxes.h"

#include <cmath>
#include <limits>

namespace {

QByteArray statementPage(int pageCount, const char *aStr)
{
    return gbkXml(QStringLiteral("<ROOT><PAGECOUNT>%1</PAGECOUNT><A_STR>%2</A_STR><DETAILLIST><L>"
                                 "<CHANGEDATE>2007/08/20</CHANGEDATE><CHANGEPLACE>p</CHANGEPLACE>"
                                 "<CHANGEAMOUNT>1</CHANGEAMOUNT><INOUT>1</INOUT><MEMO>m</MEMO><BALANCE>1</BALANCE>"
                                 "</L></DETAILLIST></ROOT>")
                      .arg(pageCount)
                      .arg(QLatin1String(aStr)));
}

class OperationsTest : public BankTest
{
public:
    OperationsTest()
    {
        makeUser();
        m_observer = Msg::addObserver([this](const Msg::Request &r) { boxes << r.text; });
    }
    ~OperationsTest() override { Msg::removeObserver(m_observer); }

    void useBank(TestHttpServer &server) { Settings->DataSvrIp = server.base() + QStringLiteral("/app/vodMain"); }

    QStringList boxes;

private:
    int m_observer = 0;
};

} // namespace

TEST_F(OperationsTest, AFailureOnALaterStatementPageEmptiesTheStatement)
{
    for (const char *failure : {"error", "drop"}) {
        TestHttpServer server([&](const TestRequest &r) {
            const QByteArray page = r.param("PAGE");
            if (page == "1")
                return reply(200, "text/xml; charset=gb2312", statementPage(3, "K1"));
            if (page == "2" && r.param("A_STR") == "K1" && r.param("CURRENT_PAGE") == "1")
                return reply(200, "text/xml; charset=gb2312", statementPage(3, "K2"));
            if (QByteArray(failure) == "drop")
                return reply(200).hangUp();
            return reply(200, "text/xml; charset=gb2312",
                         gbkXml(QStringLiteral("<ROOT><ERROR><ERRORLIST><E>x</E></ERRORLIST></ERROR></ROOT>")));
        });
        useBank(server);
        TInCom q(Settings);
        q.Account = card().SubAccounts.Item(0);
        boxes.clear();
        EXPECT_NO_THROW(TGetData::LoadStatement(q)) << failure;
        EXPECT_EQ(q.Details.Count(), 0) << failure;
        EXPECT_EQ(boxes, QStringList{QStringLiteral("通讯故障，请稍后再试")}) << failure;
        EXPECT_EQ(server.requests().size(), 3u) << failure;
    }
}

TEST_F(OperationsTest, APageCountBeyondBeliefIsAFailure)
{
    TestHttpServer server([](const TestRequest &) {
        return reply(200, "text/xml", "<ROOT><PAGECOUNT>99999999</PAGECOUNT><CONTRACTLIST/></ROOT>");
    });
    useBank(server);
    TBargainingHistory h(Settings, &card());
    h.TransType = QStringLiteral("3116");
    try {
        TGetData::LoadHistory(h);
        ADD_FAILURE() << "no failure";
    } catch (const EResponseError &e) {
        EXPECT_EQ(e.message(), EAnswerError::GenericMessage());
    }
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(OperationsTest, TodaysListAsksForToday)
{
    TestHttpServer server([](const TestRequest &) {
        return reply(200, "text/xml", "<ROOT><PAGECOUNT>1</PAGECOUNT><CONTRACTLIST/></ROOT>");
    });
    useBank(server);
    TBargainingToday t(Settings, &card());
    t.BeginDate = t.EndDate = Formats::today() - 30; // today's list ignores the range
    t.TransType = QStringLiteral("3115");
    TGetData::LoadToday(t);
    ASSERT_EQ(server.requests().size(), 1u);
    const QByteArray today = Formats::bankDate(Formats::today()).toLatin1();
    EXPECT_EQ(server.requests()[0].param("STARTDATE"), today);
    EXPECT_EQ(server.requests()[0].param("ENDDATE"), today);
    EXPECT_EQ(server.requests()[0].param("TXCODE"), QByteArray("320600"));
}

TEST_F(OperationsTest, RequestsThatCannotBeRightAreNeverSent)
{
    TestHttpServer server([](const TestRequest &) { return reply(200, "text/xml", "<ROOT/>"); });
    useBank(server);
    TBargaining t(Settings, &card());
    t.TransDir = QStringLiteral("1");
    t.Step = QStringLiteral("0004");
    EXPECT_THROW(TGetData::SendBargaining(t), EResponseError);
    t.Step = QStringLiteral("0001");
    t.SellAmount = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(TGetData::SendBargaining(t), EResponseError);
    TDelegateCancel c(Settings, nullptr);
    EXPECT_THROW(TGetData::SendDelegateCancel(c), EResponseError);
    EXPECT_TRUE(server.requests().empty());
}
