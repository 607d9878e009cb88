#include "BankQuery.h"

#include "ForexErrors.h"
#include "platform/Fixed4.h"
#include "platform/Formats.h"
#include "platform/GbkText.h"

#include <QUrl>

#include <cmath>

namespace {

bool isKept(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_'
        || c == '~';
}

bool isHex(uchar c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void appendEscaped(QByteArray &out, uchar c)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
}

// The bytes of a text as sent: ASCII as is, the rest as GBK.
QByteArray wireBytes(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 127)
            return Gbk::encode(text);
    return text.toLatin1();
}

QByteArray baseBytes(const QString &baseUrl)
{
    const QString t = baseUrl.trimmed();
    for (const QChar c : t)
        if (c.unicode() > 126 || c.unicode() < 33)
            return QUrl(t, QUrl::TolerantMode).toEncoded();
    return t.toLatin1();
}

} // namespace

BankQuery::BankQuery(const QString &baseUrl, const char *txCode)
{
    m_url = baseBytes(baseUrl);
    m_url += "?PT_STYLE=9&TXCODE=";
    m_url += txCode;
}

BankQuery &BankQuery::Add(const char *name, const QString &value)
{
    m_url += '&';
    m_url += name;
    m_url += '=';
    m_url += EncodeValue(value);
    return *this;
}

BankQuery &BankQuery::AddExtra(const QString &extraParams)
{
    m_url += EncodeExtraParams(extraParams);
    return *this;
}

QByteArray BankQuery::EncodeValue(const QString &value)
{
    const QByteArray bytes = wireBytes(value);
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const uchar c = uchar(ch);
        if (isKept(c))
            out += char(c);
        else
            appendEscaped(out, c);
    }
    return out;
}

void BankQuery::AppendPair(QString &pairs, const QString &name, const QString &value)
{
    pairs += QLatin1Char('&');
    pairs += QString::fromLatin1(EncodeValue(name));
    pairs += QLatin1Char('=');
    pairs += QString::fromLatin1(EncodeValue(value));
}

QByteArray BankQuery::EncodeExtraParams(const QString &extraParams)
{
    if (extraParams.isEmpty())
        return QByteArray();
    const QByteArray bytes = wireBytes(extraParams);
    QByteArray out;
    out.reserve(bytes.size() * 3 + 1);
    if (!bytes.startsWith('&'))
        out += '&';
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        if (isKept(c) || c == '&' || c == '=')
            out += char(c);
        else if (c == '%' && i + 2 < bytes.size() && isHex(uchar(bytes[i + 1])) && isHex(uchar(bytes[i + 2])))
            out += char(c);
        else
            appendEscaped(out, c);
    }
    return out;
}

QString BankQuery::Amount(double amount)
{
    const auto f = Fixed4::fromDouble(amount, Fixed4::Rounding::HalfEven);
    if (!f)
        throw EResponseError(QStringLiteral("交易金额无效，请检查您的输入！"));
    return f->toString();
}

QString BankQuery::Rate(double rate)
{
    if (!(rate > 0) || !std::isfinite(rate))
        return QString();
    QString s = QString::number(rate, 'g', 15);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0)
        return s;
    // Exponent written the short way: 1E-5, 1.5E20.
    const QString mantissa = s.left(e);
    QString exp = s.mid(e + 1);
    QString sign;
    if (exp.startsWith(QLatin1Char('-')) || exp.startsWith(QLatin1Char('+'))) {
        if (exp.startsWith(QLatin1Char('-')))
            sign = QStringLiteral("-");
        exp.remove(0, 1);
    }
    while (exp.size() > 1 && exp.startsWith(QLatin1Char('0')))
        exp.remove(0, 1);
    return mantissa + QLatin1Char('E') + sign + exp;
}

QString BankQuery::Date(double days)
{
    return Formats::bankDate(days);
}

QString BankQuery::ProvinceBranch(const QString &branchId)
{
    return branchId.left(3) + QStringLiteral("000000");
}
