#pragma once

#include "BankBook.h"
#include "BankClock.h"
#include "FaultPlan.h"
#include "RequestLog.h"
#include "SessionRegistry.h"

#include <QByteArray>
#include <QString>

// The whole mutable state of the sandbox bank. SandboxBank guards it with one
// lock; the desks work on it while that lock is held.
struct BankState
{
    BankBook book;
    BankClock clock;
    SessionRegistry sessions;
    FaultPlan faults;
    RequestLog log;
    QByteArray secret;      // signs quotes and paging strings
    QString lastCode;       // verification code of the latest login page
    QByteArray lastSessionId;
};
