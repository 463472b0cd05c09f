#include "model/DataPacket.h"

#include "model/Files.h"
#include "model/FilesMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <pugixml.hpp>

#include <cctype>
#include <charconv>
#include <functional>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace tavlor {

namespace {

const char* TypeName(TFieldType type) {
    switch (type) {
        case TFieldType::Integer:
            return "i4";
        case TFieldType::String:
            return "string";
        case TFieldType::Float:
            return "r8";
        case TFieldType::DateTime:
            return "dateTime";
    }
    return "string";
}

// Attribute values: the nine characters the format writes as entities. Other
// control bytes cannot be carried by XML 1.0 at all, not even as references:
// they become "?" so that every reader can still open the file.
void AppendEscaped(std::string& out, std::string_view bytes) {
    for (char c : bytes) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '\r':
                out += "&#013;";
                break;
            case '\n':
                out += "&#010;";
                break;
            case '\t':
                out += "&#009;";
                break;
            case '\\':
                out += "&#092;";
                break;
            default:
                out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
                break;
        }
    }
}

std::string Pad(int value, int width) {
    std::string s = std::to_string(value);
    return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

// Date-times as the format writes them: 20040506T13:45:00000.
std::string DateTimeText(double value) {
    const auto p = text::DecodeDateTime(value);
    return Pad(p.Year, 4) + Pad(p.Month, 2) + Pad(p.Day, 2) + "T" + Pad(p.Hour, 2) + ":" + Pad(p.Minute, 2) + ":" +
           Pad(p.Second, 2) + Pad(p.Millisecond, 3);
}

std::string ValueText(const TValue& v, TFieldType type) {
    switch (type) {
        case TFieldType::Integer:
            return text::IntToStr(ValueAsInteger(v));
        case TFieldType::Float: {
            char buf[64];
            const auto res = std::to_chars(buf, buf + sizeof buf, ValueAsFloat(v));
            return std::string(buf, res.ptr);
        }
        case TFieldType::DateTime:
            return DateTimeText(ValueAsFloat(v));
        case TFieldType::String:
            return text::Utf8ToCp1252(ValueAsString(v, type));
    }
    return {};
}

// ---------------------------------------------------------------- reading

struct TColumn {
    std::string Name;      // the field's name in the table
    std::string AttrName;  // the attribute holding its values in the rows
    TFieldType Type = TFieldType::String;
    int Width = 0;
};

TFieldType TypeOf(std::string_view name) {
    auto is = [&](std::string_view other) {
        if (name.size() != other.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(other[i]))) {
                return false;
            }
        }
        return true;
    };
    for (auto n : {"i1", "i2", "i4", "i8", "ui1", "ui2", "ui4", "boolean"}) {
        if (is(n)) return TFieldType::Integer;
    }
    for (auto n : {"r8", "r4", "fixed", "fixedFMT"}) {
        if (is(n)) return TFieldType::Float;
    }
    for (auto n : {"dateTime", "date", "time", "SQLdateTime"}) {
        if (is(n)) return TFieldType::DateTime;
    }
    return TFieldType::String;
}

std::optional<double> ParseDateTime(std::string_view s) {
    // 20040506, or 20040506T13:45:00 with optional milliseconds.
    auto num = [&](std::size_t pos, std::size_t len) -> std::optional<int> {
        if (pos + len > s.size()) return std::nullopt;
        int v = 0;
        for (std::size_t i = pos; i < pos + len; ++i) {
            if (s[i] < '0' || s[i] > '9') return std::nullopt;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    const auto y = num(0, 4), mo = num(4, 2), d = num(6, 2);
    if (!y || !mo || !d) return std::nullopt;
    int h = 0, mi = 0, sec = 0, ms = 0;
    if (s.size() > 8) {
        if (s[8] != 'T') return std::nullopt;
        const auto hh = num(9, 2), mm = num(12, 2), ss = num(15, 2);
        if (!hh || !mm || !ss || s.size() < 17 || s[11] != ':' || s[14] != ':') return std::nullopt;
        h = *hh, mi = *mm, sec = *ss;
        if (s.size() > 17) {
            const auto m3 = num(17, s.size() - 17);
            if (!m3 || s.size() - 17 > 3) return std::nullopt;
            ms = *m3;
        }
    } else if (s.size() != 8) {
        return std::nullopt;
    }
    try {
        return text::EncodeDateTime(*y, *mo, *d, h, mi, sec, ms);
    } catch (const Error&) {
        return std::nullopt;
    }
}

TValue ParseValue(const std::string& utf8, const TColumn& column, const std::string& path) {
    switch (column.Type) {
        case TFieldType::Integer: {
            const auto v = text::ParseInt32(utf8);
            if (!v) throw Error(filemsg::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::Float: {
            const auto v = text::ParseFloat(utf8, '.');
            if (!v) throw Error(filemsg::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::DateTime: {
            const auto v = ParseDateTime(utf8);
            if (!v) throw Error(filemsg::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::String:
            return text::ToCp1252Range(utf8);
    }
    return {};
}

// Row states of a file that carries a change log: bits of the row's state.
constexpr int StateOriginal = 1, StateDeleted = 2, StateInserted = 4, StateModified = 8;

struct TFileRow {
    pugi::xml_node Node;
    int State = 0;
    int Original = 0;  // entry (1-based) this row replaces, 0 when none
    bool Superseded = false;
};

bool HeaderSaysUtf8(const std::string& bytes) {
    const std::size_t end = bytes.find("?>");
    if (bytes.compare(0, 5, "<?xml") != 0 || end == std::string::npos) {
        return false;
    }
    std::string header = bytes.substr(0, end);
    for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return header.find("utf-8") != std::string::npos || header.find("utf8") != std::string::npos;
}

}  // namespace

std::string WriteDataPacket(const TTable& table) {
    const TTableData& data = table.Data();
    std::string out = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (int slot = 0; slot < data.StoredFieldCount(); ++slot) {
        const TFieldDef& f = data.StoredField(slot);
        out += "<FIELD attrname=\"";
        AppendEscaped(out, text::Utf8ToCp1252(f.Name));
        out += "\" fieldtype=\"";
        out += TypeName(f.Type);
        out += "\"";
        if (f.Type == TFieldType::String) {
            out += " WIDTH=\"" + text::IntToStr(f.Size) + "\"";
        }
        out += "/>";
    }
    out += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    // Through a clone in the same order without filter: every row, and the
    // caller's cursor does not move.
    auto all = table.Clone();
    for (all->First(); !all->Eof(); all->Next()) {
        out += "<ROW";
        const std::vector<TValue>& values = all->RowValues();
        for (int slot = 0; slot < data.StoredFieldCount(); ++slot) {
            if (IsNull(values[slot])) {
                continue;
            }
            const TFieldDef& f = data.StoredField(slot);
            out += ' ';
            AppendEscaped(out, text::Utf8ToCp1252(f.Name));
            out += "=\"";
            AppendEscaped(out, ValueText(values[slot], f.Type));
            out += '"';
        }
        out += "/>";
    }
    out += "</ROWDATA></DATAPACKET>";
    return out;
}

void SaveDataPacket(const TTable& table, const std::string& path) { WriteFileAtomic(path, WriteDataPacket(table)); }

void LoadDataPacket(const std::string& bytes, const std::string& path, TTable& into) {
    // Without an encoding in its header the file is Windows-1252: bring it to
    // UTF-8 before parsing.
    const std::string utf8 = HeaderSaysUtf8(bytes) ? bytes : text::Cp1252ToUtf8(bytes);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default,
                                                          pugi::encoding_utf8);
    if (!parsed) {
        throw Error(filemsg::NotADataPacket(path, std::string(filemsg::XmlError) + " (" + parsed.description() + ")"));
    }
    const pugi::xml_node packet = doc.child("DATAPACKET");
    if (!packet) {
        throw Error(filemsg::NotADataPacket(path, filemsg::NoDataPacket));
    }
    const pugi::xml_node metadata = packet.child("METADATA");
    const pugi::xml_node fields = metadata.child("FIELDS");
    if (!fields) {
        throw Error(filemsg::NotADataPacket(path, filemsg::NoFields));
    }
    const pugi::xml_node rowData = packet.child("ROWDATA");
    if (!rowData) {
        throw Error(filemsg::NotADataPacket(path, filemsg::NoRowData));
    }

    std::vector<TColumn> columns;
    std::set<std::string> names;
    for (pugi::xml_node f : fields.children("FIELD")) {
        TColumn c;
        c.AttrName = f.attribute("attrname").value();
        c.Name = f.attribute("fieldname") ? f.attribute("fieldname").value() : c.AttrName;
        if (c.AttrName.empty() || c.Name.empty()) {
            throw Error(filemsg::NotADataPacket(path, filemsg::NoFieldName));
        }
        c.Name = text::ToCp1252Range(c.Name);
        c.Type = TypeOf(f.attribute("fieldtype").value());
        pugi::xml_attribute width = f.attribute("WIDTH");
        if (!width) {
            width = f.attribute("width");
        }
        c.Width = width ? std::max(0, width.as_int()) : 0;
        if (!names.insert(c.Name).second) {
            throw Error(filemsg::NotADataPacket(path, "champ " + c.Name + " en double"));
        }
        columns.push_back(std::move(c));
    }

    // The current rows of a file with a change log: an original version is
    // replaced by its modification, a deleted row is dropped, an inserted row
    // is kept (with its later modifications laid over it).
    std::vector<TFileRow> rows;
    for (pugi::xml_node r : rowData.children("ROW")) {
        rows.push_back({r, r.attribute("RowState").as_int(0), 0, false});
    }
    std::map<int, int> originalOf;  // entry -> the entry it replaces
    const std::string log = metadata.child("PARAMS").attribute("CHANGE_LOG").value();
    if (!log.empty()) {
        std::vector<int> numbers;
        std::size_t pos = 0;
        while (pos < log.size()) {
            while (pos < log.size() && log[pos] == ' ') ++pos;
            std::size_t end = pos;
            while (end < log.size() && log[end] != ' ') ++end;
            if (end > pos) {
                const auto n = text::ParseInt32(std::string_view(log).substr(pos, end - pos));
                if (!n) throw Error(filemsg::NotADataPacket(path, "journal des modifications incorrect"));
                numbers.push_back(*n);
            }
            pos = end;
        }
        for (std::size_t i = 0; i + 2 < numbers.size(); i += 3) {
            if (numbers[i] >= 1 && numbers[i + 1] >= 1) {
                originalOf[numbers[i]] = numbers[i + 1];
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TFileRow& row = rows[i];
        const int entry = static_cast<int>(i) + 1;
        if (auto it = originalOf.find(entry); it != originalOf.end() && it->second < entry) {
            row.Original = it->second;
        } else if ((row.State & StateModified) && log.empty() && i > 0) {
            row.Original = entry - 1;  // without a log, a modification follows what it replaces
        }
        if (row.Original > 0 && (row.State & (StateModified | StateDeleted))) {
            rows[row.Original - 1].Superseded = true;
        }
    }

    // Values of an entry, following the versions it replaces.
    std::vector<std::vector<std::optional<std::string>>> resolved(rows.size());
    std::vector<char> done(rows.size(), 0);
    std::function<const std::vector<std::optional<std::string>>&(std::size_t, int)> values =
        [&](std::size_t i, int depth) -> const std::vector<std::optional<std::string>>& {
        if (!done[i]) {
            std::vector<std::optional<std::string>> v(columns.size());
            if (rows[i].Original > 0 && (rows[i].State & StateModified) && depth < 1000) {
                v = values(static_cast<std::size_t>(rows[i].Original - 1), depth + 1);
            }
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const pugi::xml_attribute a = rows[i].Node.attribute(columns[c].AttrName.c_str());
                if (a) {
                    v[c] = a.value();
                }
            }
            resolved[i] = std::move(v);
            done[i] = 1;
        }
        return resolved[i];
    };

    std::vector<std::vector<TValue>> current;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TFileRow& row = rows[i];
        if (row.Superseded || (row.State & StateDeleted) || row.State == StateOriginal) {
            continue;
        }
        const auto& v = values(i, 0);
        std::vector<TValue> typed(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (v[c]) {
                typed[c] = ParseValue(*v[c], columns[c], path);
            }
        }
        current.push_back(std::move(typed));
    }

    // Everything read: only now does the table change.
    std::vector<TFieldDef> defs;
    for (const TColumn& c : columns) {
        TFieldDef f;
        f.Name = c.Name;
        f.Type = c.Type;
        f.Size = c.Type == TFieldType::String ? c.Width : 0;
        defs.push_back(std::move(f));
    }
    into.Data().SetStructure(std::move(defs));
    TControlsDisabled quiet(into);
    for (const auto& row : current) {
        into.AppendRow(row);
    }
    into.First();
}

void LoadDataPacketFile(const std::string& path, TTable& into) { LoadDataPacket(ReadWholeFile(path), path, into); }

}  // namespace tavlor
