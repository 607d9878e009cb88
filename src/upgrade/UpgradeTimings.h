#pragma once
// Every wait of an upgrade run, in milliseconds. The environment variable
// OSTREL_UPGRADE_WAITS overrides them, as "name=ms" pairs separated by
// commas (close, grace, exec, finish, read, poll), for tests.

#include <QString>

struct UpgradeTimings
{
    int closeSettleMs = 1000;   // after the client's processes are gone
    int stopGraceMs = 5000;     // polite stop before the forced one
    int execSettleMs = 3000;    // least time an EXEC item takes
    int finishDelayMs = 1000;   // before the success message
    int readTimeoutMs = 10000;  // download without data
    int pollMs = 50;            // checking on closing processes

    static UpgradeTimings fromEnvironment();
    // Applies "name=ms,..." to these timings; unknown names are ignored.
    void apply(const QString &overrides);
};
