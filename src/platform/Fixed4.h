#pragma once
// An exact decimal with four fractional digits, for the bank's amounts and
// balances. Stored as a count of ten-thousandths in 64 bits (about ±9.2e14
// units), so sums and differences of amounts are exact.

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

class Fixed4
{
public:
    static constexpr int64_t kScale = 10000;

    enum class Rounding {
        Truncate, // digits beyond the fourth are cut (the bank's answers)
        HalfEven, // halves go to the even neighbour
    };

    constexpr Fixed4() = default;
    static constexpr Fixed4 fromUnits(int64_t units) { Fixed4 f; f.m_units = units; return f; }
    static constexpr Fixed4 fromInt(int64_t whole) { return fromUnits(whole * kScale); }
    // The nearest value with four decimals, halves to even; non-finite or
    // out-of-range values give nullopt.
    static std::optional<Fixed4> fromDouble(double value, Rounding rounding = Rounding::HalfEven);
    // Parses "[+-]digits[.digits]" (surrounding spaces allowed, no
    // grouping, no exponent). nullopt when the text is not such a number or
    // is out of range.
    static std::optional<Fixed4> parse(const QString &text, Rounding rounding = Rounding::Truncate);
    // parse() or zero.
    static Fixed4 parseOrZero(const QString &text, Rounding rounding = Rounding::Truncate);

    constexpr int64_t units() const { return m_units; }
    double toDouble() const { return double(m_units) / double(kScale); }
    // Shortest form: no trailing zeros, no "." for whole values, "." as the
    // decimal point, no grouping ("1234.5", "-0.0001", "100").
    QString toString() const;
    // Exactly `decimals` (0..4) digits after the point, rounded half-even.
    QString toFixed(int decimals) const;
    Fixed4 rounded(int decimals) const;

    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }
    constexpr bool isWhole() const { return m_units % kScale == 0; }

    constexpr Fixed4 operator-() const { return fromUnits(-m_units); }
    constexpr Fixed4 operator+(Fixed4 o) const { return fromUnits(m_units + o.m_units); }
    constexpr Fixed4 operator-(Fixed4 o) const { return fromUnits(m_units - o.m_units); }
    Fixed4 &operator+=(Fixed4 o) { m_units += o.m_units; return *this; }
    Fixed4 &operator-=(Fixed4 o) { m_units -= o.m_units; return *this; }
    constexpr auto operator<=>(const Fixed4 &) const = default;

private:
    int64_t m_units = 0;
};
