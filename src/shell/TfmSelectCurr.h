#pragma once
// "选择折算币种": the sub-accounts to convert, each checked at first.

#include "AccountTotals.h"

#include <QDialog>
#include <vector>

class QListWidget;
class QPushButton;

class TfmSelectCurr : public QDialog
{
    Q_OBJECT
public:
    // Lists every sub-account whose currency is not "01" as "%s   %s"
    // (cash mark, currency name).
    TfmSelectCurr(const std::vector<AccountTotals::Holding> &holdings, QWidget *parent = nullptr);

    // The sub-accounts still checked.
    std::vector<AccountTotals::Holding> Chosen() const;
    static std::vector<AccountTotals::Holding> Offered(const std::vector<AccountTotals::Holding> &holdings);
    static QString ItemText(const AccountTotals::Holding &holding);

    QListWidget *List = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnCancel = nullptr;

private:
    std::vector<AccountTotals::Holding> m_offered;
};
