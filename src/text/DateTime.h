#pragma once

#include <cstdint>
#include <string>

namespace tavlor::text {

// Days since 1899-12-30, the fraction being the time of day. Before that day
// the integer part counts days backwards and the absolute value of the fraction
// is still the time of day: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

struct TDateTimeParts {
    int Year;
    int Month;
    int Day;
    int Hour;
    int Minute;
    int Second;
    int Millisecond;
};

// Years 1 to 9999. Throw tavlor::Error on an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);

// Rounded to the nearest millisecond (a time that rounds to 24:00 is midnight of
// the next day). Throws tavlor::Error for a value outside years 1 to 9999 or not
// a number.
TDateTimeParts DecodeDateTime(TDateTime value);

// 1970-01-01 00:00; Unix time is taken as it stands, with no time zone.
constexpr double UnixEpochDays = 25569.0;
TDateTime FromUnixSeconds(std::int64_t seconds);
// Rounded to the nearest second; throws like DecodeDateTime on a value that is no date.
std::int64_t ToUnixSeconds(TDateTime value);

// "2004-05-06"
std::string FormatIsoDate(TDateTime value);
// "06/05/2004"
std::string FormatDateDMY(TDateTime value);

}  // namespace tavlor::text
