#include "fedserver/FedWire.h"

#include "fedserver/FedServerMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>

namespace tavlor::fedserver {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> DecodeComponent(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= s.size()) {
                return std::nullopt;
            }
            const int hi = HexValue(s[i + 1]);
            const int lo = HexValue(s[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::int64_t UnixDays(int year, int month, int day) {
    return static_cast<std::int64_t>(text::EncodeDate(year, month, day) - text::UnixEpochDays);
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int WeekDay(std::int64_t unixDays) {
    return static_cast<int>(((unixDays + 4) % 7 + 7) % 7);
}

std::int64_t LastSundayOneUtc(int year, int month) {
    const std::int64_t last = UnixDays(year, month, 31);
    return (last - WeekDay(last)) * 86400 + 3600;
}

bool IsSummerTime(std::int64_t unixSeconds, int year) {
    return unixSeconds >= LastSundayOneUtc(year, 3) && unixSeconds < LastSundayOneUtc(year, 10);
}

}  // namespace

// ---- Forms ----

std::optional<TForm> DecodeForm(std::string_view body) {
    TForm form;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos) {
            end = body.size();
        }
        const std::string_view piece = body.substr(start, end - start);
        if (!piece.empty()) {
            const std::size_t eq = piece.find('=');
            if (eq == std::string_view::npos) {
                return std::nullopt;
            }
            auto name = DecodeComponent(piece.substr(0, eq));
            auto value = DecodeComponent(piece.substr(eq + 1));
            if (!name || !value) {
                return std::nullopt;
            }
            form.push_back({std::move(*name), std::move(*value)});
        }
        start = end + 1;
    }
    return form;
}

const std::string* FindField(const TForm& form, std::string_view name) {
    for (const TFormField& f : form) {
        if (f.Name == name) {
            return &f.Value;
        }
    }
    return nullptr;
}

// ---- Data texts ----

TRecordWriter& TRecordWriter::Text(std::string_view utf8) {
    std::string bytes = text::Utf8ToCp1252(utf8);
    // A separator inside a text would shift every later field.
    for (char& c : bytes) {
        if (c == kFieldEnd || c == kRecordEnd || c == '\r') {
            c = ' ';
        }
    }
    data_ += bytes;
    data_ += kFieldEnd;
    return *this;
}

TRecordWriter& TRecordWriter::Int(std::int64_t value) {
    data_ += text::IntToStr(value);
    data_ += kFieldEnd;
    return *this;
}

TRecordWriter& TRecordWriter::Coef(double value) {
    data_ += FormatCoef(value);
    data_ += kFieldEnd;
    return *this;
}

void TRecordWriter::EndRecord() {
    data_ += kRecordEnd;
}

std::string FormatCoef(double value) {
    return text::FormatFloat("0.0###", value, '.');
}

std::vector<TDataRecord> SplitData(std::string_view data) {
    std::vector<TDataRecord> records;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find(kRecordEnd, start);
        TDataRecord record;
        record.Ended = end != std::string_view::npos;
        if (!record.Ended) {
            end = data.size();
        }
        const std::string_view text = data.substr(start, end - start);
        std::size_t f = 0;
        while (f < text.size()) {
            std::size_t stop = text.find(kFieldEnd, f);
            TDataField field;
            field.Ended = stop != std::string_view::npos;
            if (!field.Ended) {
                stop = text.size();
            }
            field.Bytes = std::string(text.substr(f, stop - f));
            record.Fields.push_back(std::move(field));
            f = stop + 1;
        }
        records.push_back(std::move(record));
        start = end + 1;
    }
    return records;
}

std::string JoinData(const std::vector<TDataRecord>& records) {
    std::string out;
    for (const TDataRecord& r : records) {
        for (const TDataField& f : r.Fields) {
            out += f.Bytes;
            if (f.Ended) {
                out += kFieldEnd;
            }
        }
        if (r.Ended) {
            out += kRecordEnd;
        }
    }
    return out;
}

// ---- Replies ----

TReply DataReply(std::string data, int titleRecords) {
    TReply reply;
    reply.HasData = true;
    reply.Data = std::move(data);
    reply.TitleRecords = titleRecords;
    return reply;
}

TReply ErrorReply(std::string_view utf8Text) {
    TReply reply;
    reply.HasError = true;
    reply.Error = text::Utf8ToCp1252(utf8Text);
    return reply;
}

std::string EnvelopePage(const TReply& reply) {
    std::string page =
        "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "<title>FFB</title>\r\n</head>\r\n<body>\r\n";
    if (reply.HasData) {
        page += "<DATAS_TX>" + reply.Data + "</DATAS_TX>\r\n";
    }
    if (reply.HasError) {
        page += "<ERROR_TX>" + reply.Error + "</ERROR_TX>\r\n";
    }
    if (!reply.HasData && !reply.HasError) {
        page += "<p>" + text::Utf8ToCp1252(msg::fedserver::NoEnvelopeText) + "</p>\r\n";
    }
    page += "</body>\r\n</html>\r\n";
    return page;
}

std::string DropLastFields(std::string_view data, int titleRecords, int record) {
    std::vector<TDataRecord> records = SplitData(data);
    const auto first = static_cast<std::size_t>(std::max(titleRecords, 0));
    for (std::size_t i = first; i < records.size(); ++i) {
        if (record > 0 && i - first + 1 != static_cast<std::size_t>(record)) {
            continue;
        }
        if (!records[i].Fields.empty()) {
            records[i].Fields.pop_back();
        }
    }
    return JoinData(records);
}

std::string SpoilField(std::string_view data, int titleRecords, int field) {
    std::vector<TDataRecord> records = SplitData(data);
    for (std::size_t i = static_cast<std::size_t>(std::max(titleRecords, 0)); i < records.size(); ++i) {
        if (field >= 0 && static_cast<std::size_t>(field) < records[i].Fields.size()) {
            records[i].Fields[field].Bytes += 'x';
        }
    }
    return JoinData(records);
}

std::string KeepTitles(std::string_view data, int titleRecords) {
    std::vector<TDataRecord> records = SplitData(data);
    records.resize(std::min(records.size(), static_cast<std::size_t>(std::max(titleRecords, 0))));
    return JoinData(records);
}

std::string EmptyField(std::string_view data, int titleRecords, int field) {
    std::vector<TDataRecord> records = SplitData(data);
    for (std::size_t i = static_cast<std::size_t>(std::max(titleRecords, 0)); i < records.size(); ++i) {
        if (field >= 0 && static_cast<std::size_t>(field) < records[i].Fields.size()) {
            records[i].Fields[field].Bytes.clear();
        }
    }
    return JoinData(records);
}

// ---- Text ----

std::string FoldCase(std::string_view cp1252) {
    std::string out(cp1252);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
            c = static_cast<char>(b + 32);
        } else if (b == 0x8A || b == 0x8C || b == 0x8E) {  // Š Œ Ž
            c = static_cast<char>(b + 16);
        } else if (b == 0x9F) {  // Ÿ
            c = static_cast<char>(0xFF);
        }
    }
    return out;
}

std::string HtmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Md5Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1) {
        throw Error("MD5");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

// ---- Dates ----

std::int64_t ParisMidnight(int year, int month, int day) {
    const std::int64_t utcMidnight = UnixDays(year, month, day) * 86400;
    const std::int64_t summer = utcMidnight - 7200;
    return IsSummerTime(summer, year) ? summer : utcMidnight - 3600;
}

TDay ParisDay(std::int64_t unixSeconds) {
    const text::TDateTimeParts utc = text::DecodeDateTime(text::FromUnixSeconds(unixSeconds));
    const std::int64_t local = unixSeconds + (IsSummerTime(unixSeconds, utc.Year) ? 7200 : 3600);
    const text::TDateTimeParts parts = text::DecodeDateTime(text::FromUnixSeconds(local));
    return {parts.Year, parts.Month, parts.Day};
}

std::optional<TDay> ParseIsoDay(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') {
        return std::nullopt;
    }
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9') {
            return std::nullopt;
        }
    }
    const TDay day{text::StrToInt(s.substr(0, 4)), text::StrToInt(s.substr(5, 2)), text::StrToInt(s.substr(8, 2))};
    if (day.Year < 1970 || day.Year > 2999) {
        return std::nullopt;
    }
    try {
        text::EncodeDate(day.Year, day.Month, day.Day);
    } catch (const Error&) {
        return std::nullopt;
    }
    return day;
}

}  // namespace tavlor::fedserver
