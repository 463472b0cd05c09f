#include "text/DateTime.h"

#include "text/Error.h"
#include "text/TextMessages.h"

#include <charconv>
#include <cmath>

namespace tavlor::text {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr std::int64_t kFirstDay = -693'593;
constexpr std::int64_t kLastDay = 2'958'465;
// 1970-01-01, the origin of the civil-day algorithms below.
constexpr std::int64_t kUnixEpoch = 25'569;

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Proleptic Gregorian calendar, days relative to 1970-01-01 (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::string Padded(std::int64_t value, int width) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value < 0 ? -value : value);
    std::string digits(buf, res.ptr);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

std::string DateText(int year, int month, int day) {
    return Padded(year, 4) + "-" + Padded(month, 2) + "-" + Padded(day, 2);
}

std::string ShortestText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

[[noreturn]] void ThrowInvalidValue(double value) {
    throw Error(msg::text::InvalidDate(ShortestText(value)));
}

// Day number and time of day of the day form before 1899-12-30 are not one
// linear scale; the time arithmetic of this file works on the linear one.
double ToLinear(TDateTime value) {
    if (value >= 0) {
        return value;
    }
    const double whole = std::trunc(value);
    return whole + (whole - value);
}

TDateTime FromDayAndTime(std::int64_t day, double timeOfDay) {
    const auto d = static_cast<double>(day);
    return day >= 0 ? d + timeOfDay : d - timeOfDay;
}

void CheckRange(TDateTime value) {
    // The day is the truncated value, so a fraction below the first day still belongs to it.
    if (!std::isfinite(value) || value <= static_cast<double>(kFirstDay - 1) ||
        value >= static_cast<double>(kLastDay + 1)) {
        ThrowInvalidValue(value);
    }
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        throw Error(msg::text::InvalidDate(DateText(year, month, day)));
    }
    return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpoch);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    const TDateTime date = EncodeDate(year, month, day);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999) {
        std::string time = Padded(hour, 2) + ":" + Padded(minute, 2) + ":" + Padded(second, 2);
        if (millisecond != 0) {
            time += '.';
            time += Padded(millisecond, 3);
        }
        throw Error(msg::text::InvalidTime(time));
    }
    const std::int64_t ms = ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return FromDayAndTime(static_cast<std::int64_t>(date), static_cast<double>(ms) / kMsPerDay);
}

TDateTimeParts DecodeDateTime(TDateTime value) {
    CheckRange(value);
    const double whole = std::trunc(value);
    auto day = static_cast<std::int64_t>(whole);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
    if (ms >= kMsPerDay) {
        // The time of day always runs forwards, also on the days counted
        // backwards: a time rounded up to midnight is the start of the next
        // day, which before day 0 is the one a unit further from it.
        ms -= kMsPerDay;
        day += whole < 0 ? -1 : 1;
    }
    if (day > kLastDay || day < kFirstDay) {
        ThrowInvalidValue(value);
    }
    TDateTimeParts p{};
    CivilFromDays(day - kUnixEpoch, p.Year, p.Month, p.Day);
    p.Millisecond = static_cast<int>(ms % 1000);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Minute = static_cast<int>(ms / 60'000 % 60);
    p.Hour = static_cast<int>(ms / 3'600'000);
    return p;
}

TDateTime FromUnixSeconds(std::int64_t seconds) {
    // Whole days apart from the seconds keeps the time of day exact for any range.
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    return FromDayAndTime(days + kUnixEpoch, static_cast<double>(rest) / kSecondsPerDay);
}

std::int64_t ToUnixSeconds(TDateTime value) {
    CheckRange(value);
    return std::llround((ToLinear(value) - UnixEpochDays) * kSecondsPerDay);
}

std::string FormatIsoDate(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return DateText(p.Year, p.Month, p.Day);
}

std::string FormatDateDMY(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return Padded(p.Day, 2) + "/" + Padded(p.Month, 2) + "/" + Padded(p.Year, 4);
}

}  // namespace tavlor::text
