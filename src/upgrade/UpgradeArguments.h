#pragma once
// The seven hand-over fields the client passes as command-line arguments
// 1-7: product number, installation folder, the client's full executable
// path, the client's command line, the package-list file, and optionally
// the HTTP proxy host and port.

#include <QString>
#include <QStringList>
#include <optional>

class UpgradeArguments
{
public:
    static constexpr int kMinimumFields = 4;
    static constexpr quint16 kDefaultProxyPort = 80;

    QString productId;
    QString installDir;
    QString clientExecutable;
    QString clientCommandLine;
    QString packageListFile;
    QString proxyHost; // empty: no proxy
    quint16 proxyPort = kDefaultProxyPort;

    // fields are the arguments after the program name. nullopt with fewer
    // than four. A port that is absent or not a port number gives 80.
    static std::optional<UpgradeArguments> parse(const QStringList &fields);
    bool hasProxy() const { return !proxyHost.isEmpty(); }
};
