#pragma once

#include "workbook/WorkbookData.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The "Workbook" stream of an Excel 97-2003 file: BIFF8 records.
namespace tavlor::workbook::detail {

class TFormatIds;
class TXfTable;

// Plans the stream on construction (formats, cell formats, the globals, the size
// of each sheet), then writes it in pieces, so that the cell records of a large
// workbook never sit whole in memory. An empty list of sheets gives one empty
// sheet, as a workbook needs one. Throws tavlor::Error when the cells need more
// distinct formats than the file holds.
class TBiff8Writer {
public:
    TBiff8Writer(const TBookData& book, const std::vector<const TSheetData*>& sheets);
    ~TBiff8Writer();
    TBiff8Writer(const TBiff8Writer&) = delete;
    TBiff8Writer& operator=(const TBiff8Writer&) = delete;

    // At least 4096: a shorter stream is padded with zero bytes.
    std::size_t StreamSize() const { return StreamSize_; }

    // Hands the whole stream, StreamSize() bytes, to write.
    void Write(const std::function<void(std::string_view)>& write);

private:
    void WriteGlobals(std::uint32_t references);

    const TBookData& Book_;
    std::vector<const TSheetData*> Sheets_;
    TSheetData Empty_;
    std::unique_ptr<TFormatIds> Formats_;
    std::unique_ptr<TXfTable> Xfs_;
    std::vector<std::uint16_t> FontIndex_;
    std::string Globals_;
    std::vector<std::size_t> SheetSizes_;
    std::size_t Padding_ = 0;
    std::size_t StreamSize_ = 0;
};

// Text as a BIFF8 string body: 8-bit when every character is below U+0100 (the
// reader takes those bytes as Latin-1, whatever the code page), else UTF-16LE.
struct TBiffString {
    bool Wide = false;
    std::size_t Chars = 0;  // UTF-16 code units
    std::string Bytes;
};
TBiffString EncodeBiffString(std::string_view utf8);

}  // namespace tavlor::workbook::detail
