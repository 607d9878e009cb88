#include "UpgradeTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <httplib.h>
#include <zip.h>

namespace UpgradeTest {

bool writeZip(const QString &path, const QList<ZipEntry> &entries)
{
    int err = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        return false;
    for (const ZipEntry &e : entries) {
        // libzip keeps the source buffer until zip_close: copy the bytes.
        void *copy = std::malloc(size_t(qMax<qsizetype>(1, e.data.size())));
        std::memcpy(copy, e.data.constData(), size_t(e.data.size()));
        zip_source_t *src = zip_source_buffer(za, copy, zip_uint64_t(e.data.size()), 1);
        if (!src) {
            zip_discard(za);
            return false;
        }
        const zip_flags_t enc = e.utf8Flag ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
        const zip_int64_t idx = zip_file_add(za, e.name.constData(), src, ZIP_FL_OVERWRITE | enc);
        if (idx < 0) {
            zip_source_free(src);
            zip_discard(za);
            return false;
        }
        if (e.unixMode)
            zip_file_set_external_attributes(za, zip_uint64_t(idx), 0, ZIP_OPSYS_UNIX, zip_uint32_t(*e.unixMode) << 16);
        if (e.store)
            zip_set_file_compression(za, zip_uint64_t(idx), ZIP_CM_STORE, 0);
    }
    return zip_close(za) == 0;
}

QByteArray zipBytes(const QList<ZipEntry> &entries)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/p.zip");
    if (!writeZip(path, entries))
        return QByteArray();
    return readFile(path);
}

QByteArray withDeclaredSize(QByteArray zip, quint32 size)
{
    auto put32 = [&zip](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    for (qsizetype at = zip.indexOf("PK\x03\x04"); at >= 0; at = zip.indexOf("PK\x03\x04", at + 4))
        put32(at + 22, size);
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4))
        put32(at + 24, size);
    return zip;
}

QByteArray script(const QString &items, const QString &section)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT><%1>%2</%1></ROOT>\n")
        .arg(section, items)
        .toUtf8();
}

HttpServer::HttpServer()
    : m_server(std::make_unique<httplib::Server>())
{
    m_server->set_keep_alive_max_count(1);
    m_server->Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
        std::unique_lock<std::mutex> l(m_lock);
        m_targets << QString::fromStdString(req.target);
        if (auto it = m_bodies.find(req.path); it != m_bodies.end()) {
            res.set_content(std::string(it->second.constData(), size_t(it->second.size())), "application/zip");
            return;
        }
        if (auto it = m_stalled.find(req.path); it != m_stalled.end()) {
            const QByteArray part = it->second.first;
            const qint64 announced = it->second.second;
            l.unlock();
            res.set_content_provider(size_t(announced), "application/zip",
                                     [this, part](size_t offset, size_t, httplib::DataSink &sink) {
                                         if (offset == 0)
                                             sink.write(part.constData(), size_t(part.size()));
                                         // Then nothing: wait until the client gives up.
                                         while (!m_stopping && sink.is_writable())
                                             std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                         return false;
                                     });
            return;
        }
        res.status = 404;
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpServer::~HttpServer()
{
    m_stopping = true;
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void HttpServer::put(const std::string &path, const QByteArray &body)
{
    std::lock_guard<std::mutex> l(m_lock);
    m_bodies[path] = body;
}

void HttpServer::putStalled(const std::string &path, const QByteArray &firstPart, qint64 announced)
{
    std::lock_guard<std::mutex> l(m_lock);
    m_stalled[path] = {firstPart, announced};
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QStringList HttpServer::targets() const
{
    std::lock_guard<std::mutex> l(m_lock);
    return m_targets;
}

Snapshot snapshot(const QString &dir)
{
    Snapshot s;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo fi(path);
        FileState st;
        if (fi.isSymLink()) {
            st.bytes = "link:" + fi.symLinkTarget().toUtf8();
        } else if (fi.isDir()) {
            st.folder = true;
            st.permissions = fi.permissions();
        } else {
            st.bytes = readFile(path);
            st.permissions = fi.permissions();
        }
        s.insert(QDir(dir).relativeFilePath(path), st);
    }
    return s;
}

QString describeDifferences(const Snapshot &before, const Snapshot &after)
{
    QStringList out;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            out << QStringLiteral("missing: ") + it.key();
        else if (!(after.value(it.key()) == it.value()))
            out << QStringLiteral("changed: ") + it.key();
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            out << QStringLiteral("new: ") + it.key();
    }
    return out.join(QLatin1Char('\n'));
}

bool writeFile(const QString &path, const QByteArray &bytes, std::optional<QFileDevice::Permissions> permissions)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.exists())
        f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return false;
    f.close();
    return !permissions || QFile::setPermissions(path, *permissions);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

Sandbox::Sandbox()
{
    root = dir.path();
    install = root + QStringLiteral("/Ostrel Home");
    upgrade = root + QStringLiteral("/upg");
    work = root + QStringLiteral("/work");
    QDir().mkpath(install);
    QDir().mkpath(upgrade);
    QDir().mkpath(work);
}

QList<ClientStart> readClientLog(const QString &log)
{
    QList<ClientStart> out;
    const QList<QByteArray> lines = readFile(log).split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        QStringList parts = QString::fromUtf8(line).split(QLatin1Char('\t'));
        ClientStart c;
        c.pid = parts.takeFirst().toLongLong();
        c.arguments = parts;
        out << c;
    }
    return out;
}

QList<ClientStart> waitForClientLog(const QString &log, int count)
{
    QElapsedTimer t;
    t.start();
    QList<ClientStart> starts = readClientLog(log);
    while (starts.size() < count && t.elapsed() < kWaitMs) {
        QThread::msleep(10);
        starts = readClientLog(log);
    }
    return starts;
}

} // namespace UpgradeTest
