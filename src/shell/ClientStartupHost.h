#pragma once
// The client's windows and services behind the start-up sequence. Steps whose
// windows do not exist yet do nothing.

#include "Startup.h"

#include <QPointer>
#include <memory>

class TSplashForm;
class QWidget;

class ClientStartupHost : public StartupHost
{
public:
    ClientStartupHost();
    ~ClientStartupHost() override;

    void showSplash(const QString &status) override;
    void hideSplash() override;
    void destroySplash() override;
    bool runLogin() override;
    void startServerTimeThread() override;
    int runMessageLoop() override;

    TSplashForm *splash() const { return m_splash.get(); }

private:
    std::unique_ptr<TSplashForm> m_splash;
    QPointer<QWidget> m_mainWindow;
};
