// ostrel-sandbox: a loopback HTTP server that plays the bank for the tests
// and the demo. Usage: ostrel-sandbox [--port N] --scenario FILE
// The first line of output is the base address, e.g. http://127.0.0.1:41234

#include "Router.h"
#include "SandboxBank.h"
#include "SandboxServer.h"

#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

void usage()
{
    std::fprintf(stderr, "usage: ostrel-sandbox [--port N] --scenario FILE\n");
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    int port = 0;
    QString scenario;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            port = QString::fromLocal8Bit(argv[++i]).toInt();
        } else if (std::strcmp(argv[i], "--scenario") == 0 && hasValue) {
            scenario = QString::fromLocal8Bit(argv[++i]);
        } else {
            usage();
            return 2;
        }
    }
    if (scenario.isEmpty()) {
        usage();
        return 2;
    }

    SandboxBank bank;
    QString error;
    if (!bank.loadFile(scenario, &error)) {
        std::fprintf(stderr, "ostrel-sandbox: %s\n", qPrintable(error));
        return 2;
    }
    Router router;
    bank.registerRoutes(router);
    // Later services (quote, chart and news feeds, bulletins, calculator
    // data, upgrade) register their routes here the same way.

    SandboxServer server(router);
    const int bound = server.bind(port);
    if (bound < 0) {
        std::fprintf(stderr, "ostrel-sandbox: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(bound);
    const BankSettings settings = bank.withState([](BankState &s) { return s.book.settings; });
    std::printf("%s\n", qPrintable(base));
    std::printf("DataSvrIp=%s%s\n", qPrintable(base), qPrintable(settings.transactionPath));
    std::printf("LoginUrl=%s%s\n", qPrintable(base), qPrintable(settings.loginPath));
    std::printf("Control=%s%s\n", qPrintable(base), qPrintable(SandboxBank::kControlPrefix));
    std::fflush(stdout);

    server.run();
    std::fflush(stdout);
    std::fflush(stderr);
    // Connection threads may still sit in keep-alive waits: leave at once.
    std::_Exit(0);
}
