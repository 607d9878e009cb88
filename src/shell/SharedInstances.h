#pragma once
// The process-wide shared instances, with one owner and a fixed order of
// creation and destruction.
//
// Created, in this order: the two feed locks, Settings, CurrencyList,
// IndexInfoList, BankMarketList, IntlMarketList, IndexMarketList, NewsList.
// Destroyed in reverse order after CurrentUser and BranchController, and
// only after every registered background thread has been stopped and joined.

#include <QMutex>
#include <QString>
#include <memory>

class TSettings;
class TCurrencyList;
class TIndexInfoList;
class TMarketList;
class TForexNewsList;
class TUser;
class TAccount;
class TBargaining;
class TDelegate;
class TDelegateOpponent;
class TDelegateCancel;
class TBargainingHistory;
class TBargainingToday;

extern QMutex *BankFeedLock;  // guards BankMarketList
extern QMutex *IntlFeedLock;  // guards IntlMarketList and IndexMarketList
extern TCurrencyList *CurrencyList;
extern TIndexInfoList *IndexInfoList;
extern TMarketList *BankMarketList;
extern TMarketList *IntlMarketList;
extern TMarketList *IndexMarketList;
extern TForexNewsList *NewsList;

extern std::unique_ptr<TUser> CurrentUser;
extern QString LoginName;
extern TAccount *CurrentAccount;
extern bool OnlyDemandDeposits;

// The single trade records, owned by the account that created them.
extern TBargainingHistory *BargainingHistory;
extern TBargainingToday *BargainingToday;
extern TBargaining *Bargaining;
extern TDelegate *Delegate;
extern TDelegateOpponent *DelegateOpponent;
extern TDelegateCancel *DelegateCancel;

namespace SharedInstances {
// Creates the shared instances (once; further calls do nothing).
void Create();
// Stops background threads, then destroys CurrentUser, BranchController
// and the shared instances in reverse order of creation.
void Destroy();
bool Exist();

// RAII: Create() on construction, Destroy() on destruction (main(), tests).
class Scope
{
public:
    Scope() { Create(); }
    ~Scope() { Destroy(); }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};
} // namespace SharedInstances
