#pragma once

#include "HttpExchange.h"

#include <QList>
#include <QString>
#include <functional>

// The sandbox's table of addresses. Every service (the bank's transaction
// endpoint, its login page, the control path, and the feeds that join later)
// adds its routes here; the server asks the router for every request.
class Router
{
public:
    using Handler = std::function<HttpReply(const HttpRequestView &)>;

    // Exact path.
    void add(const QString &path, Handler handler);
    // Every path that starts with `prefix`.
    void addPrefix(const QString &prefix, Handler handler);

    HttpReply dispatch(const HttpRequestView &request) const;

private:
    struct Route
    {
        QString path;
        bool prefix = false;
        Handler handler;
    };
    const Route *find(const QString &path) const;
    QList<Route> m_routes;
};
