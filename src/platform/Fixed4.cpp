#include "Fixed4.h"

#include <cmath>
#include <limits>

namespace {

// Rounds an integer quotient n / d (d > 0) by the remainder.
int64_t roundDiv(int64_t n, int64_t d, Fixed4::Rounding rounding)
{
    int64_t q = n / d;
    int64_t r = n % d;
    if (rounding == Fixed4::Rounding::Truncate || r == 0)
        return q;
    const int64_t twice = 2 * (r < 0 ? -r : r);
    const int sign = n < 0 ? -1 : 1;
    if (twice > d || (twice == d && (q % 2 != 0)))
        q += sign;
    return q;
}

} // namespace

std::optional<Fixed4> Fixed4::fromDouble(double value, Rounding rounding)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Go through the shortest decimal text of the double so that 0.125 and
    // 2.00005 are the decimals a person typed, not their binary neighbours.
    const QString text = QString::number(value, 'f', 10);
    return parse(text, rounding);
}

std::optional<Fixed4> Fixed4::parse(const QString &input, Rounding rounding)
{
    const QString t = input.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max() / 100;
    int64_t whole = 0;
    int wholeDigits = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
        whole = whole * 10 + (t[i].unicode() - '0');
        if (whole > kMax / kScale)
            return std::nullopt;
        ++wholeDigits;
    }
    int64_t frac = 0;   // first five fractional digits
    int fracDigits = 0;
    bool restNonZero = false;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
            const int d = t[i].unicode() - '0';
            if (fracDigits < 5) {
                frac = frac * 10 + d;
            } else if (d != 0) {
                restNonZero = true;
            }
            ++fracDigits;
        }
    }
    if (i != t.size() || (wholeDigits == 0 && fracDigits == 0))
        return std::nullopt;
    for (int k = fracDigits; k < 5; ++k)
        frac *= 10;
    // frac is now in hundred-thousandths; decide the fourth digit.
    int64_t units = whole * kScale + frac / 10;
    const int fifth = int(frac % 10);
    if (rounding == Rounding::HalfEven) {
        if (fifth > 5 || (fifth == 5 && (restNonZero || units % 2 != 0)))
            ++units;
    }
    return fromUnits(negative ? -units : units);
}

Fixed4 Fixed4::parseOrZero(const QString &text, Rounding rounding)
{
    return parse(text, rounding).value_or(Fixed4());
}

Fixed4 Fixed4::rounded(int decimals) const
{
    if (decimals >= 4)
        return *this;
    if (decimals < 0)
        decimals = 0;
    int64_t d = 1;
    for (int k = decimals; k < 4; ++k)
        d *= 10;
    return fromUnits(roundDiv(m_units, d, Rounding::HalfEven) * d);
}

QString Fixed4::toFixed(int decimals) const
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 4)
        decimals = 4;
    const Fixed4 r = rounded(decimals);
    const int64_t u = r.m_units < 0 ? -r.m_units : r.m_units;
    QString s = QString::number(u / kScale);
    if (decimals > 0) {
        QString f = QString::number(u % kScale).rightJustified(4, QLatin1Char('0'));
        s += QLatin1Char('.') + f.left(decimals);
    }
    return r.m_units < 0 ? QLatin1Char('-') + s : s;
}

QString Fixed4::toString() const
{
    QString s = toFixed(4);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}
