#include "model/DataPacket.h"

#include "model/Files.h"
#include "support/TempDir.h"
#include "text/Cp1252.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <random>

namespace tavlor {
namespace {

TTable Registrants() {
    return TTable("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50), IntegerField("NODE"),
                               IntegerField("RGA")});
}

void Add(TTable& t, std::int32_t licence, const std::string& name, std::optional<std::int32_t> rank) {
    t.Append();
    t.SetInteger("LICENCE", licence);
    t.SetString("NOM", name);
    if (rank) t.SetInteger("RGA", *rank);
    t.Post();
}

const std::string Header = "<?xml version=\"1.0\" standalone=\"yes\"?>  ";

TEST(DataPacket, WritesOneLineOfWindows1252WithNullsLeftOut) {
    TTable t("Phases", {IntegerField("IDPHASE"), StringField("NOMPHASE", 50), IntegerField("NODE")});
    t.SetIndexFieldNames("IDPHASE");
    t.Append();
    t.SetInteger("IDPHASE", 2);
    t.SetString("NOMPHASE", "Demi-finale à Nîmes");
    t.Post();
    t.Append();
    t.SetInteger("IDPHASE", -1);
    t.Post();
    t.SetFilter("IDPHASE=2");
    t.SetFiltered(true);  // a filter does not hide rows from the file
    EXPECT_EQ(WriteDataPacket(t),
              Header +
                  "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"IDPHASE\" fieldtype=\"i4\"/>"
                  "<FIELD attrname=\"NOMPHASE\" fieldtype=\"string\" WIDTH=\"50\"/><FIELD attrname=\"NODE\" "
                  "fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW IDPHASE=\"-1\"/><ROW IDPHASE=\"2\" "
                  "NOMPHASE=\"Demi-finale \xE0 N\xEEmes\"/></ROWDATA></DATAPACKET>");
    EXPECT_EQ(t.RecordCount(), 1) << "the caller's cursor keeps its filter";
}

TEST(DataPacket, EntitiesAndCharactersRoundTrip) {
    TTable t = Registrants();
    const std::string tricky = "A&B \"C\" 'D' <E> \\F\tG\rH\nI é œ €";
    Add(t, 1, tricky, 1);
    Add(t, 2, "control\x01 byte", 2);
    const std::string bytes = WriteDataPacket(t);
    EXPECT_NE(bytes.find("NOM=\"A&amp;B &quot;C&quot; &apos;D&apos; &lt;E&gt; &#092;F&#009;G&#013;H&#010;I \xE9 \x9C \x80\""),
              std::string::npos);
    EXPECT_NE(bytes.find("control? byte"), std::string::npos) << "XML 1.0 cannot carry it: replaced";
    TTable back("tmp", {});
    LoadDataPacket(bytes, "mem.xml", back);
    back.First();
    EXPECT_EQ(back.AsString("NOM"), tricky);
    EXPECT_EQ(back.FieldByName("NOM").Size, 50);
    EXPECT_EQ(back.FieldByName("LICENCE").Type, TFieldType::Integer);
    EXPECT_TRUE(back.IsNull("NODE"));
    back.Next();
    EXPECT_EQ(back.AsString("NOM"), "control? byte");
}

TEST(DataPacket, FloatsAndDatesRoundTrip) {
    TTable t("m", {FloatField("COEFBD"), DateTimeField("DATEMATCH")});
    t.Append();
    t.SetFloat("COEFBD", 0.8);
    t.SetDateTime("DATEMATCH", 38113.5);  // 2004-05-06 12:00
    t.Post();
    const std::string bytes = WriteDataPacket(t);
    EXPECT_NE(bytes.find("COEFBD=\"0.8\" DATEMATCH=\"20040506T12:00:00000\""), std::string::npos);
    TTable back("tmp", {});
    LoadDataPacket(bytes, "mem.xml", back);
    EXPECT_DOUBLE_EQ(back.AsFloat("COEFBD"), 0.8);
    EXPECT_DOUBLE_EQ(back.AsDateTime("DATEMATCH"), 38113.5);
}

TEST(DataPacket, ReadsTheUtf8VariantWhitespaceUnknownAttributesAndFieldNames) {
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<DATAPACKET Version=\"2.0\">\n  <METADATA>\n    <FIELDS>\n"
        "      <FIELD fieldname=\"LICENCE\" attrname=\"L\" fieldtype=\"i4\" required=\"true\"/>\n"
        "      <FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"50\" SUBTYPE=\"x\"/>\n"
        "    </FIELDS>\n    <PARAMS LCID=\"1036\" DEFAULT_ORDER=\"1\"/>\n  </METADATA>\n"
        "  <ROWDATA>\n    <ROW L=\"42\" NOM=\"Zoé Œuvre €\"/>\n    <ROW L=\"7\" NOM=\"Łukasz\"/>\n  </ROWDATA>\n"
        "</DATAPACKET>\n";
    TTable t("tmp", {});
    LoadDataPacket(file, "utf8.xml", t);
    ASSERT_EQ(t.RecordCount(), 2);
    t.First();
    EXPECT_EQ(t.AsInteger("LICENCE"), 42);
    EXPECT_EQ(t.AsString("NOM"), "Zoé Œuvre €");
    t.Next();
    EXPECT_EQ(t.AsString("NOM"), "?ukasz") << "what Windows-1252 cannot hold becomes ?";
}

// Files carrying a change log: only the current rows are taken.
TEST(DataPacket, ChangeLogsAreReducedToTheCurrentRows) {
    auto load = [](const std::string& rows, const std::string& log) {
        const std::string file = Header +
                                 "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"LICENCE\" "
                                 "fieldtype=\"i4\"/><FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"50\"/>"
                                 "</FIELDS><PARAMS" +
                                 (log.empty() ? std::string() : " CHANGE_LOG=\"" + log + "\"") +
                                 "/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
        TTable t("tmp", {});
        LoadDataPacket(file, "log.xml", t);
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.AsString("LICENCE") + ":" + t.AsString("NOM"));
        }
        return out;
    };
    using V = std::vector<std::string>;
    const std::string base = "<ROW LICENCE=\"1\" NOM=\"Un\"/>";
    // Inserted (state 4).
    EXPECT_EQ(load(base + "<ROW RowState=\"4\" LICENCE=\"2\" NOM=\"Deux\"/>", "2 0 4"), (V{"1:Un", "2:Deux"}));
    // Modified: the original (1) then its modification (8), which holds the changed values only.
    EXPECT_EQ(load("<ROW RowState=\"1\" LICENCE=\"1\" NOM=\"Un\"/><ROW RowState=\"8\" NOM=\"Uno\"/>", "2 1 8"),
              (V{"1:Uno"}));
    EXPECT_EQ(load("<ROW RowState=\"1\" LICENCE=\"1\" NOM=\"Un\"/><ROW RowState=\"8\" NOM=\"Uno\"/>", ""), (V{"1:Uno"}))
        << "without a log, a modification replaces the row before it";
    // Deleted (2).
    EXPECT_EQ(load(base + "<ROW RowState=\"2\" LICENCE=\"3\" NOM=\"Trois\"/>", "2 0 2"), (V{"1:Un"}));
    EXPECT_EQ(load(base + "<ROW RowState=\"3\" LICENCE=\"3\" NOM=\"Trois\"/>", ""), (V{"1:Un"}));
    // Inserted then modified: the insertion replaced by its modification.
    EXPECT_EQ(load(base + "<ROW RowState=\"4\" LICENCE=\"5\" NOM=\"Cinq\"/><ROW RowState=\"8\" NOM=\"Cinco\"/>",
                   "2 0 4 3 2 8"),
              (V{"1:Un", "5:Cinco"}));
    // Inserted then deleted: nothing left of it.
    EXPECT_EQ(load(base + "<ROW RowState=\"4\" LICENCE=\"6\" NOM=\"Six\"/><ROW RowState=\"2\" LICENCE=\"6\"/>",
                   "2 0 4 3 2 2"),
              (V{"1:Un"}));
    EXPECT_EQ(load(base + "<ROW RowState=\"6\" LICENCE=\"6\" NOM=\"Six\"/>", ""), (V{"1:Un"}));
}

TEST(DataPacket, BrokenFilesFailNamingTheFileAndChangeNothing) {
    TTable t = Registrants();
    Add(t, 1, "Un", 1);
    const std::string good = WriteDataPacket(t);
    TTable tmp("tmp", {IntegerField("KEEP")});
    tmp.Append();
    tmp.SetInteger("KEEP", 9);
    tmp.Post();
    const std::vector<std::string> broken = {
        "",
        "not xml at all",
        good.substr(0, good.size() / 2),
        Header + "<OTHER/>",
        Header + "<DATAPACKET Version=\"2.0\"><ROWDATA/></DATAPACKET>",
        Header + "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"i4\"/></FIELDS></METADATA>"
                 "<ROWDATA><ROW A=\"douze\"/></ROWDATA></DATAPACKET>",
        Header + "<DATAPACKET><METADATA><FIELDS><FIELD fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>",
    };
    for (const std::string& bytes : broken) {
        try {
            LoadDataPacket(bytes, "/data/3Bandes_1Inscrits.xml", tmp);
            ADD_FAILURE() << "accepted: " << bytes;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("/data/3Bandes_1Inscrits.xml"), std::string::npos) << e.what();
        }
        ASSERT_NE(tmp.FindField("KEEP"), nullptr);
        EXPECT_EQ(tmp.RecordCount(), 1);
    }
    EXPECT_THROW(LoadDataPacketFile("/nonexistent/file.xml", tmp), Error);
}

// Mutated datapackets: the reader answers a table or a French error, never
// anything else, and never hangs.
TEST(DataPacket, MutatedFilesGiveATableOrAnError) {
    TTable t = Registrants();
    for (int i = 0; i < 20; ++i) {
        Add(t, 1000 + i, "Joueur \"é\" <" + std::to_string(i) + ">", i % 3 == 0 ? std::optional<int>() : i);
    }
    const std::string good = WriteDataPacket(t);
    std::mt19937 rng(42);
    const std::string alphabet = "<>\"'&=/ ?!#;ROWFIELDi4\x01\x80\xE9\xFF" "0123456789";
    int tables = 0, errors = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % (bytes.size() + 1);
            switch (rng() % 4) {
                case 0:
                    if (at < bytes.size()) bytes[at] = alphabet[rng() % alphabet.size()];
                    break;
                case 1:
                    bytes.insert(at, 1, alphabet[rng() % alphabet.size()]);
                    break;
                case 2:
                    bytes.erase(at, 1 + rng() % 20);
                    break;
                default:
                    bytes.resize(at);
                    break;
            }
        }
        TTable tmp("tmp", {});
        try {
            LoadDataPacket(bytes, "fuzz.xml", tmp);
            ++tables;
            for (tmp.First(); !tmp.Eof(); tmp.Next()) {
                for (int f = 0; f < static_cast<int>(tmp.Fields().size()); ++f) {
                    (void)tmp.AsString(f);
                }
            }
        } catch (const Error&) {
            ++errors;
        }
    }
    EXPECT_GT(tables, 0);
    EXPECT_GT(errors, 0);
}

TEST(Files, WritingReplacesTheWholeFileOrNothing) {
    test::TTempDir dir;
    const std::string path = dir.File("a.xml");
    WriteFileAtomic(path, "first");
    WriteFileAtomic(path, "second, longer");
    EXPECT_EQ(ReadWholeFile(path), "second, longer");
    EXPECT_FALSE(FileExists(path + ".tmp"));
    try {
        WriteFileAtomic(dir.File("missing/b.xml"), "x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Impossible d'enregistrer le fichier " + dir.File("missing/b.xml")),
                  std::string::npos);
    }
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}

}  // namespace
}  // namespace tavlor
