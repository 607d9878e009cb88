#pragma once

// An answer of the bank's transaction endpoint as a test reads it: the body
// decoded from GBK and, when it is XML, its document.

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct BankAnswer
{
    // Decodes and parses a body.
    static BankAnswer fromBody(const QByteArray &body, const QByteArray &contentType = {});

    int status = 200;
    QByteArray contentType;
    QByteArray body;
    int delayMs = 0;        // the answer is held back this long
    bool dropConnection = false;
    QString text;           // the body decoded from GBK
    QDomDocument doc;
    bool wellFormed = false;

    bool hasRoot() const { return wellFormed && doc.documentElement().tagName() == QLatin1String("ROOT"); }
    bool isError() const { return hasRoot() && !doc.documentElement().firstChildElement(QStringLiteral("ERROR")).isNull(); }
    // The ERRORLIST lines of an error answer.
    QStringList errorLines() const;
    // The text at a path below ROOT, "RESULTMSG/CONTRCTNO".
    QString value(const QString &path) const;
    // The entries of a list below ROOT, each as field name -> text.
    QList<QMap<QString, QString>> entries(const QString &listName) const;
};
