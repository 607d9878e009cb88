#include "LoginNumbers.h"

#include "TSettings.h"
#include "platform/GbkText.h"
#include "platform/ProfileFile.h"

namespace LoginNumbers {
namespace {

const QString kSection = QStringLiteral("LOGINNO");

QStringList storedValues()
{
    QStringList values;
    for (const QString &line : Profile::readSection(TSettings::SystemIniFile(), kSection)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            values << line.mid(eq + 1).trimmed();
    }
    return values;
}

} // namespace

QString Encode(const QString &loginNumber)
{
    // No line breaks: a profile value cannot hold one, and a break in the
    // middle would cut the stored number.
    return QString::fromLatin1(Gbk::encode(loginNumber).toBase64());
}

QString Decode(const QString &stored)
{
    QString compact = stored;
    compact.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    const auto result = QByteArray::fromBase64Encoding(compact.toLatin1());
    return result ? Gbk::decode(*result) : QString();
}

QStringList Stored()
{
    QStringList out;
    for (const QString &v : storedValues()) {
        const QString n = Decode(v);
        if (!n.isEmpty())
            out << n;
    }
    return out;
}

QStringList Offered()
{
    QStringList out;
    for (const QString &name : Stored()) {
        if (out.contains(name))
            continue;
        TSettings scratch;
        if (scratch.LoadUserIni(name) && scratch.SaveCerty)
            out << name;
    }
    return out;
}

void Remember(const QString &loginNumber)
{
    const QString encoded = Encode(loginNumber);
    QStringList values = storedValues();
    for (const QString &v : values)
        if (v.compare(encoded, Qt::CaseInsensitive) == 0)
            return;
    values << encoded;
    QStringList lines;
    for (int i = 0; i < values.size(); ++i)
        lines << QStringLiteral("user%1=%2").arg(i).arg(values[i]);
    TSettings::WriteIniSection(TSettings::SystemIniFile(), kSection, lines);
}

} // namespace LoginNumbers
