#include "Fixed4.h"

#include <gtest/gtest.h>

namespace {

TEST(Fixed4, ParsesAnswerAmounts)
{
    struct Case {
        const char *text;
        Fixed4::Rounding rounding;
        int64_t units;
    } cases[] = {
        {"1234.5", Fixed4::Rounding::Truncate, 12345000},
        {" -0.0001 ", Fixed4::Rounding::Truncate, -1},
        {"1.23456789", Fixed4::Rounding::Truncate, 12345},  // cut
        {"1.23456789", Fixed4::Rounding::HalfEven, 12346},
        {"2.00005", Fixed4::Rounding::HalfEven, 20000},      // half to even
        {"2.00015", Fixed4::Rounding::HalfEven, 20002},
        {"2.000050001", Fixed4::Rounding::HalfEven, 20001}, // above half
        {"-2.00015", Fixed4::Rounding::HalfEven, -20002},
        {".5", Fixed4::Rounding::Truncate, 5000},
        {"7.", Fixed4::Rounding::Truncate, 70000},
    };
    for (const auto &c : cases) {
        const auto v = Fixed4::parse(QLatin1String(c.text), c.rounding);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(v->units(), c.units) << c.text;
    }
}

TEST(Fixed4, RefusesWhatIsNotANumber)
{
    for (const char *t : {"", " ", "abc", "1,000.00", "1e5", "--1", "1.2.3", "99999999999999999999", "１２"})
        EXPECT_FALSE(Fixed4::parse(QString::fromUtf8(t)).has_value()) << t;
    EXPECT_TRUE(Fixed4::parseOrZero(QStringLiteral("x")).isZero());
}

TEST(Fixed4, ShortestFormAndDoubles)
{
    struct Case {
        double value;
        const char *shortest;
    } cases[] = {
        {100.0, "100"},       {1234.5, "1234.5"},   {0.00005, "0"},      {0.00015, "0.0002"},
        {-12.34567, "-12.3457"}, {1e-5, "0"},       {2.675, "2.675"},    {1000000.1, "1000000.1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Fixed4::fromDouble(c.value)->toString(), QLatin1String(c.shortest)) << c.value;
    EXPECT_FALSE(Fixed4::fromDouble(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(Fixed4::fromDouble(1e300).has_value());
    EXPECT_EQ(Fixed4::fromUnits(12345).toFixed(2), QStringLiteral("1.23"));
    EXPECT_EQ(Fixed4::fromUnits(12250).toFixed(2), QStringLiteral("1.22"));
    EXPECT_EQ((Fixed4::fromInt(1) - Fixed4::fromUnits(1)).toString(), QStringLiteral("0.9999"));
}

} // namespace
