#include "model/DataPacket.h"

#include "model/Files.h"
#include "model/FilesMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

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
            if (std::tolower(static_cast<unsigned char>(name[i])) !=
                std::tolower(static_cast<unsigned char>(other[i]))) {
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
            // At most three digits of milliseconds, counted before they are read.
            if (s.size() - 17 > 3) return std::nullopt;
            const auto m3 = num(17, s.size() - 17);
            if (!m3) return std::nullopt;
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

TValue ParseValue(std::string_view utf8, const TColumn& column, const std::string& path) {
    switch (column.Type) {
        case TFieldType::Integer: {
            const auto v = text::ParseInt32(utf8);
            if (!v) throw Error(msg::files::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::Float: {
            const auto v = text::ParseFloat(utf8, '.');
            if (!v) throw Error(msg::files::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::DateTime: {
            const auto v = ParseDateTime(utf8);
            if (!v) throw Error(msg::files::BadValue(path, column.Name, utf8));
            return *v;
        }
        case TFieldType::String:
            return text::ToCp1252Range(utf8);
    }
    return {};
}

// Row states of a file that carries a change log: bits of the row's state.
constexpr int StateOriginal = 1, StateDeleted = 2;

// Whether the bytes after a possible byte-order mark are UTF-8: the header's
// encoding when it names one, else UTF-8 exactly when the mark is there
// (files without either are the Windows-1252 the writer makes).
bool IsUtf8(std::string_view body, bool byteOrderMark) {
    const std::size_t end = body.find("?>");
    if (body.substr(0, 5) != "<?xml" || end == std::string_view::npos) {
        return byteOrderMark;
    }
    std::string header(body.substr(0, end));
    for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (header.find("encoding") == std::string::npos) {
        return byteOrderMark;
    }
    return header.find("utf-8") != std::string::npos || header.find("utf8") != std::string::npos;
}

// A reference at x[amp] ('&'): its length up to and with the ';', or 0 when
// it is neither one of the five predefined entities nor a character
// reference to a character XML allows.
std::size_t ReferenceLength(std::string_view x, std::size_t amp) {
    std::size_t i = amp + 1;
    if (i < x.size() && x[i] == '#') {
        ++i;
        const bool hex = i < x.size() && x[i] == 'x';
        if (hex) ++i;
        const std::size_t digitsFrom = i;
        std::uint32_t code = 0;
        for (; i < x.size() && x[i] != ';'; ++i) {
            const char c = x[i];
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                return 0;
            }
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            if (code > 0x10FFFF) return 0;
        }
        if (i == digitsFrom || i >= x.size()) return 0;
        const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                             (code >= 0xE000 && code <= 0xFFFD) || code >= 0x10000;
        return allowed ? i + 1 - amp : 0;
    }
    for (std::string_view name : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
        if (x.substr(i, name.size()) == name) return name.size() + 1;
    }
    return 0;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
    return !IsXmlSpace(c) && c != '=' && c != '>' && c != '/' && c != '"' && c != '\'' && c != '<' && c != '&';
}

// What the parser lets through of a file that is not well-formed XML: bare
// "&" and undefined entities, "<" inside an attribute value, an attribute
// given twice, a start tag that is not names and quoted values. Answers the
// reason of the first such fault, nullptr when there is none (the parser
// judges the rest: nesting, end of file).
const char* WellFormedFault(std::string_view x) {
    const std::size_t n = x.size();
    std::vector<std::string_view> seen;
    std::size_t i = 0;
    auto skipTo = [&](std::size_t from, std::string_view end) {
        const std::size_t at = x.find(end, from);
        return at == std::string_view::npos ? n : at + end.size();
    };
    while (i < n) {
        const char c = x[i];
        if (c == '&') {
            const std::size_t length = ReferenceLength(x, i);
            if (length == 0) return msg::files::BadCharacterReference;
            i += length;
            continue;
        }
        if (c != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = x.substr(i);
        if (rest.substr(0, 4) == "<!--") {
            i = skipTo(i + 4, "-->");
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            i = skipTo(i + 9, "]]>");
        } else if (rest.substr(0, 2) == "<?") {
            i = skipTo(i + 2, "?>");
        } else if (rest.substr(0, 2) == "<!") {
            // A document type declaration, with its internal subset in brackets.
            int depth = 0;
            for (i += 2; i < n && (x[i] != '>' || depth > 0); ++i) {
                depth += x[i] == '[' ? 1 : x[i] == ']' ? -1 : 0;
            }
            ++i;
        } else if (rest.substr(0, 2) == "</") {
            i = skipTo(i + 2, ">");
        } else {
            ++i;
            const std::size_t nameFrom = i;
            while (i < n && IsNameChar(x[i])) ++i;
            if (i == nameFrom) return msg::files::BadTag;
            seen.clear();
            while (true) {
                while (i < n && IsXmlSpace(x[i])) ++i;
                if (i >= n) return nullptr;
                if (x[i] == '>') {
                    ++i;
                    break;
                }
                if (x[i] == '/') {
                    if (i + 1 < n && x[i + 1] != '>') return msg::files::BadTag;
                    ++i;
                    continue;
                }
                const std::size_t attrFrom = i;
                while (i < n && IsNameChar(x[i])) ++i;
                if (i == attrFrom) return msg::files::BadTag;
                seen.push_back(x.substr(attrFrom, i - attrFrom));
                while (i < n && IsXmlSpace(x[i])) ++i;
                if (i >= n) return nullptr;
                if (x[i] != '=') return msg::files::BadTag;
                ++i;
                while (i < n && IsXmlSpace(x[i])) ++i;
                if (i >= n) return nullptr;
                const char quote = x[i];
                if (quote != '"' && quote != '\'') return msg::files::BadTag;
                for (++i; i < n && x[i] != quote;) {
                    if (x[i] == '<') return msg::files::LessThanInAttribute;
                    if (x[i] == '&') {
                        const std::size_t length = ReferenceLength(x, i);
                        if (length == 0) return msg::files::BadCharacterReference;
                        i += length;
                    } else {
                        ++i;
                    }
                }
                if (i >= n) return nullptr;
                ++i;
                // Attributes are separated by white space.
                if (i < n && !IsXmlSpace(x[i]) && x[i] != '/' && x[i] != '>') return msg::files::BadTag;
            }
            // Sorted, so that a row of many columns costs n log n, not n squared.
            std::sort(seen.begin(), seen.end());
            if (std::adjacent_find(seen.begin(), seen.end()) != seen.end()) return msg::files::DuplicateAttribute;
        }
    }
    return nullptr;
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

void SaveDataPacket(const TTable& table, const std::string& path) {
    WriteFileAtomic(path, WriteDataPacket(table));
}

void LoadDataPacket(const std::string& bytes, const std::string& path, TTable& into) {
    // A byte-order mark is skipped; without an encoding in its header, or a
    // mark, the file is Windows-1252: it is brought to UTF-8 before parsing.
    std::string_view body = bytes;
    const bool byteOrderMark = body.substr(0, 3) == "\xEF\xBB\xBF";
    if (byteOrderMark) {
        body.remove_prefix(3);
    }
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        throw Error(msg::files::NotADataPacket(path, msg::files::EmptyFile));
    }
    const std::string utf8 = IsUtf8(body, byteOrderMark) ? std::string(body) : text::Cp1252ToUtf8(body);
    if (const char* fault = WellFormedFault(utf8)) {
        throw Error(msg::files::NotADataPacket(path, std::string(msg::files::XmlError) + " (" + fault + ")"));
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        throw Error(
            msg::files::NotADataPacket(path, std::string(msg::files::XmlError) + " (" + parsed.description() + ")"));
    }
    const pugi::xml_node packet = doc.child("DATAPACKET");
    if (!packet) {
        throw Error(msg::files::NotADataPacket(path, msg::files::NoDataPacket));
    }
    const pugi::xml_node metadata = packet.child("METADATA");
    const pugi::xml_node fields = metadata.child("FIELDS");
    if (!fields) {
        throw Error(msg::files::NotADataPacket(path, msg::files::NoFields));
    }
    const pugi::xml_node rowData = packet.child("ROWDATA");
    if (!rowData) {
        throw Error(msg::files::NotADataPacket(path, msg::files::NoRowData));
    }

    std::vector<TColumn> columns;
    std::set<std::string> names;
    for (pugi::xml_node f : fields.children("FIELD")) {
        TColumn c;
        c.AttrName = f.attribute("attrname").value();
        c.Name = f.attribute("fieldname") ? f.attribute("fieldname").value() : c.AttrName;
        if (c.AttrName.empty() || c.Name.empty()) {
            throw Error(msg::files::NotADataPacket(path, msg::files::NoFieldName));
        }
        c.Name = text::ToCp1252Range(c.Name);
        c.Type = TypeOf(f.attribute("fieldtype").value());
        pugi::xml_attribute width = f.attribute("WIDTH");
        if (!width) {
            width = f.attribute("width");
        }
        c.Width = width ? std::max(0, width.as_int()) : 0;
        if (!names.insert(c.Name).second) {
            throw Error(msg::files::NotADataPacket(path, msg::files::DuplicateField(c.Name)));
        }
        columns.push_back(std::move(c));
    }

    // Rows of a file that carries a change log are decided by their own
    // state: an earlier version of a changed row (bit 1) and a deleted row
    // (bit 2) are dropped; every other row holds its whole current values, an
    // attribute it does not carry being a null value. The log's pairing of
    // versions is never needed, and is not trusted: writers leave it
    // inconsistent.
    std::unordered_map<std::string_view, std::size_t> columnOf;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        columnOf.emplace(columns[c].AttrName, c);
    }
    std::vector<std::vector<TValue>> current;
    for (pugi::xml_node r : rowData.children("ROW")) {
        const int state = r.attribute("RowState").as_int(0);
        if (state & (StateOriginal | StateDeleted)) {
            continue;
        }
        std::vector<TValue> typed(columns.size());
        for (pugi::xml_attribute a : r.attributes()) {
            const auto it = columnOf.find(a.name());
            if (it != columnOf.end()) {
                typed[it->second] = ParseValue(a.value(), columns[it->second], path);
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
    for (auto& row : current) {
        into.AppendRow(std::move(row));
    }
    into.First();
}

int RequireFileField(const TTable& table, const std::string& path, std::string_view field) {
    const int index = table.FieldIndex(field);
    if (index < 0) {
        throw Error(msg::files::NotADataPacket(path, msg::files::MissingField(std::string(field))));
    }
    return index;
}

void LoadDataPacketFile(const std::string& path, TTable& into) {
    LoadDataPacket(ReadWholeFile(path), path, into);
}

}  // namespace tavlor
