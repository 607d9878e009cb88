#pragma once

#include <QByteArray>
#include <QString>

// The HTML pages the bank answers with instead of an XML document: they have
// no ROOT, and the client recognises them by the phrases they contain.
class BankPages
{
public:
    enum class Kind {
        TooQuick,     // two submissions closer than the bank allows
        IdleTimeout,  // the session is unknown or idled out
        WrongCode,    // the verification code of a login was wrong
        Unavailable,  // the page a browser shows for an unreachable server
        ServerError,  // an error page with none of the phrases above
    };

    static QByteArray page(Kind kind);
    // "interval", "timeout", "code", "unavailable", "server"; false when unknown.
    static bool kindFromName(const QString &name, Kind *kind);

    static constexpr const char *kContentType = "text/html; charset=gb2312";
};
