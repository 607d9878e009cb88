#include "BankCookieJar.h"

BankCookieJar::BankCookieJar(QObject *parent) : QNetworkCookieJar(parent) {}

void BankCookieJar::InsertCookies(const QList<QNetworkCookie> &cookies)
{
    // A cookie with the same name, domain and path replaces the stored one.
    for (const QNetworkCookie &c : cookies)
        insertCookie(c);
}
