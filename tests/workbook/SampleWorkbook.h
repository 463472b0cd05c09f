#pragma once

#include "workbook/Workbook.h"

#include <string>

// A workbook laid out the way the export lays out a ranking: a bold, centred,
// wrapped header row, column widths and formats per field type, data cells in
// the regular font, numbers to the right, texts and dates to the left, then
// dates and licences centred.
namespace tavlor::workbook::test {

inline constexpr double kDate20040506 = 38113;  // days since 1899-12-30

inline const std::string kAccentedName = "Hervé Lœb 5 €";  // é is Latin-1, œ and € are not
inline const std::string kEscapedName = "Zoé <Tom & Jerry's \"show\">";

inline TFont HeaderFont() {
    TFont font;
    font.Bold = true;
    return font;
}

inline void Header(TSheet& sheet, int col, const std::string& label, double width, const std::string& columnFormat) {
    sheet.SetText(1, col, label);
    sheet.SetFont(1, col, HeaderFont());
    sheet.SetHAlign(1, col, THAlign::Center);
    sheet.SetVAlign(1, col, TVAlign::Center);
    sheet.SetColumnWidth(col, width);
    sheet.SetWrap(1, col, true);
    if (!columnFormat.empty()) {
        sheet.SetColumnNumberFormat(col, columnFormat);
    }
}

inline void Data(TSheet& sheet, int row, int col, bool number) {
    sheet.SetFont(row, col, TFont{});
    sheet.SetHAlign(row, col, number ? THAlign::Right : THAlign::Left);
}

inline void NumberCell(TSheet& sheet, int row, int col, double value) {
    sheet.SetNumber(row, col, value);
    Data(sheet, row, col, true);
}

inline void EmptyCell(TSheet& sheet, int row, int col) {
    sheet.SetEmpty(row, col);
    Data(sheet, row, col, true);
}

inline void TextCell(TSheet& sheet, int row, int col, const std::string& text) {
    sheet.SetText(row, col, text);
    Data(sheet, row, col, false);
}

inline void LicenceCell(TSheet& sheet, int row, int col, double licence) {
    NumberCell(sheet, row, col, licence);
    sheet.SetHAlign(row, col, THAlign::Center);
}

inline void DateCell(TSheet& sheet, int row, int col, double date) {
    sheet.SetDate(row, col, date);
    Data(sheet, row, col, false);
    sheet.SetNumberFormat(row, col, "dd/mm/yyyy");
    sheet.SetHAlign(row, col, THAlign::Center);
}

// Sheet "Classement": Classt phase | Licence | Joueur | Taux victoire | Pts match |
// Moyenne (3.10) | Date match, a full row and a row of empty figures; sheet
// "Matchs de Hervé" with one row.
inline TWorkbook SampleWorkbook() {
    TWorkbook book;
    TSheet& players = book.AddSheet("Classement");
    Header(players, 1, "Classt phase", 8, "");
    Header(players, 2, "Licence", 8, "000000");
    Header(players, 3, "Joueur", 25, "");
    Header(players, 4, "Taux victoire", 10, "0 %");
    Header(players, 5, "Pts match", 10, "#,##0.0");
    Header(players, 6, "Moyenne (3.10)", 10, "#,##0.000");
    Header(players, 7, "Date match", 11, "");

    NumberCell(players, 2, 1, 1);
    LicenceCell(players, 2, 2, 1234);
    TextCell(players, 2, 3, kAccentedName);
    NumberCell(players, 2, 4, 0.6667);
    NumberCell(players, 2, 5, 1234.5);
    NumberCell(players, 2, 6, 0.6667);
    DateCell(players, 2, 7, kDate20040506);

    NumberCell(players, 3, 1, 2);
    LicenceCell(players, 3, 2, 98765);
    TextCell(players, 3, 3, kEscapedName);
    for (int col = 4; col <= 7; ++col) {
        EmptyCell(players, 3, col);
    }

    TSheet& matches = book.AddSheet("Matchs de Hervé");
    Header(matches, 1, "No Phase", 8, "");
    Header(matches, 2, "Moy J1", 10, "#,##0.000");
    NumberCell(matches, 2, 1, 3);
    NumberCell(matches, 2, 2, 2.675);
    return book;
}

}  // namespace tavlor::workbook::test
