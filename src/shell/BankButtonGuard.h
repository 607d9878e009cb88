#pragma once
// Keeps a window's bank buttons disabled while a bank transaction waits:
// the session processes window messages during a transaction, so without
// this a click could try to start a second one. Buttons it disabled are
// enabled again when the session is free; buttons the window disabled
// itself stay as the window left them.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class BankButtonGuard : public QObject
{
    Q_OBJECT
public:
    explicit BankButtonGuard(QObject *parent);
    void add(QWidget *widget);
    // True when the click may start a transaction now.
    static bool MayStart();

private:
    void onBusyChanged(bool busy);
    std::vector<QPointer<QWidget>> m_widgets;
    std::vector<QPointer<QWidget>> m_disabled;
};
