#include "text/Cp1252.h"

#include <array>
#include <cstdint>

namespace tavlor::text {

namespace {

// Code points of the bytes 0x80-0x9F. The undefined bytes keep the C1 control
// of the same value so that every byte round-trips.
constexpr std::array<char32_t, 32> kHighCodePoints = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t kInvalid = 0xFFFFFFFF;

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Strict UTF-8 decoding of the sequence at i (i < s.size()): overlong forms,
// surrogates and code points above U+10FFFF are invalid. An invalid or
// truncated sequence yields kInvalid over a single byte, so that the following
// bytes are examined again on their own.
Decoded DecodeAt(std::string_view s, std::size_t i) {
    const auto c0 = static_cast<unsigned char>(s[i]);
    if (c0 < 0x80) {
        return {c0, 1};
    }
    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c0 >= 0xC2 && c0 <= 0xDF) {
        length = 2;
        cp = c0 & 0x1F;
    } else if (c0 >= 0xE0 && c0 <= 0xEF) {
        length = 3;
        cp = c0 & 0x0F;
        if (c0 == 0xE0) {
            lo = 0xA0;
        } else if (c0 == 0xED) {
            hi = 0x9F;
        }
    } else if (c0 >= 0xF0 && c0 <= 0xF4) {
        length = 4;
        cp = c0 & 0x07;
        if (c0 == 0xF0) {
            lo = 0x90;
        } else if (c0 == 0xF4) {
            hi = 0x8F;
        }
    } else {
        return {kInvalid, 1};
    }
    if (s.size() - i < length) {
        return {kInvalid, 1};
    }
    const auto c1 = static_cast<unsigned char>(s[i + 1]);
    if (c1 < lo || c1 > hi) {
        return {kInvalid, 1};
    }
    cp = (cp << 6) | (c1 & 0x3F);
    for (std::size_t k = 2; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if (!IsContinuation(c)) {
            return {kInvalid, 1};
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, length};
}

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int Cp1252Code(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (std::size_t k = 0; k < kHighCodePoints.size(); ++k) {
        if (kHighCodePoints[k] == cp) {
            return static_cast<int>(0x80 + k);
        }
    }
    return -1;
}

char32_t CodePointOf(unsigned char code) {
    return code >= 0x80 && code < 0xA0 ? kHighCodePoints[code - 0x80] : code;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The Windows-1252 code of the character at i ('?' for anything the code page
// cannot hold, or for an invalid byte), advancing i past it.
unsigned char NextCode(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    const Decoded d = DecodeAt(s, i);
    i += d.length;
    const int code = d.codePoint == kInvalid ? -1 : Cp1252Code(d.codePoint);
    return code < 0 ? static_cast<unsigned char>('?') : static_cast<unsigned char>(code);
}

std::size_t SkipCharacters(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    for (; n > 0 && i < s.size(); --n) {
        i += static_cast<unsigned char>(s[i]) < 0x80 ? 1 : DecodeAt(s, i).length;
    }
    return i;
}

// ---- Collation ----

// Secondary weights, in the usual order of the diacritics.
enum Accent : std::uint8_t {
    kNoAccent,
    kAcute,
    kGrave,
    kCircumflex,
    kCaron,
    kRing,
    kDiaeresis,
    kTilde,
    kCedilla,
    kStroke,
    kHook,
};

// Tertiary weights: lower case first; a variant (ligature, ordinal, superscript,
// no-break space) right after its plain form.
enum Variant : std::uint8_t { kLower, kLowerVariant, kUpper, kUpperVariant };

// Primary weight ranges: controls, then spaces, then punctuation and symbols,
// then digits, then letters.
constexpr std::uint16_t kControlBase = 0x0100;
constexpr std::uint16_t kSpace = 0x0200;
constexpr std::uint16_t kSymbolBase = 0x0300;
constexpr std::uint16_t kDigitBase = 0x0500;
constexpr std::uint16_t kLetterBase = 0x0600;
constexpr int kThorn = 26;  // after z
constexpr int kMicro = 27;  // Greek, after the Latin letters

struct CollationUnit {
    std::uint16_t primary;
    std::uint8_t secondary;
    std::uint8_t tertiary;
};

struct CollationEntry {
    std::array<CollationUnit, 2> units;
    std::uint8_t count;
};

using CollationTable = std::array<CollationEntry, 256>;

constexpr CollationEntry Single(std::uint16_t primary, std::uint8_t secondary, std::uint8_t tertiary) {
    return {{{{primary, secondary, tertiary}, {0, 0, 0}}}, 1};
}

constexpr CollationEntry Letter(char base, Accent accent, Variant variant) {
    return Single(static_cast<std::uint16_t>(kLetterBase + (base - 'a')), accent, variant);
}

constexpr CollationEntry Ligature(char first, char second, bool upper) {
    const std::uint8_t v = upper ? kUpperVariant : kLowerVariant;
    return {{{{static_cast<std::uint16_t>(kLetterBase + (first - 'a')), kNoAccent, v},
              {static_cast<std::uint16_t>(kLetterBase + (second - 'a')), kNoAccent, v}}},
            2};
}

constexpr CollationTable BuildCollationTable() {
    CollationTable t{};
    for (int c = 0; c < 256; ++c) {
        t[c] = Single(static_cast<std::uint16_t>(kSymbolBase + c), kNoAccent, kLower);
    }
    for (int c : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        t[c] = Single(static_cast<std::uint16_t>(kControlBase + c), kNoAccent, kLower);
    }
    for (int c = 0; c < 0x20; ++c) {
        t[c] = Single(static_cast<std::uint16_t>(kControlBase + c), kNoAccent, kLower);
    }
    t[0x20] = Single(kSpace, kNoAccent, kLower);
    t[0xA0] = Single(kSpace, kNoAccent, kLowerVariant);
    for (int d = 0; d < 10; ++d) {
        t['0' + d] = Single(static_cast<std::uint16_t>(kDigitBase + d), kNoAccent, kLower);
    }
    t[0xB9] = Single(kDigitBase + 1, kNoAccent, kLowerVariant);
    t[0xB2] = Single(kDigitBase + 2, kNoAccent, kLowerVariant);
    t[0xB3] = Single(kDigitBase + 3, kNoAccent, kLowerVariant);
    for (char c = 'a'; c <= 'z'; ++c) {
        t[static_cast<unsigned char>(c)] = Letter(c, kNoAccent, kLower);
        t[static_cast<unsigned char>(c - 'a' + 'A')] = Letter(c, kNoAccent, kUpper);
    }

    // Capitals 0xC0-0xDF and small letters 0xE0-0xFF share their layout; '*' marks
    // the positions handled one by one below.
    constexpr const char* base = "aaaaaa*ceeeeiiiidnooooo*ouuuuy**";
    constexpr Accent accents[32] = {
        kGrave,  kAcute, kCircumflex, kTilde,      kDiaeresis,  kRing,  kNoAccent,   kCedilla,    // C0-C7
        kGrave,  kAcute, kCircumflex, kDiaeresis,  kGrave,      kAcute, kCircumflex, kDiaeresis,  // C8-CF
        kStroke, kTilde, kGrave,      kAcute,      kCircumflex, kTilde, kDiaeresis,  kNoAccent,   // D0-D7
        kStroke, kGrave, kAcute,      kCircumflex, kDiaeresis,  kAcute, kNoAccent,   kNoAccent,   // D8-DF
    };
    for (int k = 0; k < 32; ++k) {
        if (base[k] != '*') {
            t[0xC0 + k] = Letter(base[k], accents[k], kUpper);
            t[0xE0 + k] = Letter(base[k], accents[k], kLower);
        }
    }
    t[0xC6] = Ligature('a', 'e', true);
    t[0xE6] = Ligature('a', 'e', false);
    t[0xDE] = Single(kLetterBase + kThorn, kNoAccent, kUpper);
    t[0xFE] = Single(kLetterBase + kThorn, kNoAccent, kLower);
    t[0xDF] = Ligature('s', 's', false);
    t[0xFF] = Letter('y', kDiaeresis, kLower);

    t[0x83] = Letter('f', kHook, kLower);
    t[0x8A] = Letter('s', kCaron, kUpper);
    t[0x9A] = Letter('s', kCaron, kLower);
    t[0x8C] = Ligature('o', 'e', true);
    t[0x9C] = Ligature('o', 'e', false);
    t[0x8E] = Letter('z', kCaron, kUpper);
    t[0x9E] = Letter('z', kCaron, kLower);
    t[0x9F] = Letter('y', kDiaeresis, kUpper);
    t[0xAA] = Letter('a', kNoAccent, kLowerVariant);
    t[0xBA] = Letter('o', kNoAccent, kLowerVariant);
    t[0xB5] = Single(kLetterBase + kMicro, kNoAccent, kLower);
    return t;
}

constexpr CollationTable kCollation = BuildCollationTable();

// The collation units of a text, one or two per character.
class CollationStream {
public:
    explicit CollationStream(std::string_view text) : text_(text) {}

    bool Next(CollationUnit& unit) {
        if (pending_) {
            pending_ = false;
            unit = second_;
            return true;
        }
        if (pos_ >= text_.size()) {
            return false;
        }
        const CollationEntry& e = kCollation[NextCode(text_, pos_)];
        unit = e.units[0];
        if (e.count == 2) {
            second_ = e.units[1];
            pending_ = true;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    CollationUnit second_{};
    bool pending_ = false;
};

template <typename Weight>
int CompareLevel(std::string_view a, std::string_view b, Weight weight) {
    CollationStream sa(a), sb(b);
    for (;;) {
        CollationUnit ua{}, ub{};
        const bool ha = sa.Next(ua);
        const bool hb = sb.Next(ub);
        if (!ha || !hb) {
            return static_cast<int>(ha) - static_cast<int>(hb);
        }
        const int d = static_cast<int>(weight(ua)) - static_cast<int>(weight(ub));
        if (d != 0) {
            return d;
        }
    }
}

template <typename Fold>
int CompareCodes(std::string_view a, std::string_view b, Fold fold) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const int d = static_cast<int>(fold(NextCode(a, i))) - static_cast<int>(fold(NextCode(b, j)));
        if (d != 0) {
            return d;
        }
    }
    return static_cast<int>(i < a.size()) - static_cast<int>(j < b.size());
}

unsigned char AsciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

unsigned char Identity(unsigned char c) {
    return c;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(ch)));
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        out += static_cast<char>(NextCode(utf8, i));
    }
    return out;
}

std::string ToCp1252Range(std::string_view utf8) {
    std::size_t firstHigh = 0;
    while (firstHigh < utf8.size() && static_cast<unsigned char>(utf8[firstHigh]) < 0x80) {
        ++firstHigh;
    }
    std::string out(utf8.substr(0, firstHigh));
    if (firstHigh == utf8.size()) {
        return out;
    }
    out.reserve(utf8.size());
    for (std::size_t i = firstHigh; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const Decoded d = DecodeAt(utf8, i);
        if (d.codePoint != kInvalid && Cp1252Code(d.codePoint) >= 0) {
            out.append(utf8.substr(i, d.length));
        } else {
            out += '?';
        }
        i += d.length;
    }
    return out;
}

std::string CharacterText(char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || Cp1252Code(codePoint) < 0) {
        return "?";
    }
    std::string out;
    AppendUtf8(out, codePoint);
    return out;
}

std::size_t Length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) {
        i += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : DecodeAt(utf8, i).length;
    }
    return count;
}

std::string Left(std::string_view utf8, std::size_t n) {
    return std::string(utf8.substr(0, SkipCharacters(utf8, n)));
}

int CompareTextAscii(std::string_view a, std::string_view b) {
    return CompareCodes(a, b, AsciiUpper);
}

int CollateCompare(std::string_view a, std::string_view b) {
    if (a == b) {
        return 0;
    }
    if (int d = CompareLevel(a, b, [](const CollationUnit& u) { return u.primary; }); d != 0) {
        return d;
    }
    if (int d = CompareLevel(a, b, [](const CollationUnit& u) { return u.secondary; }); d != 0) {
        return d;
    }
    if (int d = CompareLevel(a, b, [](const CollationUnit& u) { return u.tertiary; }); d != 0) {
        return d;
    }
    if (int d = CompareCodes(a, b, Identity); d != 0) {
        return d;
    }
    // Texts outside the code page may share their codes ('?'); their bytes still differ.
    return a < b ? -1 : 1;
}

}  // namespace tavlor::text
