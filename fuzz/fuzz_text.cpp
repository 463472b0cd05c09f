// The text layer: Windows-1252 and UTF-8, numbers read and formatted, dates.
#include "FuzzInput.h"

#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <cmath>
#include <string>

using namespace tavlor;

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

void Conversions(std::string_view bytes) {
    // Any bytes are Windows-1252: their UTF-8 is within its range and goes back.
    const std::string utf8 = text::Cp1252ToUtf8(bytes);
    TAVLOR_FUZZ_CHECK(text::ToCp1252Range(utf8) == utf8);
    TAVLOR_FUZZ_CHECK(text::Length(utf8) == bytes.size());
    TAVLOR_FUZZ_CHECK(text::Utf8ToCp1252(utf8) == bytes);
    // Any bytes as UTF-8: one '?' per offending byte at worst, never longer.
    const std::string back = text::Utf8ToCp1252(bytes);
    TAVLOR_FUZZ_CHECK(back.size() <= bytes.size());
    const std::string ranged = text::ToCp1252Range(bytes);
    TAVLOR_FUZZ_CHECK(text::ToCp1252Range(ranged) == ranged);
    const std::size_t length = text::Length(ranged);
    const std::size_t cut = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % (length + 2);
    TAVLOR_FUZZ_CHECK(text::Length(text::Left(ranged, cut)) == std::min(cut, length));
}

void Comparisons(std::string_view a, std::string_view b) {
    const std::string x = text::ToCp1252Range(a), y = text::ToCp1252Range(b);
    TAVLOR_FUZZ_CHECK(Sign(text::CollateCompare(x, y)) == -Sign(text::CollateCompare(y, x)));
    TAVLOR_FUZZ_CHECK(text::CollateCompare(x, x) == 0);
    TAVLOR_FUZZ_CHECK(Sign(text::CompareTextAscii(x, y)) == -Sign(text::CompareTextAscii(y, x)));
}

void Numbers(std::string_view bytes) {
    if (const auto i = text::ParseInt32(bytes)) {
        TAVLOR_FUZZ_CHECK(text::ParseInt32(text::IntToStr(*i)) == i);
        TAVLOR_FUZZ_CHECK(text::StrToInt(bytes) == *i);
    } else {
        try {
            text::StrToInt(bytes);
            TAVLOR_FUZZ_CHECK(!"StrToInt accepts what ParseInt32 refuses");
        } catch (const Error&) {
        }
    }
    if (const auto l = text::ParseInt64(bytes)) {
        TAVLOR_FUZZ_CHECK(text::ParseInt64(text::IntToStr(*l)) == l);
    }
    for (const char mark : {',', '.'}) {
        const auto f = text::ParseFloat(bytes, mark);
        try {
            const double v = text::StrToFloat(bytes, mark);
            TAVLOR_FUZZ_CHECK(f.has_value());
            TAVLOR_FUZZ_CHECK(std::isnan(v) ? std::isnan(*f) : v == *f);
        } catch (const Error&) {
            TAVLOR_FUZZ_CHECK(!f.has_value());
        }
    }
}

void Formats(std::string_view format, fuzz::TReader& r) {
    const double value = r.Take<double>();
    const char mark = (r.Take<std::uint8_t>() & 1) ? ',' : '.';
    // Formats are short in the program; a long one only costs time here.
    text::FormatFloat(format.substr(0, 64), value, mark);
    // The shortest form reads back the same value.
    if (std::isfinite(value)) {
        const auto back = text::ParseFloat(text::FormatFloat("", value, mark), mark);
        TAVLOR_FUZZ_CHECK(back.has_value() && *back == value);
    }
    text::FormatFloat("0.000", value, mark);
    text::FormatFloat("000000", value, mark);
}

void Dates(fuzz::TReader& r) {
    const double value = r.Take<double>();
    try {
        const text::TDateTimeParts p = text::DecodeDateTime(value);
        const double again = text::EncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond);
        // What a date reads as, written again, reads the same.
        const text::TDateTimeParts q = text::DecodeDateTime(again);
        TAVLOR_FUZZ_CHECK(q.Year == p.Year && q.Month == p.Month && q.Day == p.Day && q.Hour == p.Hour &&
                          q.Minute == p.Minute && q.Second == p.Second && q.Millisecond == p.Millisecond);
        text::FormatIsoDate(value);
        text::FormatDateDMY(value);
        text::ToUnixSeconds(value);
    } catch (const Error&) {
    }
    const auto seconds = r.Take<std::int64_t>();
    try {
        const double at = text::FromUnixSeconds(seconds);
        text::DecodeDateTime(at);
    } catch (const Error&) {
    }
    try {
        text::EncodeDateTime(r.Take<std::int32_t>(), r.Take<std::int32_t>(), r.Take<std::int32_t>(),
                             r.Take<std::int32_t>(), r.Take<std::int32_t>(), r.Take<std::int32_t>(),
                             r.Take<std::int32_t>());
    } catch (const Error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto parts = fuzz::Parts(input, 3);
    Conversions(input);
    Numbers(parts[0]);
    if (parts.size() >= 2) {
        Comparisons(parts[0], parts[1]);
    }
    fuzz::TReader r(parts.back());
    Formats(parts[0], r);
    Dates(r);
    return 0;
}
