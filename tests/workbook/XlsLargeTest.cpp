// Files large enough for the container's DIFAT, and shared-string tables long
// enough to be continued over several records.
#include "SampleWorkbook.h"
#include "XlsReaders.h"

#include "workbook/Workbook.h"

#include <freexl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tavlor::workbook::test {
namespace {

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

std::string PlayerName(int i) {
    return "Joueur " + std::to_string(i % 5000);
}

TEST(XlsLarge, TwoHundredThousandRowsOverFourSheetsNeedTheDifat) {
    constexpr int kSheets = 4;
    constexpr int kRows = 50000;  // per sheet, header excluded
    constexpr int kCols = 10;
    TWorkbook book;
    for (int s = 0; s < kSheets; ++s) {
        TSheet& sheet = book.AddSheet("Matchs");
        for (int c = 1; c <= kCols; ++c) {
            Header(sheet, c, "Col " + std::to_string(c), 10, c == 2 ? "000000" : c == 5 ? "#,##0.000" : "");
        }
        for (int r = 2; r <= kRows + 1; ++r) {
            const int i = s * kRows + r;
            NumberCell(sheet, r, 1, i);
            LicenceCell(sheet, r, 2, 100000 + i % 900000);
            TextCell(sheet, r, 3, PlayerName(i));
            DateCell(sheet, r, 4, kDate20040506 + i % 365);
            NumberCell(sheet, r, 5, i / 7.0);
            for (int c = 6; c <= kCols; ++c) {
                NumberCell(sheet, r, c, i * c);
            }
        }
    }
    TTempDir dir;
    const std::string path = dir.Path("large.xls");
    book.SaveXls(path);

    const std::string head = ReadFile(path).substr(0, 512);
    const std::uint32_t fatSectors = Le(head, 0x2C, 4);
    const std::uint32_t difatSectors = Le(head, 0x48, 4);
    EXPECT_GT(fatSectors, 109u);
    EXPECT_GE(difatSectors, 1u);
    EXPECT_GT(std::filesystem::file_size(path), 30u * 1000 * 1000);

    TFreeXl xls(path);
    ASSERT_EQ(xls.SheetCount(), kSheets);
    for (int s = 0; s < kSheets; ++s) {
        EXPECT_EQ(xls.SheetName(s), s == 0 ? std::string("Matchs") : "Matchs (" + std::to_string(s + 1) + ")");
        const auto [rows, cols] = xls.Select(s);
        ASSERT_EQ(rows, unsigned{kRows + 1});
        ASSERT_EQ(cols, unsigned{kCols});
        EXPECT_EQ(xls.Cell(0, 2).Text, "Col 3");
        for (unsigned r = 1; r <= kRows; ++r) {
            const int i = s * kRows + static_cast<int>(r) + 1;
            const TFreeXlCell number = xls.Cell(r, 0);
            ASSERT_EQ(number.Type, FREEXL_CELL_DOUBLE);
            ASSERT_EQ(number.Double, i) << s << " " << r;
            ASSERT_EQ(xls.Cell(r, 2).Text, PlayerName(i));
            ASSERT_EQ(xls.Cell(r, 3).Type, FREEXL_CELL_DATE);
            ASSERT_EQ(xls.Cell(r, 9).Double, i * 10);
        }
    }

    const TXlrdBook read = ReadWithXlrd(path, 2);
    ASSERT_EQ(read.Sheets.size(), 4u);
    const TXlrdSheet& last = read.Sheets[3];
    EXPECT_EQ(last.Name, "Matchs (4)");
    EXPECT_EQ(last.Rows, kRows + 1);
    const int i = 3 * kRows + kRows + 1;
    EXPECT_DOUBLE_EQ(last.At(kRows, 0).Number(), i);
    EXPECT_EQ(last.At(kRows, 1).Format, "000000");
    EXPECT_EQ(last.At(kRows, 2).Value, PlayerName(i));
    EXPECT_EQ(last.At(kRows, 3).Type, "date");
    EXPECT_DOUBLE_EQ(last.At(kRows, 4).Number(), i / 7.0);
}

// Reassembles the shared strings from the records of the file, whose stream
// our container lays out in order from the second sector; notes the flags of
// each chunk of characters that a CONTINUE record carries on.
// The EXTSST record's buckets are checked too: each must point at the header of
// its first string, from the stream's start and from its record's start.
struct TSstWalk {
    std::vector<std::u16string> Strings;
    int Continues = 0;
    int NarrowCrossings = 0;
    int WideCrossings = 0;
    int BucketsChecked = 0;
};

TSstWalk WalkSst(const std::string& file) {
    constexpr std::size_t kStreamAt = 512;
    std::vector<std::string> payloads;
    std::vector<std::size_t> recordAt;  // stream offsets of the records' headers
    std::string extSst;
    for (std::size_t at = kStreamAt;;) {
        const std::uint32_t type = Le(file, at, 2);
        const std::uint32_t length = Le(file, at + 2, 2);
        if (type == 0x00FC || (type == 0x003C && !payloads.empty())) {
            payloads.push_back(file.substr(at + 4, length));
            recordAt.push_back(at - kStreamAt);
        } else if (type == 0x00FF) {
            extSst = file.substr(at + 4, length);
        } else if (type == 0x000A) {
            break;
        }
        at += 4 + length;
    }
    std::vector<std::size_t> stringAt;  // stream offsets of the strings' headers
    TSstWalk walk;
    walk.Continues = static_cast<int>(payloads.size()) - 1;
    if (payloads.empty()) {
        return walk;
    }
    std::size_t r = 0;
    std::size_t o = 8;
    const std::uint32_t unique = Le(payloads[0], 4, 4);
    for (std::uint32_t s = 0; s < unique; ++s) {
        if (o == payloads[r].size()) {
            ++r;
            o = 0;
        }
        const std::string& p = payloads.at(r);
        EXPECT_LE(o + 3, p.size()) << "string header split";
        stringAt.push_back(recordAt[r] + 4 + o);
        std::size_t chars = Le(p, o, 2);
        bool wide = (p[o + 2] & 1) != 0;
        o += 3;
        std::u16string text;
        while (chars > 0) {
            if (o == payloads[r].size()) {
                ++r;
                wide = (payloads.at(r)[0] & 1) != 0;
                (wide ? walk.WideCrossings : walk.NarrowCrossings)++;
                o = 1;
            }
            const std::string& q = payloads[r];
            const std::size_t unit = wide ? 2 : 1;
            const std::size_t take = std::min(chars, (q.size() - o) / unit);
            EXPECT_GT(take, 0u) << "character split";
            if (take == 0) {
                return walk;
            }
            for (std::size_t k = 0; k < take; ++k) {
                text.push_back(static_cast<char16_t>(Le(q, o + k * unit, static_cast<int>(unit))));
            }
            o += take * unit;
            chars -= take;
        }
        walk.Strings.push_back(text);
    }
    if (!extSst.empty()) {
        const std::uint32_t perBucket = Le(extSst, 0, 2);
        EXPECT_GE(perBucket, 8u);
        for (std::size_t b = 0; 2 + 8 * b < extSst.size(); ++b) {
            const std::uint32_t streamPos = Le(extSst, 2 + 8 * b, 4);
            const std::uint32_t inRecord = Le(extSst, 6 + 8 * b, 2);
            EXPECT_EQ(streamPos, stringAt.at(b * perBucket)) << b;
            const std::size_t header = streamPos - inRecord;
            EXPECT_TRUE(std::find(recordAt.begin(), recordAt.end(), header) != recordAt.end()) << b;
            ++walk.BucketsChecked;
        }
        EXPECT_EQ(walk.BucketsChecked, static_cast<int>((unique + perBucket - 1) / perBucket));
    }
    return walk;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
        char16_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : (b & 0x0F);
        for (int k = 1; k < n; ++k) {
            c = static_cast<char16_t>((c << 6) |
                                      (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F));
        }
        out.push_back(c);
        i += static_cast<std::size_t>(n);
    }
    return out;
}

struct TStringSheet {
    std::vector<std::string> Narrow;  // column 1
    std::vector<std::string> Wide;    // column 2
    std::vector<std::string> Table;   // the shared strings, in order
    TWorkbook Book;
};

// 3000 rows of strings of all lengths, 8-bit in column 1 (° and é are Latin-1)
// and UTF-16 in column 2 (€, œ), then a last row of two long strings.
void FillStrings(TStringSheet& s, std::size_t longLength) {
    for (int i = 0; i < 3000; ++i) {
        s.Narrow.push_back("n°" + std::to_string(i) + " " +
                           std::string(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26)) +
                           (i % 3 == 0 ? "é" : ""));
        s.Wide.push_back("Œuvre " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 41), 'b') + "€");
    }
    std::string longNarrow;
    std::string longWide;
    for (std::size_t i = 0; i < longLength; ++i) {
        longNarrow += i % 2 == 0 ? "é" : "x";
        longWide += i % 3 == 0 ? "€" : i % 3 == 1 ? "œ" : "y";
    }
    s.Narrow.push_back(longNarrow);
    s.Wide.push_back(longWide);

    TSheet& sheet = s.Book.AddSheet("Textes");
    for (std::size_t i = 0; i < s.Narrow.size(); ++i) {
        sheet.SetText(static_cast<int>(i) + 1, 1, s.Narrow[i]);
        sheet.SetText(static_cast<int>(i) + 1, 2, s.Wide[i]);
        s.Table.push_back(s.Narrow[i]);
        s.Table.push_back(s.Wide[i]);
    }
    sheet.SetText(static_cast<int>(s.Narrow.size()) + 1, 1, s.Narrow[5]);  // shared, not repeated
}

TEST(XlsLarge, LongSharedStringTableContinuesAcrossRecords) {
    // Long strings span several CONTINUE records, which xlrd reads.
    TStringSheet s;
    FillStrings(s, 20000);
    TTempDir dir;
    const std::string path = dir.Path("strings.xls");
    s.Book.SaveXls(path);

    const TSstWalk walk = WalkSst(ReadFile(path));
    EXPECT_GE(walk.Continues, 10);
    EXPECT_GE(walk.NarrowCrossings, 3);
    EXPECT_GE(walk.WideCrossings, 2);
    EXPECT_GT(walk.BucketsChecked, 50);
    ASSERT_EQ(walk.Strings.size(), s.Table.size());
    for (std::size_t i = 0; i < s.Table.size(); ++i) {
        ASSERT_EQ(walk.Strings[i], Utf16(s.Table[i])) << i;
    }

    const TXlrdSheet read = ReadWithXlrd(path).Sheets.at(0);
    for (std::size_t i = 0; i < s.Narrow.size(); ++i) {
        ASSERT_EQ(read.At(static_cast<int>(i), 0).Value, s.Narrow[i]) << i;
        ASSERT_EQ(read.At(static_cast<int>(i), 1).Value, s.Wide[i]) << i;
    }
    EXPECT_EQ(read.At(static_cast<int>(s.Narrow.size()), 0).Value, s.Narrow[5]);
}

TEST(XlsLarge, StringsCrossingOneRecordBoundaryReadBackWithFreeXl) {
    // FreeXL reads a string continued once, not one that needs a second CONTINUE
    // record (over about 8,200 bytes of characters): keep the long ones below that.
    TStringSheet s;
    FillStrings(s, 4000);
    TTempDir dir;
    const std::string path = dir.Path("strings.xls");
    s.Book.SaveXls(path);

    const TSstWalk walk = WalkSst(ReadFile(path));
    EXPECT_GE(walk.NarrowCrossings, 2);
    EXPECT_GE(walk.WideCrossings, 2);

    TFreeXl xls(path);
    const auto [rows, cols] = xls.Select(0);
    ASSERT_EQ(rows, s.Narrow.size() + 1);
    ASSERT_EQ(cols, 2u);
    for (unsigned r = 0; r < s.Narrow.size(); ++r) {
        ASSERT_EQ(xls.Cell(r, 0).Text, s.Narrow[r]) << r;
        ASSERT_EQ(xls.Cell(r, 1).Text, s.Wide[r]) << r;
    }
    EXPECT_EQ(xls.Cell(static_cast<unsigned>(s.Narrow.size()), 0).Text, s.Narrow[5]);
}

}  // namespace
}  // namespace tavlor::workbook::test
