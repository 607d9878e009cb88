#include "ClientStartupHost.h"

#include "SharedInstances.h"
#include "TAccountFm.h"
#include "TGetDataSessionBank.h"
#include "TMainfm.h"
#include "TOtherAcctlistFm.h"
#include "TKestrovaThread.h"
#include "TChooseAcctFm.h"
#include "TSettings.h"
#include "TSplashForm.h"

#include <QApplication>
#include <QPushButton>

namespace {

// The login procedure's windows; they arrive with the login window.
class ClientLoginFlow : public LoginFlow
{
public:
    bool showLoginWindow(bool) override { return false; }
    bool showAccountChoice(bool) override { return false; }
    void requestTerminate() override { QCoreApplication::exit(0); }
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
    TMainfm::Ext().chooseAccount = [](QWidget *parent) {
        TChooseAcctFm choice(false, parent);
        // "查看非外汇账号信息" opens the other accounts.
        choice.BtnOther->setEnabled(true);
        QObject::connect(choice.BtnOther, &QPushButton::clicked, &choice, [&choice] {
            TOtherAcctlistFm other(&choice);
            other.exec();
        });
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
    ClientLoginFlow flow;
    return RunLogin(flow, true);
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
