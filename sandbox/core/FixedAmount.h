#pragma once

#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

// A non-negative or signed decimal with four fractional digits, kept as a
// count of ten-thousandths. Every amount and rate the sandbox bank handles is
// one of these, so sums and conversions never pick up binary rounding.
class FixedAmount
{
public:
    static constexpr qint64 kScale = 10000;
    // Twelve integer digits: anything larger is refused as input.
    static constexpr qint64 kMaxUnits = 999999999999LL * kScale + 9999;

    enum class Rounding { HalfUp, Up, Down };

    constexpr FixedAmount() = default;
    static constexpr FixedAmount fromUnits(qint64 units) { FixedAmount a; a.m_units = units; return a; }
    static FixedAmount fromInt(qint64 whole) { return fromUnits(whole * kScale); }

    // Strict parse of an unsigned decimal: digits, at most one ".", at most
    // maxDecimals fractional digits, at most twelve integer digits; no sign,
    // blanks, exponent or thousands separators.
    static std::optional<FixedAmount> parse(QStringView text, int maxDecimals = 4);
    // The same with an optional leading "+" or "-" (scenario files only).
    static std::optional<FixedAmount> parseSigned(QStringView text, int maxDecimals = 4);

    qint64 units() const { return m_units; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    // Number of fractional digits needed to write the value exactly (0..4).
    int decimals() const;

    // At least minDecimals fractional digits, more when the value needs them
    // (up to four): 1000.00, 12.3457. Never a sign: callers pass magnitudes.
    QString toText(int minDecimals = 2) const;
    // Exactly `decimals` fractional digits after rounding half up.
    QString toFixed(int decimals) const;

    FixedAmount rounded(int decimals, Rounding mode = Rounding::HalfUp) const;
    FixedAmount abs() const { return fromUnits(m_units < 0 ? -m_units : m_units); }

    // amount * rate and amount / rate, rounded to `decimals` fractional digits.
    static FixedAmount multiply(FixedAmount amount, FixedAmount rate, int decimals,
                                Rounding mode = Rounding::HalfUp);
    static FixedAmount divide(FixedAmount amount, FixedAmount rate, int decimals,
                              Rounding mode = Rounding::HalfUp);

    FixedAmount operator+(FixedAmount o) const { return fromUnits(m_units + o.m_units); }
    FixedAmount operator-(FixedAmount o) const { return fromUnits(m_units - o.m_units); }
    FixedAmount operator-() const { return fromUnits(-m_units); }
    FixedAmount &operator+=(FixedAmount o) { m_units += o.m_units; return *this; }
    FixedAmount &operator-=(FixedAmount o) { m_units -= o.m_units; return *this; }
    auto operator<=>(const FixedAmount &) const = default;

private:
    qint64 m_units = 0;
};
