#include "Formats.h"

#include <gtest/gtest.h>

namespace {

TEST(Formats, DayCounts)
{
    EXPECT_DOUBLE_EQ(Formats::toDays(QDate(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(Formats::toDays(QDateTime(QDate(2007, 8, 20), QTime(12, 0))), 39314.5);
    EXPECT_DOUBLE_EQ(Formats::kMissingDate, Formats::toDays(QDate(1899, 1, 1)));
    // Before the epoch the time stays a positive fraction.
    EXPECT_DOUBLE_EQ(Formats::toDays(QDateTime(QDate(1899, 1, 1), QTime(6, 0))), -363.25);
    EXPECT_EQ(Formats::fromDays(-363.25), QDateTime(QDate(1899, 1, 1), QTime(6, 0)));
    EXPECT_EQ(Formats::formatDateTime(39314.4375), QStringLiteral("2007-08-20 10:30:00"));
    EXPECT_EQ(Formats::bankDate(39314.99), QStringLiteral("20070820"));
}

TEST(Formats, ParsesTheClientsOwnTexts)
{
    double d = 0;
    ASSERT_TRUE(Formats::parseDateTime(QStringLiteral("2007-08-20 12:00:00"), &d));
    EXPECT_DOUBLE_EQ(d, 39314.5);
    ASSERT_TRUE(Formats::parseDateTime(QStringLiteral("2007-08-20"), &d));
    EXPECT_DOUBLE_EQ(d, 39314.0);
    for (const char *bad : {"", "2007-13-01", "20070820", "2007/08/20", "25:00:00", "garbage"})
        EXPECT_FALSE(Formats::parseDateTime(QLatin1String(bad), &d)) << bad;
}

TEST(Formats, AmountsAndRates)
{
    struct Case {
        double value;
        const char *code;
        const char *text;
    } amounts[] = {
        {1234567.891, "14", "1,234,567.89"}, {-1234.5, "14", "-1,234.50"}, {0.004, "14", "0.00"},
        {-0.004, "14", "0.00"},              {2.675, "14", "2.68"},         {123456.5, "27", "123,457"},
        {999.0, "27", "999"},                {100, "", "100.00"},
    };
    for (const auto &c : amounts)
        EXPECT_EQ(Formats::formatAmount(c.value, QLatin1String(c.code)), QLatin1String(c.text)) << c.value;
    EXPECT_EQ(Formats::formatRate(7.82345), QStringLiteral("7.8235"));
    EXPECT_EQ(Formats::formatRate(1234.5), QStringLiteral("1,234.5000"));
}

} // namespace
