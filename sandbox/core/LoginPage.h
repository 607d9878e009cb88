#pragma once

#include <QByteArray>
#include <QString>

// The bank's login page and its password script. The page carries a nonce of
// its own; its function jiamiMima() turns the typed password into a hex value
// (the password's UTF-8 bytes XOR a SHA-256 key stream of the nonce) and
// fills the digest field with the SHA-256 of nonce, login number, protected
// value and verification code. The server keeps the nonce with the session
// and accepts a login only with values made from it.
class LoginPage
{
public:
    struct Form
    {
        QString pictureUrl;   // absolute address of the verification picture
        QString actionUrl;    // the transaction endpoint
        QString nonce;
    };

    static QByteArray html(const Form &form);

    // The values the page's script produces, computed the same way here.
    static QString protectPassword(const QString &nonce, const QString &password);
    static QString digest(const QString &nonce, const QString &loginNumber,
                          const QString &protectedPassword, const QString &code);
    // The password inside a protected value; false when the value is not
    // one the script can have produced.
    static bool recoverPassword(const QString &nonce, const QString &protectedPassword,
                                QString *password);
};
