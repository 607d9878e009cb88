#pragma once
// The one HTTP session of the process: a single QNetworkAccessManager with
// a single cookie jar, the system's proxy configuration and one TLS
// configuration. Page fetches, the keep-alive navigations and the image
// fetch all go through it. GUI thread only.
//
// Certificates are verified against the system's authorities, plus the
// authorities of the optional file named by [Server] CaFile in
// "DededEri.ini" (Settings->CaFile, relative to the program folder) for a
// bank with a private authority. Verification errors are never ignored.

#include <QByteArray>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QString>

class QNetworkAccessManager;
class BankCookieJar;

class BankNetwork
{
public:
    // Bodies beyond this size are refused as a transport failure.
    static constexpr qint64 kMaxBodyBytes = 16 * 1024 * 1024;

    // Created on first use, owned by the application object (so it goes
    // before the application does); created again if that happened.
    static QNetworkAccessManager *Manager();
    static BankCookieJar *CookieJar();

    // System authorities plus those of the configured CaFile. The file is
    // read again whenever Settings->CaFile names another one.
    static QSslConfiguration SslConfiguration();
    // Certificates of a PEM or DER file; empty when it cannot be read.
    static QList<QSslCertificate> ReadCertificates(const QString &path);

    // The proxy for a URL: the system's configuration; the loopback host
    // is always reached directly.
    static QNetworkProxy ProxyFor(const QUrl &url);

    // A GET request that always goes to the server: the cache is bypassed,
    // each request has a connection of its own (so a dropped connection is
    // never retried with the same request), redirects are followed only to
    // equally safe places, the TLS configuration above applies.
    static QNetworkRequest MakeRequest(const QUrl &url);
    // The address of a URL text built by the bank layer (already
    // percent-encoded ASCII); other texts are taken tolerantly.
    static QUrl ToUrl(const QString &urlText);
};
