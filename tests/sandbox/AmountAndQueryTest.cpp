// The sandbox's own number and query reading: what it accepts decides which
// client requests it refuses.

#include "FixedAmount.h"
#include "RawQuery.h"

#include <gtest/gtest.h>

TEST(SandboxFixedAmountTest, ParsesOnlyPlainDecimals)
{
    struct Case
    {
        const char *text;
        int maxDecimals;
        qint64 units; // -1: refused
    } cases[] = {
        {"1000", 4, 10000000},  {"1234.5", 4, 12345000}, {"0.0125", 4, 125},     {"12.3457", 4, 123457},
        {"007", 4, 70000},      {"0", 4, 0},             {"12.34567", 4, -1},    {"1000.5", 0, -1},
        {"-5", 4, -1},          {"+5", 4, -1},           {"1e3", 4, -1},         {"1,000", 4, -1},
        {" 100", 4, -1},        {"", 4, -1},             {".", 4, -1},           {".5", 4, -1},
        {"5.", 4, -1},          {"1.2.3", 4, -1},        {"999999999999", 4, 9999999999990000},
        {"1000000000000", 4, -1}, {"99999999999999999999999", 4, -1},
    };
    for (const Case &c : cases) {
        const auto a = FixedAmount::parse(QString::fromLatin1(c.text), c.maxDecimals);
        if (c.units < 0)
            EXPECT_FALSE(a.has_value()) << c.text;
        else
            EXPECT_EQ(a.value_or(FixedAmount::fromUnits(-1)).units(), c.units) << c.text;
    }
}

TEST(SandboxFixedAmountTest, WritesWithoutSignAndWithNeededDecimals)
{
    EXPECT_EQ(FixedAmount::fromUnits(10000000).toText(), QStringLiteral("1000.00"));
    EXPECT_EQ(FixedAmount::fromUnits(123457).toText(), QStringLiteral("12.3457"));
    EXPECT_EQ(FixedAmount::fromUnits(15000000000).toText(0), QStringLiteral("1500000"));
    EXPECT_EQ(FixedAmount::fromUnits(-12500).toText(), QStringLiteral("1.25"));
    EXPECT_EQ(FixedAmount::fromUnits(1495000).toFixed(4), QStringLiteral("149.5000"));
}

TEST(SandboxFixedAmountTest, ConversionsRoundAsTold)
{
    using R = FixedAmount::Rounding;
    const auto a = [](const char *t) { return *FixedAmount::parse(QString::fromLatin1(t)); };
    // 15000 / 148 = 101.3513...: the customer pays, so up.
    EXPECT_EQ(FixedAmount::divide(a("15000"), a("148"), 2, R::Up).toText(), QStringLiteral("101.36"));
    EXPECT_EQ(FixedAmount::divide(a("15000"), a("148"), 2, R::HalfUp).toText(), QStringLiteral("101.35"));
    EXPECT_EQ(FixedAmount::multiply(a("1000"), a("149.5"), 0).toText(0), QStringLiteral("149500"));
    EXPECT_EQ(FixedAmount::multiply(a("0.05"), a("149.5"), 0).toText(0), QStringLiteral("7"));
    EXPECT_TRUE(FixedAmount::divide(a("5"), FixedAmount(), 2).isZero());
    // Twelve-digit amounts times large rates do not wrap.
    EXPECT_GT(FixedAmount::multiply(a("999999999999"), a("9999.9999"), 2).units(), 0);
}

TEST(SandboxRawQueryTest, SplitsTheRawTextAndDecodesOnlyEscapes)
{
    const RawQuery q = RawQuery::parse("PT_STYLE=9&TXCODE=320102&A_STR=&PWD=a+b=c&NAME=%C3%C0%D4%AA&FLAG"
                                       "&NICK=%E7%BE%8E%E5%85%83");
    ASSERT_TRUE(q.isReadable());
    EXPECT_EQ(q.text(QStringLiteral("TXCODE")), QStringLiteral("320102"));
    EXPECT_TRUE(q.has(QStringLiteral("A_STR")));
    EXPECT_TRUE(q.text(QStringLiteral("A_STR")).isEmpty());
    EXPECT_EQ(q.text(QStringLiteral("PWD")), QStringLiteral("a+b=c"));
    EXPECT_EQ(q.text(QStringLiteral("NAME")), QStringLiteral("美元"));      // GBK
    EXPECT_EQ(q.text(QStringLiteral("NICK")), QStringLiteral("美元"));      // UTF-8
    EXPECT_TRUE(q.has(QStringLiteral("FLAG")));
    EXPECT_FALSE(q.has(QStringLiteral("OTHER")));
    EXPECT_TRUE(q.repeatedNames().isEmpty());
}

TEST(SandboxRawQueryTest, ReportsWhatCannotBeRead)
{
    struct Case
    {
        QByteArray query;
        bool readable;
        const char *repeated;
    } cases[] = {
        {"A=1&A=2&B=3&B=4", true, "A"},
        {"A=%ZZ", false, ""},
        {"A=%4", false, ""},
        {"A%=1", false, ""},
        {"A-B=1", false, ""},
        {"=1", false, ""},
        {QByteArray("A=\xff\xff\xff"), false, ""},
        {QByteArray("A=\xc3\xc0"), true, ""}, // GBK bytes as sent unescaped
        {"&&&", true, ""},
    };
    for (const Case &c : cases) {
        const RawQuery q = RawQuery::parse(c.query);
        EXPECT_EQ(q.isReadable(), c.readable) << c.query.constData();
        EXPECT_EQ(q.repeatedNames().value(0), QString::fromLatin1(c.repeated)) << c.query.constData();
    }
}
