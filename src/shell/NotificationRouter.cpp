#include "NotificationRouter.h"

#include <QMetaObject>
#include <QPointer>

NotificationRouter::NotificationRouter(QObject *parent) : QObject(parent) {}

void NotificationRouter::SetReceiver(PageTarget page, Receiver receiver)
{
    m_receivers[size_t(page)] = std::move(receiver);
}

bool NotificationRouter::HasReceiver(PageTarget page) const
{
    return bool(m_receivers[size_t(page)]);
}

void NotificationRouter::deliver(PageTarget page, int message, int flag)
{
    // A copy: the receiver may replace itself while it runs.
    const Receiver r = m_receivers[size_t(page)];
    if (r)
        r(message, flag);
}

void NotificationRouter::Send(PageTarget page, int message, int flag)
{
    deliver(page, message, flag);
}

void NotificationRouter::Post(PageTarget page, int message, int flag)
{
    // The receiver is looked up when the notification arrives, so a page
    // removed meanwhile is skipped.
    QMetaObject::invokeMethod(
        this, [this, page, message, flag] { deliver(page, message, flag); }, Qt::QueuedConnection);
}

void NotificationRouter::SendToMain(int message, int flag)
{
    handleMain(message, flag);
}

void NotificationRouter::PostToMain(int message, int flag)
{
    QMetaObject::invokeMethod(
        this, [this, message, flag] { handleMain(message, flag); }, Qt::QueuedConnection);
}

void NotificationRouter::handleMain(int message, int flag)
{
    switch (message) {
    case MsgAccountChanged:
        if (flag == 0 && hooks.refreshAccount)
            hooks.refreshAccount();
        Post(PageTarget::Overview, message, flag);
        Post(PageTarget::Account, message, flag);
        break;
    case MsgDealsChanged:
        Send(PageTarget::Overview, message, flag);
        Send(PageTarget::AppendOrder, message, flag);
        Send(PageTarget::CancelPage, message, flag);
        break;
    case MsgHistoryChanged:
        Post(PageTarget::DealList, message, flag);
        break;
    case MsgMarketChanged:
        Post(PageTarget::Market, message, flag);
        break;
    case MsgNewsRefresh:
        if (hooks.refreshNews)
            hooks.refreshNews();
        Send(PageTarget::News, message, flag);
        Send(PageTarget::Overview, message, flag);
        Send(PageTarget::Market, message, flag);
        break;
    case MsgTradePairChanged:
        if (hooks.tradePairChanged)
            hooks.tradePairChanged();
        break;
    default:
        break;
    }
}
