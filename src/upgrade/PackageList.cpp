#include "PackageList.h"

#include "GbkText.h"

#include <QFile>
#include <QStringDecoder>

std::optional<QList<UpgradePackage>> PackageList::read(const QString &file)
{
    if (file.isEmpty())
        return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return parse(bytes);
}

QList<UpgradePackage> PackageList::parse(const QByteArray &raw)
{
    QByteArray bytes = raw;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = Gbk::decode(bytes);

    QList<UpgradePackage> out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        UpgradePackage p;
        if (eq < 0) {
            p.version = line;
        } else {
            p.version = line.left(eq).trimmed();
            p.address = line.mid(eq + 1).trimmed();
        }
        out << p;
    }
    return out;
}
