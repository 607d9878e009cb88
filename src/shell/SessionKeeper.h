#pragma once
// The keep-alive and the idle exit that run on the main window's PostTimer.
//
// Tick arithmetic is unsigned 32-bit: an elapsed time is the later tick
// minus the earlier one modulo 2^32, and "later" is decided the same way,
// so the wrap of the tick counter after about 49.7 days disturbs neither.

#include <cstdint>

class TSettings;
class TAccount;
class SessionBank;

namespace SessionKeeper {

// The idle-exit step for an ExitSysIdleTime in seconds: -1 (never) for 0 or
// less, else the whole ten-minute steps minus one, at least 0 (600 → 0,
// 1200 → 1, 1800 → 2; 300 still exits after ten minutes).
int IdleExitStepFor(int exitSysIdleSeconds);
// The ExitSysIdleTime the options dialog writes for its item (0 … 3).
inline int IdleSecondsForItem(int item) { return item * 600; }
// The options dialog's item for an ExitSysIdleTime (0 … 3).
int IdleItemFor(int exitSysIdleSeconds);

// b - a modulo 2^32.
inline uint32_t Elapsed(uint32_t a, uint32_t b) { return b - a; }
// True when tick b lies after tick a (less than half the counter ahead).
inline bool IsLater(uint32_t b, uint32_t a) { return b != a && (b - a) < 0x80000000u; }

struct TickResult {
    bool keepAliveSent = false;
    int keepAliveTurn = -1; // the turn that was sent (0 deals, 1 sub-accounts)
    bool exitDue = false;
    bool skippedBusy = false;
};

// One PostTimer tick at tick `now` (steps 2 to 5; the caller stops and
// restarts the timer). While a bank transaction waits the tick is skipped.
// The keep-alive never changes LastRequestTick; an error while sending it
// leaves KeepAliveTurn and LastKeepAliveTick as they were.
TickResult Tick(TSettings &settings, int idleExitStep, uint32_t now, TAccount *account, SessionBank &bank);

} // namespace SessionKeeper
