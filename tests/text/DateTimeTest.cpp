#include "text/DateTime.h"

#include "text/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tavlor::text {
namespace {

void ExpectParts(TDateTime value, TDateTimeParts want) {
    const TDateTimeParts got = DecodeDateTime(value);
    EXPECT_EQ(got.Year, want.Year) << value;
    EXPECT_EQ(got.Month, want.Month) << value;
    EXPECT_EQ(got.Day, want.Day) << value;
    EXPECT_EQ(got.Hour, want.Hour) << value;
    EXPECT_EQ(got.Minute, want.Minute) << value;
    EXPECT_EQ(got.Second, want.Second) << value;
    EXPECT_EQ(got.Millisecond, want.Millisecond) << value;
}

std::string ErrorText(void (*f)()) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(DateTimeTest, KnownDays) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), UnixEpochDays);
    EXPECT_EQ(EncodeDate(2004, 5, 6), 38113.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(EncodeDateTime(2004, 5, 6, 12, 0, 0), 38113.5);
    EXPECT_EQ(EncodeDateTime(2004, 5, 6, 18, 0, 0, 0), 38113.75);
}

TEST(DateTimeTest, LeapYears) {
    // 1900 is not a leap year, 2000 is: 28 Feb to 1 Mar is one day in 1900, two in 2000.
    EXPECT_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2.0);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_NO_THROW(EncodeDate(2004, 2, 29));
    EXPECT_THROW(EncodeDate(1900, 2, 29), Error);
    EXPECT_THROW(EncodeDate(2003, 2, 29), Error);
    EXPECT_THROW(EncodeDate(2100, 2, 29), Error);
    EXPECT_EQ(EncodeDate(2001, 1, 1) - EncodeDate(2000, 1, 1), 366.0);
    EXPECT_EQ(EncodeDate(1901, 1, 1) - EncodeDate(1900, 1, 1), 365.0);
}

TEST(DateTimeTest, InvalidDatesAndTimesThrowFrenchTexts) {
    EXPECT_EQ(ErrorText([] { EncodeDate(2003, 2, 29); }), "'2003-02-29' n'est pas une date correcte");
    EXPECT_EQ(ErrorText([] { EncodeDate(2004, 13, 1); }), "'2004-13-01' n'est pas une date correcte");
    EXPECT_EQ(ErrorText([] { EncodeDateTime(2004, 5, 6, 24, 0, 0); }), "'24:00:00' n'est pas une heure correcte");
    EXPECT_THROW(EncodeDate(2004, 0, 1), Error);
    EXPECT_THROW(EncodeDate(2004, 4, 31), Error);
    EXPECT_THROW(EncodeDate(2004, 1, 0), Error);
    EXPECT_THROW(EncodeDate(2004, 1, 32), Error);
    EXPECT_THROW(EncodeDate(0, 1, 1), Error);
    EXPECT_THROW(EncodeDate(10000, 1, 1), Error);
    EXPECT_THROW(EncodeDateTime(2004, 5, 6, -1, 0, 0), Error);
    EXPECT_THROW(EncodeDateTime(2004, 5, 6, 0, 60, 0), Error);
    EXPECT_THROW(EncodeDateTime(2004, 5, 6, 0, 0, 60), Error);
    EXPECT_THROW(EncodeDateTime(2004, 5, 6, 0, 0, 0, 1000), Error);
    EXPECT_THROW(EncodeDateTime(2004, 2, 30, 0, 0, 0), Error);
}

TEST(DateTimeTest, DaysBeforeTheOriginCountBackwardsWithTheTimeForwards) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
    ExpectParts(-1.25, {1899, 12, 29, 6, 0, 0, 0});
    ExpectParts(-1.0, {1899, 12, 29, 0, 0, 0, 0});
    ExpectParts(-2.75, {1899, 12, 28, 18, 0, 0, 0});
    // Within the first day backwards the integer part is zero: the origin day.
    ExpectParts(-0.5, {1899, 12, 30, 12, 0, 0, 0});
    ExpectParts(EncodeDateTime(1815, 6, 18, 11, 35, 0), {1815, 6, 18, 11, 35, 0, 0});
    ExpectParts(EncodeDateTime(1, 1, 1, 23, 59, 59, 999), {1, 1, 1, 23, 59, 59, 999});
    EXPECT_EQ(FormatIsoDate(-1.25), "1899-12-29");
    EXPECT_EQ(FormatDateDMY(-1.25), "29/12/1899");
}

TEST(DateTimeTest, TimeRoundsToTheNearestMillisecondWithoutReaching24Hours) {
    ExpectParts(0.99999999, {1899, 12, 30, 23, 59, 59, 999});
    ExpectParts(0.9999999999, {1899, 12, 31, 0, 0, 0, 0});
    ExpectParts(38113.99999999999, {2004, 5, 7, 0, 0, 0, 0});
    ExpectParts(-1.9999999999, {1899, 12, 28, 0, 0, 0, 0});  // day -2 at midnight, not day 0
    ExpectParts(38113.0 + 1.0 / 3.0, {2004, 5, 6, 8, 0, 0, 0});
    ExpectParts(EncodeDateTime(2004, 5, 6, 13, 14, 15, 16), {2004, 5, 6, 13, 14, 15, 16});
    EXPECT_EQ(FormatIsoDate(38113.99999999999), "2004-05-07");
}

TEST(DateTimeTest, EveryDayRoundTrips) {
    for (int day = -693593; day <= 2958465; ++day) {
        const TDateTimeParts p = DecodeDateTime(day);
        ASSERT_EQ(EncodeDate(p.Year, p.Month, p.Day), day) << day;
        ASSERT_EQ(p.Hour + p.Minute + p.Second + p.Millisecond, 0) << day;
    }
}

TEST(DateTimeTest, TimesRoundTripToTheMillisecond) {
    for (int day : {-693593, -36522, -2, -1, 0, 1, 25569, 38113, 2958465}) {
        const TDateTimeParts d = DecodeDateTime(day);
        for (int ms = 0; ms < 86'400'000; ms += 7919 * 13) {
            const int hour = ms / 3'600'000, minute = ms / 60'000 % 60, second = ms / 1000 % 60;
            const TDateTime t = EncodeDateTime(d.Year, d.Month, d.Day, hour, minute, second, ms % 1000);
            const TDateTimeParts p = DecodeDateTime(t);
            ASSERT_EQ(p.Year, d.Year);
            ASSERT_EQ(p.Month, d.Month);
            ASSERT_EQ(p.Day, d.Day);
            ASSERT_EQ(p.Hour, hour);
            ASSERT_EQ(p.Minute, minute);
            ASSERT_EQ(p.Second, second);
            ASSERT_EQ(p.Millisecond, ms % 1000) << day << " " << ms;
        }
    }
}

TEST(DateTimeTest, UnixSeconds) {
    EXPECT_EQ(FromUnixSeconds(0), 25569.0);
    EXPECT_EQ(FromUnixSeconds(0) + 1, 25570.0);
    EXPECT_EQ(FromUnixSeconds(86'400), 25570.0);
    EXPECT_EQ(FromUnixSeconds(1'083'801'600), EncodeDate(2004, 5, 6));
    EXPECT_EQ(FromUnixSeconds(1'083'801'600 + 43'200), 38113.5);
    EXPECT_EQ(ToUnixSeconds(EncodeDateTime(2004, 5, 6, 12, 0, 0)), 1'083'801'600 + 43'200);
    EXPECT_EQ(ToUnixSeconds(UnixEpochDays + 0.4 / 86'400), 0);
    EXPECT_EQ(ToUnixSeconds(UnixEpochDays + 0.6 / 86'400), 1);
    EXPECT_EQ(ToUnixSeconds(UnixEpochDays - 0.6 / 86'400), -1);
    // Before 1899-12-30 the day form is not linear; the seconds still are.
    const std::int64_t origin = -25'569LL * 86'400;
    EXPECT_EQ(FromUnixSeconds(origin - 18 * 3600), -1.25);
    EXPECT_EQ(ToUnixSeconds(-1.25), origin - 18 * 3600);
    EXPECT_EQ(ToUnixSeconds(-1.75), origin - 6 * 3600);
    for (std::int64_t s = -62'135'596'800LL; s < 253'402'300'800LL; s += 86'399LL * 997 + 17) {
        ASSERT_EQ(ToUnixSeconds(FromUnixSeconds(s)), s);
        ASSERT_LT(ToUnixSeconds(FromUnixSeconds(s)), ToUnixSeconds(FromUnixSeconds(s + 1)));
    }
}

TEST(DateTimeTest, Formatting) {
    EXPECT_EQ(FormatIsoDate(EncodeDate(2004, 5, 6)), "2004-05-06");
    EXPECT_EQ(FormatDateDMY(EncodeDate(2004, 5, 6)), "06/05/2004");
    EXPECT_EQ(FormatDateDMY(EncodeDateTime(2004, 12, 31, 23, 59, 0)), "31/12/2004");
    EXPECT_EQ(FormatIsoDate(EncodeDate(1, 1, 1)), "0001-01-01");
    EXPECT_EQ(FormatDateDMY(0), "30/12/1899");
}

TEST(DateTimeTest, ATimeRoundedToMidnightBeforeDayZeroIsTheDayFurtherBack) {
    // A hair short of -2 is day -2 at midnight (28 December 1899), not day 0.
    const TDateTimeParts p = DecodeDateTime(-1.9999999999999998);
    EXPECT_EQ(FormatIsoDate(-1.9999999999999998), "1899-12-28");
    EXPECT_EQ(p.Hour + p.Minute + p.Second + p.Millisecond, 0);
    EXPECT_EQ(FormatIsoDate(-2.0), "1899-12-28");
    EXPECT_EQ(FormatIsoDate(1.9999999999999998), "1900-01-01") << "forwards after day 0";
    EXPECT_THROW(DecodeDateTime(-693593.9999999999), Error) << "rounded before the first day";
}

TEST(DateTimeTest, ValuesThatAreNoDateThrow) {
    EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()), Error);
    EXPECT_THROW(DecodeDateTime(std::numeric_limits<double>::infinity()), Error);
    EXPECT_THROW(DecodeDateTime(1e10), Error);
    EXPECT_THROW(DecodeDateTime(-1e10), Error);
    EXPECT_THROW(DecodeDateTime(2958466.0), Error);
    EXPECT_THROW(FormatDateDMY(std::nan("")), Error);
    EXPECT_THROW(ToUnixSeconds(1e300), Error);
    EXPECT_NO_THROW(DecodeDateTime(2958465.5));
    EXPECT_NO_THROW(DecodeDateTime(-693593.5));
}

}  // namespace
}  // namespace tavlor::text
