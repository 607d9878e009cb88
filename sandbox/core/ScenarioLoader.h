#pragma once

#include "BankBook.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Reads a scenario file (JSON) into a BankBook. Times in the file are either
// absolute ("2024/03/15 10:00:00", "2024/03/15") or relative to the bank's
// start time ("today", "today-3", "today-3 10:15:00"), so one scenario
// serves a running demo and a test with a fixed clock alike. Statement
// lines carry signed amounts; their balances are worked out backwards from
// the sub-account's current balance. Open orders hold their money on load.
class ScenarioLoader
{
public:
    struct ClockSetting
    {
        QDateTime start;    // invalid: the wall clock
        bool frozen = false;
    };

    // The clock the scenario asks for.
    static bool readClock(const QByteArray &json, ClockSetting *clock, QString *error);
    // Fills `book` with the scenario, relative times counted from `anchor`.
    static bool load(const QByteArray &json, const QDateTime &anchor, BankBook *book, QString *error);
};
