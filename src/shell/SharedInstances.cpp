#include "SharedInstances.h"

#include "BackgroundThreads.h"
#include "TBargaining.h"
#include "TBargainingHistory.h"
#include "TBranchBankController.h"
#include "TCurrencyList.h"
#include "TForexNews.h"
#include "TIndexInfoList.h"
#include "TMarketList.h"
#include "TSettings.h"
#include "TUser.h"

#include <cstdio>

TSettings *Settings = nullptr;
QMutex *BankFeedLock = nullptr;
QMutex *IntlFeedLock = nullptr;
TCurrencyList *CurrencyList = nullptr;
TIndexInfoList *IndexInfoList = nullptr;
TMarketList *BankMarketList = nullptr;
TMarketList *IntlMarketList = nullptr;
TMarketList *IndexMarketList = nullptr;
TForexNewsList *NewsList = nullptr;

std::unique_ptr<TUser> CurrentUser;
QString LoginName;
TAccount *CurrentAccount = nullptr;
bool OnlyDemandDeposits = false;

TBargainingHistory *BargainingHistory = nullptr;
TBargainingToday *BargainingToday = nullptr;
TBargaining *Bargaining = nullptr;
TDelegate *Delegate = nullptr;
TDelegateOpponent *DelegateOpponent = nullptr;
TDelegateCancel *DelegateCancel = nullptr;

namespace SharedInstances {

void Create()
{
    if (Settings)
        return;
    BankFeedLock = new QMutex;
    IntlFeedLock = new QMutex;
    Settings = new TSettings;
    CurrencyList = new TCurrencyList;
    IndexInfoList = new TIndexInfoList;
    BankMarketList = new TMarketList;
    IntlMarketList = new TMarketList;
    IndexMarketList = new TMarketList;
    NewsList = new TForexNewsList;
}

template <typename T>
static void destroy(T *&p)
{
    delete p;
    p = nullptr;
}

void Destroy()
{
    if (!Settings)
        return;
    // No thread may outlive the instances it reads.
    const int stuck = BackgroundThreads::stopAll();
    if (stuck > 0) {
        // A thread that did not stop in time still reads the shared
        // instances; leaving them allocated is safer than freeing them.
        std::fprintf(stderr, "Ostrel: %d background thread(s) did not stop; shared data left in place\n", stuck);
        return;
    }
    CurrentAccount = nullptr;
    CurrentUser.reset();
    LoginName.clear();
    SetBranchController(nullptr);
    destroy(NewsList);
    destroy(IndexMarketList);
    destroy(IntlMarketList);
    destroy(BankMarketList);
    destroy(IndexInfoList);
    destroy(CurrencyList);
    destroy(Settings);
    destroy(IntlFeedLock);
    destroy(BankFeedLock);
}

bool Exist()
{
    return Settings != nullptr;
}

} // namespace SharedInstances
