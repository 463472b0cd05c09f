#include "model/DataPacket.h"

#include "model/Files.h"
#include "model/FilesMessages.h"
#include "support/TempDir.h"
#include "support/TestData.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace tavlor {
namespace {

TTable Registrants() {
    return TTable("Inscrits",
                  {IntegerField("LICENCE"), StringField("NOM", 50), IntegerField("NODE"), IntegerField("RGA")});
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
    EXPECT_NE(
        bytes.find("NOM=\"A&amp;B &quot;C&quot; &apos;D&apos; &lt;E&gt; &#092;F&#009;G&#013;H&#010;I \xE9 \x9C \x80\""),
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

// Files carrying a change log: every row is decided by its own state, and a
// current row is complete (an attribute it lacks is a null value).
TEST(DataPacket, ChangeLogsAreReducedToTheCurrentRows) {
    auto rows = [](TTable& t) {
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.AsString("LICENCE") + ":" + t.AsString("NOM") + ":" +
                          (t.IsNull("RGA") ? std::string("null") : t.AsString("RGA")));
        }
        return out;
    };
    using V = std::vector<std::string>;
    // A rank cleared by a later change stays cleared, and a log that pairs a
    // changed row with a deleted player's row is not followed.
    TTable t("tmp", {});
    LoadDataPacketFile(test::DataPath("changelog_cleared_rank.xml"), t);
    EXPECT_EQ(rows(t), (V{"100:MARTIN:1", "200:DURAND:null", "400:ROUX:null", "500:BLANC:4"}));

    auto load = [&](const std::string& rowData) {
        const std::string file = Header +
                                 "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"LICENCE\" "
                                 "fieldtype=\"i4\"/><FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"50\"/>"
                                 "<FIELD attrname=\"RGA\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA><ROWDATA>" +
                                 rowData + "</ROWDATA></DATAPACKET>";
        TTable table("tmp", {});
        LoadDataPacket(file, "log.xml", table);
        return rows(table);
    };
    // Without a log, a modified row does not borrow the values of the row before it.
    EXPECT_EQ(
        load("<ROW RowState=\"1\" LICENCE=\"1\" NOM=\"Un\" RGA=\"5\"/><ROW RowState=\"8\" LICENCE=\"1\" NOM=\"Uno\"/>"),
        (V{"1:Uno:null"}));
    // Deleted (2), deleted original (3), inserted then deleted (6): gone; inserted (4), 12: kept as written.
    EXPECT_EQ(load("<ROW RowState=\"2\" LICENCE=\"2\"/><ROW RowState=\"3\" LICENCE=\"3\"/><ROW RowState=\"6\" "
                   "LICENCE=\"6\"/><ROW RowState=\"4\" LICENCE=\"4\" NOM=\"Quatre\" RGA=\"1\"/><ROW RowState=\"12\" "
                   "LICENCE=\"12\" RGA=\"2\"/><ROW RowState=\"0\" LICENCE=\"7\"/>"),
              (V{"4:Quatre:1", "12::2", "7::null"}));
}

// The reader refuses what no XML reader accepts, whatever the parser lets through.
TEST(DataPacket, FilesThatAreNotWellFormedXmlAreRefused) {
    const std::string start = Header +
                              "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"LICENCE\" "
                              "fieldtype=\"i4\"/><FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"50\"/></FIELDS>"
                              "<PARAMS/></METADATA><ROWDATA>";
    const std::string end = "</ROWDATA></DATAPACKET>";
    TTable tmp("tmp", {IntegerField("KEEP")});
    tmp.Append();
    tmp.SetInteger("KEEP", 9);
    tmp.Post();
    for (const std::string& row : {
             std::string("<ROW LICENCE=\"1\" NOM=\"A & B\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"L&eacute;a\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"A&amp\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"&#0;\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"&#x;\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"&#99999999999;\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"a<b\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=\"x\" LICENCE=\"2\"/>"),
             std::string("<ROW LICENCE=\"1\" NOM=x/>"),
             std::string("<ROW LICENCE=\"1\"NOM=\"x\"/>"),
             std::string("<ROW>fish & chips</ROW>"),
         }) {
        try {
            LoadDataPacket(start + row + end, "mal.xml", tmp);
            ADD_FAILURE() << "accepted: " << row;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Le fichier mal.xml n'est pas un fichier de données valide : ", 0),
                      0u)
                << e.what();
        }
        ASSERT_NE(tmp.FindField("KEEP"), nullptr) << "nothing loaded";
    }
    try {
        LoadDataPacket(start + "<ROW LICENCE=\"1\" NOM=\"L&eacute;a\"/>" + end, "mal.xml", tmp);
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "Le fichier mal.xml n'est pas un fichier de données valide : XML mal formé "
                     "(référence de caractère incorrecte)");
    }
    // References that are allowed still read as their characters.
    LoadDataPacket(start + "<ROW LICENCE=\"1\" NOM=\"&amp;&lt;&gt;&quot;&apos;&#233;&#xE9;&#009;\"/>" + end, "bon.xml",
                   tmp);
    tmp.First();
    EXPECT_EQ(tmp.AsString("NOM"), "&<>\"'éé\t");
}

TEST(DataPacket, AByteOrderMarkIsSkippedAndTheHeaderHonoured) {
    TTable t("tmp", {});
    LoadDataPacketFile(test::DataPath("bom_utf8_registrants.xml"), t);
    t.First();
    EXPECT_EQ(t.AsString("NOM"), "LEFÈVRE Hélène");
    // A mark without an encoding in the header means UTF-8 as well.
    LoadDataPacket("\xEF\xBB\xBF" + Header +
                       "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"9\"/>"
                       "</FIELDS></METADATA><ROWDATA><ROW NOM=\"Ç\"/></ROWDATA></DATAPACKET>",
                   "m.xml", t);
    t.First();
    EXPECT_EQ(t.AsString("NOM"), "Ç");
    // A header naming a single-byte encoding is honoured after the mark.
    LoadDataPacket(
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><DATAPACKET><METADATA><FIELDS>"
        "<FIELD attrname=\"NOM\" fieldtype=\"string\" WIDTH=\"9\"/></FIELDS></METADATA><ROWDATA>"
        "<ROW NOM=\"\xC9t\xE9\"/></ROWDATA></DATAPACKET>",
        "l.xml", t);
    t.First();
    EXPECT_EQ(t.AsString("NOM"), "Été");
}

TEST(DataPacket, LongValuesAreRefusedWithAShortQuote) {
    const std::string start = Header +
                              "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"D\" fieldtype=\"dateTime\"/>"
                              "<FIELD attrname=\"N\" fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA>";
    TTable t("tmp", {});
    // A long fraction of seconds is refused before its digits are read.
    for (const std::string& date : {std::string("20040506T13:45:0099999999999"), std::string("20040506T13:45:001234"),
                                    "20040506T13:45:00" + std::string(5000, '9')}) {
        EXPECT_THROW(LoadDataPacket(start + "<ROW D=\"" + date + "\"/></ROWDATA></DATAPACKET>", "d.xml", t), Error)
            << date;
    }
    LoadDataPacket(start + "<ROW D=\"20040506T13:45:00999\"/></ROWDATA></DATAPACKET>", "d.xml", t);
    t.First();
    EXPECT_DOUBLE_EQ(t.AsDateTime("D"), text::EncodeDateTime(2004, 5, 6, 13, 45, 0, 999));

    const std::string huge(1'000'000, '7');
    try {
        LoadDataPacket(start + "<ROW N=\"" + huge + "\"/></ROWDATA></DATAPACKET>", "n.xml", t);
        FAIL();
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_LT(message.size(), 200u) << message.substr(0, 300);
        EXPECT_NE(message.find("'7777777777"), std::string::npos) << message;
        EXPECT_NE(message.find("...' incorrecte pour le champ N"), std::string::npos) << message;
    }
}

// Many columns: each row's attributes are matched to the columns at once,
// whatever their order in the row.
TEST(DataPacket, RowsOfManyColumnsInAnyAttributeOrder) {
    const int columns = 600;
    std::string file = Header + "<DATAPACKET><METADATA><FIELDS>";
    for (int c = 0; c < columns; ++c) {
        file += "<FIELD attrname=\"C" + std::to_string(c) + "\" fieldtype=\"i4\"/>";
    }
    file += "</FIELDS></METADATA><ROWDATA>";
    for (int r = 0; r < 3; ++r) {
        file += "<ROW";
        for (int c = columns - 1; c >= 0; --c) {
            if ((c + r) % 7 == 0) continue;  // some nulls
            file += " C" + std::to_string(c) + "=\"" + std::to_string(r * 1000 + c) + "\"";
        }
        file += "/>";
    }
    file += "</ROWDATA></DATAPACKET>";
    TTable t("tmp", {});
    LoadDataPacket(file, "large.xml", t);
    ASSERT_EQ(t.RecordCount(), 3);
    int r = 0;
    for (t.First(); !t.Eof(); t.Next(), ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::string name = "C" + std::to_string(c);
            if ((c + r) % 7 == 0) {
                EXPECT_TRUE(t.IsNull(name)) << name;
            } else {
                EXPECT_EQ(t.AsInteger(name), r * 1000 + c) << name;
            }
        }
    }
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
        Header +
            "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"i4\"/></FIELDS></METADATA>"
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
    const std::string alphabet =
        "<>\"'&=/ ?!#;ROWFIELDi4\x01\x80\xE9\xFF"
        "0123456789";
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
    EXPECT_FALSE(FileExists(dir.File("missing/b.xml.tmp")));
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}

// What the system says is told in French.
TEST(Files, SystemErrorsAreToldInFrench) {
    test::TTempDir dir;
    auto message = [](const auto& action) {
        try {
            action();
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { ReadWholeFile(dir.Path()); }),
              "Impossible de lire le fichier " + dir.Path() + " : est un dossier");
    EXPECT_EQ(message([&] { ReadWholeFile(dir.File("absent.xml")); }),
              "Impossible de lire le fichier " + dir.File("absent.xml") + " : fichier ou dossier introuvable");
    EXPECT_EQ(message([&] { WriteFileAtomic(dir.File("absent/a.xml"), "x"); }),
              "Impossible d'enregistrer le fichier " + dir.File("absent/a.xml") + " : fichier ou dossier introuvable");
    std::filesystem::create_symlink("/dev/full", dir.File("full.xml.tmp"));
    EXPECT_EQ(message([&] { WriteFileAtomic(dir.File("full.xml"), "x"); }),
              "Impossible d'enregistrer le fichier " + dir.File("full.xml") + " : plus d'espace libre sur le disque");
    EXPECT_FALSE(FileExists(dir.File("full.xml")));
    EXPECT_EQ(msg::files::SystemReason(EACCES), "permission refusée");
    EXPECT_EQ(msg::files::SystemReason(EROFS), "système de fichiers en lecture seule");
    EXPECT_EQ(msg::files::SystemReason(EISDIR), "est un dossier");
    EXPECT_EQ(msg::files::SystemReason(EOWNERDEAD), "erreur système n° " + std::to_string(EOWNERDEAD));
}

}  // namespace
}  // namespace tavlor
