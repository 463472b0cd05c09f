#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// A form value as the server expects it, byte by byte: ASCII letters and
// digits as they are, a space as "+", every other byte as "%" and two
// uppercase hexadecimal digits.
std::string EncodeFormValue(std::string_view bytes);

// The body of a post: each "NAME=value" line (value in Windows-1252 bytes) as
// its name, "=" and its encoded value, joined by "&", with one "&" after the last.
std::string FormBody(const std::vector<std::string>& fields);

// One envelope of a reply: the text between the first opening tag and the
// first closing tag; absent when either tag is missing, empty when the closing
// tag comes first.
struct TEnvelope {
    bool Present = false;
    std::string Text;
};
TEnvelope FindEnvelope(std::string_view reply, std::string_view open, std::string_view close);

// The fields of one record of a list: cut at each byte 8 (and byte 13); the
// text after the last cut counts only when it is not empty.
std::vector<std::string> RecordFields(std::string_view record);
// The records of a list's data: each ends with byte 10; bytes after the last
// byte 10 are ignored.
std::vector<std::string_view> DataRecords(std::string_view data);
// The fields of an update reply: byte 8 read as a line break, lines cut at
// CR, LF or CR LF, a last empty line not counted.
std::vector<std::string> ReplyFields(std::string_view data);

}  // namespace tavlor
