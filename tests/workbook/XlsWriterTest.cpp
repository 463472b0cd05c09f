// Workbooks saved as .xls and read back by two independent readers.
#include "SampleWorkbook.h"
#include "XlsReaders.h"

#include "text/Error.h"
#include "workbook/Workbook.h"

#include <freexl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace tavlor::workbook::test {
namespace {

std::uint32_t Le32At(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

TEST(XlsWriter, ExportLayoutReadsBackWithXlrd) {
    TTempDir dir;
    const std::string path = dir.Path("export.xls");
    SampleWorkbook().SaveXls(path);
    const TXlrdBook book = ReadWithXlrd(path);

    EXPECT_EQ(book.DateMode, 0);
    ASSERT_EQ(book.Sheets.size(), 2u);
    const TXlrdSheet& players = book.Sheets[0];
    EXPECT_EQ(players.Name, "Classement");
    EXPECT_EQ(book.Sheets[1].Name, "Matchs de Hervé");
    EXPECT_EQ(players.Rows, 3);
    EXPECT_EQ(players.Cols, 7);

    // Header: bold Arial 10, centred both ways, wrapped.
    const char* labels[] = {"Classt phase", "Licence",        "Joueur",    "Taux victoire",
                            "Pts match",    "Moyenne (3.10)", "Date match"};
    for (int c = 0; c < 7; ++c) {
        const TXlrdCell& h = players.At(0, c);
        EXPECT_EQ(h.Type, "text");
        EXPECT_EQ(h.Value, labels[c]);
        EXPECT_TRUE(h.Bold) << labels[c];
        EXPECT_EQ(h.FontName, "Arial");
        EXPECT_EQ(h.Height, 200);
        EXPECT_EQ(h.HAlign, 2);
        EXPECT_EQ(h.VAlign, 1);
        EXPECT_TRUE(h.Wrap);
    }

    // Column widths in 1/256 of a character, column formats.
    const int widths[] = {8, 8, 25, 10, 10, 10, 11};
    for (int c = 0; c < 7; ++c) {
        ASSERT_TRUE(players.Columns.count(c)) << c;
        EXPECT_EQ(players.Columns.at(c).Width, widths[c] * 256) << c;
    }
    EXPECT_EQ(players.Columns.at(1).Format, "000000");
    EXPECT_EQ(players.Columns.at(3).Format, "0 %");
    EXPECT_EQ(players.Columns.at(4).Format, "#,##0.0");
    EXPECT_EQ(players.Columns.at(5).Format, "#,##0.000");
    EXPECT_EQ(players.Columns.at(2).Format, "General");

    // Data: regular font, the column's format, licences and dates centred.
    const TXlrdCell& rank = players.At(1, 0);
    EXPECT_EQ(rank.Type, "number");
    EXPECT_DOUBLE_EQ(rank.Number(), 1);
    EXPECT_FALSE(rank.Bold);
    EXPECT_EQ(rank.HAlign, 3);
    EXPECT_EQ(rank.Format, "General");

    const TXlrdCell& licence = players.At(1, 1);
    EXPECT_EQ(licence.Type, "number");
    EXPECT_DOUBLE_EQ(licence.Number(), 1234);
    EXPECT_EQ(licence.Format, "000000");
    EXPECT_EQ(licence.HAlign, 2);

    const TXlrdCell& name = players.At(1, 2);
    EXPECT_EQ(name.Type, "text");
    EXPECT_EQ(name.Value, kAccentedName);
    EXPECT_EQ(name.HAlign, 1);
    EXPECT_FALSE(name.Wrap);
    EXPECT_EQ(players.At(2, 2).Value, kEscapedName);

    const TXlrdCell& rate = players.At(1, 3);
    EXPECT_DOUBLE_EQ(rate.Number(), 0.6667);
    EXPECT_EQ(rate.Format, "0 %");
    EXPECT_EQ(players.At(1, 4).Format, "#,##0.0");
    EXPECT_EQ(players.At(1, 5).Format, "#,##0.000");

    const TXlrdCell& date = players.At(1, 6);
    EXPECT_EQ(date.Type, "date");
    EXPECT_DOUBLE_EQ(date.Number(), kDate20040506);
    EXPECT_EQ(date.Format, "dd/mm/yyyy");
    EXPECT_EQ(date.HAlign, 2);

    // Empty figures stay empty, with their formats.
    for (int c = 3; c < 7; ++c) {
        EXPECT_EQ(players.At(2, c).Type, "blank") << c;
    }
    EXPECT_EQ(players.At(2, 3).Format, "0 %");

    const TXlrdCell& average = book.Sheets[1].At(1, 1);
    EXPECT_DOUBLE_EQ(average.Number(), 2.675);
    EXPECT_EQ(average.Format, "#,##0.000");
}

TEST(XlsWriter, ExportLayoutReadsBackWithFreeXl) {
    TTempDir dir;
    const std::string path = dir.Path("export.xls");
    SampleWorkbook().SaveXls(path);
    TFreeXl xls(path);

    EXPECT_EQ(xls.Info(FREEXL_BIFF_VERSION), unsigned{FREEXL_BIFF_VER_8});
    EXPECT_EQ(xls.Info(FREEXL_BIFF_CODEPAGE), unsigned{FREEXL_BIFF_UTF16LE});
    EXPECT_EQ(xls.Info(FREEXL_BIFF_DATEMODE), unsigned{FREEXL_BIFF_DATEMODE_1900});
    ASSERT_EQ(xls.SheetCount(), 2);
    EXPECT_EQ(xls.SheetName(0), "Classement");
    EXPECT_EQ(xls.SheetName(1), "Matchs de Hervé");

    const auto [rows, cols] = xls.Select(0);
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(cols, 7u);
    const TFreeXlCell header = xls.Cell(0, 5);
    EXPECT_EQ(header.Type, FREEXL_CELL_SST_TEXT);
    EXPECT_EQ(header.Text, "Moyenne (3.10)");

    const TFreeXlCell licence = xls.Cell(1, 1);
    EXPECT_EQ(licence.Type, FREEXL_CELL_DOUBLE);
    EXPECT_DOUBLE_EQ(licence.Double, 1234);
    EXPECT_EQ(xls.Cell(1, 2).Text, kAccentedName);
    EXPECT_EQ(xls.Cell(2, 2).Text, kEscapedName);
    EXPECT_DOUBLE_EQ(xls.Cell(1, 3).Double, 0.6667);

    const TFreeXlCell date = xls.Cell(1, 6);
    EXPECT_EQ(date.Type, FREEXL_CELL_DATE);
    EXPECT_EQ(date.Text, "2004-05-06");

    for (unsigned c = 3; c < 7; ++c) {
        EXPECT_EQ(xls.Cell(2, c).Type, FREEXL_CELL_NULL) << c;
    }
    const auto [rows2, cols2] = xls.Select(1);
    EXPECT_EQ(rows2, 2u);
    EXPECT_EQ(cols2, 2u);
    EXPECT_DOUBLE_EQ(xls.Cell(1, 1).Double, 2.675);
}

TEST(XlsWriter, SheetNamesAreMadeValidAndUnique) {
    TWorkbook book;
    const std::string long40 = "Classements Jean-Baptiste de La Fontaine";  // 40 characters
    const std::string names[] = {"a:b/c?d*e[f]g\\h", long40, long40,     "classement",
                                 "CLASSEMENT",       "",     "'quoted'", "Œuvre é"};
    for (const std::string& n : names) {
        book.AddSheet(n);
    }
    const std::string expected[] = {"a_b_c_d_e_f_g_h",
                                    "Classements Jean-Baptiste de La",
                                    "Classements Jean-Baptiste d (2)",
                                    "classement",
                                    "CLASSEMENT (2)",
                                    "Feuille",
                                    "_quoted_",
                                    "Œuvre é"};
    ASSERT_EQ(book.SheetCount(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(book.Sheet(i).Name(), expected[i]);
    }
    // Letters beyond ASCII compare without case too; a third copy counts on.
    EXPECT_EQ(book.AddSheet("œuvre É").Name(), "œuvre É (2)");
    EXPECT_EQ(book.AddSheet("CLASSEMENT").Name(), "CLASSEMENT (3)");

    TTempDir dir;
    const std::string path = dir.Path("names.xls");
    book.SaveXls(path);
    TFreeXl xls(path);
    const TXlrdBook read = ReadWithXlrd(path);
    ASSERT_EQ(xls.SheetCount(), static_cast<int>(book.SheetCount()));
    ASSERT_EQ(read.Sheets.size(), book.SheetCount());
    for (std::size_t i = 0; i < book.SheetCount(); ++i) {
        EXPECT_EQ(xls.SheetName(static_cast<int>(i)), book.Sheet(i).Name());
        EXPECT_EQ(read.Sheets[i].Name, book.Sheet(i).Name());
    }
}

TEST(XlsWriter, FontsAlignmentAndColours) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Polices");
    TFont styled;
    styled.Name = "Times New Roman";
    styled.Size = 12;
    styled.Italic = true;
    styled.Underline = true;
    styled.StrikeOut = true;
    styled.Color = 0xFF0000;  // in the default palette
    TFont custom;
    custom.Color = 0x123456;  // not in it
    sheet.SetText(1, 1, "styled");
    sheet.SetFont(1, 1, styled);
    sheet.SetVAlign(1, 1, TVAlign::Top);
    sheet.SetText(1, 2, "custom");
    sheet.SetFont(1, 2, custom);
    sheet.SetHAlign(1, 2, THAlign::Right);
    sheet.SetText(1, 3, "plain");

    TTempDir dir;
    const std::string path = dir.Path("fonts.xls");
    book.SaveXls(path);
    const TXlrdSheet read = ReadWithXlrd(path).Sheets.at(0);

    const TXlrdCell& a = read.At(0, 0);
    EXPECT_EQ(a.FontName, "Times New Roman");
    EXPECT_EQ(a.Height, 240);
    EXPECT_TRUE(a.Italic);
    EXPECT_EQ(a.Underline, 1);
    EXPECT_TRUE(a.Struck);
    EXPECT_FALSE(a.Bold);
    EXPECT_EQ(a.Colour, "ff0000");
    EXPECT_EQ(a.VAlign, 0);

    const TXlrdCell& b = read.At(0, 1);
    EXPECT_EQ(b.Colour, "123456");
    EXPECT_EQ(b.FontName, "Arial");
    EXPECT_EQ(b.HAlign, 3);

    const TXlrdCell& c = read.At(0, 2);
    EXPECT_EQ(c.Colour, "auto");
    EXPECT_EQ(c.HAlign, 0);
    EXPECT_EQ(c.VAlign, 2);
}

TEST(XlsWriter, FontsFormatsAndCellFormatsAreSharedNotRepeated) {
    TWorkbook book;
    for (const char* name : {"Un", "Deux"}) {
        TSheet& sheet = book.AddSheet(name);
        for (int r = 1; r <= 500; ++r) {
            TextCell(sheet, r, 1, "Joueur " + std::to_string(r % 10));
            sheet.SetFont(r, 1, HeaderFont());
            NumberCell(sheet, r, 2, r);
            sheet.SetNumberFormat(r, 2, std::string("#,##0.000"));
            NumberCell(sheet, r, 3, r);  // the default font, set explicitly
        }
    }
    TTempDir dir;
    const std::string path = dir.Path("shared.xls");
    book.SaveXls(path);
    const TXlrdBook read = ReadWithXlrd(path, 2);
    EXPECT_EQ(read.Fonts, 6);          // four defaults, the missing fifth, bold
    EXPECT_EQ(read.FormatRecords, 1);  // "#,##0.000"
    EXPECT_EQ(read.Xfs, 16 + 3);       // bold left, formatted right, plain right
    TFreeXl xls(path);
    xls.Select(1);
    EXPECT_EQ(xls.Cell(499, 0).Text, "Joueur 0");
}

TEST(XlsWriter, ValuesOverwriteAndTextEdgeCases) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Valeurs");
    sheet.SetNumber(1, 3, 7);  // out of column order on purpose
    sheet.SetNumber(1, 1, 5);
    sheet.SetNumberFormat(1, 1, "0.00");
    sheet.SetText(1, 1, "replaced");  // the value changes, the format stays
    sheet.SetText(1, 2, "");          // no value
    sheet.SetText(2, 1, "é");
    sheet.SetDate(2, 2, kDate20040506 + 0.75);  // no format of its own: the default date format
    sheet.SetNumber(2, 3, -1.5e-7);
    sheet.SetNumber(3, 1, std::numeric_limits<double>::quiet_NaN());  // shown as an error
    EXPECT_EQ(sheet.RowCount(), 3);
    EXPECT_EQ(sheet.ColCount(), 3);

    TTempDir dir;
    const std::string path = dir.Path("values.xls");
    book.SaveXls(path);
    const TXlrdSheet read = ReadWithXlrd(path).Sheets.at(0);
    EXPECT_EQ(read.At(0, 0).Type, "text");
    EXPECT_EQ(read.At(0, 0).Value, "replaced");
    EXPECT_EQ(read.At(0, 0).Format, "0.00");
    EXPECT_EQ(read.At(0, 1).Type, "blank");
    EXPECT_DOUBLE_EQ(read.At(0, 2).Number(), 7);
    EXPECT_EQ(read.At(1, 0).Value, "é");
    EXPECT_EQ(read.At(1, 1).Type, "date");
    EXPECT_EQ(read.At(1, 1).Format, "dd/mm/yyyy");
    EXPECT_DOUBLE_EQ(read.At(1, 1).Number(), kDate20040506 + 0.75);
    EXPECT_DOUBLE_EQ(read.At(1, 2).Number(), -1.5e-7);
    EXPECT_EQ(read.At(2, 0).Type, "error");

    TFreeXl xls(path);
    xls.Select(0);
    EXPECT_EQ(xls.Cell(0, 1).Type, FREEXL_CELL_NULL);
    EXPECT_EQ(xls.Cell(1, 1).Type, FREEXL_CELL_DATE);
    EXPECT_EQ(xls.Cell(1, 1).Text, "2004-05-06");
}

TEST(XlsWriter, TextsAreCutAtWhatACellHolds) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Long");
    sheet.SetText(1, 1, std::string(40000, 'x'));
    std::string euros;
    for (int i = 0; i < 33000; ++i) {
        euros += "€";
    }
    sheet.SetText(2, 1, euros);
    sheet.SetText(3, 1, "a\U0001F600b");  // beyond what the code page holds

    TTempDir dir;
    const std::string path = dir.Path("long.xls");
    book.SaveXls(path);
    const TXlrdSheet read = ReadWithXlrd(path).Sheets.at(0);
    EXPECT_EQ(read.At(0, 0).Value, std::string(32767, 'x'));
    EXPECT_EQ(read.At(1, 0).Value, euros.substr(0, 32767 * 3));
    EXPECT_EQ(read.At(2, 0).Value, "a?b");
}

TEST(XlsWriter, CellsOutsideTheSheetAreRefused) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Limites");
    EXPECT_THROW(sheet.SetText(0, 1, "x"), Error);
    EXPECT_THROW(sheet.SetNumber(65537, 1, 1), Error);
    EXPECT_THROW(sheet.SetNumber(1, 257, 1), Error);
    EXPECT_THROW(sheet.SetColumnWidth(0, 10), Error);
    EXPECT_THROW(sheet.SetColumnNumberFormat(257, "0"), Error);
    EXPECT_THROW(book.Sheet(1), Error);
    try {
        sheet.SetFont(70000, 3, TFont{});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Erreur interne : cellule ligne 70000, colonne 3 hors de la feuille (au plus 65536 lignes et 256 "
                  "colonnes)");
    }
    EXPECT_EQ(sheet.RowCount(), 0);

    // The last row and the last column are usable.
    sheet.SetNumber(65536, 1, 1);
    TSheet& wide = book.AddSheet("Large");
    wide.SetText(1, 256, "IV");
    wide.SetColumnWidth(256, 1000);  // capped
    TTempDir dir;
    const std::string path = dir.Path("limits.xls");
    book.SaveXls(path);
    TFreeXl xls(path);
    EXPECT_EQ(xls.Select(0), (std::pair<unsigned, unsigned>{65536, 1}));
    EXPECT_DOUBLE_EQ(xls.Cell(65535, 0).Double, 1);
    EXPECT_EQ(xls.Select(1), (std::pair<unsigned, unsigned>{1, 256}));
    EXPECT_EQ(xls.Cell(0, 255).Text, "IV");
    const TXlrdBook read = ReadWithXlrd(path);
    EXPECT_EQ(read.Sheets[1].Columns.at(255).Width, 255 * 256);
}

// A row given a height has a record of its own, read back by both readers;
// the others keep the default height and have none.
TEST(XlsWriter, RowHeightsSetByHandAndTheOthersDefault) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("Hauteurs");
    EXPECT_DOUBLE_EQ(sheet.RowHeight(1), TSheet::DefaultRowHeight);
    sheet.SetText(1, 2, "Pts Match J1");
    sheet.SetText(1, 4, "Classt phase");
    sheet.SetNumber(2, 1, 12);
    sheet.SetNumber(3, 1, 13);
    sheet.SetRowHeight(1, 38.25);  // three lines of the standard font
    sheet.SetRowHeight(3, 20.02);  // rounded to the twentieth of a point
    sheet.SetRowHeight(5, 1000);   // capped, on a row without cells
    EXPECT_DOUBLE_EQ(sheet.RowHeight(1), 38.25);
    EXPECT_DOUBLE_EQ(sheet.RowHeight(3), 20.0);
    EXPECT_DOUBLE_EQ(sheet.RowHeight(5), TSheet::MaxRowHeight);
    EXPECT_DOUBLE_EQ(sheet.RowHeight(2), TSheet::DefaultRowHeight);
    EXPECT_EQ(sheet.RowCount(), 3) << "a height alone adds no row";
    EXPECT_THROW(sheet.SetRowHeight(0, 20), Error);
    EXPECT_THROW(sheet.RowHeight(65537), Error);
    book.AddSheet("Sans hauteur").SetText(1, 1, "Joueur");

    TTempDir dir;
    const std::string path = dir.Path("hauteurs.xls");
    book.SaveXls(path);
    const TXlrdBook read = ReadWithXlrd(path);
    const TXlrdSheet& rows = read.Sheets.at(0);
    ASSERT_EQ(rows.RowInfo.count(0), 1u);
    EXPECT_EQ(rows.RowInfo.at(0).Height, 765);
    EXPECT_FALSE(rows.RowInfo.at(0).DefaultHeight);
    EXPECT_TRUE(rows.RowInfo.at(0).HeightMismatch) << "set by hand: kept whatever the font";
    EXPECT_EQ(rows.RowInfo.count(1), 0u);
    EXPECT_EQ(rows.RowInfo.at(2).Height, 400);
    EXPECT_EQ(rows.RowInfo.at(4).Height, 8180);
    EXPECT_EQ(rows.Rows, 3);
    EXPECT_EQ(rows.At(0, 1).Value, "Pts Match J1");
    EXPECT_EQ(rows.At(0, 3).Value, "Classt phase");
    EXPECT_DOUBLE_EQ(rows.At(2, 0).Number(), 13);
    EXPECT_TRUE(read.Sheets.at(1).RowInfo.empty());

    TFreeXl xls(path);
    EXPECT_EQ(xls.Select(0), (std::pair<unsigned, unsigned>{3, 4}));
    EXPECT_EQ(xls.Cell(0, 1).Text, "Pts Match J1");
    EXPECT_DOUBLE_EQ(xls.Cell(2, 0).Double, 13);
    EXPECT_EQ(xls.Select(1), (std::pair<unsigned, unsigned>{1, 1}));
    EXPECT_EQ(xls.Cell(0, 0).Text, "Joueur");
}

TEST(XlsWriter, SmallWorkbookIsPaddedOutOfTheMiniStream) {
    TWorkbook book;
    book.AddSheet("Petit").SetNumber(1, 1, 42);
    const std::string bytes = book.XlsBytes();

    // Header, 8 stream sectors (4096 bytes), a directory sector, a FAT sector.
    EXPECT_EQ(bytes.size(), 512u * 11);
    const std::uint32_t dirSector = Le32At(bytes, 0x30);
    const std::size_t workbookEntry = 512 * (dirSector + 1) + 128;
    EXPECT_EQ(bytes.substr(workbookEntry, 16), std::string("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
    EXPECT_EQ(Le32At(bytes, workbookEntry + 0x78), 4096u);
    EXPECT_EQ(Le32At(bytes, 0x48), 0u);  // no DIFAT

    TTempDir dir;
    const std::string path = dir.Path("small.xls");
    book.SaveXls(path);
    EXPECT_EQ(ReadFile(path), bytes);
    TFreeXl xls(path);
    xls.Select(0);
    EXPECT_DOUBLE_EQ(xls.Cell(0, 0).Double, 42);
    EXPECT_DOUBLE_EQ(ReadWithXlrd(path).Sheets.at(0).At(0, 0).Number(), 42);
}

TEST(XlsWriter, WorkbookWithoutSheetsGetsAnEmptyOne) {
    TWorkbook book;
    TTempDir dir;
    const std::string path = dir.Path("empty.xls");
    book.SaveXls(path);
    TFreeXl xls(path);
    ASSERT_EQ(xls.SheetCount(), 1);
    EXPECT_EQ(xls.SheetName(0), "Feuille");
    const TXlrdBook read = ReadWithXlrd(path);
    ASSERT_EQ(read.Sheets.size(), 1u);
    EXPECT_EQ(read.Sheets[0].Rows, 0);
}

TEST(XlsWriter, SavingIntoAMissingFolderFailsAndLeavesNothing) {
    TTempDir dir;
    const std::string path = dir.Path("missing") + "/export.xls";
    try {
        SampleWorkbook().SaveXls(path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'écrire le fichier " + path);
    }
    EXPECT_THROW(SampleWorkbook().SaveHtml(dir.Path("missing") + "/export.html"), Error);
    EXPECT_TRUE(dir.Files().empty());

    // A folder in the way of the file is no file either; it stays as it was.
    std::filesystem::create_directory(dir.Path("taken.xls"));
    EXPECT_THROW(SampleWorkbook().SaveXls(dir.Path("taken.xls")), Error);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"taken.xls"});
}

TEST(XlsWriter, SavingOverAnExistingFileReplacesIt) {
    TTempDir dir;
    const std::string path = dir.Path("export.xls");
    {
        std::ofstream old(path);
        old << "an older export";
    }
    SampleWorkbook().SaveXls(path);
    TWorkbook second;
    second.AddSheet("Deuxième").SetText(1, 1, "nouveau");
    second.SaveXls(path);

    EXPECT_EQ(dir.Files(), std::vector<std::string>{"export.xls"});
    TFreeXl xls(path);
    ASSERT_EQ(xls.SheetCount(), 1);
    EXPECT_EQ(xls.SheetName(0), "Deuxième");
    xls.Select(0);
    EXPECT_EQ(xls.Cell(0, 0).Text, "nouveau");
}

}  // namespace
}  // namespace tavlor::workbook::test
