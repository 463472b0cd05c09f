#pragma once

#include "workbook/WorkbookData.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The workbook as one UTF-8 HTML page: a table per sheet, captioned with its name.
namespace tavlor::workbook::detail {

// Hands the page to write in pieces of about a megabyte, so that a large page
// never sits whole in memory.
void WriteHtml(const TBookData& book, const std::vector<const TSheetData*>& sheets, std::string_view title,
               const std::function<void(std::string_view)>& write);

// Text with & < > " ' and the carriage return as character references; other
// control characters (C0 but tab and line feed, DEL, C1) as U+FFFD.
void AppendEscaped(std::string& out, std::string_view text);

}  // namespace tavlor::workbook::detail
