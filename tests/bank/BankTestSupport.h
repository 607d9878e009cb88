#pragma once
// Shared setting for the bank-core tests: an application object, the shared
// instances with the currency table, a private program folder (with
// DededEri.ini) and work folder, shortened waits, and builders for a user
// with its accounts.

#include "BankTiming.h"
#include "SharedInstances.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class TUser;
class TAccount;

// Creates the QCoreApplication of the test program once.
void ensureTestApp();
// Processes events for about `ms` milliseconds.
void pumpEvents(int ms);

class BankTest : public ::testing::Test
{
public:
    // Short waits: downloads give up after 1.5 s, pages are paced by 60 ms.
    static constexpr int kDownloadLimitMs = 1500;
    static constexpr int kStallLimitMs = 400;
    static constexpr int kPageWaitMs = 60;

    BankTest();
    ~BankTest() override;

    // Writes [BranchQuoteServers] (and any extra lines) into DededEri.ini.
    void writeSystemIni(const QString &extraLines = QString());
    QString programDir() const { return m_programDir.path() + QLatin1Char('/'); }
    QString workDir() const;
    // The text of LOGWY.TXT (GBK decoded); empty when there is none.
    QString diagnosticLog() const;

    // A user "U1001" with one card account (branch 330100000, number
    // 6222001, type "01") whose sub-accounts are USD cash and remittance.
    TUser &makeUser();
    TAccount &card() const;

    std::unique_ptr<SharedInstances::Scope> m_shared;
    BankTiming::Override m_timing{kDownloadLimitMs, kStallLimitMs, kPageWaitMs};

private:
    QTemporaryDir m_programDir;
    QTemporaryDir m_tempDir;
};

// QStrings printed readably in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline std::ostream &operator<<(std::ostream &os, const QString &s)
{
    return os << s.toStdString();
}

class SandboxProcess;

// A suite against one sandbox bank: started once per suite, reset before
// each test, the settings pointed at it and the bank gateway installed.
// Tests are skipped (with the reason) when the sandbox cannot start.
class SandboxBankTest : public BankTest
{
public:
    static inline SandboxProcess *bank = nullptr;
    static inline QString startError;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
};
