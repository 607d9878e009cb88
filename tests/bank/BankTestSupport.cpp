#include "BankTestSupport.h"

#include "BankCookieJar.h"
#include "BankGateway.h"
#include "BankNetwork.h"
#include "SandboxProcess.h"
#include "TGetData.h"
#include "TAccount.h"
#include "TBranchBankController.h"
#include "TCurrencyList.h"
#include "TSettings.h"
#include "TUser.h"
#include "TransactionGuard.h"
#include "DiagnosticLog.h"
#include "platform/GbkText.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

namespace {
int g_argc = 1;
char g_arg0[] = "ostrel_bank_tests";
char *g_argv[] = {g_arg0, nullptr};

const char *kCurrencies[] = {
    "01=人民币|CNY|RENMINBI||0", "12=英镑|GBP|POUND STERLING||1", "13=港币|HKD|HONGKONG DOLLAR||1",
    "14=美元|USD|US DOLLAR||1",  "18=新加坡元|SGD|SINGAPORE DOLLAR||1", "27=日元|JPY|JAPANESE YEN||1",
    "29=澳大利亚元|AUD|AUSTRALIAN DOLLAR||1", "38=欧元|EUR|EURO||1",
};
} // namespace

void ensureTestApp()
{
    if (!QCoreApplication::instance())
        new QCoreApplication(g_argc, g_argv);
}

void pumpEvents(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

BankTest::BankTest()
{
    ensureTestApp();
    qputenv("OSTREL_TEMP_DIR", m_tempDir.path().toUtf8());
    setProgramDir(m_programDir.path());
    setRunFromCDOverride(0);
    m_shared = std::make_unique<SharedInstances::Scope>();
    QStringList lines;
    for (const char *l : kCurrencies)
        lines << QString::fromUtf8(l);
    Settings->CurrencyDic = lines;
    CurrencyList->Build(lines);
    Settings->DataSvrIp = QStringLiteral("http://bank.test/app/vodMain");
    Settings->DataSvrIpWithCer = QStringLiteral("https://bank.test/app/vodMain");
    Settings->UseCert = false;
    Settings->SessionKey = QStringLiteral("SK1");
    writeSystemIni();
}

BankTest::~BankTest()
{
    SetBranchController(nullptr);
    m_shared.reset();
    setRunFromCDOverride(-1);
}

void BankTest::writeSystemIni(const QString &extraLines)
{
    QString ini = QStringLiteral("[BranchQuoteServers]\r\n"
                                 "110000000=http://q110.test\r\n"
                                 "220000000=http://q220.test/\r\n"
                                 "310000000=http://q310.test\r\n"
                                 "330000000=http://q330.test:8080\r\n"
                                 "360000000=http://q360.test\r\n"
                                 "420000000=http://q420.test\r\n"
                                 "420000000Chart=http://k420.test\r\n"
                                 "511000000=http://q511.test\r\n"
                                 "211000000=http://q211.test\r\n");
    ini += extraLines;
    QFile f(programDir() + QStringLiteral("DededEri.ini"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(Gbk::encode(ini));
}

QString BankTest::workDir() const
{
    return TempWorkDir();
}

QString BankTest::diagnosticLog() const
{
    QFile f(DiagnosticLog::FilePath());
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return Gbk::decode(f.readAll());
}

TUser &BankTest::makeUser()
{
    CurrentUser = std::make_unique<TUser>(Settings);
    TUser &u = *CurrentUser;
    u.UserId = QStringLiteral("U1001");
    u.Cookies = QStringLiteral("C1");
    auto *c = u.Accounts.Emplace<TAccount>(Settings, &u);
    c->BranchId = QStringLiteral("330100000");
    c->AccountNo = QStringLiteral("6222001");
    c->AccountType = QStringLiteral("01");
    c->FlagCard = QStringLiteral("1");
    for (const char *chaoHui : {"0", "1"}) {
        auto *s = c->SubAccounts.Emplace<TAccount>(Settings, &u);
        s->BranchId = c->BranchId;
        s->Currency = CurrencyList->FindByCode(QStringLiteral("14"));
        s->ChaoHui = QLatin1String(chaoHui);
        s->SaveType = DemandSaveType();
        s->AccountNo = QStringLiteral("6222001-14-") + QLatin1String(chaoHui);
        s->AccSign = QStringLiteral("SIGN") + QLatin1String(chaoHui);
        s->PdtCode = QStringLiteral("P1");
    }
    CurrentAccount = c;
    return u;
}

TAccount &BankTest::card() const
{
    return *CurrentUser->Accounts.Item(0);
}

void SandboxBankTest::SetUpTestSuite()
{
    ensureTestApp();
    bank = new SandboxProcess();
    if (!bank->start())
        startError = bank->errorString();
}

void SandboxBankTest::TearDownTestSuite()
{
    delete bank;
    bank = nullptr;
}

void SandboxBankTest::SetUp()
{
    if (!bank || !bank->isRunning())
        GTEST_SKIP() << "the sandbox bank did not start: " << startError.toStdString();
    ASSERT_TRUE(bank->reset()) << bank->errorString().toStdString();
    BankNetwork::CookieJar()->Clear();
    Settings->DataSvrIp = bank->transactionUrl().toString();
    Settings->UseCert = false;
    Settings->ExtraTransParams.clear();
    TGetData::InstallGateway();
}

void SandboxBankTest::TearDown()
{
    BankGateway::Install(nullptr);
}
