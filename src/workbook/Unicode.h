#pragma once

#include <string>
#include <string_view>

// Code points of the workbook's UTF-8 texts.
namespace tavlor::workbook::detail {

// Each invalid or truncated sequence byte becomes '?'.
std::u32string DecodeUtf8(std::string_view utf8);

void AppendUtf8(std::string& out, char32_t c);

// Valid UTF-8 holding only characters Windows-1252 has (the five bytes it leaves
// undefined count as the C1 controls of the same value, as in the text layer).
bool IsCp1252Utf8(std::string_view utf8);

// Lower case of the letters Windows-1252 holds (ASCII, Latin-1, Š Œ Ž Ÿ); other
// characters as they are. Used to compare sheet names the way the spreadsheet does.
char32_t FoldCase(char32_t c);

}  // namespace tavlor::workbook::detail
