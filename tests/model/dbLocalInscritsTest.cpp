#include "model/dbLocal.h"

#include "support/FakeViewHost.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tavlor {
namespace {

class Registrants : public ::testing::Test {
protected:
    TCompetition Compet;
    test::TFakeViewHost Host;
    TdmLocal Dm{Compet};

    void Register(std::int32_t licence, std::int32_t rank, const std::string& name = "") {
        ASSERT_TRUE(Compet.AddInscrit(licence, rank, name)) << Compet.LastError;
    }
    std::map<std::int32_t, std::int32_t> Ranks() {
        std::map<std::int32_t, std::int32_t> ranks;
        TTable& t = Dm.Tables.Inscrits;
        for (t.First(); !t.Eof(); t.Next()) {
            ranks[t.AsInteger("LICENCE")] = t.AsInteger("RGA");
        }
        return ranks;
    }
    std::map<std::int32_t, std::int32_t> RanksOf(std::initializer_list<std::pair<const std::int32_t, std::int32_t>> l) {
        return l;
    }
    void RegisterFour() {
        for (int i = 1; i <= 4; ++i) {
            Register(i, i, "Joueur " + std::to_string(i));
        }
    }
};

TEST_F(Registrants, AddCreatesFolderNodeAndRow) {
    EXPECT_EQ(Dm.RegistrantsNode, 0);
    Register(1234, -1, "Dupont Jean");
    ASSERT_NE(Dm.RegistrantsNode, 0);
    const TNodeData& folder = Dm.Tree.Data(Dm.RegistrantsNode);
    EXPECT_EQ(folder.Kind, NodeRegistrants);
    EXPECT_EQ(folder.Id, -1);
    EXPECT_EQ(Dm.Tree.Parent(Dm.RegistrantsNode), 0);
    ASSERT_EQ(Dm.Tree.ChildCount(Dm.RegistrantsNode), 1);

    TTable& t = Dm.Tables.Inscrits;
    ASSERT_TRUE(t.Locate("LICENCE", {1234}));
    const TNodeHandle node = t.AsInteger("NODE");
    EXPECT_EQ(Dm.Tree.Child(Dm.RegistrantsNode, 0), node);
    EXPECT_EQ(Dm.Tree.Data(node).Kind, NodeRegistrant);
    EXPECT_EQ(Dm.Tree.Data(node).Id, 1234);
    EXPECT_EQ(t.AsString("NOM"), "Dupont Jean");
    EXPECT_EQ(t.AsInteger("RGA"), 1);
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 1234, -1}), "1 - Dupont Jean");
}

TEST_F(Registrants, AddRanksAndNames) {
    for (int i = 1; i <= 5; ++i) {
        Register(i, -1);
    }
    Register(6, -1, "");
    Register(7, -2, "Martin");
    Register(8, 3, "Bernard");
    EXPECT_EQ(Ranks(), RanksOf({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, -2}, {8, 3}}))
        << "-1 is the next rank; any other value is stored as given, without renumbering";
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 6, -1}), "6 - ?") << "an empty name becomes ?";
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 99, -1}), "?");
}

TEST_F(Registrants, AddOfARegisteredLicenceIsRefusedWithoutNode) {
    Register(1234, -1, "Dupont");
    EXPECT_FALSE(Compet.AddInscrit(1234, -1, "Autre"));
    EXPECT_EQ(Compet.LastError, "Licence 1234 existe déjà");
    EXPECT_EQ(Dm.Tree.ChildCount(Dm.RegistrantsNode), 1);
    EXPECT_EQ(Dm.Tables.Inscrits.RecordCount(), 1);
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 1234, -1}), "1 - Dupont");
}

TEST_F(Registrants, EditRenumbersAroundTheMovedRegistrant) {
    RegisterFour();
    ASSERT_TRUE(Compet.EditInscrit(4, 2));
    EXPECT_EQ(Ranks(), RanksOf({{1, 1}, {4, 2}, {2, 3}, {3, 4}}));
    ASSERT_TRUE(Compet.EditInscrit(1, 4));
    EXPECT_EQ(Ranks(), RanksOf({{4, 1}, {2, 2}, {3, 3}, {1, 4}}));
}

TEST_F(Registrants, EditClampsRanksOutsideTheList) {
    RegisterFour();
    ASSERT_TRUE(Compet.EditInscrit(3, 0));
    EXPECT_EQ(Ranks(), RanksOf({{3, 1}, {1, 2}, {2, 3}, {4, 4}}));
    ASSERT_TRUE(Compet.EditInscrit(3, 99));
    EXPECT_EQ(Ranks(), RanksOf({{1, 1}, {2, 2}, {4, 3}, {3, 4}}));
    ASSERT_TRUE(Compet.EditInscrit(4, std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ(Ranks(), RanksOf({{4, 1}, {1, 2}, {2, 3}, {3, 4}}));
}

TEST_F(Registrants, EditOfAnUnknownLicenceOrToTheSameRank) {
    RegisterFour();
    EXPECT_FALSE(Compet.EditInscrit(77, 1));
    EXPECT_EQ(Compet.LastError, "Modification du rang d'arrivée impossible, Licence 77 inexistante en mémoire");
    // Give two registrants the same rank while loading, then ask for a rank
    // already held: nothing is renumbered.
    Compet.Chargement = true;
    ASSERT_TRUE(Compet.EditInscrit(4, 2));
    Compet.Chargement = false;
    ASSERT_TRUE(Compet.EditInscrit(4, 2));
    EXPECT_EQ(Ranks(), RanksOf({{1, 1}, {2, 2}, {3, 3}, {4, 2}}));
}

TEST_F(Registrants, DuplicateRanksWhileLoadingAreOrderedByTheSortOnTheNextChange) {
    RegisterFour();
    Compet.Chargement = true;
    ASSERT_TRUE(Compet.EditInscrit(4, 2));
    ASSERT_TRUE(Compet.EditInscrit(1, 3));
    EXPECT_EQ(Ranks(), RanksOf({{1, 3}, {2, 2}, {3, 3}, {4, 2}})) << "stored unchanged while loading";
    Compet.Chargement = false;
    // Entries by licence: (1,3) (2,2) (3,3) (4,2). The quicksort takes the pivot
    // rank 2 at position 1 and swaps positions 0 and 3: (4,2) (2,2) (3,3) (1,3);
    // then the right part 2..3 with pivot rank 3 swaps its two entries:
    // (4,2) (2,2) (1,3) (3,3). Renumbering follows that order.
    Dm.RenumberInscrits(-1, 0);
    EXPECT_EQ(Ranks(), RanksOf({{4, 1}, {2, 2}, {1, 3}, {3, 4}}));
}

TEST_F(Registrants, DeleteRenumbersTheOthers) {
    RegisterFour();
    TParamTable p;
    p.Id = 2;
    ASSERT_TRUE(Dm.DelInscrit(p));
    EXPECT_EQ(Ranks(), RanksOf({{1, 1}, {3, 2}, {4, 3}}));
    EXPECT_EQ(Dm.Tree.ChildCount(Dm.RegistrantsNode), 3);
    for (TNodeHandle child : Dm.Tree.Children(Dm.RegistrantsNode)) {
        EXPECT_NE(Dm.Tree.Data(child).Id, 2);
    }
    EXPECT_FALSE(Dm.DelInscrit(p));
    EXPECT_EQ(Compet.LastError, "La licence 2 n'existe pas dans les inscrits en mémoire, désinscription impossible");
}

TEST_F(Registrants, DeleteIsRefusedWhileMatchesOrMembershipsRemain) {
    RegisterFour();
    TTable& matchs = Dm.Tables.Matchs;
    matchs.Append();
    matchs.SetInteger("IDMATCH", 1);
    matchs.SetInteger("LICENCE1", 1);
    matchs.SetInteger("LICENCE2", 3);
    matchs.Post();
    TParamTable p;
    p.Id = 3;
    EXPECT_FALSE(Dm.DelInscrit(p));
    EXPECT_EQ(Compet.LastError, "Désinscription de 3 - Joueur 3 impossible, des matchs existent pour ce joueur");
    matchs.Delete();

    TTable& joueurs = Dm.Tables.Joueurs;
    joueurs.Append();
    joueurs.SetInteger("IDPHASE", 1);
    joueurs.SetInteger("IDPOULE", 5);
    joueurs.SetInteger("LICENCE", 3);
    joueurs.Post();
    EXPECT_FALSE(Dm.DelInscrit(p));
    EXPECT_EQ(Compet.LastError,
              "Désinscription de 3 - Joueur 3 impossible, des inscriptions en poules subistent pour ce joueur");
    EXPECT_EQ(Ranks().size(), 4u);
}

TEST_F(Registrants, DeleteWithoutFolderStopsWithAnError) {
    TParamTable p;
    p.Id = 1;
    try {
        Dm.DelInscrit(p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "catégorie Inscrits non enregistrée\r\nSuppression inscrit impossible");
    }
}

TEST_F(Registrants, CompareByRankOrByNameIgnoringCase) {
    Register(10, 2, "dupont");
    Register(11, 1, "DUPONT");
    Register(12, 3, "Émile");
    Register(13, 4, "zoé");
    EXPECT_GT(Dm.CompareInscrits(10, 11), 0);
    EXPECT_LT(Dm.CompareInscrits(11, 12), 0);
    EXPECT_EQ(Dm.CompareInscrits(10, 99), 0);
    Dm.SetTriAlphaJoueurs(true);
    EXPECT_EQ(Dm.CompareInscrits(10, 11), 0) << "names differing only in case are equal";
    EXPECT_LT(Dm.CompareInscrits(13, 12), 0) << "É is compared by its code, after every ASCII letter";
    EXPECT_LT(Dm.CompareInscrits(10, 13), 0);
    EXPECT_EQ(Dm.CompareInscrits(99, 13), 0);
}

class Phases : public Registrants {};

TEST_F(Phases, AddCreatesARootNodeAndRow) {
    ASSERT_TRUE(Compet.AddPhase(1, "Phase 1"));
    ASSERT_TRUE(Compet.AddPhase(0, ""));
    TTable& t = Dm.Tables.Phases;
    ASSERT_TRUE(t.Locate("IDPHASE", {1}));
    const TNodeHandle node = t.AsInteger("NODE");
    EXPECT_EQ(Dm.Tree.Parent(node), 0);
    EXPECT_EQ(Dm.Tree.Data(node).Kind, NodePhase);
    EXPECT_EQ(Dm.Tree.Data(node).Id, 1);
    EXPECT_EQ(Dm.GetNomElement({NodePhase, 0, -1}), "?") << "an empty name shows ?";
    EXPECT_EQ(Dm.Tree.ChildCount(0), 2);
    t.First();
    EXPECT_EQ(t.AsInteger("IDPHASE"), 0) << "phases are listed by number";
}

TEST_F(Phases, AddRefusesAnExistingNumberAndStopsOnANegativeOne) {
    ASSERT_TRUE(Compet.AddPhase(1, "Poules"));
    EXPECT_FALSE(Compet.AddPhase(1, "Autre"));
    EXPECT_EQ(Compet.LastError, "Création phase impossible : Poules existe déjà");
    EXPECT_EQ(Dm.Tree.ChildCount(0), 1);
    try {
        Compet.AddPhase(-3, "x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "No Phase illégal : -3\r\nAjout impossible");
    }
    EXPECT_EQ(Dm.Tables.Phases.RecordCount(), 1);
}

TEST_F(Phases, EditRenamesWithoutTouchingTheNode) {
    ASSERT_TRUE(Compet.AddPhase(2, "Phase 2"));
    ASSERT_TRUE(Compet.EditPhase(2, "Finale"));
    EXPECT_EQ(Dm.GetNomElement({NodePhase, 2, -1}), "Finale");
    ASSERT_TRUE(Compet.EditPhase(2, ""));
    EXPECT_EQ(Dm.GetNomElement({NodePhase, 2, -1}), "") << "an empty name is stored empty";
    EXPECT_FALSE(Compet.EditPhase(3, "x"));
    EXPECT_EQ(Compet.LastError, "Modification de la phase No 3 impossible, ce numéro n'existe pas en mémoire");
    EXPECT_THROW(Compet.EditPhase(-1, "x"), Error);
}

TEST_F(Phases, DeleteNeedsAnEmptyPhase) {
    ASSERT_TRUE(Compet.AddPhase(1, "Qualifications"));
    TTable& poules = Dm.Tables.Poules;
    poules.Append();
    poules.SetInteger("IDPOULE", 7);
    poules.SetInteger("IDPHASE", 1);
    poules.Post();
    EXPECT_FALSE(Compet.DelPhase(1));
    EXPECT_EQ(Compet.LastError,
              "Suppression Qualifications impossible, il y a encore des poules attachées en mémoire (si elles ne sont "
              "pas visibles essayez de recharger la compétition)");
    poules.Delete();
    ASSERT_TRUE(Compet.DelPhase(1));
    EXPECT_EQ(Dm.Tree.ChildCount(0), 0);
    EXPECT_EQ(Dm.Tables.Phases.RecordCount(), 0);
    EXPECT_FALSE(Compet.DelPhase(1));
    EXPECT_EQ(Compet.LastError, "Suppression phase No 1 impossible, cette phase n'existe pas en mémoire");
    try {
        Compet.DelPhase(-1);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "No Phase illégal : -1\r\nsuppression impossible");
    }
}

TEST_F(Phases, MemoryOnlyOperationsNeedNoIdentification) {
    Compet.Connexion = TConnexion::Internet;  // internet server, nobody identified
    EXPECT_FALSE(Compet.CanModify());
    EXPECT_TRUE(Compet.AddPhase(1, "Phase 1"));
    EXPECT_TRUE(Compet.AddInscrit(5, -1, "X"));
}

TEST(dbLocalLifetime, HandlersAreUnpluggedWhenTheStoreGoes) {
    TCompetition compet;
    {
        TdmLocal dm(compet);
        EXPECT_TRUE(compet.AddPhase(1, "Phase 1"));
    }
    EXPECT_THROW(compet.AddPhase(2, "Phase 2"), Error);
}

}  // namespace
}  // namespace tavlor
