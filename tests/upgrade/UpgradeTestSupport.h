#pragma once
// Fixtures shared by the upgrade tests: zip packages built with libzip, a
// loopback HTTP server, folder snapshots, and a sandbox with an
// installation folder, an upgrade folder and a folder for the test's own
// files.

#include "QtPrinters.h"

#include <QByteArray>
#include <QFileDevice>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace UpgradeTest {

// How long a test waits for something another process does.
constexpr int kWaitMs = 15000;
// Short waits for the runs under test.
inline const QString kShortWaits = QStringLiteral("close=0,grace=300,exec=0,finish=0,read=1000,poll=10");

struct ZipEntry {
    ZipEntry(QByteArray entryName, QByteArray entryData, bool flaggedUtf8 = true,
             std::optional<unsigned> mode = std::nullopt, bool stored = false)
        : name(std::move(entryName)), data(std::move(entryData)), utf8Flag(flaggedUtf8), unixMode(mode), store(stored)
    {
    }
    QByteArray name;          // raw bytes as stored
    QByteArray data;
    bool utf8Flag = true;     // false: stored without the UTF-8 flag
    std::optional<unsigned> unixMode; // full st_mode (type and permissions)
    bool store = false;       // no compression
};

// Builds a zip archive from the entries; false when libzip fails.
bool writeZip(const QString &path, const QList<ZipEntry> &entries);
QByteArray zipBytes(const QList<ZipEntry> &entries);
// Overwrites the uncompressed size of every entry in the local and central
// headers (a lying archive).
QByteArray withDeclaredSize(QByteArray zip, quint32 size);

// A script with one COMMON section holding the given items' XML.
QByteArray script(const QString &items, const QString &section = QStringLiteral("COMMON"));

class HttpServer
{
public:
    HttpServer();
    ~HttpServer();
    // path is the decoded request path ("/dir/my package.zip").
    void put(const std::string &path, const QByteArray &body);
    // Sends the first part of an announced body, then nothing more.
    void putStalled(const std::string &path, const QByteArray &firstPart, qint64 announced);
    QString url(const QString &path) const;
    int port() const { return m_port; }
    // The request targets as sent (raw, still percent-encoded).
    QStringList targets() const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_lock;
    std::map<std::string, QByteArray> m_bodies;
    std::map<std::string, std::pair<QByteArray, qint64>> m_stalled;
    QStringList m_targets;
    std::atomic<bool> m_stopping{false};
};

struct FileState {
    bool folder = false;
    QByteArray bytes;
    QFileDevice::Permissions permissions;
    bool operator==(const FileState &) const = default;
};
using Snapshot = QMap<QString, FileState>;

// Every file and folder below dir, by relative path (links are recorded as
// their target text).
Snapshot snapshot(const QString &dir);
// Human-readable differences, empty when equal.
QString describeDifferences(const Snapshot &before, const Snapshot &after);

bool writeFile(const QString &path, const QByteArray &bytes,
               std::optional<QFileDevice::Permissions> permissions = std::nullopt);
QByteArray readFile(const QString &path);

// root/inst (installation), root/upg (upgrade program folder), root/work
// (the test's own files: package list, logs, markers).
struct Sandbox {
    Sandbox();
    QTemporaryDir dir;
    QString root;
    QString install;
    QString upgrade;
    QString work;
};

// The fake client's log lines: process number and arguments.
struct ClientStart {
    qint64 pid = 0;
    QStringList arguments;
};
QList<ClientStart> readClientLog(const QString &log);
// Polls until the log holds `count` lines or kWaitMs passed.
QList<ClientStart> waitForClientLog(const QString &log, int count);

} // namespace UpgradeTest
