#pragma once

#include "BankState.h"
#include "HttpExchange.h"
#include "RawQuery.h"
#include "Router.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <mutex>

// The sandbox bank: its state under one lock, the transaction endpoint, the
// login page and picture, and the control path. Requests arrive on many
// threads; each is served whole under the lock, so the bank sees them one
// at a time. Delays and dropped connections are left to the server.
class SandboxBank
{
public:
    static inline const QString kControlPrefix = QStringLiteral("/__sandbox/");

    SandboxBank();

    bool loadFile(const QString &scenarioPath, QString *error);
    bool loadJson(const QByteArray &scenarioJson, QString *error);

    // Adds the bank's routes (from the loaded scenario's paths) to `router`.
    void registerRoutes(Router &router);

    HttpReply serveTransaction(const HttpRequestView &request);
    HttpReply serveLoginPage(const HttpRequestView &request);
    HttpReply servePicture(const HttpRequestView &request);
    HttpReply serveControl(const HttpRequestView &request);

    // Runs `f` on the state under the lock (tests and the control desk).
    template <class F>
    auto withState(F f)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return f(m_state);
    }

    // Reloads the scenario and forgets sessions, faults and the log. An
    // invalid `clock` takes the scenario's own clock. Call with the lock held.
    bool resetLocked(const QDateTime &clock, bool frozen, QString *error);

private:
    HttpReply applyFault(const Fault &fault, HttpReply performed, bool wasPerformed);
    HttpReply transactionLocked(const HttpRequestView &request, const RawQuery &query,
                                const QString &txcode, QString *outcome);

    std::mutex m_mutex;
    BankState m_state;
    QByteArray m_scenario;
};
