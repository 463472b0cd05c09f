#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Spreadsheet number formats ("#,##0.000", "0 %", "000000", "dd/mm/yyyy"...),
// rendered the way a French spreadsheet shows them: decimal comma, a no-break
// space between thousands, French month and day names.
namespace tavlor::workbook::detail {

class TNumberFormat {
public:
    // "" and "General" show the plain value. Up to four sections separated by ';'
    // (positive, negative, zero; the text section is ignored); quoted text, \x, _x,
    // *x and [...] are understood; digits 0 # ?, '.', ',' (thousands or /1000),
    // '%'; dates and times d dd ddd dddd m mm mmm mmmm mmmmm yy yyyy h hh m mm
    // (minutes after h or before s) s ss .0 AM/PM A/P, elapsed [h] [m] [s]; '@'
    // shows the plain value. A section with an exponent shows the plain value.
    explicit TNumberFormat(std::string_view format);

    // UTF-8, appended to out. A date format given a value that is no date shows
    // the plain value; a value that is not finite shows "#NOMBRE!".
    void Append(std::string& out, double value) const;
    std::string Format(double value) const;

    bool IsDate() const;

private:
    enum class TKind : std::uint8_t {
        Literal,
        Digit0,
        DigitHash,
        DigitQuestion,
        Point,
        Comma,
        Percent,
        General,
        Year2,
        Year4,
        Month,
        Month2,
        MonthAbbr,
        MonthName,
        MonthLetter,
        Day,
        Day2,
        DayAbbr,
        DayName,
        Hour,
        Hour2,
        Minute,
        Minute2,
        Second,
        Second2,
        FracSecond,
        ElapsedHour,    // [h]: hours since day 0, Count digits at least
        ElapsedMinute,  // [m]
        ElapsedSecond,  // [s]
        AmPm,
        AP,
    };
    struct TToken {
        TKind Kind;
        std::string Text;  // what a literal shows, or the token's own characters
        int Count = 0;     // FracSecond: number of digits
    };
    struct TSection {
        std::vector<TToken> Tokens;
        bool Date = false;
        bool Plain = false;  // an exponent, which we do not render: shows the plain value
        bool Grouping = false;
        bool TwelveHours = false;
        int Percents = 0;
        int Thousands = 0;  // each trailing comma divides by 1000
        int Decimals = 0;
        bool HasGeneral = false;
        std::vector<TKind> IntSlots;   // digit placeholders before the point, left to right
        std::vector<TKind> FracSlots;  // and after it
    };

    static TSection Parse(std::string_view text);
    static void Resolve(TSection& section);
    void AppendNumber(std::string& out, const TSection& section, double value, bool minus) const;
    bool AppendDate(std::string& out, const TSection& section, double value) const;

    std::vector<TSection> Sections_;
};

// The plain value: up to 15 significant digits, decimal comma, no grouping.
void AppendGeneral(std::string& out, double value);

}  // namespace tavlor::workbook::detail
