#include "UpgradeScript.h"

#include "GbkText.h"

#include <QDomDocument>
#include <QDomElement>
#include <QRegularExpression>
#include <QStringDecoder>

bool UpgradeScript::SectionMatchesOS(const QString &sectionName)
{
    const QString s = sectionName.toUpper();
    return s == QLatin1String("COMMON") || s == QLatin1String("LINUX");
}

QString UpgradeScript::decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder dec(QStringConverter::Utf16, QStringDecoder::Flag::Stateless);
        return dec.decode(bytes);
    }
    static const QRegularExpression decl(
        QStringLiteral(R"(^\s*<\?xml[^>]*\bencoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"));
    const QRegularExpressionMatch m = decl.match(QString::fromLatin1(bytes.left(200)));
    if (m.hasMatch())
        return Gbk::decodeAs(bytes, m.captured(1));
    QStringDecoder utf8(QStringConverter::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return Gbk::decode(bytes);
    return text;
}

namespace {

bool itemKind(const QString &name, UpgradeScript::ItemKind *kind)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("REPLACE"))
        *kind = UpgradeScript::ItemKind::Replace;
    else if (n == QLatin1String("PATCH"))
        *kind = UpgradeScript::ItemKind::Patch;
    else if (n == QLatin1String("CREATE"))
        *kind = UpgradeScript::ItemKind::Create;
    else if (n == QLatin1String("EXEC"))
        *kind = UpgradeScript::ItemKind::Exec;
    else
        return false;
    return true;
}

UpgradeScript::Field field(const QDomElement &item, const QString &name)
{
    UpgradeScript::Field f;
    const QDomElement e = item.firstChildElement(name);
    if (!e.isNull()) {
        f.present = true;
        f.text = e.text().trimmed();
    }
    return f;
}

} // namespace

UpgradeScript::Result UpgradeScript::parse(const QByteArray &bytes)
{
    Result r;
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(decodeText(bytes), false, &message, &line, &column)) {
        r.error = QStringLiteral("not XML (line %1, column %2): %3").arg(line).arg(column).arg(message);
        return r;
    }
    const QDomElement root = doc.documentElement();
    if (root.isNull() || root.tagName() != QLatin1String("ROOT")) {
        r.error = QStringLiteral("no ROOT element");
        return r;
    }
    for (QDomNode s = root.firstChild(); !s.isNull(); s = s.nextSibling()) {
        if (!s.isElement() || !SectionMatchesOS(s.toElement().tagName()))
            continue;
        for (QDomNode n = s.firstChild(); !n.isNull(); n = n.nextSibling()) {
            Item item;
            item.line = n.lineNumber();
            if (!n.isElement() || !itemKind(n.toElement().tagName(), &item.kind)) {
                r.error = QStringLiteral("line %1: unknown node \"%2\" in section %3")
                              .arg(item.line)
                              .arg(n.nodeName(), s.nodeName());
                return r;
            }
            const QDomElement e = n.toElement();
            item.target = field(e, QStringLiteral("TARGET"));
            item.src = field(e, QStringLiteral("SRC"));
            item.size = field(e, QStringLiteral("SIZE"));
            r.items << item;
        }
    }
    r.ok = true;
    return r;
}
