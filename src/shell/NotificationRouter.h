#pragma once
// The notifications between the main window and its page windows. A sent
// notification is handled before the sender goes on; a posted one after the
// sender's handler has returned to the event loop, in the order posted.
// The flag is 0 when receivers are to fetch from the bank, 1 when local
// data changed.
//
// The main window's own handling (what each notification does and whom it
// reaches) is here too, so its order is tested without windows. A page
// that does not exist (no receiver) is skipped. GUI thread only.

#include <QObject>
#include <array>
#include <functional>

enum MainMessage : int {
    MsgAccountChanged = 5120,
    MsgDealsChanged = 5121,
    MsgHistoryChanged = 5122,
    MsgMarketChanged = 5123,
    MsgNewsRefresh = 5127,
    MsgTradePairChanged = 5128,
};

enum class PageTarget : int {
    Overview,
    Account,
    DealList,
    News,
    Market,
    AppendOrder, // the appended-order page reloads its contracts
    CancelPage,  // the cancel page refills its contract list
    Count
};

class NotificationRouter : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(int message, int flag)>;

    explicit NotificationRouter(QObject *parent = nullptr);

    // An empty receiver removes the page.
    void SetReceiver(PageTarget page, Receiver receiver);
    bool HasReceiver(PageTarget page) const;

    void Send(PageTarget page, int message, int flag);
    void Post(PageTarget page, int message, int flag);

    // Notifications to the main window.
    void SendToMain(int message, int flag);
    void PostToMain(int message, int flag);

    // What the main window does beside routing.
    struct Hooks {
        std::function<void()> refreshAccount;   // MsgAccountChanged with 0
        std::function<void()> refreshNews;      // MsgNewsRefresh
        std::function<void()> tradePairChanged; // MsgTradePairChanged
    };
    Hooks hooks;

private:
    void handleMain(int message, int flag);
    void deliver(PageTarget page, int message, int flag);

    std::array<Receiver, size_t(PageTarget::Count)> m_receivers;
};
