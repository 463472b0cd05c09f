#include "export/Ds2Xls.h"

#include <cctype>

namespace tavlor {

namespace {

workbook::TFont ArialTen(bool bold) {
    workbook::TFont font;
    font.Name = "Arial";
    font.Size = 10;
    font.Bold = bold;
    return font;
}

// A field's width in characters when nothing more is known of it.
double DisplayWidth(const TFieldDef& field) {
    return field.Type == TFieldType::String && field.Size > 0 ? field.Size : 10;
}

}  // namespace

workbook::TSheet& TDs2Xls::NewSheet(TTable& table, const std::string& name, const std::vector<int>& fields) {
    workbook::TSheet& sheet = Book_->AddSheet(name);
    int col = 1;
    for (int f : fields) {
        const TFieldDef& field = table.Fields()[f];
        sheet.SetText(1, col, field.Label());
        sheet.SetFont(1, col, ArialTen(true));
        sheet.SetHAlign(1, col, workbook::THAlign::Center);
        sheet.SetVAlign(1, col, workbook::TVAlign::Center);
        sheet.SetColumnWidth(col, DisplayWidth(field));
        if (AfterHeaderCell) {
            AfterHeaderCell(sheet, 1, col, field);
        }
        ++col;
    }
    return sheet;
}

void TDs2Xls::Export(TTable& table, const std::string& sheetName) {
    if (!Book_) {
        Book_ = std::make_unique<workbook::TWorkbook>();
    }
    std::vector<int> fields;
    for (int f = 0; f < static_cast<int>(table.Fields().size()); ++f) {
        if (table.Fields()[f].Visible) {
            fields.push_back(f);
        }
    }
    TControlsDisabled quiet(table);
    const TBookmark current = table.Bookmark();
    struct TBackToCurrent {
        TTable& Table;
        TBookmark Mark;
        ~TBackToCurrent() {
            if (Mark != 0) {
                Table.GotoBookmark(Mark);
            }
        }
    } back{table, current};

    workbook::TSheet* sheet = &NewSheet(table, sheetName, fields);
    int row = 1;
    const workbook::TFont dataFont = ArialTen(false);
    for (table.First(); !table.Eof(); table.Next()) {
        if (row == RowsPerSheet) {
            // Past the rows a sheet can hold: a further sheet of the same name.
            sheet = &NewSheet(table, sheetName, fields);
            row = 1;
        }
        ++row;
        int col = 1;
        for (int f : fields) {
            const TFieldDef& field = table.Fields()[f];
            const TValue value = table.Value(f);
            if (field.Type == TFieldType::String) {
                // Texts, looked-up names included, go out as shown.
                const std::string text = table.DisplayText(f);
                if (text.empty()) {
                    sheet->SetEmpty(row, col);
                } else {
                    sheet->SetText(row, col, text);
                }
                sheet->SetHAlign(row, col, workbook::THAlign::Left);
            } else if (IsNull(value)) {
                sheet->SetEmpty(row, col);
                sheet->SetHAlign(
                    row, col, field.Type == TFieldType::DateTime ? workbook::THAlign::Left : workbook::THAlign::Right);
            } else if (field.Type == TFieldType::DateTime) {
                sheet->SetDate(row, col, ValueAsFloat(value));
                sheet->SetHAlign(row, col, workbook::THAlign::Left);
            } else {
                sheet->SetNumber(row, col, ValueAsFloat(value));
                sheet->SetHAlign(row, col, workbook::THAlign::Right);
            }
            sheet->SetFont(row, col, dataFont);
            if (AfterDetailCell) {
                AfterDetailCell(*sheet, row, col, field);
            }
            ++col;
        }
    }
}

void TDs2Xls::Save(const std::string& path) const {
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : tail) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (tail == ".htm" || tail == "html") {
        Book_->SaveHtml(path);
    } else {
        Book_->SaveXls(path);
    }
}

}  // namespace tavlor
