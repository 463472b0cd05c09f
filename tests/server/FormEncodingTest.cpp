#include "server/FormEncoding.h"

#include "model/TextGrid.h"
#include "server/Version.h"
#include "server/md5.h"
#include "server/www.h"
#include "support/ServerFakes.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using V = std::vector<std::string>;

TEST(FormEncoding, ValuesByteByByte) {
    EXPECT_EQ(EncodeFormValue("2.0.3"), "2%2E0%2E3");
    EXPECT_EQ(EncodeFormValue("2004-05-06"), "2004%2D05%2D06");
    EXPECT_EQ(EncodeFormValue("Poule A"), "Poule+A");
    EXPECT_EQ(EncodeFormValue("a_b&c=d%e+f"), "a%5Fb%26c%3Dd%25e%2Bf");
    EXPECT_EQ(EncodeFormValue("\xE9\x80"), "%E9%80") << "Windows-1252 bytes, uppercase hexadecimal";
    EXPECT_EQ(EncodeFormValue(""), "");
    EXPECT_EQ(FormBody({"ACTION=listecompets", "VTX=2.0.3"}), "ACTION=listecompets&VTX=2%2E0%2E3&");
    EXPECT_EQ(FormBody({"NOM=", "A=b=c"}), "NOM=&A=b%3Dc&") << "names as they are; the value starts after the first =";
    EXPECT_EQ(GetVersion(), "2.0.3");
}

TEST(FormEncoding, ReplyEnvelopes) {
    auto data = [](std::string_view reply) { return FindEnvelope(reply, "<DATAS_TX>", "</DATAS_TX>"); };
    EXPECT_TRUE(data("xx<DATAS_TX>abc</DATAS_TX>yy").Present);
    EXPECT_EQ(data("xx<DATAS_TX>abc</DATAS_TX>yy").Text, "abc");
    EXPECT_TRUE(data("<DATAS_TX></DATAS_TX>").Present);
    EXPECT_EQ(data("<DATAS_TX></DATAS_TX>").Text, "");
    EXPECT_FALSE(data("<DATAS_TX>abc").Present) << "no closing tag";
    EXPECT_FALSE(data("abc</DATAS_TX>").Present);
    const TEnvelope reversed = data("</DATAS_TX>abc<DATAS_TX>");
    EXPECT_TRUE(reversed.Present) << "a closing tag before the opening tag: present, empty";
    EXPECT_EQ(reversed.Text, "");
    EXPECT_FALSE(data("<datas_tx>abc</datas_tx>").Present) << "tags are case-sensitive";
    EXPECT_EQ(data("<DATAS_TX>a</DATAS_TX><DATAS_TX>b</DATAS_TX>").Text, "a") << "the first tags";
}

TEST(FormEncoding, RecordsAndReplyFields) {
    EXPECT_EQ(RecordFields("1\b2\b"), (V{"1", "2"}));
    EXPECT_EQ(RecordFields("1\b\b3"), (V{"1", "", "3"})) << "the text after the last cut counts when not empty";
    EXPECT_EQ(RecordFields("1\r2\b"), (V{"1", "2"})) << "byte 13 cuts too";
    EXPECT_EQ(RecordFields(""), (V{}));
    const auto records = DataRecords("a\bb\b\nc\b\nrest");
    ASSERT_EQ(records.size(), 2u) << "bytes after the last line feed are ignored";
    EXPECT_EQ(records[1], "c\b");

    EXPECT_EQ(ReplyFields("0.8\b1234\b"), (V{"0.8", "1234"}));
    EXPECT_EQ(ReplyFields("0.8\b"), (V{"0.8"}));
    EXPECT_EQ(ReplyFields("0.8\b\b1234\b"), (V{"0.8", "", "1234"}));
    EXPECT_EQ(ReplyFields("0.8\r\n1234"), (V{"0.8", "1234"})) << "CR LF is one break";
    EXPECT_EQ(ReplyFields(""), (V{}));
}

TEST(FormEncoding, Md5OfWindows1252Bytes) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
}

TReply WithData(std::string data) {
    TReply reply;
    reply.HasData = true;
    reply.Data = std::move(data);
    return reply;
}

class ExchangeState : public ::testing::Test {
protected:
    TCompetition Compet;
    test::TFakeConnectionWindow Window;
    test::TRecordingBoxes Boxes;
    test::TFakeShell Shell;
    TwwwFrm Www{Compet, Window, Boxes, Shell};
};

TEST_F(ExchangeState, BaseUrlLosesOneTrailingSeparator) {
    Www.SetBaseUrl("http://serveur/libre/");
    EXPECT_EQ(Www.BaseUrl(), "http://serveur/libre");
    Www.SetBaseUrl("http://serveur/libre\\");
    EXPECT_EQ(Www.BaseUrl(), "http://serveur/libre");
    Www.SetBaseUrl("http://serveur/libre//");
    EXPECT_EQ(Www.BaseUrl(), "http://serveur/libre/");
    Www.SetBaseUrl("");
    EXPECT_EQ(Www.BaseUrl(), "");
}

TEST_F(ExchangeState, DecimalsWithEitherMark) {
    Www.DecimalMark = ',';
    EXPECT_DOUBLE_EQ(Www.ParseDecimal("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(Www.ParseDecimal("1,25"), 1.25);
    EXPECT_THROW(Www.ParseDecimal(""), Error);
    try {
        Www.ParseDecimal("abc");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'abc' n'est pas une valeur en virgule flottante correcte");
    }
    Www.DecimalMark = '.';
    EXPECT_DOUBLE_EQ(Www.ParseDecimal("0,8"), 0.8);
    EXPECT_DOUBLE_EQ(Www.ParseDecimal("0.8"), 0.8);
}

TEST_F(ExchangeState, FillingAGrid) {
    TTextGrid grid;
    grid.SetCell(3, 4, "ancien");
    TReply reply = WithData("A\bB\b\n1\b2\b\n");
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.Cell(1, 0), "B");
    EXPECT_EQ(grid.Cell(0, 1), "1");

    reply.Data = "A\bB\b\n1\b2\b";  // the last record is not ended
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.RowCount(), 1);

    reply.Data = "T\b\nx\by\bz\b\n";  // records of different lengths
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 2);

    reply.Data.clear();
    EXPECT_FALSE(TwwwFrm::FillGrid(reply, grid)) << "no data: the grid is left as it was";
    EXPECT_EQ(grid.ColCount(), 3);
    reply.HasData = false;
    reply.Data = "x\b\n";
    EXPECT_FALSE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 2);
    // An error envelope beside the data does not keep the rows out.
    reply = WithData("x\b\n");
    reply.HasError = true;
    reply.Error = "refus";
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cell(0, 0), "x");
}

TEST_F(ExchangeState, ManyShortRecordsAndOneLongOneCostTheirTextsOnly) {
    // 8,000 empty records, then one of 8,000 empty fields: the grid is 8,000
    // columns wide, yet only the long record's cells need storage.
    TReply reply = WithData(std::string(8000, '\n') + std::string(8000, '\b') + "\n");
    TTextGrid grid;
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.RowCount(), 8001);
    EXPECT_EQ(grid.ColCount(), 8000);
    EXPECT_EQ(grid.Cell(7999, 0), "");
    EXPECT_EQ(grid.Cell(7999, 8000), "");
    EXPECT_LE(grid.StoredCells(), 8001u);

    // The same page with texts: each field where it was sent, the short rows
    // reading empty past their end.
    reply.Data = "Licence\bNom\b\n" + std::string(3000, '\n');
    for (int i = 0; i < 5000; ++i) {
        reply.Data += std::to_string(i) + "\b";
    }
    reply.Data += "\n";
    ASSERT_TRUE(TwwwFrm::FillGrid(reply, grid));
    EXPECT_EQ(grid.RowCount(), 3002);
    EXPECT_EQ(grid.ColCount(), 5000);
    EXPECT_EQ(grid.Cell(1, 0), "Nom");
    EXPECT_EQ(grid.Cell(2, 0), "");
    EXPECT_EQ(grid.Cell(4321, 3001), "4321");
    EXPECT_EQ(grid.Cell(0, 3000), "");
    EXPECT_LE(grid.StoredCells(), 5002u + 3001u);
}

}  // namespace
}  // namespace tavlor
