#pragma once
// The shared setting of the main-window tests: the shared instances with a
// currency table, a private program folder with model.ini, a logged-in user
// with one card account chosen, and a fake session bank installed.

#include "FakeSessionBank.h"
#include "QtPrinters.h"
#include "SharedInstances.h"
#include "TAccount.h"
#include "TCurrencyList.h"
#include "TMarketList.h"
#include "TSettings.h"
#include "TUser.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class TestWorld : public ::testing::Test
{
protected:
    TestWorld()
    {
        qputenv("OSTREL_TEMP_DIR", m_temp.path().toUtf8());
        setProgramDir(m_dir.path());
        setRunFromCDOverride(0);
        QFile::copy(QStringLiteral(OSTREL_DATA_DIR "/model.ini"), m_dir.filePath(QStringLiteral("model.ini")));
        m_shared = std::make_unique<SharedInstances::Scope>();
        const QStringList lines{
            QStringLiteral("01=人民币|CNY|RENMINBI||0"), QStringLiteral("12=英镑|GBP|POUND STERLING||1"),
            QStringLiteral("13=港币|HKD|HONGKONG DOLLAR||1"), QStringLiteral("14=美元|USD|US DOLLAR||1"),
            QStringLiteral("27=日元|JPY|JAPANESE YEN||1"), QStringLiteral("38=欧元|EUR|EURO||1")};
        Settings->CurrencyDic = lines;
        CurrencyList->Build(lines);
        CurrentUser = std::make_unique<TUser>(Settings);
        CurrentUser->UserId = QStringLiteral("U1001");
        CurrentUser->UserName = QStringLiteral("张伟");
        auto *card = CurrentUser->Accounts.Emplace(Settings, CurrentUser.get());
        card->AccountNo = QStringLiteral("6222020200012345678");
        card->AccountType = QStringLiteral("12");
        card->BranchId = QStringLiteral("110000000");
        CurrentAccount = card;
        LoginName = QStringLiteral("zhangwei");
        SessionBank::Install(&bank);
        m_observer = Msg::addObserver([this](const Msg::Request &r) { boxes << r.caption + QStringLiteral(": ") + r.text; });
    }
    ~TestWorld() override
    {
        Msg::removeObserver(m_observer);
        SessionBank::Install(nullptr);
        CurrentAccount = nullptr;
        LoginName.clear();
        m_shared.reset();
        setRunFromCDOverride(-1);
    }

    TAccount &card() { return *CurrentAccount; }
    QString programDir() const { return m_dir.path() + QLatin1Char('/'); }

    // A bank quote A/B with its base buying and selling price.
    void quote(const char *a, const char *b, double buy, double sell)
    {
        auto *m = BankMarketList->Emplace();
        m->Currency1 = CurrencyList->FindByCode(QLatin1String(a));
        m->Currency2 = CurrencyList->FindByCode(QLatin1String(b));
        m->BuyPrice0 = buy;
        m->SellPrice0 = sell;
    }

    FakeSessionBank bank;
    QStringList boxes;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_temp;
    std::unique_ptr<SharedInstances::Scope> m_shared;
    int m_observer = 0;
};
