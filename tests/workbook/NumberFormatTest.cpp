// Number formats as the HTML page shows them, French conventions.
#include "workbook/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tavlor::workbook::detail {
namespace {

const std::string kNbsp = "\xC2\xA0";

std::string Show(const std::string& format, double value) {
    return TNumberFormat(format).Format(value);
}

TEST(NumberFormat, ExportFormats) {
    EXPECT_EQ(Show("#,##0.0", 1234.56), "1" + kNbsp + "234,6");
    EXPECT_EQ(Show("#,##0.0", 1234567.89), "1" + kNbsp + "234" + kNbsp + "567,9");
    EXPECT_EQ(Show("#,##0.0", 999.96), "1" + kNbsp + "000,0");  // the carry reaches a new group
    EXPECT_EQ(Show("#,##0.0", 0), "0,0");
    EXPECT_EQ(Show("#,##0.0", -12.25), "-12,3");
    EXPECT_EQ(Show("0 %", 0.6667), "67 %");
    EXPECT_EQ(Show("0 %", 0.005), "1 %");
    EXPECT_EQ(Show("0 %", 1), "100 %");
    EXPECT_EQ(Show("#,##0.000", 0.6667), "0,667");
    EXPECT_EQ(Show("#,##0.000", 2.675), "2,675");
    EXPECT_EQ(Show("#,##0.000", 1.0005), "1,001");  // rounded on 15 significant digits, not the binary value
    EXPECT_EQ(Show("#,##0.000", 0.0004), "0,000");
    EXPECT_EQ(Show("#,##0.000", -0.0004), "0,000");  // no minus for a shown zero
    EXPECT_EQ(Show("000000", 1234), "001234");
    EXPECT_EQ(Show("000000", 1234567), "1234567");
    EXPECT_EQ(Show("000000", 1234.6), "001235");
    EXPECT_EQ(Show("dd/mm/yyyy", 38113), "06/05/2004");
    EXPECT_EQ(Show("dd/mm/yyyy", 38113.99), "06/05/2004");
}

TEST(NumberFormat, GeneralShowsThePlainValue) {
    EXPECT_EQ(Show("", 0.6667), "0,6667");
    EXPECT_EQ(Show("General", 1234), "1234");
    EXPECT_EQ(Show("general", -2.5), "-2,5");
    EXPECT_EQ(Show("", 0.1 + 0.2), "0,3");
    EXPECT_EQ(Show("", 1e20), "1E+20");
    EXPECT_EQ(Show("", 0), "0");
    EXPECT_EQ(Show("", std::numeric_limits<double>::quiet_NaN()), "#NOMBRE!");
    EXPECT_EQ(Show("0.00", std::numeric_limits<double>::infinity()), "#NOMBRE!");
    EXPECT_EQ(Show("0.00E+00", 12345), "12345");  // exponents fall back to the plain value
}

TEST(NumberFormat, PlaceholdersSectionsAndLiterals) {
    EXPECT_EQ(Show("#.##", 0.5), ",5");
    EXPECT_EQ(Show("0.0#", 1.5), "1,5");
    EXPECT_EQ(Show("0.0#", 1.256), "1,26");
    EXPECT_EQ(Show("0.0?", 1.5), "1,5 ");
    EXPECT_EQ(Show("#,##0,", 1234567), "1" + kNbsp + "235");  // a trailing comma divides by 1000
    EXPECT_EQ(Show("000-000", 12345), "012-345");
    EXPECT_EQ(Show("\"N°\" 0", 5), "N° 5");
    EXPECT_EQ(Show("0\\h", 5), "5h");
    EXPECT_EQ(Show("[Red]0.0", 1.5), "1,5");
    EXPECT_EQ(Show("0_)", 5), "5 ");
    EXPECT_EQ(Show("0.00;(0.00);\"zéro\"", 1.5), "1,50");
    EXPECT_EQ(Show("0.00;(0.00);\"zéro\"", -1.5), "(1,50)");
    EXPECT_EQ(Show("0.00;(0.00);\"zéro\"", 0), "zéro");
    EXPECT_EQ(Show("0;-0;;@", 0), "");
    EXPECT_EQ(Show("0.0%", 0.12345), "12,3%");
}

TEST(NumberFormat, DatesAndTimes) {
    const double at = 38113.75;  // Thursday 6 May 2004, 18:00
    EXPECT_EQ(Show("dd/mm/yyyy hh:mm:ss", at), "06/05/2004 18:00:00");
    EXPECT_EQ(Show("d mmmm yyyy", at), "6 mai 2004");
    EXPECT_EQ(Show("dddd d mmm yy", at), "jeudi 6 mai 04");
    EXPECT_EQ(Show("ddd dd/mm", 38118), "mar. 11/05");
    EXPECT_EQ(Show("mmmm", 38213), "août");
    EXPECT_EQ(Show("mmmmm", 38213), "a");
    EXPECT_EQ(Show("h:mm AM/PM", at), "6:00 PM");
    EXPECT_EQ(Show("h:mm a/p", 0.25), "6:00 a");
    EXPECT_EQ(Show("hh:mm", 0.5 + 59.6 / 86400), "12:01");  // seconds are rounded first
    EXPECT_EQ(Show("hh:mm:ss.00", 0.5 + 1.25 / 86400), "12:00:01,25");
    EXPECT_EQ(Show("mm:ss", 0.5 + 65.0 / 86400), "01:05");  // m before s is minutes
    EXPECT_EQ(Show("[h]:mm", 0.5), "12:00");
    EXPECT_EQ(Show("yyyy-mm-dd", 38113), "2004-05-06");
    EXPECT_EQ(Show("dd/mm/yyyy", -5), "-5");  // no date before the epoch
    EXPECT_TRUE(TNumberFormat("dd/mm/yyyy").IsDate());
    EXPECT_FALSE(TNumberFormat("#,##0.000").IsDate());
}

TEST(NumberFormat, TheTextPlaceholderShowsANumberAsItIs) {
    EXPECT_EQ(Show("@", 1234.5), "1234,5");
    EXPECT_EQ(Show("@", -2), "-2");
    EXPECT_EQ(Show("@", 0), "0");
    EXPECT_EQ(Show("\"n° \"@", 7), "n° 7");
    EXPECT_EQ(Show("0;-0;;@", 5), "5") << "a fourth section does not concern numbers";
}

TEST(NumberFormat, ElapsedTimeCountsFromDayZero) {
    EXPECT_EQ(Show("[h]:mm", 1.5), "36:00");
    EXPECT_EQ(Show("[h]:mm:ss", 2 + 3.0 / 24 + 4.0 / 1440 + 5.0 / 86400), "51:04:05");
    EXPECT_EQ(Show("[hh]:mm", 1.0 / 24), "01:00");
    EXPECT_EQ(Show("[h]:mm", 1.0 / 24), "1:00") << "an hour written as its floating value, just below 1/24";
    EXPECT_EQ(Show("[mm]:ss", 1.0 / 24 + 5.0 / 86400), "60:05");
    EXPECT_EQ(Show("[s]", 1 + 1.0 / 1440), "86460");
    EXPECT_EQ(Show("[h]:mm", 1 - 0.4 / 86400), "24:00") << "rounded to the second first";
    EXPECT_EQ(Show("[h]:mm AM/PM", 1.75), "42:00 PM") << "elapsed hours are not taken modulo 12";
    EXPECT_EQ(Show("[Red][h]:mm", 0.5), "12:00");
    EXPECT_EQ(Show("[h]:mm", -0.5), "-0,5");
}

TEST(NumberFormat, ADateAloneIsTheDayTheValueFallsIn) {
    const double lastInstant = 38113 + (86399.6 / 86400);  // 6 May 2004, 23:59:59.6
    EXPECT_EQ(Show("dd/mm/yyyy", lastInstant), "06/05/2004");
    EXPECT_EQ(Show("dddd d mmmm", lastInstant), "jeudi 6 mai");
    EXPECT_EQ(Show("dd/mm/yyyy", 38113 + 0.99999999999), "06/05/2004");
    EXPECT_EQ(Show("dd/mm/yyyy hh:mm:ss", lastInstant), "07/05/2004 00:00:00")
        << "the time rounds, and its day with it";
    EXPECT_EQ(Show("ddd hh:mm:ss.000", lastInstant), "jeu. 23:59:59,600");
    EXPECT_EQ(Show("ddd hh:mm:ss", lastInstant), "ven. 00:00:00") << "the weekday of the rounded time";
}

}  // namespace
}  // namespace tavlor::workbook::detail
