#pragma once

#include "model/Table.h"
#include "workbook/Workbook.h"

#include <functional>
#include <memory>
#include <string>

namespace tavlor {

// The table exporter: turns a table into sheets of a workbook, the header
// row from the visible fields' labels, then the rows in the table's order;
// after each header and data cell, a hook completes its format.
class TDs2Xls {
public:
    static constexpr int RowsPerSheet = 65535;  // header row included

    using TCellHook = std::function<void(workbook::TSheet& sheet, int row, int col, const TFieldDef& field)>;
    TCellHook AfterHeaderCell;
    TCellHook AfterDetailCell;

    // Adds the sheet (and its continuation sheets past RowsPerSheet rows) to
    // the current workbook, created if there is none.
    void Export(TTable& table, const std::string& sheetName);
    bool HasWorkbook() const { return Book_ != nullptr; }
    workbook::TWorkbook& Workbook() { return *Book_; }
    // Saved as an HTML page when the name ends with ".htm" or "html"
    // (case ignored), as an Excel 97-2003 workbook otherwise.
    void Save(const std::string& path) const;
    void Drop() { Book_.reset(); }
    // Hands the current workbook over (null when there is none).
    std::unique_ptr<workbook::TWorkbook> Take() { return std::move(Book_); }

private:
    workbook::TSheet& NewSheet(TTable& table, const std::string& name, const std::vector<int>& fields);
    std::unique_ptr<workbook::TWorkbook> Book_;
};

}  // namespace tavlor
