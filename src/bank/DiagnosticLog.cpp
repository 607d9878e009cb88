#include "DiagnosticLog.h"

#include "platform/Formats.h"
#include "platform/GbkText.h"
#include "platform/ProgramDir.h"

#include <QFile>

QString DiagnosticLog::FilePath()
{
    const QString dir = TempWorkDir();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("LOGWY.TXT");
}

void DiagnosticLog::Write(const QString &text)
{
    try {
        if (RunFromCD())
            return;
        const QString path = FilePath();
        if (path.isEmpty())
            return;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
        f.write(Gbk::encode(Formats::formatDateTime(Formats::now()) + QStringLiteral("\r\n") + text));
    } catch (...) {
    }
}
