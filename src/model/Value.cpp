#include "model/Value.h"

#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavlor {

namespace {

int CompareDoubles(double a, double b) {
    const bool na = std::isnan(a), nb = std::isnan(b);
    if (na || nb) {
        return na == nb ? 0 : (na ? -1 : 1);
    }
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::string ShortestDecimal(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string TwoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

int CompareValuesSlow(const TValue& a, const TValue& b, TFieldType type) {
    const bool an = IsNull(a), bn = IsNull(b);
    if (an || bn) {
        return an == bn ? 0 : (an ? -1 : 1);
    }
    switch (type) {
        case TFieldType::Integer:
            if (std::holds_alternative<std::int32_t>(a) && std::holds_alternative<std::int32_t>(b)) {
                const auto x = std::get<std::int32_t>(a), y = std::get<std::int32_t>(b);
                return x < y ? -1 : (y < x ? 1 : 0);
            }
            return CompareDoubles(ValueAsFloat(a), ValueAsFloat(b));
        case TFieldType::Float:
        case TFieldType::DateTime:
            return CompareDoubles(ValueAsFloat(a), ValueAsFloat(b));
        case TFieldType::String:
            return text::CollateCompare(ValueAsString(a, type), ValueAsString(b, type));
    }
    return 0;
}

bool SameValue(const TValue& a, const TValue& b) {
    if (a.index() == b.index()) {
        return a == b;
    }
    if (IsNull(a) || IsNull(b)) {
        return false;
    }
    if (std::holds_alternative<std::string>(a) || std::holds_alternative<std::string>(b)) {
        return false;
    }
    return ValueAsFloat(a) == ValueAsFloat(b);
}

std::int32_t ValueAsIntegerSlow(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        if (std::isnan(*d)) {
            return 0;
        }
        const double r = std::round(*d);
        if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
            return std::numeric_limits<std::int32_t>::max();
        }
        if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
            return std::numeric_limits<std::int32_t>::min();
        }
        return static_cast<std::int32_t>(r);
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return s->empty() ? 0 : text::StrToInt(*s);
    }
    return 0;
}

double ValueAsFloatSlow(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return s->empty() ? 0.0 : text::StrToFloat(*s, '.');
    }
    return 0.0;
}

std::string ValueAsString(const TValue& v, TFieldType type) {
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return text::IntToStr(*i);
    }
    if (const auto* d = std::get_if<double>(&v)) {
        if (type != TFieldType::DateTime) {
            return ShortestDecimal(*d);
        }
        const auto p = text::DecodeDateTime(*d);
        std::string out = text::FormatDateDMY(*d);
        if (p.Hour != 0 || p.Minute != 0 || p.Second != 0) {
            out += " " + TwoDigits(p.Hour) + ":" + TwoDigits(p.Minute) + ":" + TwoDigits(p.Second);
        }
        return out;
    }
    return {};
}

std::string DisplayText(const TFieldDef& field, const TValue& v, char decimalMark) {
    if (field.OnGetText) {
        return field.OnGetText(v);
    }
    if (IsNull(v)) {
        return {};
    }
    switch (field.Type) {
        case TFieldType::Integer:
        case TFieldType::Float: {
            if (!field.DisplayFormat.empty()) {
                return text::FormatFloat(field.DisplayFormat, ValueAsFloat(v), decimalMark);
            }
            std::string s = ValueAsString(v, field.Type);
            if (decimalMark != '.') {
                std::replace(s.begin(), s.end(), '.', decimalMark);
            }
            return s;
        }
        case TFieldType::DateTime:
            return ValueAsString(v, field.Type);
        case TFieldType::String:
            return ValueAsString(v, field.Type);
    }
    return {};
}

}  // namespace tavlor
