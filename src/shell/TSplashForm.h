#pragma once
// The start-up splash: a borderless, always-on-top window centred on the
// screen with one picture and one status line.

#include <QWidget>

class QLabel;

class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);
    // Sets the status line (an empty text keeps the current one), shows the
    // window and paints it at once.
    void showStatus(const QString &text);
    QString statusText() const;

private:
    QLabel *m_picture;
    QLabel *lbStatusText;
};
