#pragma once
// The exit confirmation "退出确认": "退 出" confirms, anything else cancels.

#include <QDialog>
#include <QPoint>

class QPushButton;
class QLabel;
class QWidget;

class TcheckcloseFm : public QDialog
{
    Q_OBJECT
public:
    explicit TcheckcloseFm(QWidget *parent = nullptr);

    // Shows the dialog modally; true when "退 出" was pressed. Unattended
    // the box is printed and answered with "退 出".
    static bool Confirm(QWidget *parent);

    QWidget *PnlTitle = nullptr;
    QLabel *LabTitle = nullptr;
    QLabel *LabText = nullptr;
    QPushButton *BtnExit = nullptr;
    QPushButton *BtnCancel = nullptr;

    static QString Text();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint m_dragFrom;
    bool m_dragging = false;
};
