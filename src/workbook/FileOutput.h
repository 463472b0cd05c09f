#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor::workbook::detail {

using TWriter = std::function<void(std::string_view)>;

// Calls produce with a writer that appends to a temporary file in the folder of
// path, then renames that file over path: a failure leaves any old file as it
// was and no new one. A write failure throws tavlor::Error naming path; an
// exception from produce goes through as it is.
void WriteFileReplacing(const std::string& path, const std::function<void(const TWriter&)>& produce);

// The parts one after the other.
void WriteFileReplacing(const std::string& path, const std::vector<std::string_view>& parts);

}  // namespace tavlor::workbook::detail
