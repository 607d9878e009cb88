#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

QString decode(const char *data, qsizetype size)
{
    // GB18030 is a superset of GBK and GB2312; decoding with it keeps every
    // byte sequence a GBK writer can produce.
    QStringDecoder dec("GB18030", QStringDecoder::Flag::Stateless);
    if (!dec.isValid()) {
        QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
        return gbk.decode(QByteArrayView(data, size));
    }
    return dec.decode(QByteArrayView(data, size));
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(const QString &text)
{
    QStringEncoder enc("GBK", QStringEncoder::Flag::Stateless);
    return enc.encode(text);
}

bool canEncode(const QString &text)
{
    QStringEncoder enc("GBK", QStringEncoder::Flag::Stateless);
    QByteArray out = enc.encode(text);
    if (enc.hasError())
        return false;
    // Round-trip: a character without a GBK form comes back as "?".
    return decode(out) == text;
}

QString decodeAs(const QByteArray &bytes, const QString &charset)
{
    const QString cs = charset.trimmed().toLower();
    if (cs.isEmpty() || cs == QLatin1String("gb2312") || cs == QLatin1String("gbk")
        || cs == QLatin1String("gb18030") || cs == QLatin1String("x-gbk"))
        return decode(bytes);
    if (cs == QLatin1String("utf-8") || cs == QLatin1String("utf8"))
        return QString::fromUtf8(bytes);
    if (cs.startsWith(QLatin1String("utf-16")) || cs == QLatin1String("unicode")) {
        QStringDecoder dec(cs == QLatin1String("utf-16be") ? QStringConverter::Utf16BE
                           : cs == QLatin1String("utf-16le") ? QStringConverter::Utf16LE
                                                             : QStringConverter::Utf16,
                           QStringDecoder::Flag::Stateless);
        return dec.decode(bytes);
    }
    QStringDecoder dec(cs.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (dec.isValid())
        return dec.decode(bytes);
    return decode(bytes);
}

} // namespace Gbk
