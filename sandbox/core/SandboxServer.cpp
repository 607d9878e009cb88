#include "SandboxServer.h"

#include "XmlAnswer.h"

#include <httplib.h>

#include <QString>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A task queue that gives every connection a thread of its own, so a slow
// or held-back answer never keeps other connections waiting.
class ThreadPerConnection : public httplib::TaskQueue
{
public:
    explicit ThreadPerConnection(std::atomic<int> &running) : m_running(running) {}
    void enqueue(std::function<void()> fn) override
    {
        ++m_running;
        std::atomic<int> *running = &m_running;
        std::thread([fn = std::move(fn), running] {
            fn();
            --*running;
        }).detach();
    }
    // Connections end on their own (keep-alive time-out or the stop).
    void shutdown() override {}

private:
    std::atomic<int> &m_running;
};

int portOf(const sockaddr_storage &a)
{
    if (a.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in &>(a).sin_port);
    if (a.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(a).sin6_port);
    return -1;
}

// Closes the connection a request came on, without an answer. The server
// library does not hand its socket to handlers, so it is found by its ports.
bool dropConnection(int localPort, int remotePort)
{
    const int maxFd = static_cast<int>(sysconf(_SC_OPEN_MAX));
    for (int fd = 3; fd < maxFd && fd < 65536; ++fd) {
        sockaddr_storage local{}, peer{};
        socklen_t ll = sizeof local, pl = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &ll) != 0)
            continue;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &pl) != 0)
            continue;
        if (portOf(local) == localPort && portOf(peer) == remotePort) {
            linger l{1, 0}; // reset, not an orderly close
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            ::shutdown(fd, SHUT_RDWR);
            return true;
        }
    }
    return false;
}

} // namespace

struct SandboxServer::Impl
{
    const Router &router;
    httplib::Server server;
    std::atomic<int> connections{0};
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;

    explicit Impl(const Router &r) : router(r) {}

    // Waits `ms`, or less when the server stops.
    void hold(int ms)
    {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }

    void requestStop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        // Leave the answer that asked for it a moment to be written.
        std::thread([this] { server.stop(); }).detach();
    }

    void handle(const httplib::Request &req, httplib::Response &res)
    {
        HttpRequestView view;
        view.method = QByteArray::fromStdString(req.method);
        view.path = QString::fromStdString(req.path);
        const std::string &target = req.target;
        const auto q = target.find('?');
        if (q != std::string::npos)
            view.rawQuery = QByteArray::fromStdString(target.substr(q + 1));
        for (const auto &h : req.headers)
            view.headers.append(qMakePair(QByteArray::fromStdString(h.first).toLower(), QByteArray::fromStdString(h.second)));
        view.remoteAddress = QString::fromStdString(req.remote_addr);

        HttpReply reply = router.dispatch(view);
        if (reply.delayMs > 0)
            hold(reply.delayMs);
        if (reply.dropConnection) {
            if (!dropConnection(req.local_port, req.remote_port)) {
                // Not found: send the headers, then give up on the body.
                res.set_chunked_content_provider("text/xml", [](size_t, httplib::DataSink &) { return false; });
            }
            return;
        }
        res.status = reply.status;
        for (const auto &h : reply.headers)
            res.set_header(h.first.toStdString(), h.second.toStdString());
        res.set_content(reply.body.toStdString(), reply.contentType.toStdString());
        if (reply.stopServer)
            requestStop();
    }
};

SandboxServer::SandboxServer(const Router &router) : d(std::make_unique<Impl>(router))
{
    d->server.new_task_queue = [this] { return new ThreadPerConnection(d->connections); };
    d->server.set_keep_alive_max_count(1000);
    d->server.set_keep_alive_timeout(5);
    d->server.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        d->handle(req, res);
        return httplib::Server::HandlerResponse::Handled;
    });
    // Requests the library refuses itself (a request line too long, say)
    // still get a body that says so.
    d->server.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.body.empty()) {
            const XmlAnswer a = XmlAnswer::error(QStringLiteral("0005"),
                                                 {QStringLiteral("请求无法处理（HTTP %1）").arg(res.status)});
            res.set_content(a.toBytes().toStdString(), XmlAnswer::kContentType);
        }
    });
}

SandboxServer::~SandboxServer()
{
    stop();
}

int SandboxServer::bind(int port)
{
    if (port == 0)
        return d->server.bind_to_any_port("127.0.0.1");
    return d->server.bind_to_port("127.0.0.1", port) ? port : -1;
}

void SandboxServer::run()
{
    d->server.listen_after_bind();
    // Let the answers in flight (the one that asked to stop, say) finish.
    for (int i = 0; i < 200 && d->connections.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void SandboxServer::stop()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->server.stop();
}
