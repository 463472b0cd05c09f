#include "workbook/Unicode.h"

namespace tavlor::workbook::detail {

namespace {

struct TDecoded {
    char32_t CodePoint;  // kInvalid for an invalid or truncated sequence
    std::size_t Length;
};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// The sequence at s[i]; an invalid one counts for one byte.
TDecoded DecodeAt(std::string_view utf8, std::size_t i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
        return {b, 1};
    }
    std::size_t extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        c = b & 0x1F;
        minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        c = b & 0x0F;
        minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        c = b & 0x07;
        minimum = 0x10000;
    } else {
        return {kInvalid, 1};
    }
    if (i + extra >= utf8.size()) {
        return {kInvalid, 1};
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) {
            return {kInvalid, 1};
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return {kInvalid, 1};
    }
    return {c, extra + 1};
}

// Code points of the bytes 0x80-0x9F.
constexpr char32_t kHighCodePoints[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool InCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return true;
    }
    for (const char32_t h : kHighCodePoints) {
        if (h == c) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const TDecoded d = DecodeAt(utf8, i);
        out.push_back(d.CodePoint == kInvalid ? U'?' : d.CodePoint);
        i += d.Length;
    }
    return out;
}

bool IsCp1252Utf8(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const TDecoded d = DecodeAt(utf8, i);
        if (d.CodePoint == kInvalid || !InCp1252(d.CodePoint)) {
            return false;
        }
        i += d.Length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t FoldCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    switch (c) {
        case 0x0160:  // Š
        case 0x017D:  // Ž
            return c + 1;
        case 0x0152:  // Œ
            return 0x0153;
        case 0x0178:  // Ÿ
            return 0x00FF;
        default:
            return c;
    }
}

}  // namespace tavlor::workbook::detail
