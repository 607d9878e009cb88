#include "UpgradeArguments.h"

std::optional<UpgradeArguments> UpgradeArguments::parse(const QStringList &fields)
{
    if (fields.size() < kMinimumFields)
        return std::nullopt;
    UpgradeArguments a;
    a.productId = fields.at(0);
    a.installDir = fields.at(1);
    a.clientExecutable = fields.at(2);
    a.clientCommandLine = fields.at(3);
    if (fields.size() > 4)
        a.packageListFile = fields.at(4);
    if (fields.size() > 5)
        a.proxyHost = fields.at(5).trimmed();
    if (fields.size() > 6) {
        bool ok = false;
        const uint port = fields.at(6).trimmed().toUInt(&ok, 10);
        if (ok && port > 0 && port <= 65535)
            a.proxyPort = quint16(port);
    }
    return a;
}
