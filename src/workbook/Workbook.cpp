#include "workbook/Workbook.h"

#include "text/Cp1252.h"
#include "text/Error.h"
#include "workbook/Unicode.h"
#include "workbook/WorkbookMessages.h"

#include <algorithm>
#include <cmath>

namespace tavlor::workbook {

namespace {

constexpr std::size_t MaxTextLength = 32767;  // characters a spreadsheet cell holds
constexpr std::size_t MaxSheetNameLength = 31;
// Ids stay below 0xFFFF so that they fit the cell's 16-bit fields.
constexpr std::size_t MaxTableSize = 0xFFFF;

// Restricts a text to what Windows-1252 holds, as everywhere else in the program;
// a text already within it is kept as it is, without a copy.
std::string InCp1252Range(std::string&& s) {
    if (detail::IsCp1252Utf8(s)) {
        return std::move(s);
    }
    return text::ToCp1252Range(s);
}

std::u32string Folded(std::u32string s) {
    for (char32_t& c : s) {
        c = detail::FoldCase(c);
    }
    return s;
}

std::string ToUtf8(const std::u32string& s) {
    std::string out;
    for (const char32_t c : s) {
        detail::AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

// ---- TBookData ----

namespace detail {

std::uint16_t TBookData::InternFont(const TFont& font) {
    if (Fonts[LastFont] == font) {
        return LastFont;
    }
    const auto found = std::find(Fonts.begin(), Fonts.end(), font);
    if (found != Fonts.end()) {
        LastFont = static_cast<std::uint16_t>(found - Fonts.begin());
        return LastFont;
    }
    if (Fonts.size() >= MaxTableSize) {
        throw Error(msg::workbook::TooManyCellFormats(MaxTableSize));
    }
    Fonts.push_back(font);
    LastFont = static_cast<std::uint16_t>(Fonts.size() - 1);
    return LastFont;
}

std::uint16_t TBookData::InternFormat(std::string_view format) {
    if (Formats[LastFormat] == format) {
        return LastFormat;
    }
    const auto found = std::find(Formats.begin(), Formats.end(), format);
    if (found != Formats.end()) {
        LastFormat = static_cast<std::uint16_t>(found - Formats.begin());
        return LastFormat;
    }
    if (Formats.size() >= MaxTableSize) {
        throw Error(msg::workbook::TooManyCellFormats(MaxTableSize));
    }
    Formats.emplace_back(format);
    LastFormat = static_cast<std::uint16_t>(Formats.size() - 1);
    return LastFormat;
}

std::uint32_t TBookData::InternString(std::string&& text) {
    const auto [at, inserted] = StringIndex.try_emplace(std::move(text), static_cast<std::uint32_t>(Strings.size()));
    if (inserted) {
        Strings.push_back(at->first);
    }
    return at->second;
}

}  // namespace detail

// ---- TSheet ----

TSheet::TSheet(detail::TBookData& book, std::string name) : Book_(book) {
    Data_.Name = std::move(name);
}

detail::TCell& TSheet::Cell(int row, int col) {
    if (row < 1 || row > MaxRows || col < 1 || col > MaxCols) {
        throw Error(msg::workbook::CellOutOfSheet(row, col));
    }
    const auto r = static_cast<std::size_t>(row - 1);
    const auto c = static_cast<std::uint16_t>(col - 1);
    if (r >= Data_.Rows.size()) {
        Data_.Rows.resize(r + 1);
    }
    detail::TRow& cells = Data_.Rows[r];
    std::size_t at = cells.Size;
    if (cells.Size > 0 && cells.Cells[cells.Size - 1].Col >= c) {
        if (cells.Cells[cells.Size - 1].Col == c) {
            return cells.Cells[cells.Size - 1];  // the usual case: several settings of the cell just added
        }
        const detail::TCell* found =
            std::lower_bound(cells.Cells, cells.Cells + cells.Size, c,
                             [](const detail::TCell& x, std::uint16_t k) { return x.Col < k; });
        at = static_cast<std::size_t>(found - cells.Cells);
        if (found->Col == c) {
            return cells.Cells[at];
        }
    }
    if (cells.Size == cells.Capacity) {
        // Rows of a table are alike: room for a whole row at once.
        const std::size_t capacity = std::max<std::size_t>(
            {std::size_t{cells.Capacity} * 2, static_cast<std::size_t>(std::max(Data_.ColCount, col)), 4});
        detail::TCell* room = Data_.Arena.Allocate(capacity);
        std::copy(cells.Cells, cells.Cells + cells.Size, room);
        cells.Cells = room;
        cells.Capacity = static_cast<std::uint32_t>(capacity);
    }
    std::copy_backward(cells.Cells + at, cells.Cells + cells.Size, cells.Cells + cells.Size + 1);
    cells.Cells[at] = detail::TCell();
    cells.Cells[at].Col = c;
    ++cells.Size;
    Data_.ColCount = std::max(Data_.ColCount, col);
    return cells.Cells[at];
}

detail::TColumn& TSheet::Column(int col) {
    if (col < 1 || col > MaxCols) {
        throw Error(msg::workbook::ColumnOutOfSheet(col));
    }
    if (static_cast<std::size_t>(col) > Data_.Columns.size()) {
        Data_.Columns.resize(static_cast<std::size_t>(col));
    }
    return Data_.Columns[static_cast<std::size_t>(col - 1)];
}

void TSheet::SetText(int row, int col, std::string utf8) {
    detail::TCell& cell = Cell(row, col);
    std::string text = InCp1252Range(std::move(utf8));
    if (text.size() > MaxTextLength) {
        text = text::Left(text, MaxTextLength);
    }
    if (text.empty()) {
        // Readers reject an empty shared string; an empty text is no value.
        cell.Kind = detail::TCellKind::Blank;
        cell.Number = 0;
        return;
    }
    cell.Text = Book_.InternString(std::move(text));
    cell.Kind = detail::TCellKind::Text;
}

void TSheet::SetNumber(int row, int col, double value) {
    detail::TCell& cell = Cell(row, col);
    cell.Number = value;
    cell.Kind = detail::TCellKind::Number;
}

void TSheet::SetDate(int row, int col, double dateTime) {
    detail::TCell& cell = Cell(row, col);
    if (Book_.DateFormat == 0) {
        const std::uint16_t last = Book_.LastFormat;
        Book_.DateFormat = Book_.InternFormat("dd/mm/yyyy");
        Book_.LastFormat = last;
    }
    cell.Number = dateTime;
    cell.Kind = detail::TCellKind::Date;
}

void TSheet::SetEmpty(int row, int col) {
    detail::TCell& cell = Cell(row, col);
    cell.Number = 0;
    cell.Kind = detail::TCellKind::Blank;
}

void TSheet::SetFont(int row, int col, const TFont& font) {
    detail::TCell& cell = Cell(row, col);
    cell.Font = Book_.InternFont(font);
}

void TSheet::SetHAlign(int row, int col, THAlign align) {
    detail::TCell& cell = Cell(row, col);
    cell.Align = static_cast<std::uint8_t>((cell.Align & ~detail::kHAlignMask) | static_cast<std::uint8_t>(align));
}

void TSheet::SetVAlign(int row, int col, TVAlign align) {
    detail::TCell& cell = Cell(row, col);
    cell.Align = static_cast<std::uint8_t>((cell.Align & ~detail::kVAlignMask) |
                                           (static_cast<std::uint8_t>(align) << detail::kVAlignShift));
}

void TSheet::SetWrap(int row, int col, bool wrap) {
    detail::TCell& cell = Cell(row, col);
    cell.Align = static_cast<std::uint8_t>(wrap ? cell.Align | detail::kWrapBit : cell.Align & ~detail::kWrapBit);
}

void TSheet::SetNumberFormat(int row, int col, const std::string& format) {
    detail::TCell& cell = Cell(row, col);
    cell.Format = Book_.InternFormat(format);
}

void TSheet::SetColumnWidth(int col, double characters) {
    detail::TColumn& column = Column(col);
    column.Width = characters > 0 ? std::min(characters, MaxColumnWidth) : 0;
}

double TSheet::ColumnWidth(int col) const {
    if (col < 1 || col > MaxCols) {
        throw Error(msg::workbook::ColumnOutOfSheet(col));
    }
    const auto c = static_cast<std::size_t>(col - 1);
    return c < Data_.Columns.size() && Data_.Columns[c].Width >= 0 ? Data_.Columns[c].Width : DefaultColumnWidth;
}

void TSheet::SetRowHeight(int row, double points) {
    if (row < 1 || row > MaxRows) {
        throw Error(msg::workbook::RowOutOfSheet(row));
    }
    const double twips = std::clamp(points, 0.0, MaxRowHeight) * 20;
    Data_.RowHeights[row - 1] = static_cast<std::uint16_t>(std::lround(twips));
}

double TSheet::RowHeight(int row) const {
    if (row < 1 || row > MaxRows) {
        throw Error(msg::workbook::RowOutOfSheet(row));
    }
    const auto found = Data_.RowHeights.find(row - 1);
    return found == Data_.RowHeights.end() ? DefaultRowHeight : found->second / 20.0;
}

void TSheet::SetColumnNumberFormat(int col, const std::string& format) {
    detail::TColumn& column = Column(col);
    column.Format = Book_.InternFormat(format);
}

// ---- TWorkbook ----

TWorkbook::TWorkbook() : Book_(std::make_unique<detail::TBookData>()) {}
TWorkbook::~TWorkbook() = default;
TWorkbook::TWorkbook(TWorkbook&&) noexcept = default;
TWorkbook& TWorkbook::operator=(TWorkbook&&) noexcept = default;

TSheet& TWorkbook::AddSheet(const std::string& name) {
    std::vector<std::string> used;
    used.reserve(Sheets_.size());
    for (const auto& sheet : Sheets_) {
        used.push_back(sheet->Name());
    }
    Sheets_.push_back(std::make_unique<TSheet>(*Book_, ValidSheetName(name, used)));
    return *Sheets_.back();
}

TSheet& TWorkbook::Sheet(std::size_t index) {
    if (index >= Sheets_.size()) {
        throw Error(msg::workbook::NoSuchSheet(index));
    }
    return *Sheets_[index];
}

const TSheet& TWorkbook::Sheet(std::size_t index) const {
    if (index >= Sheets_.size()) {
        throw Error(msg::workbook::NoSuchSheet(index));
    }
    return *Sheets_[index];
}

std::vector<const detail::TSheetData*> TWorkbook::SheetData() const {
    std::vector<const detail::TSheetData*> out;
    out.reserve(Sheets_.size());
    for (const auto& sheet : Sheets_) {
        out.push_back(&sheet->Data());
    }
    return out;
}

std::string ValidSheetName(const std::string& name, const std::vector<std::string>& used) {
    std::u32string chars = detail::DecodeUtf8(text::ToCp1252Range(name));
    for (char32_t& c : chars) {
        if (c == U':' || c == U'\\' || c == U'/' || c == U'?' || c == U'*' || c == U'[' || c == U']') {
            c = U'_';
        }
    }
    if (chars.size() > MaxSheetNameLength) {
        chars.resize(MaxSheetNameLength);
    }
    // The spreadsheet refuses a name that begins or ends with an apostrophe.
    if (!chars.empty() && chars.front() == U'\'') {
        chars.front() = U'_';
    }
    if (!chars.empty() && chars.back() == U'\'') {
        chars.back() = U'_';
    }
    if (chars.empty()) {
        chars = detail::DecodeUtf8(msg::workbook::DefaultSheetName);
    }

    std::vector<std::u32string> taken;
    taken.reserve(used.size());
    for (const std::string& u : used) {
        taken.push_back(Folded(detail::DecodeUtf8(u)));
    }
    const auto isTaken = [&](const std::u32string& candidate) {
        return std::find(taken.begin(), taken.end(), Folded(candidate)) != taken.end();
    };
    if (!isTaken(chars)) {
        return ToUtf8(chars);
    }
    for (std::size_t n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::u32string candidate = chars.substr(0, MaxSheetNameLength - suffix.size());
        candidate.append(suffix.begin(), suffix.end());
        if (!isTaken(candidate)) {
            return ToUtf8(candidate);
        }
    }
}

}  // namespace tavlor::workbook
