#include "RawQuery.h"

#include <QStringDecoder>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool unescape(QByteArrayView in, QByteArray &out)
{
    out.clear();
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 2 >= in.size())
            return false;
        const int hi = hexValue(in[i + 1]);
        const int lo = hexValue(in[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool isPlainName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                        || c == '_' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = dec.decode(bytes);
    return !dec.hasError() && !s.contains(QChar::ReplacementCharacter);
}

bool isGbk(const QByteArray &bytes)
{
    QStringDecoder dec("GBK", QStringDecoder::Flag::Stateless);
    const QString s = dec.decode(bytes);
    if (dec.hasError())
        return false;
    // Bytes outside GBK's characters come back as the private use area or
    // the replacement character.
    for (QChar ch : s)
        if (ch == QChar::ReplacementCharacter || (ch.unicode() >= 0xE000 && ch.unicode() <= 0xF8FF))
            return false;
    return true;
}

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

RawQuery RawQuery::parse(QByteArrayView query)
{
    RawQuery q;
    for (QByteArrayView piece : QByteArray(query.data(), query.size()).split('&')) {
        if (piece.isEmpty())
            continue;
        const qsizetype eq = piece.indexOf('=');
        QByteArray name;
        QByteArray value;
        if (!unescape(eq < 0 ? piece : piece.first(eq), name)
            || (eq >= 0 && !unescape(piece.sliced(eq + 1), value))) {
            q.m_problem = QStringLiteral("请求参数编码错误");
            return q;
        }
        if (!isPlainName(name)) {
            q.m_problem = QStringLiteral("请求参数名称不正确");
            return q;
        }
        if (!isAscii(value) && !isUtf8(value) && !isGbk(value)) {
            q.m_problem = QStringLiteral("请求参数%1的字符编码不正确").arg(QString::fromLatin1(name));
            return q;
        }
        const QString key = QString::fromLatin1(name);
        if (q.has(key) && !q.m_repeated.contains(key))
            q.m_repeated << key;
        q.m_pairs.append({key, value});
    }
    return q;
}

bool RawQuery::has(const QString &name) const
{
    for (const auto &p : m_pairs)
        if (p.first == name)
            return true;
    return false;
}

QByteArray RawQuery::bytes(const QString &name) const
{
    for (const auto &p : m_pairs)
        if (p.first == name)
            return p.second;
    return {};
}

QString RawQuery::text(const QString &name) const
{
    const QByteArray b = bytes(name);
    if (isAscii(b))
        return QString::fromLatin1(b);
    // An HTTP layer may have sent the text as UTF-8 instead of GBK bytes;
    // a GBK text is seldom valid UTF-8, so take UTF-8 when it is.
    if (isUtf8(b))
        return QString::fromUtf8(b);
    QStringDecoder dec("GBK", QStringDecoder::Flag::Stateless);
    return dec.decode(b);
}
