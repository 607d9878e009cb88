#include "SessionKeeper.h"

#include "MainTimings.h"
#include "SessionBank.h"
#include "TSettings.h"

namespace SessionKeeper {

int IdleExitStepFor(int seconds)
{
    if (seconds <= 0)
        return -1;
    const int steps = seconds / 600;
    return steps < 1 ? 0 : steps - 1;
}

int IdleItemFor(int seconds)
{
    const int item = seconds / 600;
    return item < 0 ? 0 : (item > 3 ? 3 : item);
}

TickResult Tick(TSettings &s, int idleExitStep, uint32_t now, TAccount *account, SessionBank &bank)
{
    TickResult r;
    if (bank.Busy()) {
        r.skippedBusy = true;
        return r;
    }
    const MainTimings::Values &t = MainTimings::Current();

    // The last request counts as a keep-alive; a keep-alive tick of 0 means
    // none was ever sent.
    if (s.LastKeepAliveTick == 0 || IsLater(s.LastRequestTick, s.LastKeepAliveTick))
        s.LastKeepAliveTick = s.LastRequestTick;

    bool due = Elapsed(s.LastKeepAliveTick, now) > t.keepAliveMs;
    if (!due) {
        try {
            due = bank.IsPageUnavailable();
        } catch (...) {
            due = false;
        }
    }
    if (due && account) {
        const uint32_t requestTick = s.LastRequestTick;
        try {
            const int turn = s.KeepAliveTurn == 1 ? 1 : 0;
            if (turn == 0)
                bank.KeepAliveOrders(*account);
            else
                bank.KeepAliveSubAccounts(*account);
            s.LastRequestTick = requestTick;
            s.KeepAliveTurn = turn == 0 ? 1 : 0;
            s.LastKeepAliveTick = now;
            r.keepAliveSent = true;
            r.keepAliveTurn = turn;
        } catch (...) {
            // Silent: the next tick tries again.
            s.LastRequestTick = requestTick;
        }
    }

    if (idleExitStep >= 0) {
        const uint64_t limit = uint64_t(idleExitStep + 1) * t.idleStepMs;
        if (Elapsed(s.LastRequestTick, now) > limit)
            r.exitDue = true;
    }
    return r;
}

} // namespace SessionKeeper
