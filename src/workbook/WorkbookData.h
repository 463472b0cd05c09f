#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What a workbook holds in memory, shared by the sheets and read by the file writers.
// Not for the callers of the workbook: use Workbook.h.
namespace tavlor::workbook {

struct TFont {
    std::string Name = "Arial";
    double Size = 10;  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::optional<std::uint32_t> Color;  // 0xRRGGBB; none means automatic

    bool operator==(const TFont&) const = default;
};

enum class THAlign : std::uint8_t { General, Left, Center, Right };
enum class TVAlign : std::uint8_t { Bottom, Center, Top };

namespace detail {

enum class TCellKind : std::uint8_t { Blank, Text, Number, Date };

// Alignment and wrapping packed in one byte: horizontal in bits 0-1, vertical in
// bits 2-3, wrap in bit 4. Zero is the default look.
inline constexpr std::uint8_t kHAlignMask = 0x03;
inline constexpr std::uint8_t kVAlignShift = 2;
inline constexpr std::uint8_t kVAlignMask = 0x0C;
inline constexpr std::uint8_t kWrapBit = 0x10;

inline THAlign HAlignOf(std::uint8_t align) {
    return static_cast<THAlign>(align & kHAlignMask);
}
inline TVAlign VAlignOf(std::uint8_t align) {
    return static_cast<TVAlign>((align & kVAlignMask) >> kVAlignShift);
}
inline bool WrapOf(std::uint8_t align) {
    return (align & kWrapBit) != 0;
}

// 16 bytes: a large sheet holds over a million of them.
struct TCell {
    union {
        double Number;       // Number, Date
        std::uint32_t Text;  // Text: index in TBookData::Strings
    };
    std::uint16_t Col = 0;     // from 0
    std::uint16_t Font = 0;    // index in TBookData::Fonts, 0 being the default font
    std::uint16_t Format = 0;  // index in TBookData::Formats, 0 meaning none of its own
    TCellKind Kind = TCellKind::Blank;
    std::uint8_t Align = 0;

    TCell() : Number(0) {}
};
static_assert(sizeof(TCell) == 16);

struct TColumn {
    double Width = -1;  // characters; negative when not set
    std::uint16_t Format = 0;
};

// Fonts, number formats and texts, shared by every sheet of a workbook so that the
// file holds each once.
struct TBookData {
    std::vector<TFont> Fonts{TFont{}};
    std::vector<std::string> Formats{std::string()};
    std::vector<std::string_view> Strings;  // views of the keys of StringIndex
    std::unordered_map<std::string, std::uint32_t> StringIndex;
    std::uint16_t DateFormat = 0;  // format of date cells without one of their own, once needed

    // The last look-ups, since consecutive cells mostly repeat them.
    std::uint16_t LastFont = 0;
    std::uint16_t LastFormat = 0;

    std::uint16_t InternFont(const TFont& font);
    std::uint16_t InternFormat(std::string_view format);
    std::uint32_t InternString(std::string&& text);
};

// The cells of a row, sorted by column, in storage owned by the sheet's arena.
struct TRow {
    TCell* Cells = nullptr;
    std::uint32_t Size = 0;
    std::uint32_t Capacity = 0;

    bool empty() const { return Size == 0; }
    std::size_t size() const { return Size; }
    const TCell* begin() const { return Cells; }
    const TCell* end() const { return Cells + Size; }
    const TCell& front() const { return Cells[0]; }
};

// Cells of a sheet in large blocks: one allocation per few thousand cells rather
// than one per row. A row that grows moves to new room, the old one is left.
class TCellArena {
public:
    TCell* Allocate(std::size_t count) {
        if (count > Left_) {
            const std::size_t size = count > kBlockCells ? count : kBlockCells;
            Blocks_.push_back(std::make_unique<TCell[]>(size));
            Next_ = Blocks_.back().get();
            Left_ = size;
        }
        TCell* cells = Next_;
        Next_ += count;
        Left_ -= count;
        return cells;
    }

private:
    static constexpr std::size_t kBlockCells = 4096;
    std::vector<std::unique_ptr<TCell[]>> Blocks_;
    TCell* Next_ = nullptr;
    std::size_t Left_ = 0;
};

struct TSheetData {
    std::string Name;
    std::vector<TRow> Rows;                   // by row from 0
    std::vector<TColumn> Columns;             // by column from 0, as far as one was set
    std::map<int, std::uint16_t> RowHeights;  // twips, by row from 0, for the rows given one
    int ColCount = 0;
    TCellArena Arena;
};

// The number format a cell is shown with: its own, else its column's, else the
// default date format for a date; 0 when none.
inline std::uint16_t EffectiveFormat(const TBookData& book, const TSheetData& sheet, const TCell& cell) {
    if (cell.Format != 0) {
        return cell.Format;
    }
    if (cell.Col < sheet.Columns.size() && sheet.Columns[cell.Col].Format != 0) {
        return sheet.Columns[cell.Col].Format;
    }
    return cell.Kind == TCellKind::Date ? book.DateFormat : 0;
}

}  // namespace detail
}  // namespace tavlor::workbook
