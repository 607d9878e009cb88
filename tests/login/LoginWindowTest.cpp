// The login window and the account choice, driven as a customer would,
// against the sandbox bank with its login page running in QtWebEngine.

#include "QtPrinters.h"
#include "SandboxProcess.h"

#include "SharedInstances.h"
#include "Startup.h"
#include "TAccount.h"
#include "TBranchBankController.h"
#include "TChooseAcctFm.h"
#include "TSettings.h"
#include "TUser.h"
#include "bank/TGetData.h"
#include "bank/login/LoginNumbers.h"
#include "bank/login/TLoginFm.h"
#include "bank/login/TLoginPage.h"
#include "platform/MessageBoxes.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

SandboxProcess *bank = nullptr;

bool waitFor(const std::function<bool()> &done, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class LoginWindowTest : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        bank = new SandboxProcess();
        ASSERT_TRUE(bank->start()) << bank->errorString().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete bank;
        bank = nullptr;
    }

protected:
    QTemporaryDir programDir, tempDir;
    std::unique_ptr<SharedInstances::Scope> shared;
    QStringList boxes;
    int observer = 0;

    void SetUp() override
    {
        ASSERT_TRUE(bank->reset());
        setProgramDir(programDir.path());
        qputenv("OSTREL_TEMP_DIR", tempDir.path().toLocal8Bit());
        for (const char *name : {"DededEri.ini", "model.ini"}) {
            QFile::copy(QStringLiteral(OSTREL_DATA_DIR "/") + QLatin1String(name), programDir.filePath(QLatin1String(name)));
            QFile::setPermissions(programDir.filePath(QLatin1String(name)), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        shared = std::make_unique<SharedInstances::Scope>();
        ASSERT_TRUE(Settings->LoadSystemIni());
        CurrencyList_build();
        Settings->LoginUrl = bank->loginUrl().toString();
        Settings->DataSvrIp = Settings->DataSvrIpWithCer = bank->transactionUrl().toString();
        observer = Msg::addObserver([this](const Msg::Request &r) { boxes << r.text; });
        TGetData::InstallGateway();
    }
    void TearDown() override
    {
        Msg::removeObserver(observer);
        shared.reset();
    }
    static void CurrencyList_build();

    // A login window, shown, with its picture obtained.
    std::unique_ptr<TLoginFm> openWindow(bool atStartup = true)
    {
        auto form = std::make_unique<TLoginFm>(atStartup);
        form->show();
        EXPECT_TRUE(waitFor([&] { return form->BtnOk->isEnabled() || form->EndProgram; })) << "no picture";
        return form;
    }
    void type(TLoginFm &form, const QString &login, const QString &password, const QString &code)
    {
        form.cbkCerty->setEditText(login);
        form.edpass->setText(password);
        form.EdtVerCode->setText(code);
    }
};

} // namespace

#include "TCurrencyList.h"

void LoginWindowTest::CurrencyList_build()
{
    ::CurrencyList->Build(Settings->CurrencyDic);
}

TEST_F(LoginWindowTest, LogsInWithThePageProtectedPassword)
{
    auto form = openWindow();
    ASSERT_TRUE(form->BtnOk->isEnabled());
    EXPECT_EQ(form->BtnCancel->text(), QStringLiteral("退出"));
    EXPECT_FALSE(form->Image->pixmap().isNull());
    type(*form, QStringLiteral(" 330106198505052222 "), QStringLiteral("654321"), bank->lastVerificationCode());
    form->BtnOk->click();
    ASSERT_TRUE(waitFor([&] { return form->result() == 1; })) << boxes.join(QLatin1Char('\n')).toStdString();
    ASSERT_NE(CurrentUser, nullptr);
    EXPECT_EQ(CurrentUser->UserName, QStringLiteral("李娜"));
    EXPECT_FALSE(Settings->SessionKey.isEmpty());
    EXPECT_GE(CurrentUser->Accounts.Count(), 3);
    EXPECT_EQ(LoginName, QStringLiteral("330106198505052222"));
    EXPECT_EQ(LoginNumbers::Stored(), QStringList{"330106198505052222"});
    // The per-user ini was read (and made from the template).
    EXPECT_TRUE(QFile::exists(Settings->UserIniPath(LoginName)));

    // The typed password reached no file the client wrote.
    for (const QString &root : {programDir.path(), tempDir.path()}) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            EXPECT_FALSE(bytes.contains("654321")) << f.fileName().toStdString();
            EXPECT_FALSE(bytes.contains(QByteArray("6\x005\x004\x003\x002\x001", 11))) << f.fileName().toStdString();
        }
    }
}

TEST_F(LoginWindowTest, RefusesAShortPasswordBeforeSendingAnything)
{
    auto form = openWindow();
    const qint64 before = bank->requestLog().size();
    struct Case {
        const char *login, *password, *code;
        QString message;
    } cases[] = {
        {"  ", "654321", "1234", QStringLiteral("请输入证件号码/昵称！")},
        {"lina", "65432", "1234", QStringLiteral("请检验您输入的密码！\n密码不能小于6位")},
        {"lina", "654321", " ", QStringLiteral("请输入附加码！")},
    };
    for (const auto &c : cases) {
        boxes.clear();
        type(*form, QLatin1String(c.login), QLatin1String(c.password), QLatin1String(c.code));
        form->BtnOk->click();
        EXPECT_EQ(boxes, QStringList{c.message});
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->BtnOk->isEnabled());
    }
    EXPECT_EQ(bank->requestLog().size(), before);
    // Six characters with blanks pass the check (and reach the bank).
    boxes.clear();
    type(*form, QStringLiteral("lina"), QStringLiteral("  ab  "), bank->lastVerificationCode());
    form->BtnOk->click();
    ASSERT_TRUE(waitFor([&] { return !boxes.isEmpty(); }));
    EXPECT_FALSE(boxes.first().contains(QStringLiteral("密码不能小于6位")));
}

TEST_F(LoginWindowTest, AWrongCodeKeepsThePictureAndTheWindow)
{
    auto form = openWindow();
    const qint64 picture = form->Image->pixmap().cacheKey();
    const QString code = bank->lastVerificationCode();
    type(*form, QStringLiteral("lina"), QStringLiteral("654321"), code == QLatin1String("0000") ? QStringLiteral("1111") : QStringLiteral("0000"));
    form->BtnOk->click();
    ASSERT_TRUE(waitFor([&] { return !boxes.isEmpty(); }));
    EXPECT_TRUE(boxes.first().contains(QStringLiteral("附加码错误"))) << boxes.first().toStdString();
    EXPECT_EQ(form->Image->pixmap().cacheKey(), picture);
    EXPECT_TRUE(form->BtnOk->isEnabled());
    EXPECT_EQ(CurrentUser, nullptr);
    EXPECT_TRUE(form->isVisible());

    // A blocked user gets the bank's refusal the same way.
    boxes.clear();
    type(*form, QStringLiteral("wangqiang"), QStringLiteral("111111"), code);
    form->BtnOk->click();
    ASSERT_TRUE(waitFor([&] { return !boxes.isEmpty(); }));
    EXPECT_EQ(CurrentUser, nullptr);
    EXPECT_TRUE(form->BtnOk->isEnabled());
}

TEST_F(LoginWindowTest, NoPictureAsksToRetryAndEndsWhenRefused)
{
    struct Case {
        const char *what;
        std::function<void()> breakIt;
    } cases[] = {
        // Twice: the page's own image element fetches the picture too.
        {"picture fails", [] {
             bank->injectFault(QStringLiteral("PICTURE"), SandboxProcess::Fault::Empty);
             bank->injectFault(QStringLiteral("PICTURE"), SandboxProcess::Fault::Empty);
         }},
        {"page without fujiama", [] { bank->injectFault(QStringLiteral("LOGINPAGE"), SandboxProcess::Fault::Html, QStringLiteral("server")); }},
        {"no server", [] { Settings->LoginUrl = QStringLiteral("http://127.0.0.1:1/login.html"); }},
    };
    for (const auto &c : cases) {
        boxes.clear();
        c.breakIt();
        auto form = std::make_unique<TLoginFm>(false);
        form->show();
        ASSERT_TRUE(waitFor([&] { return form->EndProgram; })) << c.what;
        EXPECT_EQ(boxes, QStringList{QStringLiteral("无法获取附加码，可能是服务器太忙或网络故障,是否重试一次?")}) << c.what;
        EXPECT_FALSE(form->BtnOk->isEnabled());
        Settings->LoginUrl = bank->loginUrl().toString();
    }
}

TEST_F(LoginWindowTest, RemembersEachLoginNumberOnce)
{
    for (const char *login : {"lina", "lina", "zhangwei"}) {
        auto form = openWindow();
        type(*form, QLatin1String(login), QLatin1String(QByteArray(login) == "lina" ? "654321" : "123456"), bank->lastVerificationCode());
        form->BtnOk->click();
        ASSERT_TRUE(waitFor([&] { return form->result() == 1; })) << login;
    }
    const QString ini = TSettings::SystemIniFile();
    EXPECT_EQ(Profile::readString(ini, "LOGINNO", "user0"), LoginNumbers::Encode("lina"));
    EXPECT_EQ(Profile::readString(ini, "LOGINNO", "user1"), LoginNumbers::Encode("zhangwei"));
    EXPECT_FALSE(Profile::hasKey(ini, "LOGINNO", "user2"));
    // Offered only when the user keeps the number on this machine.
    EXPECT_TRUE(LoginNumbers::Offered().isEmpty());
    Profile::writeString(Settings->UserIniPath("zhangwei"), "Setting", "SaveCerty", "1");
    EXPECT_EQ(LoginNumbers::Offered(), QStringList{"zhangwei"});
}

// The login procedure with the real windows: a cancelled account choice
// ("重登录") brings the login window back; the second choice applies the
// account and its branch.
class RobotFlow : public LoginFlow
{
public:
    int logins = 0, choices = 0;
    bool showLoginWindow(bool reLogin) override
    {
        ++logins;
        TLoginFm form(reLogin);
        QTimer robot;
        QObject::connect(&robot, &QTimer::timeout, &form, [&] {
            if (!form.BtnOk->isEnabled() || form.cbkCerty->currentText() == QLatin1String("zhangwei"))
                return;
            form.cbkCerty->setEditText(QStringLiteral("zhangwei"));
            form.edpass->setText(QStringLiteral("123456"));
            form.EdtVerCode->setText(bank->lastVerificationCode());
            form.BtnOk->click();
        });
        robot.start(50);
        return form.exec() == 1;
    }
    bool showAccountChoice(bool first) override
    {
        ++choices;
        TChooseAcctFm choice(first);
        QTimer::singleShot(0, &choice, [&] {
            if (choices == 1) {
                choice.BtnReLogin->click();
                return;
            }
            choice.selectRow(0);
            choice.BtnOk->click();
        });
        return choice.exec() == QDialog::Accepted;
    }
    void requestTerminate() override {}
};

TEST_F(LoginWindowTest, CancelledAccountChoiceGoesBackToTheLogin)
{
    RobotFlow flow;
    ASSERT_TRUE(RunLogin(flow, true));
    EXPECT_EQ(flow.logins, 2);
    EXPECT_EQ(flow.choices, 2);
    ASSERT_NE(CurrentAccount, nullptr);
    EXPECT_EQ(Settings->BranchCode, CurrentAccount->BranchId);
    ASSERT_NE(CurrentBranchController(), nullptr);
    EXPECT_EQ(CurrentBranchController()->BranchCode(), CurrentAccount->ProvinceCode().left(3) + "000000");
}

int main(int argc, char **argv)
{
    // Windows are drawn offscreen unless a platform is named (the test list
    // is also read at build time, where there is no display).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
