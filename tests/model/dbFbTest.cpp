// The local database module: the base opened in the data folder, the open
// competition stored with its origin and time, listed, and opened again
// through the store as it was left, tree and views included.
#include "model/CommunsMessages.h"
#include "model/LocalBaseMessages.h"
#include "model/TextGrid.h"
#include "model/dbFb.h"
#include "model/dbFbMessages.h"
#include "sample/SampleCompetition.h"
#include "support/CompetitionFixture.h"
#include "support/CompetitionImage.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavlor {
namespace {

namespace fs = std::filesystem;

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

constexpr const char* Address = "http://127.0.0.1:8765/3bandes";

class LocalDatabase : public test::TCompetitionFixture {
protected:
    test::TTempDir Dir;
    test::TRecordingBoxes Boxes;
    TdmFb Fb{Compet, Dm, Boxes};
    TViews Views{Dm, Host};
    double Clock = 46000.75;  // 9 December 2025, 18:00

    void SetUp() override {
        Dm.DataFolder = Dir.Path();
        Fb.DataFolder = Dir.Path();
        Fb.Now = [this] { return Clock; };
    }

    // Two phases of pools, as downloaded under 3Bandes 1201.
    void Build() {
        Lists.Title = "2025-2026 Nationale 1 Seniors - Finale de France (3Bandes)";
        Lists.Billards = sample::StandardBillards();
        Names = {{11, "DUPONT Jean"}, {12, "LEFÈVRE Hélène"}, {13, "GARÇON François"}, {14, "ŒUVRE Zoé"}};
        Pool(101, 1, "Poule A");
        Pool(102, 1, "Poule B", 2);
        Pool(201, 2, "Finale", 1);
        Match(30001, 101, 11, 12);
        Match(30002, 102, 13, 14).Pts2 = 30;
        Match(30003, 201, 11, 13).CoefBd = 0.9;
        Match(30004, 201, 13, 11);
        Download(1201, "3Bandes");
    }

    // What only the user does: a phase renamed to nothing, a phase without
    // pool, a pool moved there, a registrant and a member without match,
    // ranks set by hand, a match corrected, a billiard size given twice.
    void ChangeByHand() {
        ASSERT_TRUE(Compet.EditPhase(1, ""));
        ASSERT_TRUE(Compet.AddPhase(3, "Barrages"));
        TParamTable move;
        move.Id = 102;
        move.IdParent = 3;
        ASSERT_TRUE(Dm.UpdatePoule(move));
        ASSERT_TRUE(Compet.AddInscrit(777, -1, "SANSMATCH Paul"));
        ASSERT_TRUE(Compet.AddJoueur(777, -1, 101));
        ASSERT_TRUE(Compet.EditJoueur(777, 101, 1));
        ASSERT_TRUE(Compet.EditInscrit(14, 1));
        // A rank a snapshot can leave: none.
        Compet.Chargement = true;
        ASSERT_TRUE(Compet.EditInscrit(12, -1));
        Compet.Chargement = false;
        TParamMatch m;
        ASSERT_TRUE(Dm.Tables.Matchs.Locate("IDMATCH", {30004}));
        m.IdMatch = 30004;
        m.IdPhase = Dm.Tables.Matchs.AsInteger("IDPHASE");
        m.IdPoule = 201;
        m.Licence1 = 13;
        m.Licence2 = 11;
        m.Pts1 = 12;
        m.Rep1 = 40;
        m.Ser1 = 3;
        m.Pm1 = 0;
        m.Pts2 = 30;
        m.Rep2 = 40;
        m.Ser2 = 6;
        m.Pm2 = 2;
        m.Bd = 260;
        m.CoefBd = -0.0;
        m.DateMatch = 46002.625;
        ASSERT_TRUE(Dm.EditMatch(m));
        Compet.DoAddBillard(310, "3,10 m bis");
        // As the commands leave it after each change.
        Dm.Tree.Sort([this](TNodeHandle a, TNodeHandle b) { return Dm.CompareNodes(a, b); });
    }

    test::TCompetImage Image() { return test::ImageOf(Compet, Dm); }
    std::vector<test::TViewImage> AllViews() { return test::ViewsOf(Dm, Views, Host); }
};

// ---- the base

TEST_F(LocalDatabase, TheBaseIsOpenedInTheDataFolderOrTheUserIsToldWhyNot) {
    ASSERT_TRUE(Fb.OpenDb());
    EXPECT_TRUE(Fb.IsOpen());
    EXPECT_EQ(Fb.BasePath(), Dir.File("tavlor.db"));
    EXPECT_TRUE(fs::exists(Dir.File("tavlor.db")));
    EXPECT_TRUE(Fb.OpenDb());  // already open
    EXPECT_TRUE(Boxes.Errors.empty());

    TdmFb nowhere(Compet, Dm, Boxes);
    EXPECT_FALSE(nowhere.OpenDb());
    EXPECT_EQ(Boxes.Errors, std::vector<std::string>{msg::dbfb::NoDataFolder});
}

TEST_F(LocalDatabase, ADamagedBaseIsToldNamingBothFilesAndANewOneIsStarted) {
    std::ofstream(Dir.File("tavlor.db")) << "pas une base";
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    const std::string& told = Boxes.Errors[0];
    const std::size_t at = told.find(" sous le nom ");
    ASSERT_NE(at, std::string::npos) << told;
    const std::string aside = told.substr(at + 13, told.find(" et une nouvelle") - at - 13);
    EXPECT_EQ(told, msg::localbase::SetAside(Dir.File("tavlor.db"), aside));
    EXPECT_TRUE(fs::exists(aside));
    Build();
    EXPECT_TRUE(Fb.StoreDownload(Address));
}

TEST_F(LocalDatabase, ABaseThatCannotBeOpenedIsToldAndTheProgramGoesOnWithoutIt) {
    {
        TLocalBase newer;
        newer.Open(Dir.File("tavlor.db"));
        newer.Connection().Exec("PRAGMA user_version = 9");
    }
    EXPECT_FALSE(Fb.OpenDb());
    EXPECT_EQ(Boxes.Errors, std::vector<std::string>{msg::localbase::NewerSchema(Dir.File("tavlor.db"), 9)});
    Build();
    EXPECT_FALSE(Fb.StoreDownload(Address));
    EXPECT_FALSE(Fb.Unstored());
}

// ---- a competition stored and opened again

TEST_F(LocalDatabase, ACompetitionOpensAgainAsItWasLeftTreeAndViewsIncluded) {
    Build();
    ChangeByHand();
    const test::TCompetImage before = Image();
    const std::vector<test::TViewImage> viewsBefore = AllViews();
    ASSERT_TRUE(before.BrokenLinks.empty());
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    // The base alone, without the snapshot's help.
    Dm.DataFolder.clear();

    Fb.LoadCompetDb(1201, "titre de la liste");
    const test::TCompetImage after = Image();
    EXPECT_EQ(test::FirstDifference(before, after), "");
    EXPECT_TRUE(after.BrokenLinks.empty());
    EXPECT_EQ(test::FirstDifference(viewsBefore, AllViews()), "");
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_EQ(Fb.OpenId(), 1201);
    EXPECT_EQ(Fb.OpenOrigin(), Address);
}

TEST_F(LocalDatabase, ACompetitionOpenedFromTheBaseHasNoServerBehindIt) {
    Build();
    Compet.SetLogin("Jean Dupont (12)");
    Compet.OnShowLogin = [] {};
    Compet.OnListJoueurs = [](TTextGrid&) {};
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    Fb.LoadCompetDb(1201, "");
    EXPECT_EQ(Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(Compet.IdCompet(), 1201);
    EXPECT_EQ(Compet.Message(), "2025-2026 Nationale 1 Seniors - Finale de France (3Bandes)");
    EXPECT_EQ(Compet.Discipline(), "3Bandes");
    EXPECT_EQ(Compet.Login(), "");
    EXPECT_FALSE(Compet.OnShowLogin);
    EXPECT_FALSE(Compet.Server.AddPoule);
    // A copy of the server's competition: looked at, never changed here, not
    // even what memory alone keeps.
    EXPECT_EQ(Compet.ReadOnly, msg::dbfb::ReadOnlyCopy(Address));
    EXPECT_FALSE(Compet.AddPoule(1, 0, "Poule C"));
    EXPECT_EQ(Compet.LastError, msg::dbfb::ReadOnlyCopy(Address));
    EXPECT_FALSE(Compet.AddPhase(4, "Consolante"));
    EXPECT_EQ(Fb.Shown().Id, 1201);
    EXPECT_EQ(Fb.Shown().Origin, Address);
    EXPECT_EQ(Fb.Shown().Changed, Clock);
    EXPECT_EQ(Fb.CompetitionsOpened(), 1);

    // A download of it lifts the restriction.
    Download(1201, "3Bandes");
    EXPECT_EQ(Compet.ReadOnly, "");
    EXPECT_TRUE(Compet.AddPhase(4, "Consolante"));
}

TEST_F(LocalDatabase, ACompetitionTheBaseDoesNotHoldLeavesTheProgramAsItWas) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    const test::TCompetImage before = Image();
    EXPECT_EQ(Failure([&] { Fb.LoadCompetDb(4242, "autre"); }), msg::localbase::NotInBase(4242));
    EXPECT_EQ(test::FirstDifference(before, Image()), "");
    EXPECT_EQ(Compet.Connexion, TConnexion::Internet);
    EXPECT_EQ(Fb.OpenId(), 1201);
}

TEST_F(LocalDatabase, ACopyTheStoreDoesNotTakeBackOpensNoCompetition) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    TSqlite& db = Fb.Base().Connection();
    // A row the store refuses: the phase given twice.
    db.Exec("INSERT INTO PHASES (IDCOMPET, SEQ, IDPHASE, NOMPHASE) VALUES (1201, 99, 2, 'Phase 2')");
    const std::string refused = Failure([&] { Fb.LoadCompetDb(1201, ""); });
    EXPECT_EQ(refused.rfind("La compétition n° 1201 de la base locale n'a pas pu être ouverte : ", 0), 0u) << refused;
    EXPECT_EQ(Compet.IdCompet(), -1);
    EXPECT_EQ(Compet.Connexion, TConnexion::None);
    EXPECT_TRUE(Dm.PartialLoad());
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 0);
    EXPECT_EQ(Dm.Tree.Count(), 1u);  // the registrants folder
    EXPECT_FALSE(Fb.StoreCompet());

    // A row the store raises on: a match whose player is in no pool.
    db.Exec("DELETE FROM PHASES WHERE SEQ = 99; DELETE FROM JOUEURS WHERE LICENCE = 14");
    EXPECT_NE(Failure([&] { Fb.LoadCompetDb(1201, ""); }), "no error");
    EXPECT_EQ(Compet.IdCompet(), -1);
    // The base keeps its copy as it is.
    EXPECT_EQ(Fb.FindCompetDb(1201)->Matches, 4);
}

TEST_F(LocalDatabase, WhatTheSnapshotAddsToTheCopyIsStoredByTheNextStore) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    // Kept in the snapshot but not in the base (the program ended before).
    ASSERT_TRUE(Compet.AddInscrit(888, -1, "TARDIF Marc"));
    Fb.LoadCompetDb(1201, "");
    EXPECT_TRUE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {888}));
    EXPECT_TRUE(Fb.Unstored());
    EXPECT_TRUE(Fb.StoreCompet());
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_EQ(Fb.FindCompetDb(1201)->Registrants, 5);
}

// ---- the list

TEST_F(LocalDatabase, TheListShowsEachCompetitionWithItsOriginDateAndCounts) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    Clock = 46001.5 + 7.0 / 1440;  // 10 December 2025, 12:07
    const std::int32_t local = Fb.CreateCompetDb("Tournoi du club", "Libre", "2025-2026");
    TTextGrid grid;
    Fb.ListCompetDb(grid);
    ASSERT_EQ(grid.RowCount(), 3);
    ASSERT_EQ(grid.ColCount(), 8);
    const std::vector<std::vector<std::string>> expected = {
        {"Titre", "Discipline", "Origine", "Mise à jour", "No", "Inscrits", "Matchs", "Saison"},
        {"Tournoi du club", "Libre", "compétition locale", "10/12/2025 12:07", std::to_string(local), "0", "0",
         "2025-2026"},
        {"2025-2026 Nationale 1 Seniors - Finale de France (3Bandes)", "3Bandes", Address, "09/12/2025 18:00", "1201",
         "4", "4", "2025-2026"},
    };
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 8; ++col) {
            EXPECT_EQ(grid.Cell(col, row), expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)])
                << col << "," << row;
        }
    }
    EXPECT_TRUE(Fb.IsLocalCompet(local));
    EXPECT_FALSE(Fb.IsLocalCompet(1201));
}

// ---- what is stored, and when there is something to store

TEST_F(LocalDatabase, OnlyACompetitionWhoseOriginIsKnownIsStored) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    // Downloaded, but not told to the base.
    EXPECT_FALSE(Fb.StoreCompet());
    EXPECT_FALSE(Fb.Unstored());
    ASSERT_TRUE(Fb.StoreDownload(Address));
    EXPECT_FALSE(Fb.Unstored());
    // Views are no change.
    for (const test::TViewImage& v : AllViews()) (void)v;
    EXPECT_FALSE(Fb.Unstored());
    ASSERT_TRUE(Compet.AddPhase(5, "Phase 5"));
    EXPECT_TRUE(Fb.Unstored());
    Clock += 1;
    EXPECT_TRUE(Fb.StoreCompet());
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_EQ(Fb.FindCompetDb(1201)->Changed, Clock);
    // Being replaced: left alone.
    Fb.ForgetOpen();
    ASSERT_TRUE(Compet.AddPhase(6, "Phase 6"));
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_FALSE(Fb.StoreCompet());
    // No base: nothing to do.
    ASSERT_TRUE(Fb.StoreDownload(Address));
    Fb.CloseDb();
    ASSERT_TRUE(Compet.AddPhase(7, "Phase 7"));
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_FALSE(Fb.StoreCompet());
}

TEST_F(LocalDatabase, ANewCompetitionOfThisComputerIsOpenedEmptyAndKeptAsItsOwn) {
    Build();
    ASSERT_TRUE(Fb.OpenDb());
    const std::int32_t id = Fb.CreateCompetDb("Tournoi de Noël", "Cadre", "");
    EXPECT_EQ(id, FirstLocalCompet);
    Fb.LoadCompetDb(id, "");
    EXPECT_EQ(Compet.IdCompet(), id);
    EXPECT_EQ(Compet.Message(), "Tournoi de Noël");
    EXPECT_EQ(Compet.Discipline(), "Cadre");
    EXPECT_EQ(Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(Dm.Tree.Count(), 1u);
    EXPECT_EQ(Fb.OpenOrigin(), "");
    ASSERT_TRUE(Compet.AddPhase(1, "Poules"));
    ASSERT_TRUE(Compet.AddInscrit(11, -1, "DUPONT Jean"));
    EXPECT_TRUE(Fb.StoreCompet());
    const test::TCompetImage before = Image();
    Fb.LoadCompetDb(id, "");
    EXPECT_EQ(test::FirstDifference(before, Image()), "");
    EXPECT_TRUE(Fb.IsLocalCompet(id));
    EXPECT_EQ(Fb.FindCompetDb(id)->Registrants, 1);
}

}  // namespace
}  // namespace tavlor
