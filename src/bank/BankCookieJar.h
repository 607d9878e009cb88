#pragma once
// The one cookie store of the process. The bank's login page, the page
// fetches and the image fetch all read and write it, so the cookies the
// login sets travel with every later transaction. The login window bridges
// its browser's cookie store into it with InsertCookies.

#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>

class BankCookieJar : public QNetworkCookieJar
{
    Q_OBJECT
public:
    explicit BankCookieJar(QObject *parent = nullptr);

    QList<QNetworkCookie> AllCookies() const { return allCookies(); }
    // Inserts each cookie; one with the same name, domain and path replaces
    // the stored one.
    void InsertCookies(const QList<QNetworkCookie> &cookies);
    void RemoveCookie(const QNetworkCookie &cookie) { deleteCookie(cookie); }
    void Clear() { setAllCookies({}); }
};
