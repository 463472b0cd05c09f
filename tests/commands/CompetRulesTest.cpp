// The rules the tree and the list dialogs apply before the controller: drags,
// drops and renaming, the filter of the competition list and the titles.
#include "commands/CommandsWorld.h"
#include "commands/CompetList.h"
#include "commands/CompetRules.h"
#include "model/LocalBase.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::TCommandsWorld;
using Texts = std::vector<std::string>;

TDragParamTable Drag(TDragKind kind, std::int32_t id, std::int32_t parent = -1) {
    TDragParamTable d;
    d.DragKind = kind;
    d.DragId = id;
    d.DragIdParent = parent;
    return d;
}

TEST(DropTable, WhatIsAcceptedWhere) {
    EXPECT_TRUE(DropAccepted(NodePhase, DragPool));
    for (const TDragKind k : {DragRegistrant, DragMember, DragGridRow, DragNone})
        EXPECT_FALSE(DropAccepted(NodePhase, k));
    for (const TDragKind k : {DragRegistrant, DragMember, DragGridRow}) EXPECT_TRUE(DropAccepted(NodePool, k));
    EXPECT_FALSE(DropAccepted(NodePool, DragPool));
    EXPECT_FALSE(DropAccepted(NodePool, DragNone));
    for (const TNodeKind target : {NodeRegistrants, NodeRegistrant, NodeMember}) {
        for (const TDragKind k : {DragPool, DragRegistrant, DragMember, DragGridRow}) {
            EXPECT_FALSE(DropAccepted(target, k));
        }
    }
}

TEST(DropTable, WhatEachDropAsks) {
    const TElement phase2{NodePhase, 2}, pool7{NodePool, 7, 1};
    EXPECT_EQ(DropOperationFor(phase2, Drag(DragPool, 5, 1)), TDropOperation::MovePoule);
    // Onto its own phase or pool: accepted, nothing asked.
    EXPECT_EQ(DropOperationFor(phase2, Drag(DragPool, 5, 2)), TDropOperation::None);
    EXPECT_EQ(DropOperationFor(pool7, Drag(DragMember, 12, 7)), TDropOperation::None);
    EXPECT_EQ(DropOperationFor(pool7, Drag(DragMember, 12, 8)), TDropOperation::MoveJoueur);
    EXPECT_EQ(DropOperationFor(pool7, Drag(DragRegistrant, 12)), TDropOperation::AddJoueur);
    EXPECT_EQ(DropOperationFor(pool7, Drag(DragGridRow, 12)), TDropOperation::AddJoueur);
    EXPECT_EQ(DropOperationFor(phase2, Drag(DragMember, 12, 8)), TDropOperation::None);
}

class TreeRules : public ::testing::Test {
protected:
    TCommandsWorld W;
    void SetUp() override { W.Load(1201); }
    // The first member of from who does not play in to.
    TNodeHandle FirstMemberNotIn(TNodeHandle from, TNodeHandle to) {
        for (TNodeHandle m : W.Dm.Tree.Children(from)) {
            bool there = false;
            for (TNodeHandle n : W.Dm.Tree.Children(to)) there |= W.Dm.Tree.Data(n).Id == W.Dm.Tree.Data(m).Id;
            if (!there) return m;
        }
        return 0;
    }
    bool DropOn(TNodeHandle target, const TDragParamTable& drag) { return W.Commands.Drop(target, drag); }
    TDragParamTable DragOf(TNodeHandle node) { return W.Commands.DragObjectOf(node); }
};

TEST_F(TreeRules, DragSourcesCarryTheirNodeAndItsParents) {
    const TNodeHandle phase1 = W.Find(NodePhase, 1), pool = W.Find(NodePool, 101);
    const TNodeHandle member = W.Dm.Tree.Child(pool, 0);
    EXPECT_EQ(DragOf(phase1).DragKind, DragNone);
    EXPECT_EQ(DragOf(W.Dm.RegistrantsNode).DragKind, DragNone);
    EXPECT_EQ(DragOf(0).DragKind, DragNone);
    const TDragParamTable d = DragOf(member);
    EXPECT_EQ(d.DragKind, DragMember);
    EXPECT_EQ(d.DragId, W.Dm.Tree.Data(member).Id);
    EXPECT_EQ(d.DragIdParent, 101);
    EXPECT_EQ(d.DragIdGrandParent, 1);
    EXPECT_EQ(DragOf(pool).DragIdParent, 1);
    EXPECT_EQ(DragOf(pool).DragIdGrandParent, -1);
    EXPECT_EQ(DragOf(W.Dm.Tree.Child(W.Dm.RegistrantsNode, 0)).DragIdParent, -1);
    // Acceptance by the node under the mouse; none without one.
    EXPECT_FALSE(W.Commands.DropAccepted(0, DragMember));
    EXPECT_TRUE(W.Commands.DropAccepted(pool, DragGridRow));
    EXPECT_FALSE(W.Commands.DropAccepted(phase1, DragGridRow));
}

TEST_F(TreeRules, DropsGoThroughTheController) {
    const TNodeHandle pool101 = W.Find(NodePool, 101), pool102 = W.Find(NodePool, 102);
    const TNodeHandle pool104 = W.Find(NodePool, 104);

    // Onto its own pool or its own phase: nothing happens, no message.
    const TNodeHandle member = W.Dm.Tree.Child(pool101, 0);
    const int before = W.Dm.Tree.ChildCount(pool101);
    EXPECT_FALSE(DropOn(pool101, DragOf(member)));
    EXPECT_FALSE(DropOn(W.Find(NodePhase, 1), DragOf(pool101)));
    EXPECT_EQ(W.Dm.Tree.ChildCount(pool101), before);
    EXPECT_EQ(W.Dm.Tree.Parent(pool101), W.Find(NodePhase, 1));
    EXPECT_TRUE(W.Boxes.Errors.empty());

    // A member with matches in his pool cannot leave it: the store's refusal is shown.
    const TNodeHandle mover = FirstMemberNotIn(pool101, pool102);
    ASSERT_NE(mover, 0);
    const std::int32_t licence = W.Dm.Tree.Data(mover).Id;
    EXPECT_FALSE(DropOn(pool102, DragOf(mover)));
    ASSERT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Boxes.Errors[0], W.Compet.LastError);
    EXPECT_EQ(W.Dm.Tree.ChildCount(pool101), before);

    // A registrant onto a pool of a phase where he already plays: the store's refusal.
    W.Boxes.Clear();
    TNodeHandle registrant = 0;
    for (TNodeHandle r : W.Dm.Tree.Children(W.Dm.RegistrantsNode)) {
        if (W.Dm.Tree.Data(r).Id == licence) registrant = r;
    }
    ASSERT_NE(registrant, 0);
    EXPECT_FALSE(DropOn(W.Find(NodePool, 103), DragOf(registrant)));
    ASSERT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_NE(W.Boxes.Errors[0].find("déjà"), std::string::npos);

    // In a new phase: a registrant dropped into a pool joins it, and a
    // member without matches moves from one pool to the other.
    W.Boxes.Clear();
    W.Login();
    ASSERT_TRUE(W.Compet.AddPhase(9, "Barrages"));
    std::int32_t poolA = -1, poolB = -1;
    ASSERT_TRUE(W.Compet.AddPoule(9, 0, "Barrage A", &poolA));
    ASSERT_TRUE(W.Compet.AddPoule(9, 0, "Barrage B", &poolB));
    const TNodeHandle nodeA = W.Find(NodePool, poolA), nodeB = W.Find(NodePool, poolB);
    EXPECT_TRUE(DropOn(nodeA, DragOf(registrant)));
    EXPECT_EQ(W.Boxes.Errors, Texts{});
    EXPECT_EQ(W.Dm.Tree.ChildCount(nodeA), 1);
    EXPECT_TRUE(DropOn(nodeB, DragOf(W.Dm.Tree.Child(nodeA, 0))));
    EXPECT_EQ(W.Boxes.Errors, Texts{});
    EXPECT_EQ(W.Dm.Tree.ChildCount(nodeA), 0);
    EXPECT_TRUE(W.Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {poolB, licence}));

    // A ranking-grid row registers the player in a pool of a phase where he does not play.
    TNodeHandle outsider = 0;
    for (TNodeHandle r : W.Dm.Tree.Children(W.Dm.RegistrantsNode)) {
        const std::int32_t id = W.Dm.Tree.Data(r).Id;
        bool inPhase2 = false;
        for (TNodeHandle p : {pool104, W.Find(NodePool, 105)}) {
            for (TNodeHandle mm : W.Dm.Tree.Children(p)) inPhase2 |= W.Dm.Tree.Data(mm).Id == id;
        }
        if (!inPhase2) outsider = r;
    }
    ASSERT_NE(outsider, 0);
    const int members = W.Dm.Tree.ChildCount(pool104);
    EXPECT_TRUE(DropOn(pool104, Drag(DragGridRow, W.Dm.Tree.Data(outsider).Id)));
    EXPECT_EQ(W.Boxes.Errors, Texts{});
    EXPECT_EQ(W.Dm.Tree.ChildCount(pool104), members + 1);

    // A pool onto another phase goes through the server (logged in above).
    EXPECT_TRUE(DropOn(W.Find(NodePhase, 2), DragOf(nodeB)));
    EXPECT_EQ(W.Boxes.Errors, Texts{});
    EXPECT_EQ(W.Dm.Tree.Parent(nodeB), W.Find(NodePhase, 2));
    // Without login it is refused with the controller's text.
    W.Compet.SetLogin("");
    EXPECT_FALSE(DropOn(W.Find(NodePhase, 1), DragOf(nodeB)));
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Dm.Tree.Parent(nodeB), W.Find(NodePhase, 2));
}

TEST_F(TreeRules, RenamingPhasesAndPoolsOnly) {
    EXPECT_TRUE(W.Commands.Rename(W.Find(NodePhase, 1), "Éliminatoires"));
    EXPECT_EQ(W.Name(W.Find(NodePhase, 1)), "Éliminatoires");
    // A pool goes through the server: refused without login, the old name kept.
    const std::string old = W.Name(W.Find(NodePool, 101));
    EXPECT_FALSE(W.Commands.Rename(W.Find(NodePool, 101), "Poule neuve"));
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Name(W.Find(NodePool, 101)), old);
    W.Login();
    EXPECT_TRUE(W.Commands.Rename(W.Find(NodePool, 101), "Poule neuve"));
    EXPECT_EQ(W.Name(W.Find(NodePool, 101)), "Poule neuve");
    // Anything else cannot be renamed.
    W.Boxes.Clear();
    for (const TNodeHandle node :
         {W.Dm.RegistrantsNode, W.Dm.Tree.Child(W.Dm.RegistrantsNode, 0), W.Dm.Tree.Child(W.Find(NodePool, 101), 0)}) {
        EXPECT_FALSE(W.Commands.Rename(node, "X"));
    }
    EXPECT_EQ(W.Boxes.Errors, (Texts{"élément non renommable", "élément non renommable", "élément non renommable"}));
}

TEST_F(TreeRules, ProposalsForNewPhasesPoolsAndMembers) {
    EXPECT_EQ(NextPhaseNumber(W.Dm.Tables), 4);
    EXPECT_EQ(NewPhaseName(4), "Phase 4");
    const TNodeHandle phase = W.Find(NodePhase, 1);
    const TNodeHandle pool = W.Find(NodePool, 101);
    EXPECT_EQ(OwningPhaseNode(W.Dm.Tree, phase), phase);
    EXPECT_EQ(OwningPhaseNode(W.Dm.Tree, pool), phase);
    EXPECT_EQ(OwningPhaseNode(W.Dm.Tree, W.Dm.Tree.Child(pool, 0)), phase);
    EXPECT_EQ(OwningPhaseNode(W.Dm.Tree, W.Dm.RegistrantsNode), 0);
    EXPECT_EQ(OwningPhaseNode(W.Dm.Tree, 0), 0);
    EXPECT_EQ(ProposedPouleName(W.Dm, phase), "Phase 1 D");
    ASSERT_TRUE(W.Compet.AddPhase(7, "P7"));
    EXPECT_EQ(ProposedPouleName(W.Dm, W.Find(NodePhase, 7)), "P7 A");
    // Everyone plays in phase 1 but those registered by hand.
    const std::size_t registrants = W.Dm.Tables.Inscrits.Data().RowCount();
    const TRegistrantChoice none = RegistrantsNotInPhase(W.Dm, 7);
    EXPECT_EQ(none.Items.size(), registrants);
    ASSERT_TRUE(W.Compet.AddInscrit(123, -1, "NOUVEAU Léo"));
    const TRegistrantChoice newcomer = RegistrantsNotInPhase(W.Dm, 1);
    ASSERT_FALSE(newcomer.Items.empty());
    EXPECT_EQ(newcomer.Items.back(), "NOUVEAU Léo (000123)");
    EXPECT_EQ(newcomer.Licences.back(), 123);
}

TEST(CompetList, TheFilterFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(FilterContains("Coupe régionale", "coupe"));
    EXPECT_TRUE(FilterContains("COUPE DE FRANCE", "coupe"));
    EXPECT_TRUE(FilterContains("coupe", "CoUpE"));
    EXPECT_TRUE(FilterContains("Coupe régionale", "RéGIONALE"));
    EXPECT_FALSE(FilterContains("Coupe régionale", "RÉGIONALE"));
    EXPECT_FALSE(FilterContains("Île-de-France", "île"));
    EXPECT_TRUE(FilterContains("Île-de-France", "Île"));
    EXPECT_FALSE(FilterContains("Coupe", "Coupes"));
}

TEST(CompetList, FilteredRowsTitlesAndNumbers) {
    TTextGrid grid;
    const Texts rows[] = {{"Saison", "Niveau", "Catégorie", "Nom", "No"},
                          {"2025", "N1", "Seniors", "Finale", "1"},
                          {"2026", "N2", "Coupe Île", "Ligue", "2"},
                          {"coupe", "R1", "Dames", "Ligue", "x3"},
                          {"2027", "R2", "Juniors", "COUPE", "4"}};
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) grid.SetCell(c, r, rows[r][std::size_t(c)]);
    }
    EXPECT_EQ(FilteredRows(grid, "coupe"), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(FilteredRows(grid, "île"), (std::vector<int>{0}));
    EXPECT_TRUE(HasCompetition(grid));
    EXPECT_EQ(CompetTitle(grid, 1, false), "2025 N1 Seniors - Finale");
    EXPECT_EQ(CompetTitle(grid, 1, true), "2025  N1 - Seniors - Finale");
    EXPECT_EQ(CompetNumber(grid, 4), 4);
    EXPECT_THROW(CompetNumber(grid, 3), Error);
    // A list whose first data cell is empty holds nothing to choose.
    grid.SetCell(0, 1, "");
    EXPECT_FALSE(HasCompetition(grid));
    TTextGrid titleOnly;
    titleOnly.SetCell(0, 0, "Saison");
    EXPECT_FALSE(HasCompetition(titleOnly));
}

TEST(CompetList, TheFoundPlayerIsTheRowsLicenceAndName) {
    TTextGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetCell(0, 1, "001234");
    grid.SetCell(1, 1, "LEFÈVRE Jérôme");
    grid.SetCell(0, 2, "douze");
    EXPECT_EQ(FoundPlayer(grid, 1).Licence, 1234);
    EXPECT_EQ(FoundPlayer(grid, 1).Name, "LEFÈVRE Jérôme");
    EXPECT_THROW(FoundPlayer(grid, 2), Error);
}

}  // namespace
}  // namespace tavlor

namespace tavlor {
namespace {

TEST(WindowTitle, SaysWhereTheCompetitionComesFromAndWhoIsIdentified) {
    TCompetition compet;
    EXPECT_EQ(WindowTitle(compet, nullptr), "Tavlor (utilisateur non identifié)");
    compet.Connexion = TConnexion::Internet;
    compet.SetIdCompet(1201);
    EXPECT_EQ(WindowTitle(compet, nullptr), "Tavlor - Internet - (utilisateur non identifié)");
    compet.SetLogin("Jean Dupont (12)");
    EXPECT_EQ(WindowTitle(compet, nullptr), "Tavlor - Internet - (Jean Dupont (12))");

    // Opened from the base: a copy, only looked at, and of when; or a
    // competition of this computer.
    compet.SetLogin("");
    compet.Connexion = TConnexion::LocalBase;
    TLocalCompet copy;
    copy.Id = 1201;
    copy.Origin = "http://127.0.0.1:8765/3bandes";
    copy.Changed = 46000.75 + 5.0 / 1440;  // 9 December 2025, 18:05
    EXPECT_EQ(WindowTitle(compet, &copy), "Tavlor - base locale - copie locale du 09/12/2025 à 18:05 (lecture seule)");
    TLocalCompet local = copy;
    local.Origin.clear();
    EXPECT_EQ(WindowTitle(compet, &local), "Tavlor - base locale - compétition locale");
    // A record of another competition says nothing of this one.
    copy.Id = 1202;
    EXPECT_EQ(WindowTitle(compet, &copy), "Tavlor - base locale - (utilisateur non identifié)");
}

}  // namespace
}  // namespace tavlor
