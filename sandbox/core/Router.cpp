#include "Router.h"

void Router::add(const QString &path, Handler handler)
{
    m_routes.append({path, false, std::move(handler)});
}

void Router::addPrefix(const QString &prefix, Handler handler)
{
    m_routes.append({prefix, true, std::move(handler)});
}

const Router::Route *Router::find(const QString &path) const
{
    // Exact routes win over prefixes; among prefixes the longest wins.
    const Route *best = nullptr;
    for (const Route &r : m_routes) {
        if (!r.prefix && r.path == path)
            return &r;
        if (r.prefix && path.startsWith(r.path) && (!best || r.path.size() > best->path.size()))
            best = &r;
    }
    return best;
}

HttpReply Router::dispatch(const HttpRequestView &request) const
{
    if (const Route *r = find(request.path))
        return r->handler(request);
    return HttpReply::make(404, "text/html; charset=gb2312",
                           "<html><body>404 Not Found</body></html>");
}
