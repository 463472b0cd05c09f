#pragma once

#include "model/TableDefs.h"

#include <cstdint>
#include <string>
#include <variant>

namespace tavlor {

// One value of a table: null, a 32-bit integer, a double (float and date-time
// fields) or a UTF-8 string. The alternative always matches the field's type.
using TValue = std::variant<std::monostate, std::int32_t, double, std::string>;

inline bool IsNull(const TValue& v) { return std::holds_alternative<std::monostate>(v); }

// Ordering of two values of a field of the given type: null before every value,
// numbers numerically (NaN just after null, so the order stays total), strings
// by the collation of people's names. Negative, 0 or positive.
int CompareValues(const TValue& a, const TValue& b, TFieldType type);

// Exact equality as Locate and FindKey understand it: null equals only null.
bool SameValue(const TValue& a, const TValue& b);

// Reading a value as another type: null reads 0 or "".
std::int32_t ValueAsInteger(const TValue& v);
double ValueAsFloat(const TValue& v);
std::string ValueAsString(const TValue& v, TFieldType type);

}  // namespace tavlor
