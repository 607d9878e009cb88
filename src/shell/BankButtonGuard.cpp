#include "BankButtonGuard.h"

#include "SessionBank.h"

BankButtonGuard::BankButtonGuard(QObject *parent) : QObject(parent)
{
    connect(SessionBusy::Instance(), &SessionBusy::busyChanged, this, &BankButtonGuard::onBusyChanged);
}

void BankButtonGuard::add(QWidget *widget)
{
    m_widgets.emplace_back(widget);
    if (SessionBusy::Busy() && widget->isEnabled()) {
        widget->setEnabled(false);
        m_disabled.emplace_back(widget);
    }
}

bool BankButtonGuard::MayStart()
{
    return !SessionBusy::Busy();
}

void BankButtonGuard::onBusyChanged(bool busy)
{
    if (busy) {
        for (const auto &w : m_widgets)
            if (w && w->isEnabled()) {
                w->setEnabled(false);
                m_disabled.push_back(w);
            }
    } else {
        for (const auto &w : m_disabled)
            if (w)
                w->setEnabled(true);
        m_disabled.clear();
    }
}
