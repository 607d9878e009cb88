#pragma once
// The client's windows and services behind the start-up sequence. Steps whose
// windows do not exist yet do nothing.

#include "Startup.h"

#include <QPointer>
#include <memory>

class TSplashForm;
class TMainfm;
class QWidget;

class ClientStartupHost : public StartupHost
{
public:
    ClientStartupHost();
    ~ClientStartupHost() override;

    void showSplash(const QString &status) override;
    void hideSplash() override;
    void destroySplash() override;
    void createMainWindow() override;
    void createPageWindows() override;
    bool runLogin() override;
    void startServerTimeThread() override;
    int runMessageLoop() override;

    TSplashForm *splash() const { return m_splash.get(); }
    // The main window once created (the demo tour lists and shows its pages).
    TMainfm *mainWindow() const;

private:
    std::unique_ptr<TSplashForm> m_splash;
    QPointer<QWidget> m_mainWindow;
};
