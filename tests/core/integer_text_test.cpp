#include "app/IntegerText.h"

#include <gtest/gtest.h>

namespace {

std::optional<int32_t> p(const char* text) { return parseInteger(QString::fromLatin1(text)); }

TEST(IntegerText, DecimalWithSignAndLeadingBlanks)
{
    EXPECT_EQ(p("0"), 0);
    EXPECT_EQ(p("1024"), 1024);
    EXPECT_EQ(p("-7"), -7);
    EXPECT_EQ(p("+7"), 7);
    EXPECT_EQ(p("  42"), 42);
    EXPECT_EQ(p("007"), 7);
    EXPECT_EQ(p("2147483647"), INT32_MAX);
    EXPECT_EQ(p("-2147483648"), INT32_MIN);
    for (const char* bad : {"", " ", "-", "+", "12a", "1 2", "42 ", "1.5", "2147483648", "-2147483649",
                            "99999999999999999999", "abc", "0x", "$", "--1", "x10", "\t5"})
        EXPECT_FALSE(p(bad).has_value()) << bad;
}

TEST(IntegerText, HexadecimalAfterDollarOrZeroX)
{
    EXPECT_EQ(p("0x77"), 0x77);
    EXPECT_EQ(p("0X1f"), 0x1F);
    EXPECT_EQ(p("$EF4017"), 0xEF4017);
    EXPECT_EQ(p("0x0"), 0);
    EXPECT_EQ(p("0x2"), 2);
    EXPECT_EQ(p("-$10"), -16);
    EXPECT_EQ(p("0x7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(p("0xFFFFFFFF"), -1) << "hexadecimal takes all 32 bits";
    EXPECT_EQ(p("0x80000000"), INT32_MIN);
    EXPECT_EQ(p("0x00000000FF"), 0xFF) << "leading zeros do not count against the width";
    for (const char* bad : {"0x100000000", "0xG", "$-1", "0x 1", "0x1g", "1F"})
        EXPECT_FALSE(p(bad).has_value()) << bad;
}

TEST(IntegerText, FallbacksAndTheHexEntryFields)
{
    EXPECT_EQ(parseIntegerOr(QStringLiteral("abc"), 0), 0);
    EXPECT_EQ(parseIntegerOr(QStringLiteral(""), 500), 500);
    EXPECT_EQ(parseIntegerOr(QStringLiteral("0x2"), 0), 2);
    EXPECT_EQ(parseIntegerOr(QStringLiteral("-3"), 9), -3);

    EXPECT_EQ(parseHexField(QStringLiteral("1000")), 0x1000);
    EXPECT_EQ(parseHexField(QStringLiteral("ffffffff")), -1);
    EXPECT_FALSE(parseHexField(QString()).has_value()) << "an empty field is no number";
    EXPECT_FALSE(parseHexField(QStringLiteral("12 ")).has_value());

    for (const char c : QByteArray("0123456789abcdefABCDEF\b")) {
        EXPECT_TRUE(isHexFieldKey(QLatin1Char(c))) << int(c);
    }
    for (const char c : QByteArray("gG xX-+$\t\r")) {
        EXPECT_FALSE(isHexFieldKey(QLatin1Char(c))) << int(c);
    }
    EXPECT_FALSE(isHexFieldKey(QChar(0x0661))) << "digits of other scripts are not hex digits";
}

} // namespace
