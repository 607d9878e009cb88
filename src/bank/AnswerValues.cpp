#include "AnswerValues.h"

#include "AnswerDocument.h"
#include "EAnswerError.h"
#include "platform/Formats.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// "yyyymmdd" with an optional time, as "yyyy-mm-dd…".
QString expandCompactDate(const QString &t)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(\\s.*)?$"));
    const auto m = re.match(t);
    if (!m.hasMatch())
        return t;
    return m.captured(1) + QLatin1Char('-') + m.captured(2) + QLatin1Char('-') + m.captured(3) + m.captured(4);
}

bool parseAnswerDate(const QString &input, bool withTime, double *days)
{
    QString t = input.trimmed();
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    t = expandCompactDate(t);
    if (!withTime) {
        static const QRegularExpression dateOnly(QStringLiteral("^\\d{4}-\\d{1,2}-\\d{1,2}$"));
        if (!dateOnly.match(t).hasMatch())
            return false;
    }
    return Formats::parseDateTime(t, days);
}

} // namespace

const AnswerElement &AnswerValues::Element(const AnswerElement &entry, const char *name)
{
    const AnswerElement *e = entry.Child(QLatin1String(name));
    if (!e)
        throw EAnswerError(QStringLiteral("missing element %1/%2").arg(entry.Name(), QLatin1String(name)));
    return *e;
}

QString AnswerValues::Text(const AnswerElement &entry, const char *name)
{
    return Element(entry, name).Text();
}

QString AnswerValues::OptionalText(const AnswerElement &entry, const char *name)
{
    const AnswerElement *e = entry.Child(QLatin1String(name));
    return e ? e->Text() : QString();
}

std::optional<Fixed4> AnswerValues::ExactNumber(const QString &text)
{
    return Fixed4::parse(text, Fixed4::Rounding::HalfEven);
}

double AnswerValues::NumberOrZero(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

Fixed4 AnswerValues::StrictNumber(const QString &text, const char *what)
{
    const auto v = Fixed4::parse(text, Fixed4::Rounding::HalfEven);
    if (!v)
        throw EAnswerError(QStringLiteral("%1 is not a number").arg(QLatin1String(what)));
    return *v;
}

std::optional<int> AnswerValues::WholeNumber(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

int AnswerValues::StrictWholeNumber(const QString &text, const char *what)
{
    const auto v = WholeNumber(text);
    if (!v)
        throw EAnswerError(QStringLiteral("%1 is not a whole number").arg(QLatin1String(what)));
    return *v;
}

double AnswerValues::AnswerDateTime(const QString &text)
{
    if (text.trimmed().isEmpty())
        return Formats::kMissingDate;
    double days = 0;
    if (!parseAnswerDate(text, true, &days))
        throw EAnswerError(QStringLiteral("not a date-time"));
    return days;
}

double AnswerValues::AnswerDate(const QString &text)
{
    if (text.trimmed().isEmpty())
        return Formats::kMissingDate;
    double days = 0;
    if (!parseAnswerDate(text, false, &days))
        throw EAnswerError(QStringLiteral("not a date"));
    return days;
}

double AnswerValues::LeadingNumber(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end].unicode() <= 127)
        ++end;
    return NumberOrZero(text.left(end));
}
