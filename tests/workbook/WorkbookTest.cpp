// The workbook in memory: cells, their order, texts.
#include "text/Cp1252.h"
#include "workbook/Workbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlor::workbook {
namespace {

std::vector<int> Columns(const TSheet& sheet, int row) {
    std::vector<int> cols;
    for (const detail::TCell& cell : sheet.Data().Rows.at(static_cast<std::size_t>(row - 1))) {
        cols.push_back(cell.Col + 1);
    }
    return cols;
}

TEST(Workbook, CellsStayInColumnOrderWhateverTheOrderTheyAreSetIn) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Ordre");
    for (int col = 1; col <= 5; ++col) {
        sheet.SetNumber(1, col, col);
    }
    // A second row set backwards, then filled in the middle once full.
    for (int col = 40; col >= 1; col -= 3) {
        sheet.SetNumber(2, col, col);
    }
    sheet.SetNumber(2, 2, 2);
    sheet.SetNumber(2, 41, 41);
    sheet.SetText(2, 40, "quarante");  // an existing cell keeps its place

    EXPECT_EQ(Columns(sheet, 1), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Columns(sheet, 2), (std::vector<int>{1, 2, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 34, 37, 40, 41}));
    for (const detail::TCell& cell : sheet.Data().Rows[1]) {
        if (cell.Kind == detail::TCellKind::Number) {
            EXPECT_EQ(cell.Number, cell.Col + 1);
        }
    }
    EXPECT_EQ(sheet.RowCount(), 2);
    EXPECT_EQ(sheet.ColCount(), 41);

    // Rows and columns left out count for nothing but the highest.
    sheet.SetFont(9, 3, TFont{});
    EXPECT_EQ(sheet.RowCount(), 9);
    EXPECT_TRUE(sheet.Data().Rows[5].empty());
    EXPECT_EQ(book.AddSheet("Vide").RowCount(), 0);
    EXPECT_EQ(book.Sheet(1).ColCount(), 0);
}

TEST(Workbook, TextsAreKeptWithinWindows1252) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Textes");
    // Every character of the code page goes in as it is.
    for (int b = 1; b < 256; ++b) {
        const std::string utf8 = text::Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        sheet.SetText(b, 1, utf8);
        const detail::TCell& cell = sheet.Data().Rows[static_cast<std::size_t>(b - 1)].front();
        ASSERT_EQ(cell.Kind, detail::TCellKind::Text) << b;
        ASSERT_EQ(book.Data().Strings[cell.Text], utf8) << b;
    }
    // Anything else becomes "?", as everywhere in the program.
    const std::string outside[] = {"\xCE\xA9 ohm", "bad \xC3", "\xE2\x82", "\xF0\x9F\x98\x80!"};
    for (const std::string& s : outside) {
        sheet.SetText(300, 1, s);
        const detail::TCell& cell = sheet.Data().Rows[299].front();
        EXPECT_EQ(book.Data().Strings[cell.Text], text::ToCp1252Range(s)) << s;
    }
    // The same text is held once.
    sheet.SetText(301, 1, "Joueur");
    sheet.SetText(302, 2, std::string("Joueur"));
    EXPECT_EQ(sheet.Data().Rows[300].front().Text, sheet.Data().Rows[301].front().Text);
}

TEST(Workbook, ValidSheetNameAlone) {
    EXPECT_EQ(ValidSheetName("Matchs de Dupont", {}), "Matchs de Dupont");
    EXPECT_EQ(ValidSheetName("Matchs", {"matchs", "Matchs (2)"}), "Matchs (3)");
    EXPECT_EQ(ValidSheetName("", {"Feuille"}), "Feuille (2)");
    EXPECT_EQ(ValidSheetName("'", {}), "_");
    EXPECT_EQ(ValidSheetName("Ω", {}), "_");  // "?" first, then made valid
}

}  // namespace
}  // namespace tavlor::workbook
