#pragma once
// The program's base dialog: a title panel over a client panel; the window
// caption is the application title.

#include <QDialog>

class QLabel;
class QWidget;

class TParentDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TParentDlg(const QString &title, QWidget *parent = nullptr);

    QWidget *PnlTitle = nullptr;
    QLabel *LabTitle = nullptr;
    QWidget *PnlClient = nullptr;
};
