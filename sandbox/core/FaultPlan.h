#pragma once

#include "BankPages.h"

#include <QList>
#include <QString>

// Faults the control path has asked for, each waiting for the next answer of
// one transaction code (or of the login page or picture).
struct Fault
{
    enum class Kind { Error, Html, Malformed, Empty, Delay, Drop };

    QString target;         // a TXCODE, "LOGINPAGE" or "PICTURE"
    Kind kind = Kind::Error;
    QString text;           // error answer line
    BankPages::Kind page = BankPages::Kind::ServerError;
    int delayMs = 95000;
    bool perform = false;   // carry the transaction out before answering

    static bool kindFromName(const QString &name, Kind *kind);
    static QString kindName(Kind kind);
};

class FaultPlan
{
public:
    void add(const Fault &fault) { m_faults.append(fault); }
    // Removes and returns the first fault for `target`.
    bool take(const QString &target, Fault *fault);
    void clear() { m_faults.clear(); }
    int size() const { return int(m_faults.size()); }

private:
    QList<Fault> m_faults;
};
