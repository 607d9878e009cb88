#pragma once

#include "Router.h"

#include <QString>
#include <memory>

// The HTTP server of the sandbox: HTTP/1.1 with keep-alive on the loopback,
// one thread per connection, every request handed to the router. It is the
// only place that knows the server library.
class SandboxServer
{
public:
    explicit SandboxServer(const Router &router);
    ~SandboxServer();

    // Binds 127.0.0.1:`port` (0: any free port). Returns the port, or -1.
    int bind(int port);
    // Serves until stop() or a reply that asks to stop. Returns when the
    // listening socket is closed and the requests in flight are answered.
    void run();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
