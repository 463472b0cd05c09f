#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tavlor {

class TTable;
class TTableData;

// One value of a table: null, a 32-bit integer, a double (float and date-time
// fields) or a UTF-8 string. The alternative always matches the field's type.
using TValue = std::variant<std::monostate, std::int32_t, double, std::string>;

enum class TFieldType : std::uint8_t { Integer, String, Float, DateTime };

// Data fields are stored in the rows; looked-up fields are read from another
// table on each access; calculated fields are set by the table's calc handler.
enum class TFieldKind : std::uint8_t { Data, Lookup, Calculated };

// A looked-up field: the row of LookupTable whose LookupKeyField equals this
// row's KeyField gives the value of its ResultField; no such row gives null.
struct TLookupDef {
    std::shared_ptr<TTableData> LookupTable;
    std::string KeyField;
    std::string LookupKeyField;
    std::string ResultField;
};

struct TFieldDef {
    std::string Name;
    TFieldType Type = TFieldType::Integer;
    int Size = 0;  // width in characters of a string field
    TFieldKind Kind = TFieldKind::Data;
    std::string DisplayLabel;   // empty: the name
    std::string DisplayFormat;  // numeric format such as "000000" or "0.000", date format "dd/mm/yyyy"
    bool Visible = true;
    TLookupDef Lookup;  // Kind == Lookup only
    // When set, gives the text grids show for the value instead of the display format.
    std::function<std::string(const TValue&)> OnGetText;
    // Set by the table: slot in the row of a data field, index of a calculated
    // value, index of a resolved lookup; -1 when not of that kind.
    int StorageIndex = -1;
    int CalcIndex = -1;
    int LookupIndex = -1;

    const std::string& Label() const { return DisplayLabel.empty() ? Name : DisplayLabel; }
};

struct TIndexField {
    std::string Name;
    bool Descending = false;
};

struct TIndexDef {
    std::string Name;
    std::vector<TIndexField> Fields;
};

// Builders that keep table definitions short and readable.
inline TFieldDef IntegerField(std::string name, std::string label = {}) {
    TFieldDef f;
    f.Name = std::move(name);
    f.Type = TFieldType::Integer;
    f.DisplayLabel = std::move(label);
    return f;
}
inline TFieldDef StringField(std::string name, int size, std::string label = {}) {
    TFieldDef f;
    f.Name = std::move(name);
    f.Type = TFieldType::String;
    f.Size = size;
    f.DisplayLabel = std::move(label);
    return f;
}
inline TFieldDef FloatField(std::string name, std::string label = {}) {
    TFieldDef f;
    f.Name = std::move(name);
    f.Type = TFieldType::Float;
    f.DisplayLabel = std::move(label);
    return f;
}
inline TFieldDef DateTimeField(std::string name, std::string label = {}) {
    TFieldDef f;
    f.Name = std::move(name);
    f.Type = TFieldType::DateTime;
    f.DisplayLabel = std::move(label);
    return f;
}

}  // namespace tavlor
