#include "PageText.h"

#include "platform/GbkText.h"

#include <QRegularExpression>

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

// The value of `attr` ("encoding" / "charset") in an ASCII-ish head of the
// body, without quotes, lower case.
QString attributeValue(const QByteArray &head, const QRegularExpression &re)
{
    const auto m = re.match(QString::fromLatin1(head));
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QString bomCharset(const QByteArray &body)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("utf-8");
    if (body.startsWith("\xFF\xFE"))
        return QStringLiteral("utf-16le");
    if (body.startsWith("\xFE\xFF"))
        return QStringLiteral("utf-16be");
    return QString();
}

} // namespace

QString PageText::CharsetFromContentType(const QByteArray &contentType)
{
    static const QRegularExpression re(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_.:\\-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return attributeValue(contentType, re);
}

QString PageText::SniffCharset(const QByteArray &body)
{
    const QString bom = bomCharset(body);
    if (!bom.isEmpty())
        return bom;
    // The declaration was found in single-byte text, so a UTF-16 name there
    // cannot describe these bytes; it is ignored.
    const QByteArray head = body.left(1024);
    static const QRegularExpression xmlDecl(
        QStringLiteral("^\\s*<\\?xml[^>]*\\bencoding\\s*=\\s*[\"']([A-Za-z0-9_.:\\-]+)[\"']"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression meta(QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?([A-Za-z0-9_.:\\-]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString cs = attributeValue(head, xmlDecl);
    if (cs.isEmpty())
        cs = attributeValue(head, meta);
    if (cs.startsWith(QLatin1String("utf-16")) || cs == QLatin1String("unicode") || cs.startsWith(QLatin1String("ucs")))
        return QString();
    return cs;
}

QString PageText::Decode(const QByteArray &body, const QString &declaredCharset)
{
    // A byte-order mark says more about the bytes than any declaration.
    QString cs = bomCharset(body);
    if (cs.isEmpty())
        cs = declaredCharset.trimmed().toLower();
    if (cs.isEmpty())
        cs = SniffCharset(body);
    QString text = Gbk::decodeAs(body, cs);
    if (!text.isEmpty() && text.front() == QChar(0xFEFF))
        text.remove(0, 1);
    return text;
}

QString PageText::Clean(const QString &text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *w = out.data();
    for (const QChar c : text)
        if (c != QLatin1Char('-'))
            *w++ = c;
    out.truncate(w - out.constData());
    qsizetype begin = 0;
    qsizetype end = out.size();
    while (begin < end && isBlank(out[begin]))
        ++begin;
    while (end > begin && isBlank(out[end - 1]))
        --end;
    if (begin == 0 && end == out.size())
        return out;
    return out.mid(begin, end - begin);
}

QString PageText::Unavailable(const QString &reason, const QString &serverText)
{
    QString page = QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1><p>%2</p>")
                       .arg(UnavailablePhrase(), reason.toHtmlEscaped());
    if (!serverText.isEmpty())
        page += QStringLiteral("<hr>") + serverText;
    page += QStringLiteral("</body></html>");
    return page;
}
