#include "Startup.h"

#include "SharedInstances.h"
#include "TCurrencyList.h"
#include "TSettings.h"
#include "TUser.h"
#include "platform/MessageBoxes.h"

#include <QFile>

StartupHost::~StartupHost() = default;
LoginFlow::~LoginFlow() = default;

namespace {

int fail(const QString &message, int code)
{
    Msg::warning(message, kProductTitle);
    return code;
}

} // namespace

int RunStartup(StartupHost &host)
{
    // Steps 1 and 2: the client's own date formats are fixed (Formats), the
    // title is the product title.
    Msg::setApplicationTitle(kProductTitle);
    host.showSplash(QStringLiteral("正在初始化..."));
    host.createMainWindow();

    if (TSettings::TempWorkDir().isEmpty())
        return fail(StartupMessages::kNoTempDir, kExitNoTempDir);
    if (!Settings->LoadSystemIni())
        return fail(StartupMessages::kBadSystemIni, kExitBadSystemIni);
    if (CurrencyList->Build(Settings->CurrencyDic) == 0)
        return fail(StartupMessages::kNoCurrencies, kExitNoCurrencies);

    host.createHiddenBrowser();
    const bool fromCD = TSettings::RunFromCD();
    if (!fromCD) {
        TSettings::ClearReadOnlyDataFiles();
        host.runSilentUpdateCheck();
    }
    host.hideSplash();

    if (!host.runLogin()) {
        host.destroyHiddenBrowser();
        return kExitLoginCancelled;
    }

    host.showSplash(QString());
    if (!fromCD) {
        host.createLocalDatabase();
        host.startUpdateThread();
        host.startServerTimeThread();
        host.createCalendarAndProfitWindows();
    }
    host.startBulletinThread();
    host.createPageWindows();
    host.destroySplash();
    return host.runMessageLoop();
}

bool RunLogin(LoginFlow &flow, bool reLogin)
{
    for (;;) {
        const QString dir = TSettings::TempWorkDir();
        if (!dir.isEmpty())
            QFile::remove(dir + QStringLiteral("tmp.gif"));
        const bool ok = flow.showLoginWindow(reLogin);
        if (ok) {
            if (flow.showAccountChoice(true))
                return true;
            if (flow.terminationRequested()) {
                CurrentAccount = nullptr;
                CurrentUser.reset();
                flow.requestTerminate();
                return false;
            }
            // A cancelled account choice discards the user and logs in again.
            CurrentAccount = nullptr;
            CurrentUser.reset();
            reLogin = true;
            continue;
        }
        if (reLogin || flow.terminationRequested())
            flow.requestTerminate();
        return false;
    }
}

bool RunShutdownSave(const ShutdownHooks &hooks)
{
    if (TSettings::RunFromCD() || !CurrentUser)
        return false;
    bool saved = false;
    if (Settings->SaveIni) {
        if (hooks.collectLayouts)
            hooks.collectLayouts();
        saved = Settings->SaveUserIni(LoginName);
    }
    if (!Settings->SaveProfitData && hooks.deleteLocalRows)
        hooks.deleteLocalRows(CurrentUser->UserId);
    return saved;
}
