#pragma once

#include "server/FormEncoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What travels between the client and the stand-in server: form bodies, data
// texts (fields ended by byte 8, records by byte 10), the reply page with its
// envelopes, and the dates as Unix seconds of midnight in France. Every text on
// the wire is Windows-1252; the helpers taking UTF-8 say so.
namespace tavlor::fedserver {

inline constexpr char kFieldEnd = '\x08';
inline constexpr char kRecordEnd = '\x0A';

// ---- Forms ----

struct TFormField {
    std::string Name;
    std::string Value;  // Windows-1252 bytes, decoded
};
using TForm = std::vector<TFormField>;

// Splits at "&" and "=", decodes "+" and %XX (either case); a trailing "&" and
// empty pieces are allowed. nullopt on a broken escape or a piece without "=".
std::optional<TForm> DecodeForm(std::string_view body);

// The client's encoding of form values, for the tests that post as it does.
using tavlor::EncodeFormValue;

// The first field of that name, or null.
const std::string* FindField(const TForm& form, std::string_view name);

// ---- Data texts ----

// Builds a data text record by record.
class TRecordWriter {
public:
    TRecordWriter& Text(std::string_view utf8);  // converted to Windows-1252
    TRecordWriter& Int(std::int64_t value);
    TRecordWriter& Coef(double value);  // "." as decimal mark, at least one decimal
    void EndRecord();
    std::string Take() { return std::move(data_); }

private:
    std::string data_;
};

std::string FormatCoef(double value);

// The records of a data text, each a list of fields, with whether each field
// and each record carried its terminator, so that a transformed text keeps the
// layout of the original.
struct TDataField {
    std::string Bytes;
    bool Ended = true;
};
struct TDataRecord {
    std::vector<TDataField> Fields;
    bool Ended = true;
};
std::vector<TDataRecord> SplitData(std::string_view data);
std::string JoinData(const std::vector<TDataRecord>& records);

// ---- Replies ----

struct TReply {
    bool HasData = false;
    std::string Data;  // Windows-1252
    bool HasError = false;
    std::string Error;     // Windows-1252
    int TitleRecords = 0;  // leading records that are column titles
    std::vector<std::string> SetCookies;
};

TReply DataReply(std::string data, int titleRecords = 0);
TReply ErrorReply(std::string_view utf8Text);

// The HTML page that carries the envelopes present in the reply.
std::string EnvelopePage(const TReply& reply);

// Misbehaviour of the test modes: every record but the titles loses its last
// field (only the record-th of them, from 1, when record is positive); or
// field `field` of every such record gets a letter appended.
std::string DropLastFields(std::string_view data, int titleRecords, int record = 0);
std::string SpoilField(std::string_view data, int titleRecords, int field);
std::string KeepTitles(std::string_view data, int titleRecords);
std::string EmptyField(std::string_view data, int titleRecords, int field);

// ---- Text ----

// Windows-1252 lower case, accented capitals and the ligatures included.
std::string FoldCase(std::string_view cp1252);

// & < > " ' as entities; the text stays UTF-8.
std::string HtmlEscape(std::string_view utf8);

// The MD5 digest as 32 lowercase hexadecimal digits.
std::string Md5Hex(std::string_view bytes);

// ---- Dates ----

// Unix seconds of midnight, local time in France, on that day: UTC+1, or UTC+2
// from the last Sunday of March 01:00 UTC to the last Sunday of October 01:00
// UTC (the European rule, taken for every year).
std::int64_t ParisMidnight(int year, int month, int day);

struct TDay {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};
// The local day in France at that instant.
TDay ParisDay(std::int64_t unixSeconds);

// "2004-05-06" exactly (4, 2 and 2 digits), a real day of years 1970 to 2999.
std::optional<TDay> ParseIsoDay(std::string_view text);

}  // namespace tavlor::fedserver
