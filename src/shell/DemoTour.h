#pragma once
// The scripted demo tour: logs in with the demo customer, chooses the first
// account, shows every page of the main window and writes a picture of each
// window to a folder, then ends the program. Started by "--tour DIR"; the
// credentials come from OSTREL_TOUR_LOGIN / OSTREL_TOUR_PASSWORD and the
// verification code from the sandbox bank's control address
// OSTREL_TOUR_CODE_URL (the demo's bank tells it).

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QNetworkAccessManager;
class QWidget;

class DemoTour : public QObject
{
    Q_OBJECT
public:
    // The settling time before a page is photographed.
    static inline int SettleMs = 1200;
    // The whole tour gives up after this long.
    static inline int LimitMs = 180000;

    explicit DemoTour(QString folder, QObject *parent = nullptr);
    // Reads "--tour DIR" from the arguments; nullptr without it.
    static DemoTour *FromArguments(const QStringList &arguments, QObject *parent = nullptr);

private:
    void tick();
    void shoot(QWidget *w, const QString &name);
    void fillLogin(QWidget *loginForm);

    QString m_folder;
    QTimer m_timer;
    QNetworkAccessManager *m_net;
    int m_shot = 0;
    bool m_loginShot = false, m_loginSent = false, m_choiceDone = false, m_mainStarted = false;
    QStringList m_pages;
};
