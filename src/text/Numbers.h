#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal numbers as text, independent of the process locale.
namespace tavlor::text {

// Plain decimal, "-" for negatives.
std::string IntToStr(std::int64_t value);

// Numeric format: '0' a forced digit, '#' an optional digit, the first '.' the
// decimal point (written as decimalMark), a ',' between integer placeholders
// thousands separators ("," or, when the decimal mark is ',', a space), text in
// double or single quotes and any other character copied as it stands. The placeholders after the point
// give the number of decimals; the value is rounded half away from zero on its
// shortest decimal form, so 0.0005 with "0.000" gives "0.001". Integer digits
// beyond the placeholders are all written. A minus sign, written first, only
// when a non-zero digit remains. NaN and infinities give "NAN", "INF", "-INF";
// an empty format gives the shortest form that reads back the same value.
std::string FormatFloat(std::string_view format, double value, char decimalMark = '.');

// Optional leading spaces, optional sign, decimal digits and nothing else;
// nullopt when the text is not one or the value is out of range.
std::optional<std::int32_t> ParseInt32(std::string_view text);
std::optional<std::int64_t> ParseInt64(std::string_view text);

// Optional spaces around, optional sign, digits with decimalMark as the only
// accepted decimal point, optional exponent (e or E). A value too large for a
// double gives nullopt, one too small to be told from zero gives zero.
std::optional<double> ParseFloat(std::string_view text, char decimalMark);

// As ParseInt32 and ParseFloat, throwing tavlor::Error with the French message
// that quotes the text.
std::int32_t StrToInt(std::string_view text);
double StrToFloat(std::string_view text, char decimalMark);

}  // namespace tavlor::text
