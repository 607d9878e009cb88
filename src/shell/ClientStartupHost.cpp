#include "ClientStartupHost.h"

#include "SharedInstances.h"
#include "TAccountFm.h"
#include "TGetDataSessionBank.h"
#include "TMainfm.h"
#include "TOtherAcctlistFm.h"
#include "TKestrovaThread.h"
#include "TChooseAcctFm.h"
#include "TSettings.h"
#include "bank/login/TLoginFm.h"
#include "TSplashForm.h"

#include <QApplication>
#include <QPushButton>

namespace {

// The login procedure's windows.
class ClientLoginFlow : public LoginFlow
{
public:
    bool showLoginWindow(bool reLogin) override
    {
        bool endProgram = false;
        const bool ok = TLoginFm::ShowLogin(reLogin, &endProgram) == 1;
        m_end = m_end || endProgram;
        return ok;
    }
    bool showAccountChoice(bool firstChoice) override
    {
        TChooseAcctFm::EndApplication = [this] { m_end = true; };
        TChooseAcctFm choice(firstChoice);
        const bool ok = choice.exec() == QDialog::Accepted;
        TChooseAcctFm::EndApplication = nullptr;
        return ok;
    }
    void requestTerminate() override { QCoreApplication::exit(0); }
    bool terminationRequested() const override { return m_end; }

private:
    bool m_end = false;
};

} // namespace

ClientStartupHost::ClientStartupHost() = default;
ClientStartupHost::~ClientStartupHost()
{
    // The main window goes before the shared instances it shows.
    delete m_mainWindow.data();
}

void ClientStartupHost::createMainWindow()
{
    TGetDataSessionBank::InstallForClient();
    auto *window = new TMainfm;
    m_mainWindow = window;
    QPointer<TMainfm> guard(window);
    // The account choice fetches the sub-accounts when the window shows.
    TChooseAcctFm::AccountApplied = [guard] {
        if (guard)
            guard->AccountChosen();
    };
    // "查看非外汇账号信息" of the account choice opens the other accounts.
    TChooseAcctFm::ShowOtherAccounts = [](QWidget *parent) {
        TOtherAcctlistFm other(parent);
        other.exec();
    };
    TMainfm::Ext().chooseAccount = [](QWidget *parent) {
        TChooseAcctFm choice(false, parent);
        return choice.exec() == QDialog::Accepted;
    };
}

void ClientStartupHost::createPageWindows()
{
    if (TMainfm *window = mainWindow())
        window->AttachAccountPage(new TAccountFm(window));
}

TMainfm *ClientStartupHost::mainWindow() const
{
    return qobject_cast<TMainfm *>(m_mainWindow.data());
}

void ClientStartupHost::showSplash(const QString &status)
{
    if (!m_splash)
        m_splash = std::make_unique<TSplashForm>();
    m_splash->showStatus(status);
}

void ClientStartupHost::hideSplash()
{
    if (m_splash)
        m_splash->hide();
}

void ClientStartupHost::destroySplash()
{
    m_splash.reset();
}

bool ClientStartupHost::runLogin()
{
    TLoginFm::CloseSplash = [this] { hideSplash(); };
    ClientLoginFlow flow;
    const bool ok = RunLogin(flow, true);
    TLoginFm::CloseSplash = nullptr;
    return ok;
}

void ClientStartupHost::startServerTimeThread()
{
    TKestrovaThread::Start(Settings);
}

int ClientStartupHost::runMessageLoop()
{
    if (!m_mainWindow)
        return kExitOk;
    m_mainWindow->showMaximized();
    return QApplication::exec();
}
