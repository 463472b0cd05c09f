#include "text/Numbers.h"

#include "text/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tavlor::text {
namespace {

TEST(NumbersTest, IntToStr) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(1234567), "1234567");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

TEST(NumbersTest, LicenceFormatPadsAndNeverTruncates) {
    EXPECT_EQ(FormatFloat("000000", 1234), "001234");
    EXPECT_EQ(FormatFloat("000000", 0), "000000");
    EXPECT_EQ(FormatFloat("000000", 123456), "123456");
    EXPECT_EQ(FormatFloat("000000", 12345678), "12345678");
    EXPECT_EQ(FormatFloat("000000", -12), "-000012");
    EXPECT_EQ(FormatFloat("000000", 1233.5), "001234");
}

TEST(NumbersTest, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    EXPECT_EQ(FormatFloat("0.000", 0.0005), "0.001");
    EXPECT_EQ(FormatFloat("0.000", 1.2345), "1.235");  // the binary value is just below 1.2345
    EXPECT_EQ(FormatFloat("0.000", 1.0005), "1.001");
    EXPECT_EQ(FormatFloat("0.000", 2.0 / 3.0), "0.667");
    EXPECT_EQ(FormatFloat("0.000", 0.9996), "1.000");
    EXPECT_EQ(FormatFloat("0.000", 9.9995), "10.000");
    EXPECT_EQ(FormatFloat("0.000", 0), "0.000");
    EXPECT_EQ(FormatFloat("0.000", 12.5), "12.500");
    EXPECT_EQ(FormatFloat("0.0", 2.25), "2.3");
    EXPECT_EQ(FormatFloat("0.0", 2.35), "2.4");
    EXPECT_EQ(FormatFloat("0.0", 99.96), "100.0");
    EXPECT_EQ(FormatFloat("0.0", -1.05), "-1.1");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("0", 0.5), "1");
    EXPECT_EQ(FormatFloat("0", 0.49999999999999994), "0");
    EXPECT_EQ(FormatFloat("0", 1e20), "100000000000000000000");
    EXPECT_EQ(FormatFloat("0", 1e300).size(), 301u);
    EXPECT_EQ(FormatFloat("0.0000000000", 0.1), "0.1000000000");
    EXPECT_EQ(FormatFloat("0.000", 1e-300), "0.000");
}

TEST(NumbersTest, NoMinusSignWithoutANonZeroDigit) {
    EXPECT_EQ(FormatFloat("0", -0.4), "0");
    EXPECT_EQ(FormatFloat("0.000", -0.0004), "0.000");
    EXPECT_EQ(FormatFloat("0.0", -0.0), "0.0");
    EXPECT_EQ(FormatFloat("0.000", -0.0005), "-0.001");
    EXPECT_EQ(FormatFloat("0 %", -0.4), "0 %");
}

TEST(NumbersTest, OptionalDigitsLiteralsAndDecimalMark) {
    EXPECT_EQ(FormatFloat("0 %", 75.0), "75 %");
    EXPECT_EQ(FormatFloat("0.000", 1.5, ','), "1,500");
    EXPECT_EQ(FormatFloat("0.0", -0.25, ','), "-0,3");
    EXPECT_EQ(FormatFloat("0.##", 1.5), "1.5");
    EXPECT_EQ(FormatFloat("0.##", 1.0), "1");
    EXPECT_EQ(FormatFloat("0.##", 1.005), "1.01");
    EXPECT_EQ(FormatFloat("0.0#", 1.0), "1.0");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("#0", 7), "7");
    EXPECT_EQ(FormatFloat("00-00", 1234), "12-34");
    EXPECT_EQ(FormatFloat("00-00", 123456), "1234-56");
    EXPECT_EQ(FormatFloat("\"Moy. \"0.00", 3.14159), "Moy. 3.14");
    EXPECT_EQ(FormatFloat("'0'0", 5), "05");            // a quoted 0 is no placeholder
    EXPECT_EQ(FormatFloat("0' pts.'", 12), "12 pts.");  // nor is a quoted point
    EXPECT_EQ(FormatFloat("0\"unterminated", 3), "3unterminated");
    EXPECT_EQ(FormatFloat("", 0.1), "0.1");
    EXPECT_EQ(FormatFloat("", 2.5, ','), "2,5");
    EXPECT_EQ(FormatFloat("Total", 42), "Total");
}

TEST(NumbersTest, CommaAmongIntegerPlaceholdersGroupsThousands) {
    EXPECT_EQ(FormatFloat("#,##0.0", 1234.5), "1,234.5");
    EXPECT_EQ(FormatFloat("#,##0.0", 12.5), "12.5");
    EXPECT_EQ(FormatFloat("#,##0.0", 0), "0.0");
    EXPECT_EQ(FormatFloat("#,##0.000", -1234567.0), "-1,234,567.000");
    EXPECT_EQ(FormatFloat("#,##0.0", 1234.5, ','), "1 234,5");
    // Elsewhere a comma is plain text.
    EXPECT_EQ(FormatFloat("0.0, ", 1234.5), "1234.5, ");
    EXPECT_EQ(FormatFloat(",0", 1234), ",1234");
}

TEST(NumbersTest, NotANumberAndInfinities) {
    EXPECT_EQ(FormatFloat("0.000", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("0.000", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("000000", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(NumbersTest, ParseIntegers) {
    EXPECT_EQ(ParseInt32("42"), 42);
    EXPECT_EQ(ParseInt32("  -42"), -42);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("007"), 7);
    EXPECT_EQ(ParseInt32("-0"), 0);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ParseInt64(" 2147483648"), 2147483648LL);
    for (const char* bad : {"", " ", "-", "+", "+-1", "-+1", "--1", "12 ", "1a", "0x10", "1.0", "1,0", "\t1", "1e3",
                            "2147483648", "-2147483649", "99999999999999999999", "- 1"}) {
        EXPECT_EQ(ParseInt32(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(ParseInt64("9223372036854775808"), std::nullopt);
    EXPECT_EQ(ParseInt64("-9223372036854775809"), std::nullopt);
}

TEST(NumbersTest, ParseFloatAcceptsOnlyTheGivenDecimalMark) {
    EXPECT_EQ(ParseFloat("1.5", '.'), 1.5);
    EXPECT_EQ(ParseFloat("1,5", ','), 1.5);
    EXPECT_EQ(ParseFloat("1.5", ','), std::nullopt);
    EXPECT_EQ(ParseFloat("1,5", '.'), std::nullopt);
    EXPECT_EQ(ParseFloat("  -2.5e3  ", '.'), -2500.0);
    EXPECT_EQ(ParseFloat("+1E-2", '.'), 0.01);
    EXPECT_EQ(ParseFloat("3e+2", '.'), 300.0);
    EXPECT_EQ(ParseFloat(".5", '.'), 0.5);
    EXPECT_EQ(ParseFloat("5.", '.'), 5.0);
    EXPECT_EQ(ParseFloat("0.1", '.'), 0.1);
    EXPECT_EQ(ParseFloat("1234", '.'), 1234.0);
    EXPECT_EQ(ParseFloat("0,000", ','), 0.0);
    EXPECT_EQ(ParseFloat("1e-400", '.'), 0.0);
    EXPECT_EQ(ParseFloat("0e999999999999", '.'), 0.0);
    EXPECT_EQ(ParseFloat("0.00000000000000000000000000001e-300", '.'), 0.0);
    for (const char* bad : {"", "  ", ".", "-", "e5", "1e", "1e+", "1e 5", "1.2.3", "inf", "nan", "1e400", "0x1p3",
                            "1 2", "1.5x", "--1", "1e999999999999"}) {
        EXPECT_EQ(ParseFloat(bad, '.'), std::nullopt) << bad;
    }
    // Formatting and parsing agree.
    for (double v : {0.1, 1.0 / 3.0, -1234.5678, 1e-7, 6.02e23}) {
        EXPECT_EQ(ParseFloat(FormatFloat("", v, ','), ','), v);
    }
}

TEST(NumbersTest, ConversionsThrowTheFrenchMessages) {
    EXPECT_EQ(StrToInt(" 12"), 12);
    EXPECT_EQ(StrToFloat("0.375", '.'), 0.375);
    try {
        StrToInt("douze");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'douze' n'est pas une valeur entière correcte");
    }
    try {
        StrToFloat("1,5", '.');
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'1,5' n'est pas une valeur en virgule flottante correcte");
    }
    EXPECT_THROW(StrToInt(""), Error);
    EXPECT_THROW(StrToInt("3000000000"), Error);
    EXPECT_THROW(StrToFloat("", '.'), Error);
}

// A received field quoted by an error is cut to a few dozen bytes, never
// inside a character: a 10 MB number makes a short message.
TEST(NumbersTest, ErrorsQuoteAShortExcerptOfTheText) {
    auto message = [](const std::string& text) {
        try {
            StrToInt(text);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(std::string(10'000'000, '9')),
              "'" + std::string(40, '9') + "...' n'est pas une valeur entière correcte");
    EXPECT_EQ(message(std::string(40, 'x')), "'" + std::string(40, 'x') + "' n'est pas une valeur entière correcte")
        << "forty bytes are quoted whole";
    // 39 ASCII bytes then "é" (two bytes): the cut falls before the "é".
    EXPECT_EQ(message(std::string(39, 'a') + "éé"),
              "'" + std::string(39, 'a') + "...' n'est pas une valeur entière correcte");
    try {
        StrToFloat(std::string(1'000'000, '1') + "x", '.');
        FAIL();
    } catch (const Error& e) {
        EXPECT_LT(std::string(e.what()).size(), 120u);
    }
}

}  // namespace
}  // namespace tavlor::text
