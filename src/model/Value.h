#pragma once

#include "model/TableDefs.h"

#include <cstdint>
#include <string>
#include <variant>

namespace tavlor {

inline bool IsNull(const TValue& v) {
    return std::holds_alternative<std::monostate>(v);
}

// Ordering of two values of a field of the given type: null before every value,
// numbers numerically (NaN just after null, so the order stays total), strings
// by the collation of people's names. Negative, 0 or positive.
int CompareValuesSlow(const TValue& a, const TValue& b, TFieldType type);
inline int CompareValues(const TValue& a, const TValue& b, TFieldType type) {
    // Orders and sorts compare values of one type over and over: the usual
    // cases go without leaving this function.
    const std::size_t ia = a.index(), ib = b.index();
    if (ia == ib) {
        if (ia == 1) {
            const std::int32_t x = *std::get_if<std::int32_t>(&a), y = *std::get_if<std::int32_t>(&b);
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        if (ia == 2) {
            const double x = *std::get_if<double>(&a), y = *std::get_if<double>(&b);
            if (x < y) {
                return -1;
            }
            if (y < x) {
                return 1;
            }
            if (x == y) {
                return 0;
            }
        }
        if (ia == 0) {
            return 0;
        }
    }
    return CompareValuesSlow(a, b, type);
}

// Exact equality as Locate and FindKey understand it: null equals only null.
bool SameValue(const TValue& a, const TValue& b);

// Reading a value as another type: null reads 0 or "". The usual cases
// (the value already of the type, or null) go without a call.
std::int32_t ValueAsIntegerSlow(const TValue& v);
double ValueAsFloatSlow(const TValue& v);
inline std::int32_t ValueAsInteger(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    return v.index() == 0 ? 0 : ValueAsIntegerSlow(v);
}
inline double ValueAsFloat(const TValue& v) {
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    return v.index() == 0 ? 0.0 : ValueAsFloatSlow(v);
}
// The null value, for references.
inline const TValue kNullValue{};
// dst = src, numbers without the general copy of a variant.
inline void CopyValue(TValue& dst, const TValue& src) {
    if (const auto* i = std::get_if<std::int32_t>(&src)) {
        dst.emplace<std::int32_t>(*i);
    } else if (const auto* d = std::get_if<double>(&src)) {
        dst.emplace<double>(*d);
    } else {
        dst = src;
    }
}
std::string ValueAsString(const TValue& v, TFieldType type);

// The text a grid shows for a value of the field: its OnGetText when set;
// otherwise empty for null, numbers through the field's display format
// ("000000", "0.000", "0.0") with the given decimal mark, dates as day/month/year.
std::string DisplayText(const TFieldDef& field, const TValue& v, char decimalMark);

}  // namespace tavlor
