#pragma once
// The client's process lifecycle without windows: the fixed order of the
// start-up steps, the login loop and what is saved at shut-down. The windows
// (splash, login, account choice, main window) plug in through the hosts
// below, so the order and the failure handling are tested without a display.

#include <QString>
#include <functional>

inline const QString kProductTitle = QStringLiteral("Ostrel 个人外汇买卖");
inline const QString kVersionText = QStringLiteral("2.00.2007082012");

namespace StartupMessages {
inline const QString kNoTempDir = QStringLiteral("您当前使用的用户没有足够的文件操作权限！");
inline const QString kBadSystemIni = QStringLiteral("读取系统Ini文件或模板Ini文件失败，请重新安装软件!");
inline const QString kNoCurrencies = QStringLiteral("载入币种信息出错!");
} // namespace StartupMessages

// What the main sequence asks of the windows and services. Every step has
// an empty default so that a host provides only what exists.
class StartupHost
{
public:
    virtual ~StartupHost();
    virtual void showSplash(const QString &status) { (void)status; }
    virtual void hideSplash() {}
    virtual void destroySplash() {}
    virtual void createMainWindow() {}
    virtual void createHiddenBrowser() {}
    virtual void destroyHiddenBrowser() {}
    virtual void runSilentUpdateCheck() {}
    // The login procedure (RunLogin with the re-login flag set).
    virtual bool runLogin() { return false; }
    virtual void createLocalDatabase() {}
    virtual void startUpdateThread() {}
    virtual void startServerTimeThread() {}
    virtual void createCalendarAndProfitWindows() {}
    virtual void startBulletinThread() {}
    virtual void createPageWindows() {}
    // Shows the main window and runs the message loop; returns its exit code.
    virtual int runMessageLoop() { return 0; }
};

// Exit codes of the process.
enum StartupExit {
    kExitOk = 0,
    kExitLoginCancelled = 0,
    kExitNoTempDir = 2,
    kExitBadSystemIni = 3,
    kExitNoCurrencies = 4,
};

// Runs the main sequence; the shared instances must exist. A failure shows
// its message (caption: the product title, warning icon) and returns a
// non-zero exit code without entering the message loop.
int RunStartup(StartupHost &host);

// What the login procedure asks of its windows.
class LoginFlow
{
public:
    virtual ~LoginFlow();
    // Shows the login window modally; true when it ended with OK (a user
    // exists, LoginName is set and the per-user ini has been read).
    virtual bool showLoginWindow(bool reLogin) = 0;
    // Shows the account choice; true when it ended with OK.
    virtual bool showAccountChoice(bool firstChoice) = 0;
    // Asks the application to terminate.
    virtual void requestTerminate() = 0;
    // True when a window asked to end the application (the account choice's
    // "退出", the login's refused retry): the loop then ends at once.
    virtual bool terminationRequested() const { return false; }
};

// The login loop: login window, then the account choice; a cancelled account
// choice discards the user and shows the login window again in re-login
// mode. With `reLogin` set (start-up), cancelling the login terminates the
// application.
bool RunLogin(LoginFlow &flow, bool reLogin);

// What is done when the main window closes after the customer confirmed.
struct ShutdownHooks {
    // Gathers the quote-table layouts into Settings before they are saved.
    std::function<void()> collectLayouts;
    // Deletes the user's rows of the local database.
    std::function<void(const QString &userId)> deleteLocalRows;
};
// Unless the program runs from a read-only medium or nobody is logged in:
// saves the per-user ini when SaveIni is set, deletes the user's local rows
// when SaveProfitData is not. Returns true when the ini was saved.
bool RunShutdownSave(const ShutdownHooks &hooks);
