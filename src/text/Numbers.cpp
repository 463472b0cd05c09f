#include "text/Numbers.h"

#include "text/Error.h"
#include "text/TextMessages.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace tavlor::text {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ---- FormatFloat ----

enum class TokenKind { Literal, ForcedDigit, OptionalDigit, Point, Comma };

struct Token {
    TokenKind kind;
    std::string_view text;  // literals only
};

struct Layout {
    std::vector<Token> tokens;
    int intPlaceholders = 0;
    int intForced = 0;  // integer digits always written (from the first '0' to the point)
    int decimals = 0;
    int fracForced = 0;  // decimals always written (up to the last '0')
    bool grouping = false;
};

Layout ParseFormat(std::string_view format) {
    Layout layout;
    bool afterPoint = false;
    int firstIntZero = -1;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? format.size() : close;
            layout.tokens.push_back({TokenKind::Literal, format.substr(i + 1, end - i - 1)});
            i = close == std::string_view::npos ? format.size() : close + 1;
            continue;
        }
        if (c == '0' || c == '#') {
            layout.tokens.push_back({c == '0' ? TokenKind::ForcedDigit : TokenKind::OptionalDigit, {}});
            if (afterPoint) {
                ++layout.decimals;
                if (c == '0') {
                    layout.fracForced = layout.decimals;
                }
            } else {
                if (c == '0' && firstIntZero < 0) {
                    firstIntZero = layout.intPlaceholders;
                }
                ++layout.intPlaceholders;
            }
        } else if (c == '.' && !afterPoint) {
            layout.tokens.push_back({TokenKind::Point, {}});
            afterPoint = true;
        } else if (c == ',' && !afterPoint) {
            layout.tokens.push_back({TokenKind::Comma, format.substr(i, 1)});
        } else {
            layout.tokens.push_back({TokenKind::Literal, format.substr(i, 1)});
        }
        ++i;
    }
    layout.intForced = firstIntZero < 0 ? 0 : layout.intPlaceholders - firstIntZero;

    // A comma among the integer placeholders asks for thousands separators and is
    // not written itself; anywhere else it is plain text.
    int placeholdersSeen = 0;
    for (Token& token : layout.tokens) {
        if (token.kind == TokenKind::ForcedDigit || token.kind == TokenKind::OptionalDigit) {
            ++placeholdersSeen;
        } else if (token.kind == TokenKind::Point) {
            break;
        } else if (token.kind == TokenKind::Comma) {
            if (placeholdersSeen > 0 && placeholdersSeen < layout.intPlaceholders) {
                layout.grouping = true;
                token.text = {};
            }
            token.kind = TokenKind::Literal;
        }
    }
    return layout;
}

struct RoundedDigits {
    std::string intDigits;   // no leading zeros, empty for zero
    std::string fracDigits;  // exactly the requested number of decimals
};

// Rounds |value| half away from zero on its shortest decimal form, which is the
// number the user reads, rather than on the binary value just below it.
RoundedDigits RoundDecimal(double value, int decimals) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    std::size_t expAt = e + 1;
    if (sci[expAt] == '+') {
        ++expAt;
    }
    int exponent = 0;
    std::from_chars(sci.data() + expAt, sci.data() + sci.size(), exponent);

    // The value is 0.<digits> times ten to the power pointPos.
    long pointPos = exponent + 1L;
    const long keep = pointPos + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<long>(digits.size())) {
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            std::size_t k = digits.size();
            while (k > 0 && digits[k - 1] == '9') {
                digits[--k] = '0';
            }
            if (k == 0) {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            } else {
                ++digits[k - 1];
            }
        }
    }

    const auto len = static_cast<long>(digits.size());
    RoundedDigits out;
    for (long k = 0; k < pointPos; ++k) {
        const char d = k < len ? digits[static_cast<std::size_t>(k)] : '0';
        if (d != '0' || !out.intDigits.empty()) {
            out.intDigits += d;
        }
    }
    for (long k = pointPos; k < pointPos + decimals; ++k) {
        out.fracDigits += k >= 0 && k < len ? digits[static_cast<std::size_t>(k)] : '0';
    }
    return out;
}

std::string ShortestText(double value, char decimalMark) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string out(buf, res.ptr);
    for (char& c : out) {
        if (c == '.') {
            c = decimalMark;
        }
    }
    return out;
}

// ---- Parsing ----

std::size_t SkipSpaces(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    return i;
}

template <typename T>
std::optional<T> ParseInteger(std::string_view s) {
    std::size_t i = SkipSpaces(s, 0);
    const std::size_t signAt = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    if (i == s.size() || !IsDigit(s[i])) {
        return std::nullopt;
    }
    // from_chars takes the minus sign itself, which keeps the most negative value in range.
    const char* first = s.data() + (s[signAt] == '-' ? signAt : i);
    const char* last = s.data() + s.size();
    T value{};
    const auto res = std::from_chars(first, last, value);
    if (res.ec != std::errc{} || res.ptr != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string IntToStr(std::int64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string FormatFloat(std::string_view format, double value, char decimalMark) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (format.empty()) {
        return ShortestText(value, decimalMark);
    }
    const Layout layout = ParseFormat(format);
    const bool hasDigits = layout.intPlaceholders + layout.decimals > 0;
    RoundedDigits r = RoundDecimal(value, layout.decimals);

    const bool nonZero = !r.intDigits.empty() || r.fracDigits.find_first_not_of('0') != std::string::npos;
    std::string& intDigits = r.intDigits;
    if (static_cast<int>(intDigits.size()) < layout.intForced) {
        intDigits.insert(0, static_cast<std::size_t>(layout.intForced) - intDigits.size(), '0');
    }
    std::string frac = r.fracDigits;
    while (static_cast<int>(frac.size()) > layout.fracForced && frac.back() == '0') {
        frac.pop_back();
    }

    std::string out;
    if (hasDigits && nonZero && value < 0) {
        out += '-';
    }
    const int intCount = static_cast<int>(intDigits.size());
    // Digits are aligned right on the integer placeholders; the first placeholder
    // takes every digit that has no placeholder of its own.
    const int shift = intCount - layout.intPlaceholders;
    const char thousandsMark = decimalMark == ',' ? ' ' : ',';
    const auto emitDigit = [&](int k) {
        out += intDigits[static_cast<std::size_t>(k)];
        const int remaining = intCount - 1 - k;
        if (layout.grouping && remaining > 0 && remaining % 3 == 0) {
            out += thousandsMark;
        }
    };
    int intIndex = 0;
    int fracIndex = 0;
    for (const Token& token : layout.tokens) {
        switch (token.kind) {
            case TokenKind::Literal:
            case TokenKind::Comma:
                out += token.text;
                break;
            case TokenKind::ForcedDigit:
            case TokenKind::OptionalDigit:
                if (intIndex < layout.intPlaceholders) {
                    if (intIndex == 0 && shift > 0) {
                        for (int k = 0; k <= shift; ++k) {
                            emitDigit(k);
                        }
                    } else if (intIndex + shift >= 0) {
                        emitDigit(intIndex + shift);
                    }
                    ++intIndex;
                } else {
                    if (fracIndex < static_cast<int>(frac.size())) {
                        out += frac[static_cast<std::size_t>(fracIndex)];
                    }
                    ++fracIndex;
                }
                break;
            case TokenKind::Point:
                if (layout.intPlaceholders == 0) {
                    for (int k = 0; k < intCount; ++k) {
                        emitDigit(k);
                    }
                }
                if (!frac.empty()) {
                    out += decimalMark;
                }
                intIndex = layout.intPlaceholders;
                break;
        }
    }
    return out;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    return ParseInteger<std::int32_t>(text);
}

std::optional<std::int64_t> ParseInt64(std::string_view text) {
    return ParseInteger<std::int64_t>(text);
}

std::optional<double> ParseFloat(std::string_view text, char decimalMark) {
    std::size_t i = SkipSpaces(text, 0);
    std::string normal;  // the number as from_chars reads it
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            normal += '-';
        }
        ++i;
    }
    // Decimal exponent of the leading significant digit, counted as for 0.d.
    long magnitude = 0;
    bool significant = false;
    std::size_t mantissaDigits = 0;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++mantissaDigits;
            if (c != '0') {
                significant = true;
            }
            if (!afterPoint && significant) {
                ++magnitude;
            } else if (afterPoint && !significant) {
                --magnitude;
            }
            normal += c;
        } else if (c == decimalMark && !afterPoint) {
            afterPoint = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            if (negativeExponent) {
                normal += '-';
            }
            ++i;
        }
        const std::size_t expStart = i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            normal += text[i];
            if (exponent < 100'000'000) {  // saturate: far beyond any double already
                exponent = exponent * 10 + (text[i] - '0');
            }
        }
        if (i == expStart) {
            return std::nullopt;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (SkipSpaces(text, i) != text.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (significant && magnitude + exponent > 0) {
            return std::nullopt;
        }
        return normal[0] == '-' ? -0.0 : 0.0;
    }
    if (res.ec != std::errc{} || res.ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    return value;
}

std::int32_t StrToInt(std::string_view text) {
    const auto value = ParseInt32(text);
    if (!value) {
        throw Error(msg::text::NotAnInteger(text));
    }
    return *value;
}

double StrToFloat(std::string_view text, char decimalMark) {
    const auto value = ParseFloat(text, decimalMark);
    if (!value) {
        throw Error(msg::text::NotAFloat(text));
    }
    return *value;
}

}  // namespace tavlor::text
