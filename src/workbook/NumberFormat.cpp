#include "workbook/NumberFormat.h"

#include "text/DateTime.h"
#include "text/Error.h"
#include "workbook/WorkbookMessages.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavlor::workbook::detail {

namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr char kDecimalComma = ',';

constexpr std::array<std::string_view, 12> kMonthNames = {"janvier",   "février", "mars",     "avril",
                                                          "mai",       "juin",    "juillet",  "août",
                                                          "septembre", "octobre", "novembre", "décembre"};
constexpr std::array<std::string_view, 12> kMonthAbbreviations = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                                                  "juil.", "août",  "sept.", "oct.", "nov.", "déc."};
constexpr std::array<std::string_view, 7> kDayNames = {"dimanche", "lundi",    "mardi", "mercredi",
                                                       "jeudi",    "vendredi", "samedi"};
constexpr std::array<std::string_view, 7> kDayAbbreviations = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(s[at + i]) != word[i]) {
            return false;
        }
    }
    return true;
}

// Bytes of the UTF-8 character starting at s[at].
std::size_t CharLength(std::string_view s, std::size_t at) {
    if (at >= s.size()) {
        return 0;
    }
    const auto b = static_cast<unsigned char>(s[at]);
    std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    return std::min(n, s.size() - at);
}

void AppendTwoDigits(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + (v / 10) % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

void AppendInt(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// Digits of x >= 0 rounded half away from zero to `decimals` places, taking x to
// 15 significant digits first as the spreadsheet does (2.675 shows 2.68). The
// integer digits have no leading zero ("" for zero); the fraction has exactly
// `decimals` digits.
void DecimalDigits(double x, int decimals, std::string& integer, std::string& fraction) {
    integer.clear();
    fraction.clear();
    if (x == std::floor(x) && x < 1e15) {
        if (x >= 1) {
            char buf[24];
            const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x));
            integer.assign(buf, r.ptr);
        }
        fraction.assign(static_cast<std::size_t>(decimals), '0');
        return;
    }
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));  // d.dddddddddddddde+XX
    std::string digits;
    digits.reserve(16);
    digits.push_back(sci[0]);
    const std::size_t e = sci.find('e');
    digits.append(sci.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);

    int pointPos = exponent + 1;  // digits before the decimal point
    const int keep = pointPos + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') {
                digits[static_cast<std::size_t>(k)] = '0';
                --k;
            }
            if (k >= 0) {
                ++digits[static_cast<std::size_t>(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }
    if (pointPos > 0) {
        const auto p = static_cast<std::size_t>(pointPos);
        integer = digits.substr(0, std::min(p, digits.size()));
        integer.append(p > digits.size() ? p - digits.size() : 0, '0');
        if (digits.size() > p) {
            fraction = digits.substr(p);
        }
    } else {
        fraction.assign(static_cast<std::size_t>(-pointPos), '0');
        fraction += digits;
    }
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer.erase(0, firstNonZero == std::string::npos ? integer.size() : firstNonZero);
}

bool IsDigitToken(char c) {
    return c == '0' || c == '#' || c == '?';
}

}  // namespace

void AppendGeneral(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += msg::workbook::NumberError;
        return;
    }
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        AppendInt(out, static_cast<long long>(value));
        return;
    }
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    for (const char* p = buf; p != r.ptr; ++p) {
        out.push_back(*p == '.' ? kDecimalComma : *p == 'e' ? 'E' : *p);
    }
}

TNumberFormat::TNumberFormat(std::string_view format) {
    if (format.empty()) {
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= format.size(); ++i) {
        if (i == format.size() || format[i] == ';') {
            if (Sections_.size() < 3) {
                Sections_.push_back(Parse(format.substr(start, i - start)));
            }
            start = i + 1;
        } else if (format[i] == '"') {
            const std::size_t close = format.find('"', i + 1);
            i = close == std::string_view::npos ? format.size() - 1 : close;
        } else if (format[i] == '[') {
            const std::size_t close = format.find(']', i + 1);
            i = close == std::string_view::npos ? format.size() - 1 : close;
        } else if (format[i] == '\\' || format[i] == '_' || format[i] == '*') {
            i += CharLength(format, i + 1);
        }
    }
}

bool TNumberFormat::IsDate() const {
    return !Sections_.empty() && Sections_[0].Date;
}

TNumberFormat::TSection TNumberFormat::Parse(std::string_view s) {
    TSection section;
    auto& tokens = section.Tokens;
    const auto literal = [&](std::string_view text) { tokens.push_back({TKind::Literal, std::string(text)}); };
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        const char lc = Lower(c);
        if (c == '"') {
            const std::size_t close = s.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? s.size() : close;
            literal(s.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            const std::size_t n = CharLength(s, i + 1);
            literal(s.substr(i + 1, n));
            i += 1 + n;
        } else if (c == '_') {
            literal(" ");
            i += 1 + CharLength(s, i + 1);
        } else if (c == '*') {
            i += 1 + CharLength(s, i + 1);
        } else if (c == '[') {
            const std::size_t close = s.find(']', i + 1);
            const std::size_t end = close == std::string_view::npos ? s.size() : close;
            std::string inside(s.substr(i + 1, end - i - 1));
            for (char& ch : inside) {
                ch = Lower(ch);
            }
            // Elapsed time: the whole count of hours, minutes or seconds since day 0.
            if (!inside.empty() && inside.find_first_not_of(inside[0]) == std::string::npos &&
                (inside[0] == 'h' || inside[0] == 'm' || inside[0] == 's')) {
                const TKind kind = inside[0] == 'h'   ? TKind::ElapsedHour
                                   : inside[0] == 'm' ? TKind::ElapsedMinute
                                                      : TKind::ElapsedSecond;
                tokens.push_back({kind, inside, static_cast<int>(std::min<std::size_t>(inside.size(), 2))});
            }
            i = end + 1;
        } else if (StartsWithNoCase(s, i, "general")) {
            tokens.push_back({TKind::General, std::string(s.substr(i, 7))});
            i += 7;
        } else if (StartsWithNoCase(s, i, "am/pm")) {
            tokens.push_back({TKind::AmPm, std::string(s.substr(i, 5))});
            section.TwelveHours = true;
            i += 5;
        } else if (StartsWithNoCase(s, i, "a/p")) {
            tokens.push_back({TKind::AP, std::string(s.substr(i, 3))});
            section.TwelveHours = true;
            i += 3;
        } else if (IsDigitToken(c)) {
            tokens.push_back({c == '0'   ? TKind::Digit0
                              : c == '#' ? TKind::DigitHash
                                         : TKind::DigitQuestion,
                              std::string(1, c)});
            ++i;
        } else if (c == '.') {
            const bool afterSeconds =
                !tokens.empty() && (tokens.back().Kind == TKind::Second || tokens.back().Kind == TKind::Second2);
            if (afterSeconds && i + 1 < s.size() && s[i + 1] == '0') {
                std::size_t j = i + 1;
                while (j < s.size() && s[j] == '0') {
                    ++j;
                }
                tokens.push_back({TKind::FracSecond, std::string(s.substr(i, j - i)),
                                  static_cast<int>(std::min<std::size_t>(j - i - 1, 3))});
                i = j;
            } else {
                tokens.push_back({TKind::Point, "."});
                ++i;
            }
        } else if (c == ',') {
            tokens.push_back({TKind::Comma, ","});
            ++i;
        } else if (c == '%') {
            tokens.push_back({TKind::Percent, "%"});
            ++i;
        } else if (lc == 'e' && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
            section.Plain = true;  // scientific notation: shown as the plain value
            i += 2;
        } else if (c == '@') {
            // The text placeholder: a number in a text format shows as it is.
            tokens.push_back({TKind::General, "@"});
            ++i;
        } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
            std::size_t j = i;
            while (j < s.size() && Lower(s[j]) == lc) {
                ++j;
            }
            const std::size_t run = j - i;
            const std::string text(s.substr(i, run));
            TKind kind = TKind::Literal;
            switch (lc) {
                case 'y':
                    kind = run <= 2 ? TKind::Year2 : TKind::Year4;
                    break;
                case 'm':
                    kind = run == 1   ? TKind::Month
                           : run == 2 ? TKind::Month2
                           : run == 3 ? TKind::MonthAbbr
                           : run == 5 ? TKind::MonthLetter
                                      : TKind::MonthName;
                    break;
                case 'd':
                    kind = run == 1 ? TKind::Day : run == 2 ? TKind::Day2 : run == 3 ? TKind::DayAbbr : TKind::DayName;
                    break;
                case 'h':
                    kind = run == 1 ? TKind::Hour : TKind::Hour2;
                    break;
                default:
                    kind = run == 1 ? TKind::Second : TKind::Second2;
                    break;
            }
            tokens.push_back({kind, text});
            i = j;
        } else {
            const std::size_t n = CharLength(s, i);
            literal(s.substr(i, n));
            i += n;
        }
    }
    Resolve(section);
    return section;
}

void TNumberFormat::Resolve(TSection& section) {
    auto& tokens = section.Tokens;
    const auto isTime = [](TKind k) { return k >= TKind::Year2 && k <= TKind::AP; };
    for (const TToken& t : tokens) {
        section.Date = section.Date || isTime(t.Kind);
    }
    if (section.Date) {
        // "m" is the minute right after an hour or right before a second.
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            if (tokens[k].Kind != TKind::Month && tokens[k].Kind != TKind::Month2) {
                continue;
            }
            bool minute = false;
            for (std::size_t p = k; p-- > 0;) {
                if (isTime(tokens[p].Kind)) {
                    minute = tokens[p].Kind == TKind::Hour || tokens[p].Kind == TKind::Hour2 ||
                             tokens[p].Kind == TKind::ElapsedHour;
                    break;
                }
            }
            for (std::size_t n = k + 1; !minute && n < tokens.size(); ++n) {
                if (isTime(tokens[n].Kind)) {
                    minute = tokens[n].Kind == TKind::Second || tokens[n].Kind == TKind::Second2 ||
                             tokens[n].Kind == TKind::ElapsedSecond;
                    break;
                }
            }
            if (minute) {
                tokens[k].Kind = tokens[k].Kind == TKind::Month ? TKind::Minute : TKind::Minute2;
            }
        }
        // Anything else is shown as written.
        for (TToken& t : tokens) {
            if (!isTime(t.Kind) && t.Kind != TKind::FracSecond && t.Kind != TKind::General) {
                t.Kind = TKind::Literal;
            }
        }
        return;
    }

    const auto isDigit = [](TKind k) {
        return k == TKind::Digit0 || k == TKind::DigitHash || k == TKind::DigitQuestion;
    };
    bool point = false;
    bool integerDigit = false;
    std::vector<TToken> kept;
    kept.reserve(tokens.size());
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        TToken& t = tokens[k];
        switch (t.Kind) {
            case TKind::Point:
                if (point) {
                    t.Kind = TKind::Literal;
                }
                point = true;
                break;
            case TKind::Percent:
                ++section.Percents;
                break;
            case TKind::Comma: {
                std::size_t next = k + 1;
                while (next < tokens.size() && tokens[next].Kind == TKind::Comma) {
                    ++next;
                }
                const bool digitBefore = !kept.empty() && isDigit(kept.back().Kind);
                if (!point && integerDigit && next < tokens.size() && isDigit(tokens[next].Kind)) {
                    section.Grouping = true;
                    continue;
                }
                if (digitBefore) {
                    ++section.Thousands;
                    continue;
                }
                t.Kind = TKind::Literal;
                break;
            }
            default:
                if (isDigit(t.Kind)) {
                    if (point) {
                        ++section.Decimals;
                        section.FracSlots.push_back(t.Kind);
                    } else {
                        integerDigit = true;
                        section.IntSlots.push_back(t.Kind);
                    }
                }
                section.HasGeneral = section.HasGeneral || t.Kind == TKind::General;
                break;
        }
        kept.push_back(std::move(t));
    }
    tokens = std::move(kept);
}

void TNumberFormat::Append(std::string& out, double value) const {
    if (!std::isfinite(value)) {
        out += msg::workbook::NumberError;
        return;
    }
    if (Sections_.empty()) {
        AppendGeneral(out, value);
        return;
    }
    std::size_t index = 0;
    double shown = std::fabs(value);
    bool minus = false;
    if (Sections_.size() == 1) {
        minus = value < 0;
    } else if (value < 0) {
        index = 1;
    } else if (value == 0 && Sections_.size() >= 3) {
        index = 2;
    }
    const TSection& section = Sections_[index];
    if (section.Date) {
        if (!AppendDate(out, section, value)) {
            AppendGeneral(out, value);
        }
        return;
    }
    if (section.Plain) {
        AppendGeneral(out, minus ? -shown : shown);
        return;
    }
    AppendNumber(out, section, shown, minus);
}

std::string TNumberFormat::Format(double value) const {
    std::string out;
    Append(out, value);
    return out;
}

void TNumberFormat::AppendNumber(std::string& out, const TSection& section, double value, bool minus) const {
    double x = value;
    for (int i = 0; i < section.Percents; ++i) {
        x *= 100;
    }
    for (int i = 0; i < section.Thousands; ++i) {
        x /= 1000;
    }
    std::string integer;
    std::string fraction;
    DecimalDigits(x, section.Decimals, integer, fraction);
    const bool nonZero =
        integer.find_first_not_of('0') != std::string::npos || fraction.find_first_not_of('0') != std::string::npos;
    const auto& intSlots = section.IntSlots;
    const auto& fracSlots = section.FracSlots;
    if (minus && nonZero && !section.HasGeneral) {
        out.push_back('-');
    }

    // Trailing fraction zeros: '#' drops them, '?' shows a space, '0' keeps them.
    std::size_t fracShown = 0;
    for (std::size_t q = fracSlots.size(); q-- > 0;) {
        if (fraction[q] != '0' || fracSlots[q] == TKind::Digit0) {
            fracShown = q + 1;
            break;
        }
    }

    const std::size_t m = intSlots.size();
    const std::size_t length = integer.size();
    std::size_t intIndex = 0;
    std::size_t fracIndex = 0;
    bool seenPoint = false;
    const auto padFor = [&](std::size_t slot) -> char {
        return intSlots[slot] == TKind::Digit0 ? '0' : intSlots[slot] == TKind::DigitQuestion ? ' ' : '\0';
    };
    for (const TToken& t : section.Tokens) {
        switch (t.Kind) {
            case TKind::General:
                AppendGeneral(out, minus ? -value : value);
                break;
            case TKind::Percent:
                out.push_back('%');
                break;
            case TKind::Point:
                if (m == 0) {
                    out += integer;
                }
                out.push_back(kDecimalComma);
                seenPoint = true;
                break;
            case TKind::Digit0:
            case TKind::DigitHash:
            case TKind::DigitQuestion:
                if (seenPoint) {
                    const std::size_t q = fracIndex++;
                    if (q < fracShown) {
                        out.push_back(fraction[q]);
                    } else if (fracSlots[q] == TKind::DigitQuestion) {
                        out.push_back(' ');
                    }
                    break;
                }
                if (section.Grouping) {
                    if (intIndex++ != 0) {
                        break;
                    }
                    // All integer digits at the first placeholder, grouped by three.
                    for (std::size_t p = std::max(length, m); p-- > 0;) {
                        const char ch = p < length ? integer[length - 1 - p] : padFor(m - 1 - p);
                        if (ch == '\0') {
                            continue;
                        }
                        out.push_back(ch);
                        if (ch != ' ' && p > 0 && p % 3 == 0) {
                            out += kNoBreakSpace;
                        }
                    }
                    break;
                }
                {
                    const std::size_t j = intIndex++;
                    const std::size_t p = m - 1 - j;  // position from the units
                    if (j == 0 && length > m) {
                        out.append(integer, 0, length - m);
                    }
                    const char ch = p < length ? integer[length - 1 - p] : padFor(j);
                    if (ch != '\0') {
                        out.push_back(ch);
                    }
                }
                break;
            default:
                out += t.Text;
                break;
        }
    }
}

bool TNumberFormat::AppendDate(std::string& out, const TSection& section, double value) const {
    if (value < 0) {
        return false;
    }
    int fracDigits = 0;
    bool timeShown = false;
    for (const TToken& t : section.Tokens) {
        if (t.Kind == TKind::FracSecond) {
            fracDigits = std::max(fracDigits, t.Count);
        }
        timeShown = timeShown || (t.Kind >= TKind::Hour && t.Kind <= TKind::AP);
    }
    // Seconds are shown rounded, unless their fraction is shown; a date alone
    // shows the day the value falls in, however late in it.
    double at = value;
    if (!timeShown) {
        at = std::floor(value);
    } else if (fracDigits == 0) {
        at += 0.5 / 86400.0;
    }
    text::TDateTimeParts parts{};
    try {
        parts = text::DecodeDateTime(at);
    } catch (const Error&) {
        return false;
    }
    // The day the parts belong to: a time within half a millisecond of
    // midnight is read as the next day's 0:00.
    long long day = static_cast<long long>(std::floor(at));
    if (std::llround((at - std::floor(at)) * 86'400'000.0) >= 86'400'000) {
        ++day;
    }
    const long long elapsedHours = day * 24 + parts.Hour;
    const long long elapsedMinutes = elapsedHours * 60 + parts.Minute;
    const long long elapsedSeconds = elapsedMinutes * 60 + parts.Second;
    const auto appendElapsed = [&out](long long n, int digits) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%0*lld", digits, n);
        out += buf;
    };
    const auto weekday = static_cast<std::size_t>(((day + 6) % 7 + 7) % 7);  // 1899-12-30 was a Saturday
    const int hour12 = parts.Hour % 12 == 0 ? 12 : parts.Hour % 12;
    const int hour = section.TwelveHours ? hour12 : parts.Hour;
    for (const TToken& t : section.Tokens) {
        switch (t.Kind) {
            case TKind::Year2:
                AppendTwoDigits(out, parts.Year % 100);
                break;
            case TKind::Year4: {
                char buf[8];
                std::snprintf(buf, sizeof buf, "%04d", parts.Year);
                out += buf;
                break;
            }
            case TKind::Month:
                AppendInt(out, parts.Month);
                break;
            case TKind::Month2:
                AppendTwoDigits(out, parts.Month);
                break;
            case TKind::MonthAbbr:
                out += kMonthAbbreviations[static_cast<std::size_t>(parts.Month - 1)];
                break;
            case TKind::MonthName:
                out += kMonthNames[static_cast<std::size_t>(parts.Month - 1)];
                break;
            case TKind::MonthLetter:
                out += kMonthNames[static_cast<std::size_t>(parts.Month - 1)].substr(0, 1);
                break;
            case TKind::Day:
                AppendInt(out, parts.Day);
                break;
            case TKind::Day2:
                AppendTwoDigits(out, parts.Day);
                break;
            case TKind::DayAbbr:
                out += kDayAbbreviations[weekday];
                break;
            case TKind::DayName:
                out += kDayNames[weekday];
                break;
            case TKind::Hour:
                AppendInt(out, hour);
                break;
            case TKind::Hour2:
                AppendTwoDigits(out, hour);
                break;
            case TKind::Minute:
                AppendInt(out, parts.Minute);
                break;
            case TKind::Minute2:
                AppendTwoDigits(out, parts.Minute);
                break;
            case TKind::Second:
                AppendInt(out, parts.Second);
                break;
            case TKind::Second2:
                AppendTwoDigits(out, parts.Second);
                break;
            case TKind::ElapsedHour:
                appendElapsed(elapsedHours, t.Count);
                break;
            case TKind::ElapsedMinute:
                appendElapsed(elapsedMinutes, t.Count);
                break;
            case TKind::ElapsedSecond:
                appendElapsed(elapsedSeconds, t.Count);
                break;
            case TKind::FracSecond: {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%03d", parts.Millisecond);
                out.push_back(kDecimalComma);
                out.append(buf, static_cast<std::size_t>(t.Count));
                break;
            }
            case TKind::AmPm:
            case TKind::AP: {
                // Shown in the letter case written.
                const bool lower = t.Text[0] == 'a';
                std::string mark = parts.Hour < 12 ? "AM" : "PM";
                if (t.Kind == TKind::AP) {
                    mark.resize(1);
                }
                for (char& ch : mark) {
                    ch = lower ? Lower(ch) : ch;
                }
                out += mark;
                break;
            }
            case TKind::General:
                AppendGeneral(out, value);
                break;
            default:
                out += t.Text;
                break;
        }
    }
    return true;
}

}  // namespace tavlor::workbook::detail
