#pragma once
// How a fetched body becomes the page text the bank layer reads: decoded by
// its declared character set (GB2312/GBK, UTF-16, UTF-8; GBK when none is
// declared), every "-" removed and the ends trimmed, so answer values read
// the same whatever the page looked like. A fetch that reached no usable
// page yields the "page cannot be displayed" text.

#include <QByteArray>
#include <QString>

class PageText
{
public:
    // The phrase that marks the page shown for an unreachable server, an
    // HTTP error status or a fetch that ran out of time.
    static QString UnavailablePhrase() { return QStringLiteral("该页无法显示"); }

    // The charset parameter of a Content-Type header value, lower case;
    // empty when there is none.
    static QString CharsetFromContentType(const QByteArray &contentType);
    // The character set the body declares itself: a byte-order mark, the
    // XML declaration's encoding or an HTML meta charset (in that order);
    // empty when it declares none.
    static QString SniffCharset(const QByteArray &body);
    // The body as text: by `declaredCharset` when given, else by what the
    // body declares, else as GBK.
    static QString Decode(const QByteArray &body, const QString &declaredCharset);
    // Removes every "-" and the leading and trailing characters whose code
    // is 32 or below.
    static QString Clean(const QString &text);
    // The page shown when no usable page arrived, with the reason; an HTTP
    // error page's own text follows it when there is one.
    static QString Unavailable(const QString &reason, const QString &serverText = QString());
};
