#include "DemoTour.h"

#include "TChooseAcctFm.h"
#include "TMainfm.h"
#include "bank/login/TLoginFm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>

DemoTour::DemoTour(QString folder, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_net(new QNetworkAccessManager(this))
{
    QDir().mkpath(m_folder);
    connect(&m_timer, &QTimer::timeout, this, &DemoTour::tick);
    m_timer.start(250);
    QTimer::singleShot(LimitMs, this, [] {
        std::fputs("tour: time limit reached\n", stderr);
        QCoreApplication::exit(1);
    });
}

DemoTour *DemoTour::FromArguments(const QStringList &arguments, QObject *parent)
{
    const qsizetype i = arguments.indexOf(QStringLiteral("--tour"));
    if (i < 0 || i + 1 >= arguments.size())
        return nullptr;
    return new DemoTour(arguments.at(i + 1), parent);
}

void DemoTour::shoot(QWidget *w, const QString &name)
{
    const QString file = QDir(m_folder).filePath(QStringLiteral("%1-%2.png").arg(++m_shot, 2, 10, QLatin1Char('0')).arg(name));
    if (w->grab().save(file))
        std::fprintf(stdout, "tour: %s\n", qPrintable(file));
    else
        std::fprintf(stderr, "tour: could not write %s\n", qPrintable(file));
    std::fflush(stdout);
}

void DemoTour::fillLogin(QWidget *w)
{
    auto *form = static_cast<TLoginFm *>(w);
    m_loginSent = true;
    QNetworkReply *reply = m_net->get(QNetworkRequest(QUrl(qEnvironmentVariable("OSTREL_TOUR_CODE_URL"))));
    connect(reply, &QNetworkReply::finished, form, [form, reply] {
        reply->deleteLater();
        const QString code = QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("code")).toString();
        form->cbkCerty->setEditText(qEnvironmentVariable("OSTREL_TOUR_LOGIN"));
        form->edpass->setText(qEnvironmentVariable("OSTREL_TOUR_PASSWORD"));
        form->EdtVerCode->setText(code);
        form->BtnOk->click();
    });
}

void DemoTour::tick()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        if (auto *login = qobject_cast<TLoginFm *>(w)) {
            if (login->BtnOk->isEnabled() && !m_loginShot) {
                m_loginShot = true;
                shoot(login, QStringLiteral("login"));
            }
            if (login->BtnOk->isEnabled() && !m_loginSent)
                fillLogin(login);
            return;
        }
        if (auto *choice = qobject_cast<TChooseAcctFm *>(w)) {
            if (m_choiceDone)
                return;
            m_choiceDone = true;
            choice->selectRow(0);
            shoot(choice, QStringLiteral("account-choice"));
            QTimer::singleShot(0, choice, [choice] { choice->BtnOk->click(); });
            return;
        }
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *main = qobject_cast<TMainfm *>(w);
        if (!main || !main->isVisible() || m_mainStarted)
            continue;
        m_mainStarted = true;
        m_timer.stop();
        m_pages = main->PageNames();
        // One page after the other, each given time to fill.
        auto next = std::make_shared<std::function<void()>>();
        *next = [this, main, next] {
            if (m_pages.isEmpty()) {
                shoot(main, QStringLiteral("main-window"));
                QCoreApplication::exit(0);
                return;
            }
            const QString page = m_pages.takeFirst();
            if (main->ShowPageByName(page))
                QTimer::singleShot(SettleMs, main, [this, main, page, next] {
                    shoot(main, page);
                    (*next)();
                });
            else
                (*next)();
        };
        QTimer::singleShot(SettleMs, main, [next] { (*next)(); });
        return;
    }
}
