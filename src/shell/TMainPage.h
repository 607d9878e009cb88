#pragma once
// What the main window asks of a page window it hosts in its client area.
// Page windows are QWidgets that also derive from this.

#include <QString>

class TMainPage
{
public:
    virtual ~TMainPage() = default;
    // The class name that DefaultForm and the hint pages name.
    virtual QString PageClassName() const = 0;
    // Called each time the page is shown, with the page's type.
    virtual void ActivatePage(int type) { (void)type; }
    // Gives the page's first control the focus.
    virtual void FocusFirstControl(int type) { (void)type; }
    // Brings the page to the freshly applied account.
    virtual void ResetPage() {}
    // A routed notification (see NotificationRouter).
    virtual void HandleNotification(int message, int flag) { (void)message, (void)flag; }
};
