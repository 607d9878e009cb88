#include "XmlAnswer.h"

#include "GbkText.h"

#include <cstdio>

namespace {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'-':
            // Never in an answer: the client would strip it and misread the value.
            std::fprintf(stderr, "ostrel-sandbox: an answer value carried a \"-\"; it was left out\n");
            break;
        default: out += c;
        }
    }
    return out;
}

void write(const XmlElement &e, QString &out)
{
    out += u'<' + e.name + u'>';
    if (e.children.isEmpty())
        out += escaped(e.text);
    for (const XmlElement &c : e.children)
        write(c, out);
    out += QLatin1String("</") + e.name + u'>';
}

} // namespace

XmlElement &XmlElement::add(const QString &childName, const QString &childText)
{
    children.append(XmlElement{childName, childText, {}});
    return children.last();
}

XmlAnswer::XmlAnswer() : m_root{QStringLiteral("ROOT"), {}, {}} {}

QByteArray XmlAnswer::toBytes() const
{
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n");
    write(m_root, out);
    return GbkText::encode(out);
}

XmlAnswer XmlAnswer::error(const QString &code, const QStringList &lines)
{
    XmlAnswer a;
    XmlElement &err = a.add(QStringLiteral("ERROR"));
    err.add(QStringLiteral("ERRORCODE"), code);
    XmlElement &list = err.add(QStringLiteral("ERRORLIST"));
    for (const QString &line : lines)
        list.add(QStringLiteral("ERRORMSG"), line);
    return a;
}
