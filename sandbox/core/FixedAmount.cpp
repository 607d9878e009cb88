#include "FixedAmount.h"

#include <limits>

namespace {

qint64 pow10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Divides with the requested rounding for a non-negative numerator and a
// positive denominator.
__int128 divideRounded(__int128 num, __int128 den, FixedAmount::Rounding mode)
{
    __int128 q = num / den;
    const __int128 r = num % den;
    switch (mode) {
    case FixedAmount::Rounding::HalfUp:
        if (r * 2 >= den)
            ++q;
        break;
    case FixedAmount::Rounding::Up:
        if (r != 0)
            ++q;
        break;
    case FixedAmount::Rounding::Down:
        break;
    }
    return q;
}

// Results beyond any amount the bank accepts are capped rather than wrapped.
qint64 clampUnits(__int128 v)
{
    constexpr qint64 cap = std::numeric_limits<qint64>::max() / 4;
    return v > cap ? cap : static_cast<qint64>(v);
}

} // namespace

std::optional<FixedAmount> FixedAmount::parse(QStringView text, int maxDecimals)
{
    if (text.isEmpty() || text.size() > 40)
        return std::nullopt;
    qint64 whole = 0;
    qint64 frac = 0;
    int intDigits = 0;
    int fracDigits = 0;
    bool seenPoint = false;
    for (QChar c : text) {
        if (c == u'.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int d = c.unicode() - u'0';
        if (seenPoint) {
            if (++fracDigits > maxDecimals)
                return std::nullopt;
            frac = frac * 10 + d;
        } else {
            if (intDigits > 0 || d != 0)
                ++intDigits;
            if (intDigits > 12)
                return std::nullopt;
            whole = whole * 10 + d;
        }
    }
    // "." alone, "5." and ".5" are not amounts a bank accepts.
    if (seenPoint && (fracDigits == 0 || text.front() == u'.'))
        return std::nullopt;
    frac *= pow10(4 - fracDigits);
    return fromUnits(whole * kScale + frac);
}

std::optional<FixedAmount> FixedAmount::parseSigned(QStringView text, int maxDecimals)
{
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        auto v = parse(text.mid(1), maxDecimals);
        if (v && text.front() == u'-')
            return -*v;
        return v;
    }
    return parse(text, maxDecimals);
}

int FixedAmount::decimals() const
{
    qint64 frac = (m_units < 0 ? -m_units : m_units) % kScale;
    if (frac == 0)
        return 0;
    int n = 4;
    while (frac % 10 == 0) {
        frac /= 10;
        --n;
    }
    return n;
}

QString FixedAmount::toText(int minDecimals) const
{
    return toFixed(qMax(minDecimals, decimals()));
}

QString FixedAmount::toFixed(int decimals) const
{
    const FixedAmount r = abs().rounded(decimals);
    const qint64 whole = r.m_units / kScale;
    QString s = QString::number(whole);
    if (decimals > 0) {
        const qint64 frac = (r.m_units % kScale) / pow10(4 - decimals);
        s += u'.';
        s += QString::number(frac).rightJustified(decimals, u'0');
    }
    return s;
}

FixedAmount FixedAmount::rounded(int decimals, Rounding mode) const
{
    if (decimals >= 4)
        return *this;
    const qint64 step = pow10(4 - decimals);
    const bool neg = m_units < 0;
    const __int128 mag = neg ? -static_cast<__int128>(m_units) : m_units;
    const qint64 q = static_cast<qint64>(divideRounded(mag, step, mode)) * step;
    return fromUnits(neg ? -q : q);
}

FixedAmount FixedAmount::multiply(FixedAmount amount, FixedAmount rate, int decimals, Rounding mode)
{
    // units(a) * units(r) / scale gives units of the product; round on the way.
    const __int128 num = static_cast<__int128>(amount.abs().m_units) * rate.abs().m_units;
    const __int128 step = static_cast<__int128>(kScale) * pow10(4 - qMin(decimals, 4));
    const __int128 q = divideRounded(num, step, mode) * pow10(4 - qMin(decimals, 4));
    return fromUnits(clampUnits(q));
}

FixedAmount FixedAmount::divide(FixedAmount amount, FixedAmount rate, int decimals, Rounding mode)
{
    if (rate.isZero())
        return {};
    const qint64 step = pow10(4 - qMin(decimals, 4));
    const __int128 num = static_cast<__int128>(amount.abs().m_units) * kScale;
    const __int128 den = static_cast<__int128>(rate.abs().m_units) * step;
    const __int128 q = divideRounded(num, den, mode) * step;
    return fromUnits(clampUnits(q));
}
