#include "UpgradeTimings.h"

#include <QStringList>

UpgradeTimings UpgradeTimings::fromEnvironment()
{
    UpgradeTimings t;
    t.apply(qEnvironmentVariable("OSTREL_UPGRADE_WAITS"));
    return t;
}

void UpgradeTimings::apply(const QString &overrides)
{
    for (const QString &pair : overrides.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = pair.section(QLatin1Char('='), 0, 0).trimmed();
        bool ok = false;
        const int ms = pair.section(QLatin1Char('='), 1).trimmed().toInt(&ok);
        if (!ok || ms < 0)
            continue;
        if (name == QLatin1String("close"))
            closeSettleMs = ms;
        else if (name == QLatin1String("grace"))
            stopGraceMs = ms;
        else if (name == QLatin1String("exec"))
            execSettleMs = ms;
        else if (name == QLatin1String("finish"))
            finishDelayMs = ms;
        else if (name == QLatin1String("read"))
            readTimeoutMs = ms;
        else if (name == QLatin1String("poll") && ms > 0)
            pollMs = ms;
    }
}
