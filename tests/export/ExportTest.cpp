// The export of the five kinds of view of the hand-built competition, read
// back with xlrd and FreeXL.
#include "export/Export.h"

#include "model/Files.h"
#include "ranking/Views.h"
#include "support/RankingsGolden.h"
#include "support/ServerFakes.h"
#include "text/Error.h"
#include "workbook/XlsReaders.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Labels = std::vector<std::string>;
using workbook::test::ReadWithXlrd;
using workbook::test::TXlrdSheet;

const Labels Common = {"Nbre matchs",   "Pts match", "Taux victoire", "Moyenne (3.10)",
                       "Points (3.10)", "Reprises",  "Série",         "MPART"};
const Labels MatchColumns = {"No Phase", "Date match", "Billard",      "Poule",  "Licence J1", "Joueur 1", "Pts J1",
                             "Rep J1",   "Ser J1",     "Pts Match J1", "Moy J1", "Licence J2", "Joueur 2", "Pts J2",
                             "Rep J2",   "Ser J2",     "Pts Match J2", "Moy J2", "NOMBD"};

Labels Plus(Labels first, const Labels& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

class Export : public test::TRankingsGoldenFixture {
protected:
    workbook::test::TTempDir Dir;
    test::TRecordingBoxes Boxes;
    test::TFakeShell Shell;
    TViews Views{Dm, Host};
    TExport Exporter{Dm, Boxes, Shell};
    TXlsFormat Xls{Exporter};
    THtmlFormat Html{Exporter};
    TElement Shown;

    // The view of the element, shown as the main window shows it.
    void Refresh(const TElement& element) {
        Shown = element;
        Views.RefreshFiltres(element);
    }

    void SetUp() override {
        TRankingsGoldenFixture::SetUp();
        Exporter.ExportFolder = Dir.Dir.string();
        Compet.SetMessage("Finale 3.10 : Nîmes (3Bandes)");
    }
    // Shows the view, exports it as a workbook and reads it back.
    workbook::test::TXlrdBook Show(std::uint8_t kind, std::int32_t id, std::int32_t parent) {
        Refresh({static_cast<TNodeKind>(kind), id, parent});
        Exporter.ExportFiltres(Shown, Xls);
        return ReadWithXlrd(Exporter.GetNomFichierExport(".xls"));
    }
    static Labels Header(const TXlrdSheet& sheet) {
        Labels out;
        for (int c = 0; c < sheet.Cols; ++c) {
            out.push_back(sheet.At(0, c).Value);
        }
        return out;
    }
    static int Column(const TXlrdSheet& sheet, const std::string& label) {
        const Labels header = Header(sheet);
        return static_cast<int>(std::find(header.begin(), header.end(), label) - header.begin());
    }
    // The licences of the shown players, in the view's order.
    std::vector<std::string> ShownLicences() {
        std::vector<std::string> out;
        TTable& t = Dm.Tables.FiltreJoueurs;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.AsString("LICENCE"));
        }
        return out;
    }
    static std::vector<std::string> SheetLicences(const TXlrdSheet& sheet, int col) {
        std::vector<std::string> out;
        for (int r = 1; r < sheet.Rows; ++r) {
            const double v = sheet.At(r, col).Number();
            out.push_back(std::to_string(static_cast<long>(v)));
        }
        return out;
    }
};

TEST_F(Export, FileNameCleanedOfFourteenCharacters) {
    EXPECT_EQ(Exporter.GetNomFichierExport(".xls"), Dir.Path("Finale 3_10 _ Nîmes (3Bandes).xls"));
    Compet.SetMessage("a?b[c]d/e\\f=g+h<i>j:k;l\"m,n.o");
    EXPECT_EQ(Exporter.GetNomFichierExport(".html"), Dir.Path("a_b_c_d_e_f_g_h_i_j_k_l_m_n_o.html"));
}

TEST_F(Export, PhaseViewSheetsColumnsAndOrder) {
    const auto book = Show(0, 2, -1);
    ASSERT_EQ(book.Sheets.size(), 2u);
    const TXlrdSheet& players = book.Sheets[0];
    EXPECT_EQ(players.Name, "Classement");
    EXPECT_EQ(Header(players), Plus({"Classt phase", "Licence", "Joueur"}, Common));
    EXPECT_EQ(SheetLicences(players, 1), ShownLicences());
    const TXlrdSheet& matches = book.Sheets[1];
    EXPECT_EQ(matches.Name, "Matchs");
    EXPECT_EQ(Header(matches), MatchColumns);
    EXPECT_EQ(matches.Rows, 1 + Dm.Tables.FiltreMatchs.RecordCount());

    // Header: bold Arial, centred, wrapped; widths by type.
    const auto& head = players.At(0, 0);
    EXPECT_TRUE(head.Bold);
    EXPECT_EQ(head.FontName, "Arial");
    EXPECT_EQ(head.Height, 200);
    EXPECT_EQ(head.HAlign, 2);
    EXPECT_EQ(head.VAlign, 1);
    EXPECT_TRUE(head.Wrap);
    EXPECT_EQ(players.Columns.at(0).Width, 8 * 256);   // rank: integer
    EXPECT_EQ(players.Columns.at(2).Width, 25 * 256);  // name: text
    EXPECT_EQ(players.Columns.at(Column(players, "Taux victoire")).Width, 10 * 256);
    EXPECT_EQ(matches.Columns.at(Column(matches, "Date match")).Width, 11 * 256);

    // The first ranked player's row: licence "000000" centred, win rate a
    // fraction shown as a percentage, averages and points with their formats.
    const int r = 2;  // row 1 is 512300, who has not played
    const auto& licence = players.At(r, 1);
    EXPECT_EQ(licence.Type, "number");
    EXPECT_EQ(licence.Format, "000000");
    EXPECT_EQ(licence.HAlign, 2);
    const auto& tv = players.At(r, Column(players, "Taux victoire"));
    EXPECT_NEAR(tv.Number(), 5.0 / 6.0, 1e-9);
    EXPECT_EQ(tv.Format, "0 %");
    EXPECT_EQ(players.At(r, Column(players, "Moyenne (3.10)")).Format, "#,##0.000");
    EXPECT_EQ(players.At(r, Column(players, "Points (3.10)")).Format, "#,##0.0");
    EXPECT_EQ(players.At(r, Column(players, "MPART")).Format, "#,##0.000");
    EXPECT_EQ(players.At(r, 2).Type, "text");
    EXPECT_FALSE(players.At(r, 2).Bold);
    EXPECT_EQ(players.At(r, 3).HAlign, 3) << "numbers to the right";
    // The member without match: licence and name, every figure empty, the win rate too.
    EXPECT_EQ(players.At(1, 1).Value.substr(0, 6), "512300");
    for (const char* label : {"Classt phase", "Nbre matchs", "Taux victoire", "Moyenne (3.10)", "MPART"}) {
        const int c = Column(players, label);
        EXPECT_TRUE(!players.Has(1, c) || players.At(1, c).Type == "blank") << label;
    }
    // A date as a date, day/month/year, centred.
    const auto& date = matches.At(1, Column(matches, "Date match"));
    EXPECT_EQ(date.Type, "date");
    EXPECT_EQ(date.Format, "dd/mm/yyyy");
    EXPECT_EQ(date.HAlign, 2);
    EXPECT_EQ(matches.At(1, Column(matches, "Licence J1")).Format, "000000");
    EXPECT_EQ(matches.At(1, Column(matches, "NOMBD")).Type, "text");
}

TEST_F(Export, ColumnsOfEveryKindOfView) {
    EXPECT_EQ(Header(Show(1, 11, 1).Sheets[0]), Plus({"Classt poule", "Licence", "Joueur"}, Common));
    const auto general = Show(2, -1, -1);
    EXPECT_EQ(Header(general.Sheets[0]), Plus({"Classt général", "Licence", "Joueur"}, Common));
    EXPECT_EQ(SheetLicences(general.Sheets[0], 1), ShownLicences());

    const auto registrant = Show(3, 1234, -1);
    ASSERT_EQ(registrant.Sheets.size(), 2u);
    EXPECT_EQ(registrant.Sheets[0].Name, "Classements LEFÈVRE Jérôme");
    EXPECT_EQ(registrant.Sheets[1].Name, "Matchs de LEFÈVRE Jérôme");
    EXPECT_EQ(Header(registrant.Sheets[0]), Plus({"Poule", "Licence"}, Common));
    EXPECT_EQ(registrant.Sheets[0].At(1, 0).Value, "Poule B Sète") << "views' order: pool 12 first";

    const auto member = Show(4, 1234, 11);
    EXPECT_EQ(Header(member.Sheets[0]), Plus({"Licence"}, Common));
    EXPECT_EQ(member.Sheets[1].Rows, 1 + 3);

    // A registrant who has played nothing: the players sheet alone.
    const auto none = Show(3, 512300, -1);
    ASSERT_EQ(none.Sheets.size(), 1u);
    EXPECT_EQ(none.Sheets[0].Name, "Classements MARÉCHAL Noémie");
}

// Wrapped titles: the header row as high as the most wrapped one needs, the
// other rows left alone.
TEST_F(Export, TheHeaderRowIsAsHighAsItsMostWrappedTitle) {
    const auto book = Show(0, 2, -1);
    const TXlrdSheet& players = book.Sheets.at(0);
    const TXlrdSheet& matches = book.Sheets.at(1);
    // "Classt phase", "Reprises"... two lines in their columns; "Pts Match J1" three.
    ASSERT_EQ(players.RowInfo.count(0), 1u);
    EXPECT_EQ(players.RowInfo.at(0).Height, 2 * 255);
    EXPECT_FALSE(players.RowInfo.at(0).DefaultHeight);
    ASSERT_EQ(matches.RowInfo.count(0), 1u);
    EXPECT_EQ(matches.RowInfo.at(0).Height, 3 * 255);
    EXPECT_EQ(players.RowInfo.size(), 1u) << "the data rows keep the default height";
    EXPECT_EQ(matches.RowInfo.size(), 1u);

    // Titles that fit on one line leave the row as it is.
    workbook::TWorkbook short_;
    workbook::TSheet& sheet = short_.AddSheet("Court");
    int col = 1;
    for (const TFieldDef& field : {StringField("NOM", 50, "Joueur"), IntegerField("BD", "Billard"),
                                   DateTimeField("DATEMATCH", "Date match"), FloatField("MG", "Moyenne")}) {
        sheet.SetText(1, col, field.Label());
        Exporter.Ds2XlsAfterHeaderCell(sheet, 1, col, field);
        ++col;
    }
    EXPECT_DOUBLE_EQ(sheet.RowHeight(1), workbook::TSheet::DefaultRowHeight);
    const std::string path = Dir.Path("court.xls");
    short_.SaveXls(path);
    EXPECT_TRUE(ReadWithXlrd(path).Sheets.at(0).RowInfo.empty());
}

// The lines a title needs: words kept whole, a column showing one character
// less than its width, a word too long cut, characters counted, not bytes.
TEST(HeaderLines, WordsKeptWholeInTheCharactersAColumnShows) {
    EXPECT_EQ(HeaderLines("Licence", 8), 1);
    EXPECT_EQ(HeaderLines("Reprises", 8), 2) << "eight letters in a column of eight: cut";
    EXPECT_EQ(HeaderLines("Classt général", 8), 2);
    EXPECT_EQ(HeaderLines("Pts Match J1", 8), 3);
    EXPECT_EQ(HeaderLines("Taux victoire", 10), 2);
    EXPECT_EQ(HeaderLines("Date match", 11), 1);
    EXPECT_EQ(HeaderLines("Joueur", 25), 1);
    EXPECT_EQ(HeaderLines("Été été", 8), 1) << "seven characters, nine bytes";
    EXPECT_EQ(HeaderLines("Abcdefghijklmnop", 8), 3) << "7 + 7 + 2";
    EXPECT_EQ(HeaderLines("No  Phase ", 8), 2) << "spaces repeated or at the end";
    EXPECT_EQ(HeaderLines("", 8), 1);
    EXPECT_EQ(HeaderLines("Moy", 1), 3) << "one character a line at the least";
}

TEST_F(Export, NothingToExportWritesNoFile) {
    Refresh({NodeRegistrant, 600125, -1});  // no row, no match
    Exporter.ExportFiltres(Shown, Xls);
    EXPECT_EQ(Boxes.Errors, (Labels{"Aucune donnée à exporter"}));
    EXPECT_TRUE(Dir.Files().empty());
    EXPECT_TRUE(Shell.Files.empty());
}

TEST_F(Export, ExportingTwiceOverwritesAndOpensTheFile) {
    Show(1, 12, 1);
    const std::string file = Exporter.GetNomFichierExport(".xls");
    const std::string first = ReadWholeFile(file);
    Show(1, 11, 1);
    EXPECT_NE(ReadWholeFile(file), first);
    EXPECT_EQ(Dir.Files(), (Labels{"Finale 3_10 _ Nîmes (3Bandes).xls"}));
    EXPECT_EQ(Shell.Files, (Labels{file, file}));
    EXPECT_TRUE(Boxes.Errors.empty());
    // FreeXL reads it too.
    workbook::test::TFreeXl freexl(file);
    EXPECT_EQ(freexl.SheetCount(), 2);
    EXPECT_EQ(freexl.SheetName(0), "Classement");
}

TEST_F(Export, OpeningFailures) {
    Refresh({NodePool, 12, 1});
    Shell.Outcome.Result = TShellOutcome::TResult::NoAssociation;
    Exporter.ExportFiltres(Shown, Html);
    const std::string page = Exporter.GetNomFichierExport(".html");
    EXPECT_EQ(Boxes.Errors.back(), "Excel ne semple pas être installé, ou mal installé\r\nOuverture de " + page +
                                       " impossible, les données exportées sont dans ce fichier");
    EXPECT_TRUE(FileExists(page));
    Shell.Outcome = {TShellOutcome::TResult::Failed, 5, "Accès refusé."};
    try {
        Exporter.ExportFiltres(Shown, Html);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Erreur système.  Code : 5.\r\nAccès refusé.");
    }
    Shell.Outcome = {TShellOutcome::TResult::Failed, 0, ""};
    try {
        Exporter.ExportFiltres(Shown, Xls);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Un appel à une fonction du système d'exploitation a échoué");
    }
}

TEST_F(Export, TheBuiltWorkbookIsWhatTheFilesHold) {
    Refresh({NodeRegistrant, 1234, -1});
    const TExport::TListsWorkbook lists = Exporter.BuildFiltres(Shown);
    ASSERT_NE(lists.Book, nullptr);
    EXPECT_EQ(lists.PlayerSheets, 1u);
    ASSERT_EQ(lists.Book->SheetCount(), 2u);
    EXPECT_EQ(lists.Book->Sheet(1).Name(), "Matchs de LEFÈVRE Jérôme");
    EXPECT_FALSE(Exporter.Exporter().HasWorkbook()) << "handed over, not kept for the next export";
    EXPECT_TRUE(Dir.Files().empty());
    EXPECT_TRUE(Shell.Files.empty());

    Exporter.ExportFiltres(Shown, Xls);
    EXPECT_EQ(ReadWholeFile(Exporter.GetNomFichierExport(".xls")), lists.Book->XlsBytes());
    Exporter.ExportFiltres(Shown, Html);
    EXPECT_EQ(ReadWholeFile(Exporter.GetNomFichierExport(".html")),
              lists.Book->HtmlText("Finale 3_10 _ Nîmes (3Bandes)"));

    // Building again starts afresh, and a player without matches has no matches sheet.
    Refresh({NodeRegistrant, 512300, -1});
    const TExport::TListsWorkbook alone = Exporter.BuildFiltres(Shown);
    ASSERT_NE(alone.Book, nullptr);
    EXPECT_EQ(alone.PlayerSheets, 1u);
    EXPECT_EQ(alone.Book->SheetCount(), 1u);

    Refresh({NodeRegistrant, 600125, -1});  // no row, no match
    const TExport::TListsWorkbook none = Exporter.BuildFiltres(Shown);
    EXPECT_EQ(none.Book, nullptr);
    EXPECT_EQ(none.PlayerSheets, 0u);
    EXPECT_TRUE(Boxes.Errors.empty()) << "the caller says there is nothing";
}

TEST_F(Export, TheHtmlPageEscapesNamesAsTyped) {
    ASSERT_TRUE(Compet.AddInscrit(424242, -1, "A<B> & \"C\""));
    ASSERT_TRUE(Compet.AddJoueur(424242, -1, 21));
    Refresh({NodePool, 21, 2});
    Exporter.ExportFiltres(Shown, Html);
    const std::string page = ReadWholeFile(Exporter.GetNomFichierExport(".html"));
    EXPECT_NE(page.find("A&lt;B&gt; &amp; &quot;C&quot;"), std::string::npos);
    EXPECT_EQ(page.find("A<B>"), std::string::npos);
    EXPECT_NE(page.find("Classement"), std::string::npos);
    EXPECT_NE(page.find("charset=\"utf-8\""), std::string::npos);
}

TEST_F(Export, APlayersNameIsMadeAValidSheetName) {
    ASSERT_TRUE(Compet.AddInscrit(424243, -1, "DURAND-LEFEBVRE [Jean/Charles]: vétéran du club"));
    ASSERT_TRUE(Compet.AddJoueur(424243, -1, 21));
    const auto book = Show(3, 424243, -1);
    ASSERT_EQ(book.Sheets.size(), 1u);
    EXPECT_EQ(book.Sheets[0].Name, "Classements DURAND-LEFEBVRE _Je");
    EXPECT_LE(book.Sheets[0].Name.size(), 31u);
}

}  // namespace
}  // namespace tavlor

namespace tavlor {
namespace {

TEST(Ds2Xls, RowsBeyondASheetGoToFurtherSheetsOfTheSameName) {
    TTable t("FiltreMatchs", {IntegerField("IDMATCH", "Match"), StringField("NOM1", 50, "Joueur 1")});
    {
        TControlsDisabled quiet(t);
        for (int i = 1; i <= 70000; ++i) {
            t.AppendRow({TValue(i), TValue(std::string("Joueur ") + std::to_string(i))});
        }
    }
    t.First();
    t.Next();
    const TBookmark second = t.Bookmark();
    TDs2Xls exporter;
    exporter.Export(t, "Matchs");
    EXPECT_EQ(t.Bookmark(), second) << "the current row is given back";
    workbook::test::TTempDir dir;
    const std::string file = dir.Path("long.xls");
    exporter.Save(file);
    const auto book = workbook::test::ReadWithXlrd(file, 3);
    ASSERT_EQ(book.Sheets.size(), 2u);
    EXPECT_EQ(book.Sheets[0].Name, "Matchs");
    EXPECT_EQ(book.Sheets[1].Name, "Matchs (2)");
    EXPECT_EQ(book.Sheets[0].Rows, TDs2Xls::RowsPerSheet);
    EXPECT_EQ(book.Sheets[1].Rows, 70000 - (TDs2Xls::RowsPerSheet - 1) + 1);
    EXPECT_EQ(book.Sheets[1].At(0, 1).Value, "Joueur 1") << "each sheet has its header";
    EXPECT_DOUBLE_EQ(book.Sheets[1].At(1, 0).Number(), TDs2Xls::RowsPerSheet);
    EXPECT_DOUBLE_EQ(book.Sheets[1].At(book.Sheets[1].Rows - 1, 0).Number(), 70000);
}

}  // namespace
}  // namespace tavlor
