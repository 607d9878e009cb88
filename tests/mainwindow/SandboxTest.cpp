// The main window and the account views against the sandbox bank through
// the real bank session: the first show's fetch into the account page, a
// statement over several pages, the keep-alive alternation on the wire.

#include "BankCookieJar.h"
#include "BankNetwork.h"
#include "BankBrowser.h"
#include "BankTestSupport.h"
#include "BranchDirectory.h"
#include "SandboxProcess.h"
#include "SessionKeeper.h"
#include "StatementModel.h"
#include "SubAccountModel.h"
#include "TAccount.h"
#include "TAccountFm.h"
#include "TAcctDetailfm.h"
#include "TCurrency.h"
#include "TFrameAcct.h"
#include "TGetData.h"
#include "TGetDataSessionBank.h"
#include "TMainfm.h"
#include "TSettings.h"
#include "TUser.h"
#include "TWebDownloader.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest/QTest>

namespace {

constexpr int kWaitMs = 5000;

// What the sandbox's login page script makes of the password and the form.
QString protectPassword(const QString &nonce, const QString &password)
{
    const QByteArray plain = password.toUtf8();
    QByteArray stream;
    for (int block = 0; stream.size() < plain.size(); ++block)
        stream += QCryptographicHash::hash((nonce + QLatin1Char('#') + QString::number(block)).toUtf8(),
                                           QCryptographicHash::Sha256);
    QByteArray out(plain.size(), '\0');
    for (qsizetype i = 0; i < plain.size(); ++i)
        out[i] = char(plain[i] ^ stream[i]);
    return QString::fromLatin1(out.toHex().toUpper());
}

QString digestOf(const QString &nonce, const QString &loginNo, const QString &protectedPassword, const QString &code)
{
    const QString text = nonce + QLatin1Char('|') + loginNo + QLatin1Char('|') + protectedPassword + QLatin1Char('|') + code;
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

class MainSandboxTest : public SandboxBankTest
{
public:
    void SetUp() override
    {
        SandboxBankTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        TGetDataSessionBank::InstallForClient();
        TMainfm::Ext().confirmExit = [](QWidget *) { return true; };
        TMainfm::Ext().terminate = [] {};
        login();
        for (const auto &a : CurrentUser->Accounts)
            if (a->AccountNo == QLatin1String(kBeijingCard))
                CurrentAccount = a.get();
        ASSERT_NE(CurrentAccount, nullptr);
        BranchDirectory::ChooseForBranch(CurrentAccount->BranchId);
        window = new TMainfm;
        page = new TAccountFm(window);
        window->AttachAccountPage(page);
    }
    void TearDown() override
    {
        delete window;
        TMainfm::Ext() = {};
        SessionBank::Install(nullptr);
        CurrentAccount = nullptr;
        SandboxBankTest::TearDown();
    }

    void login()
    {
        TWebDownloader pageFetch;
        pageFetch.Download(bank->loginUrl().toString());
        const QString html = pageFetch.GetPageText();
        const auto nonce = QRegularExpression(QStringLiteral("PAGE_NONCE = \"([0-9a-f]+)\"")).match(html);
        const auto picture = QRegularExpression(QStringLiteral("fujiama\"[^>]*src=\"([^\"]+)\"")).match(html);
        ASSERT_TRUE(nonce.hasMatch() && picture.hasMatch());
        TGetData::FetchToFile(picture.captured(1), workDir() + QStringLiteral("tmp.jpg"));
        const QString code = bank->lastVerificationCode();
        const QString pwd = protectPassword(nonce.captured(1), QStringLiteral("123456"));
        CurrentUser = TGetData::Login(QStringLiteral("zhangwei"), pwd, code,
                                      digestOf(nonce.captured(1), QStringLiteral("zhangwei"), pwd, code), *Settings);
        CurrentUser->Accounts.Clear();
        TGetData::LoadAccounts(*CurrentUser);
    }

    QStringList txcodes(qint64 since)
    {
        QStringList out;
        for (const auto &e : bank->requestLog(since))
            if (!e.txcode.isEmpty())
                out << e.txcode;
        return out;
    }
    qint64 lastSeq()
    {
        const auto log = bank->requestLog();
        return log.isEmpty() ? 0 : log.last().seq;
    }

    static constexpr const char *kBeijingCard = "6222020200012345678";
    TMainfm *window = nullptr;
    TAccountFm *page = nullptr;
};

TEST_F(MainSandboxTest, FirstShowFillsTheAccountPageFromTheBank)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->Frame->Model->rowCount() == 6; }, kWaitMs));
    const auto &rows = page->Frame->Model->rows();
    // Sorted by currency code: the CNY sub-account first.
    EXPECT_EQ(rows.front().code, QStringLiteral("01"));
    EXPECT_EQ(page->Frame->Model->index(0, SubAccountModel::ColCashTotal).data().toString(),
              QStringLiteral("58,000.00"));
    page->Frame->SetTarget(QStringLiteral("01"));
    // Without quotes only CNY converts: the totals stay "-".
    EXPECT_EQ(page->Frame->LabTotal->text(), QStringLiteral("-"));
}

TEST_F(MainSandboxTest, StatementOverSeveralPages)
{
    ASSERT_TRUE(bank->configure(QStringLiteral("statement_page_size"), 10));
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->Frame->Model->rowCount() == 6; }, kWaitMs));
    const TAccount *usd = nullptr;
    for (const auto &s : CurrentAccount->SubAccounts)
        if (s->Currency && s->Currency->Code == QLatin1String("14") && s->AccSign == QLatin1String("00002"))
            usd = s.get();
    ASSERT_NE(usd, nullptr);
    TAcctDetailfm dlg(*usd, window);
    dlg.edtBeginDate->setDate(QDate::currentDate().addDays(-100));
    dlg.edtEndDate->setDate(QDate::currentDate());
    const qint64 since = lastSeq();
    dlg.Query();
    EXPECT_EQ(dlg.Model->rowCount(), 27);
    EXPECT_EQ(txcodes(since), (QStringList{"310200", "310200", "310200"}));
}

TEST_F(MainSandboxTest, KeepAliveAlternatesOnTheWire)
{
    const qint64 since = lastSeq();
    Settings->LastRequestTick = 1000;
    Settings->LastKeepAliveTick = 1000;
    for (uint32_t now : {1000u + 360001u, 1000u + 2 * 360002u}) {
        const auto r = SessionKeeper::Tick(*Settings, -1, now, CurrentAccount, SessionBank::Current());
        EXPECT_TRUE(r.keepAliveSent);
        // The navigation finishes in the background.
        EXPECT_TRUE(QTest::qWaitFor([] { return BankBrowser::Instance()->PendingNavigations() == 0; }, kWaitMs));
    }
    EXPECT_EQ(txcodes(since), (QStringList{"320800", "310700"}));
    EXPECT_EQ(Settings->LastRequestTick, 1000u);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
