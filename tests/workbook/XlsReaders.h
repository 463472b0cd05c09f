#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Independent readers of the files the workbook writes: FreeXL (linked in) and
// xlrd (through the system's Python), plus a scratch folder.
namespace tavlor::workbook::test {

// A fresh folder, removed with everything in it at the end of the test.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string Path(const std::string& name) const { return (Dir / name).string(); }
    std::vector<std::string> Files() const;  // names, sorted

    std::filesystem::path Dir;
};

std::string ReadFile(const std::string& path);

// ---- xlrd ----

struct TXlrdCell {
    std::string Type;  // text, number, date, blank, boolean, error
    std::string Value;
    std::string Format;
    bool Bold = false;
    bool Italic = false;
    int Underline = 0;
    bool Struck = false;
    std::string FontName;
    int Height = 0;      // twips
    std::string Colour;  // rrggbb or "auto"
    int HAlign = 0;      // 0 general, 1 left, 2 centre, 3 right
    int VAlign = 0;      // 0 top, 1 centre, 2 bottom
    bool Wrap = false;

    double Number() const { return std::stod(Value); }
};

struct TXlrdColumn {
    int Width = 0;  // 1/256 of a character
    std::string Format;
};

// A row's own record, when the file has one for it.
struct TXlrdRow {
    int Height = 0;  // twips
    bool DefaultHeight = false;
    bool HeightMismatch = false;  // set by hand, not from the fonts
};

struct TXlrdSheet {
    std::string Name;
    int Rows = 0;
    int Cols = 0;
    std::map<std::pair<int, int>, TXlrdCell> Cells;  // (row, column) from 0
    std::map<int, TXlrdColumn> Columns;
    std::map<int, TXlrdRow> RowInfo;  // by row from 0

    // Throws when there is no such cell.
    const TXlrdCell& At(int row, int col) const;
    bool Has(int row, int col) const { return Cells.count({row, col}) != 0; }
};

struct TXlrdBook {
    int DateMode = -1;
    int Xfs = 0;
    int Fonts = 0;  // the missing font 4 included
    int FormatRecords = 0;
    std::vector<TXlrdSheet> Sheets;
};

// With rowLimit >= 0, only the first rowLimit rows and the last row of each sheet
// are read back. Throws std::runtime_error with xlrd's output when it fails.
TXlrdBook ReadWithXlrd(const std::string& path, int rowLimit = -1);

// ---- FreeXL ----

struct TFreeXlCell {
    int Type = 0;  // FREEXL_CELL_*
    int Int = 0;
    double Double = 0;
    std::string Text;  // texts, dates as yyyy-mm-dd
};

class TFreeXl {
public:
    // Throws std::runtime_error with FreeXL's code when it cannot read the file.
    explicit TFreeXl(const std::string& path);
    ~TFreeXl();
    TFreeXl(const TFreeXl&) = delete;
    TFreeXl& operator=(const TFreeXl&) = delete;

    unsigned Info(unsigned short what) const;
    int SheetCount() const;
    std::string SheetName(int sheet) const;
    // Selects the sheet whose cells Cell reads; gives its rows and columns.
    std::pair<unsigned, unsigned> Select(int sheet);
    TFreeXlCell Cell(unsigned row, unsigned col) const;

private:
    const void* Handle_ = nullptr;
};

}  // namespace tavlor::workbook::test
