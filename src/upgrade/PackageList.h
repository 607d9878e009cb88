#pragma once
// The package list "upgradetask.lst": one line per package, the version, "="
// and the package address, applied in file order. The file is UTF-8 (a BOM
// is allowed); a file that is not valid UTF-8 is read as GBK, the code page
// of Windows-style clients.

#include <QList>
#include <QString>
#include <optional>

struct UpgradePackage
{
    QString version;
    QString address;
    bool operator==(const UpgradePackage &) const = default;
};

class PackageList
{
public:
    // nullopt when the file cannot be read. Blank lines are left out; a line
    // without "=" is a package without address (its download fails).
    static std::optional<QList<UpgradePackage>> read(const QString &file);
    static QList<UpgradePackage> parse(const QByteArray &bytes);
};
