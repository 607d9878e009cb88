#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray GbkText::encode(const QString &text)
{
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

QString GbkText::decode(const QByteArray &bytes)
{
    QStringDecoder dec("GBK");
    return dec.decode(bytes);
}
