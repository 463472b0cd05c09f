#pragma once

#include "model/TableDefs.h"

#include <cstdint>
#include <string>
#include <variant>

namespace tavlor {

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

// The text a grid shows for a value of the field: its OnGetText when set;
// otherwise empty for null, numbers through the field's display format
// ("000000", "0.000", "0.0") with the given decimal mark, dates as day/month/year.
std::string DisplayText(const TFieldDef& field, const TValue& v, char decimalMark);

}  // namespace tavlor
