#include "BankAnswer.h"

#include <QStringDecoder>

BankAnswer BankAnswer::fromBody(const QByteArray &body, const QByteArray &contentType)
{
    BankAnswer a;
    a.body = body;
    a.contentType = contentType;
    QStringDecoder gbk("GBK");
    a.text = gbk.decode(body);
    a.wellFormed = !body.isEmpty() && static_cast<bool>(a.doc.setContent(body));
    return a;
}

QStringList BankAnswer::errorLines() const
{
    QStringList out;
    const QDomElement list = doc.documentElement().firstChildElement(QStringLiteral("ERROR")).firstChildElement(QStringLiteral("ERRORLIST"));
    for (QDomElement e = list.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        out << e.text();
    return out;
}

QString BankAnswer::value(const QString &path) const
{
    QDomElement e = doc.documentElement();
    for (const QString &part : path.split(u'/'))
        e = e.firstChildElement(part);
    return e.text();
}

QList<QMap<QString, QString>> BankAnswer::entries(const QString &listName) const
{
    QList<QMap<QString, QString>> out;
    const QDomElement list = doc.documentElement().firstChildElement(listName);
    for (QDomElement entry = list.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
        QMap<QString, QString> fields;
        for (QDomElement f = entry.firstChildElement(); !f.isNull(); f = f.nextSiblingElement())
            fields.insert(f.tagName(), f.text());
        out << fields;
    }
    return out;
}

