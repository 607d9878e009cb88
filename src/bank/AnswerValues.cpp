#include "AnswerValues.h"

#include "AnswerDocument.h"
#include "EAnswerError.h"
#include "platform/Formats.h"

#include <QDate>

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);

// Reads up to `maxDigits` ASCII digits at `i`; false when there is none.
bool digits(const QString &t, qsizetype &i, int maxDigits, int *value)
{
    int v = 0;
    int n = 0;
    while (i < t.size() && n < maxDigits && t[i].unicode() >= '0' && t[i].unicode() <= '9') {
        v = v * 10 + (t[i].unicode() - '0');
        ++i;
        ++n;
    }
    *value = v;
    return n > 0;
}

// "H:m[:s]" from `i` to the end.
bool parseTime(const QString &t, qsizetype i, int *ms)
{
    int h = 0, m = 0, sec = 0;
    if (!digits(t, i, 2, &h) || i >= t.size() || t[i] != QLatin1Char(':'))
        return false;
    ++i;
    if (!digits(t, i, 2, &m))
        return false;
    if (i < t.size() && t[i] == QLatin1Char(':')) {
        ++i;
        if (!digits(t, i, 2, &sec))
            return false;
    }
    if (i != t.size() || h > 23 || m > 59 || sec > 59)
        return false;
    *ms = ((h * 60 + m) * 60 + sec) * 1000;
    return true;
}

// The answer's date forms, "/" already turned into "-": "yyyy-M-d" or the
// "yyyymmdd" a removed "-" leaves, optionally followed by blanks and a
// time; with `withTime` also a time alone. Computed without the local time
// zone, as a day count with the time as fraction.
bool parseAnswerDate(const QString &input, bool withTime, double *days)
{
    QString t = input.trimmed();
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    qsizetype i = 0;
    int y = 0, mo = 0, d = 0;
    const qsizetype start = i;
    if (!digits(t, i, 8, &y))
        return false;
    bool haveDate = false;
    if (i - start == 8) {
        d = y % 100;
        mo = (y / 100) % 100;
        y /= 10000;
        haveDate = true;
    } else if (i - start == 4 && i < t.size() && t[i] == QLatin1Char('-')) {
        ++i;
        if (!digits(t, i, 2, &mo) || i >= t.size() || t[i] != QLatin1Char('-'))
            return false;
        ++i;
        if (!digits(t, i, 2, &d))
            return false;
        haveDate = true;
    }
    int ms = 0;
    double day = 0;
    if (haveDate) {
        const QDate date(y, mo, d);
        if (!date.isValid())
            return false;
        day = double(kEpoch.daysTo(date));
        if (i < t.size()) {
            if (!withTime || !t[i].isSpace())
                return false;
            while (i < t.size() && t[i].isSpace())
                ++i;
            if (!parseTime(t, i, &ms))
                return false;
        }
    } else {
        // A time alone.
        if (!withTime || !parseTime(t, start, &ms))
            return false;
    }
    const double frac = double(ms) / 86400000.0;
    *days = day >= 0 ? day + frac : day - frac;
    return true;
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
