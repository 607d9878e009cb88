#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// What a route handler sees of a request, independent of the server library.
struct HttpRequestView
{
    QByteArray method = "GET";
    QString path;           // decoded path, no query
    QByteArray rawQuery;    // the query exactly as sent, without "?"
    QList<QPair<QByteArray, QByteArray>> headers; // names in lower case
    QString remoteAddress = QStringLiteral("127.0.0.1");

    QByteArray header(const QByteArray &lowerName) const
    {
        for (const auto &h : headers)
            if (h.first == lowerName)
                return h.second;
        return {};
    }
    // The value of one cookie of the Cookie header; empty when absent.
    QByteArray cookie(const QByteArray &name) const
    {
        for (const auto &h : headers) {
            if (h.first != "cookie")
                continue;
            for (QByteArray part : h.second.split(';')) {
                part = part.trimmed();
                const qsizetype eq = part.indexOf('=');
                if (eq > 0 && part.first(eq) == name)
                    return part.sliced(eq + 1);
            }
        }
        return {};
    }
};

// What a route handler answers. `delayMs` holds the answer back before it is
// written; `dropConnection` closes the connection instead of answering.
struct HttpReply
{
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0;
    bool dropConnection = false;
    // Set by the stop control: the server ends after this answer.
    bool stopServer = false;

    void addHeader(const QByteArray &name, const QByteArray &value) { headers.append(qMakePair(name, value)); }

    static HttpReply make(int status, const QByteArray &contentType, const QByteArray &body)
    {
        HttpReply r;
        r.status = status;
        r.contentType = contentType;
        r.body = body;
        return r;
    }
};
