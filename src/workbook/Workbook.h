#pragma once

#include "workbook/WorkbookData.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A spreadsheet workbook built in memory and saved as an Excel 97-2003 workbook
// (.xls) or as an HTML page. Text is UTF-8 restricted to what Windows-1252 can
// hold: any other character is kept as "?".
namespace tavlor::workbook {

class TSheet {
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxCols = 256;
    static constexpr double MaxColumnWidth = 255;

    // Sheets are made by TWorkbook::AddSheet.
    TSheet(detail::TBookData& book, std::string name);
    TSheet(const TSheet&) = delete;
    TSheet& operator=(const TSheet&) = delete;

    const std::string& Name() const { return Data_.Name; }

    // Cells by row and column counted from 1; beyond MaxRows or MaxCols, throw
    // tavlor::Error. A text is cut at 32767 characters; an empty text leaves the
    // cell without a value.
    void SetText(int row, int col, std::string utf8);
    // A value that is not finite shows as an error (#NUM!, "#NOMBRE!" on the page).
    void SetNumber(int row, int col, double value);
    // Days since 1899-12-30, shown as "dd/mm/yyyy" unless the cell or its column
    // has a number format.
    void SetDate(int row, int col, double dateTime);
    // No value; the cell keeps its formats.
    void SetEmpty(int row, int col);

    void SetFont(int row, int col, const TFont& font);
    void SetHAlign(int row, int col, THAlign align);
    void SetVAlign(int row, int col, TVAlign align);
    void SetWrap(int row, int col, bool wrap);
    // An Excel number format in its English form ("#,##0.000", "0 %", "dd/mm/yyyy");
    // "" removes the cell's own format.
    void SetNumberFormat(int row, int col, const std::string& format);

    // Width in characters of the standard font, capped at MaxColumnWidth.
    void SetColumnWidth(int col, double characters);
    // The width set, or DefaultColumnWidth.
    double ColumnWidth(int col) const;
    static constexpr double DefaultColumnWidth = 8;

    // Height in points, rounded to the twentieth and capped at MaxRowHeight; a
    // row without one has the height of a line of the standard font.
    void SetRowHeight(int row, double points);
    // The height set, or DefaultRowHeight.
    double RowHeight(int row) const;
    static constexpr double DefaultRowHeight = 12.75;
    static constexpr double MaxRowHeight = 409;
    // Applies to the column's cells without a format of their own.
    void SetColumnNumberFormat(int col, const std::string& format);

    // The highest row and column holding a cell (a value or formats); 0 when none.
    int RowCount() const { return static_cast<int>(Data_.Rows.size()); }
    int ColCount() const { return Data_.ColCount; }

    // For the file writers.
    const detail::TSheetData& Data() const { return Data_; }

private:
    detail::TCell& Cell(int row, int col);
    detail::TColumn& Column(int col);

    detail::TBookData& Book_;
    detail::TSheetData Data_;
};

class TWorkbook {
public:
    TWorkbook();
    ~TWorkbook();
    TWorkbook(TWorkbook&&) noexcept;
    TWorkbook& operator=(TWorkbook&&) noexcept;

    // Adds a sheet at the end, its name made valid for the file format: the
    // characters : \ / ? * [ ] become "_", as does an apostrophe at either end;
    // the name is cut to 31 characters; an empty name becomes "Feuille"; a name
    // already used (ignoring case) gets " (2)", " (3)"..., cut first so that the
    // suffix fits. Sheet(i).Name() tells the name given.
    TSheet& AddSheet(const std::string& name);
    std::size_t SheetCount() const { return Sheets_.size(); }
    // Throws tavlor::Error when there is no such sheet.
    TSheet& Sheet(std::size_t index);
    const TSheet& Sheet(std::size_t index) const;

    // Each writes a temporary file in the target's folder and renames it over the
    // target, so that a failure never leaves a half-written file; a failure throws
    // tavlor::Error naming the file.
    void SaveXls(const std::string& path) const;
    void SaveHtml(const std::string& path) const;

    // The file contents, as saved (SaveHtml titles the page with the file's name).
    std::string XlsBytes() const;
    std::string HtmlText(const std::string& title) const;

    // For the file writers.
    const detail::TBookData& Data() const { return *Book_; }
    std::vector<const detail::TSheetData*> SheetData() const;

private:
    std::unique_ptr<detail::TBookData> Book_;
    std::vector<std::unique_ptr<TSheet>> Sheets_;
};

// The name AddSheet gives, `used` holding the names already in the workbook.
std::string ValidSheetName(const std::string& name, const std::vector<std::string>& used);

}  // namespace tavlor::workbook
