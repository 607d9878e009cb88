#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One element of an answer document: a name and either a text or children.
struct XmlElement
{
    QString name;
    QString text;
    QList<XmlElement> children;

    XmlElement &add(const QString &childName, const QString &childText = {});
};

// An answer of the bank's transaction endpoint: a ROOT element written as a
// GBK document. The bank's client strips every "-" from what it reads, so an
// answer never carries one: dates are written with "/" and values are never
// negative. The writer enforces this on every text it is given.
class XmlAnswer
{
public:
    XmlAnswer();

    XmlElement &root() { return m_root; }
    const XmlElement &root() const { return m_root; }
    XmlElement &add(const QString &name, const QString &text = {}) { return m_root.add(name, text); }

    QByteArray toBytes() const;

    // ROOT/ERROR with ERRORCODE and one ERRORLIST child per line.
    static XmlAnswer error(const QString &code, const QStringList &lines);

    static constexpr const char *kContentType = "text/xml; charset=gb2312";

private:
    XmlElement m_root;
};
