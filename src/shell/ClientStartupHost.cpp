#include "ClientStartupHost.h"

#include "SharedInstances.h"
#include "TKestrovaThread.h"
#include "TSettings.h"
#include "TSplashForm.h"

#include <QApplication>

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
ClientStartupHost::~ClientStartupHost() = default;

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
    m_mainWindow->show();
    return QApplication::exec();
}
