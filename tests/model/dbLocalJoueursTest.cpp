#include "model/dbLocal.h"

#include "support/CompetitionFixture.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Licences = std::vector<std::int32_t>;
using Ranks = std::map<std::int32_t, std::int32_t>;

// Phase 1: pool 10 "Poule A" (members 1, 2, 3 added by hand, no match),
// pool 11 "Poule B" (empty), pool 12 "Poule M" (8 and 9 with a match).
// Phase 2: pool 20 "Poule C" (empty), pool 21 "Poule D" (8 and 9 with a match).
class Members : public test::TCompetitionFixture {
protected:
    void SetUp() override {
        Pool(10, 1, "Poule A");
        Pool(11, 1, "Poule B");
        Pool(12, 1, "Poule M");
        Pool(20, 2, "Poule C");
        Pool(21, 2, "Poule D");
        Names[8] = "Huit";
        Match(1, 12, 8, 9);
        Match(2, 21, 8, 9);
        Load();
        Place(1, 10, "Un");
        Place(2, 10, "Deux");
        Place(3, 10, "Trois");
    }
};

TEST_F(Members, AddingPutsThePlayerLastOrAtHisRank) {
    EXPECT_EQ(PoolRanks(10), (Ranks{{1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(TreeMembers(10), (Licences{1, 2, 3}));
    const TNodeHandle node = Dm.Tree.Children(PoolNode(10)).back();
    EXPECT_EQ(Dm.Tree.Data(node).Kind, NodeMember);
    EXPECT_EQ(Dm.Tree.Data(node).Id, 3);
    EXPECT_EQ(Dm.GetNomElement({NodeMember, 3, 10}), "3 - Trois");
    EXPECT_EQ(Dm.GetNomElement({NodeMember, 3, -1}), "Trois");

    ASSERT_TRUE(Compet.AddInscrit(4, -1, "Quatre"));
    ASSERT_TRUE(Compet.AddJoueur(4, 1, 11));
    ASSERT_TRUE(Compet.AddInscrit(5, -1, "Cinq"));
    ASSERT_TRUE(Compet.AddJoueur(5, 1, 11));
    EXPECT_EQ(PoolRanks(11), (Ranks{{4, 2}, {5, 1}})) << "a given rank is taken at once, the others follow";
}

TEST_F(Members, TheRecordLearnsThePhaseOfThePool) {
    ASSERT_TRUE(Compet.AddInscrit(4, -1, "Quatre"));
    TParamTable p;
    p.Id = 4;
    p.IdParent = 20;
    p.Valeur = -1;
    ASSERT_TRUE(Dm.AddJoueur(p));
    EXPECT_EQ(p.IdDest, 2);
    EXPECT_EQ(p.Valeur, 1) << "below 0: the pool's number of members, the new one included";
}

TEST_F(Members, OnePoolPerPhaseExceptWhileLoading) {
    EXPECT_FALSE(Compet.AddJoueur(1, -1, 11));
    EXPECT_EQ(Compet.LastError,
              "le joueur 3 - Un existe déjà dans la poule Poule B ou la phase Phase 1\r\najout impossible");
    EXPECT_TRUE(TreeMembers(11).empty());

    Compet.Chargement = true;
    ASSERT_TRUE(Compet.AddJoueur(1, -1, 11)) << "the server may have him in two pools of a phase";
    EXPECT_FALSE(Compet.AddJoueur(1, -1, 11));
    EXPECT_EQ(Compet.LastError, "le joueur 3 - Un existe déjà dans la poule Poule B\r\najout impossible");
    Compet.Chargement = false;
    EXPECT_EQ(PoolRanks(11), (Ranks{{1, 1}}));
}

TEST_F(Members, AddJoueurErrors) {
    auto error = [&](std::int32_t licence, std::int32_t pool) -> std::string {
        TParamTable p;
        p.Id = licence;
        p.IdParent = pool;
        try {
            Dm.AddJoueur(p);
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(error(1, -1), "No poule illégal : -1\r\nAjout joueur impossible");
    EXPECT_EQ(error(77, 11), "Le No licence : 77 n'existe pas dans la liste des inscrits\r\nAjout joueur impossible");
    EXPECT_EQ(error(1, 99), "No Poule propriétaire inconnu : 99\r\nAjout joueur impossible");
    TTable& poules = Dm.Tables.Poules;
    ASSERT_TRUE(poules.Locate("IDPOULE", {20}));
    poules.Edit();
    poules.SetInteger("NODE", 0);
    poules.Post();
    EXPECT_EQ(error(1, 20), "Erreur interne 124, rechargez la compétition entière");
}

TEST_F(Members, ReRankingWithinThePool) {
    ASSERT_TRUE(Compet.EditJoueur(3, 10, 1));
    EXPECT_EQ(PoolRanks(10), (Ranks{{3, 1}, {1, 2}, {2, 3}}));
    ASSERT_TRUE(Compet.EditJoueur(3, 10, 3));
    EXPECT_EQ(PoolRanks(10), (Ranks{{1, 1}, {2, 2}, {3, 3}}));
    // A wanted rank outside 1..3 means last, where a registrant would go first.
    ASSERT_TRUE(Compet.EditJoueur(1, 10, 0));
    EXPECT_EQ(PoolRanks(10), (Ranks{{2, 1}, {3, 2}, {1, 3}}));
    ASSERT_TRUE(Compet.EditJoueur(2, 10, 7));
    EXPECT_EQ(PoolRanks(10), (Ranks{{3, 1}, {1, 2}, {2, 3}}));
    TParamTable p;
    p.Id = 1;
    p.IdParent = p.IdDest = 99;
    EXPECT_FALSE(Dm.UpdateJoueur(p));
    EXPECT_EQ(Compet.LastError, "Poule No 99 introuvable, reclassement impossible");
}

TEST_F(Members, MovingToAnotherPoolRenumbersBoth) {
    ASSERT_TRUE(Compet.MoveJoueur(2, 10, 11)) << Compet.LastError;
    EXPECT_EQ(PoolRanks(10), (Ranks{{1, 1}, {3, 2}}));
    EXPECT_EQ(PoolRanks(11), (Ranks{{2, 1}}));
    EXPECT_EQ(TreeMembers(10), (Licences{1, 3}));
    EXPECT_EQ(TreeMembers(11), (Licences{2}));
    ASSERT_TRUE(Compet.MoveJoueur(3, 10, 11));
    EXPECT_EQ(PoolRanks(11), (Ranks{{2, 1}, {3, 2}})) << "a moved player comes last";
    EXPECT_EQ(TreeMembers(11), (Licences{2, 3}));
    // To a pool of another phase: his membership row follows the pool's phase.
    ASSERT_TRUE(Compet.MoveJoueur(1, 10, 20));
    EXPECT_EQ(Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {20, 1}).AsInteger("IDPHASE"), 2);
}

TEST_F(Members, MovingAPlayerWithMatchesInHisPhaseIsRefused) {
    EXPECT_FALSE(Compet.MoveJoueur(8, 12, 11)) << "even within the same phase";
    EXPECT_EQ(Compet.LastError, "Le joueur a des matchs dans la phase d'origine, transfert impossible");
    Place(7, 11);
    Place(7, 20);
    EXPECT_FALSE(Compet.MoveJoueur(7, 11, 21));
    EXPECT_EQ(Compet.LastError, "Le joueur est déjà dans une poule de la phase cible, transfert impossible");
    ASSERT_TRUE(Compet.DelJoueur(7, 20));
    EXPECT_TRUE(Compet.MoveJoueur(7, 11, 21)) << Compet.LastError;
    EXPECT_EQ(TreeMembers(21), (Licences{8, 9, 7}));
}

TEST_F(Members, MoveRefusals) {
    EXPECT_FALSE(Compet.MoveJoueur(1, 10, 99));
    EXPECT_EQ(Compet.LastError, "Poule de destination inexistante, transfert joueur impossible");
    EXPECT_FALSE(Compet.MoveJoueur(1, 98, 11));
    EXPECT_EQ(Compet.LastError, "No de poule de départ incorrecte, transfert joueur impossible");
    EXPECT_FALSE(Compet.MoveJoueur(1, 11, 10));
    EXPECT_EQ(Compet.LastError, "Le joueur est déjà dans une poule de la phase cible, transfert impossible")
        << "already in the target pool";
    ASSERT_TRUE(Compet.AddInscrit(4, -1, "Quatre"));
    EXPECT_FALSE(Compet.MoveJoueur(4, 11, 20));
    EXPECT_EQ(Compet.LastError, "joueur introuvable, transfert impossible");
    // A player with a match in the target phase.
    Place(4, 11);
    TTable& matchs = Dm.Tables.Matchs;
    matchs.Append();
    matchs.SetInteger("IDMATCH", 50);
    matchs.SetInteger("IDPHASE", 2);
    matchs.SetInteger("LICENCE2", 4);
    matchs.Post();
    EXPECT_FALSE(Compet.MoveJoueur(4, 11, 20));
    EXPECT_EQ(Compet.LastError, "Le joueur a déjà des matchs dans la phase de destination, transfert impossible");
    EXPECT_THROW(Compet.MoveJoueur(4, -1, 20), Error);
    EXPECT_THROW(Compet.MoveJoueur(4, 11, -3), Error);
}

TEST_F(Members, TakingAPlayerOutLeavesTheOtherRanks) {
    ASSERT_TRUE(Compet.DelJoueur(2, 10));
    EXPECT_EQ(PoolRanks(10), (Ranks{{1, 1}, {3, 3}}));
    EXPECT_EQ(TreeMembers(10), (Licences{1, 3}));
    EXPECT_FALSE(Compet.DelJoueur(2, 10));
    EXPECT_EQ(Compet.LastError, "4 - Deux n'existe pas dans la poule Poule A\r\nSuppression impossible");
    EXPECT_FALSE(Compet.DelJoueur(8, 12));
    EXPECT_EQ(Compet.LastError,
              "Impossible de retirer Huit de la poule Poule M\r\nIl y a des matchs pour ce joueur dans cette poule");
    EXPECT_THROW(Compet.DelJoueur(1, -2), Error);
    try {
        Compet.DelJoueur(1, 99);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "No Poule propriétaire inconnu : 99\r\nSuppression joueur impossible");
    }
}

TEST_F(Members, TakingAPlayerOutOfEveryPoolStopsAtTheFirstRefusal) {
    // Player 8: pool 12 (phase 1, match), pool 21 (phase 2, match). Put him in
    // an empty pool 11 of phase 1 while loading: 11 comes before 12.
    Compet.Chargement = true;
    ASSERT_TRUE(Compet.AddJoueur(8, -1, 11));
    Compet.Chargement = false;
    TParamTable p;
    p.Id = 8;
    p.IdParent = -1;
    EXPECT_FALSE(Dm.DelJoueur(p));
    EXPECT_EQ(p.IdParent, 12) << "the pool that refused";
    EXPECT_TRUE(TreeMembers(11).empty()) << "removals before the refusal stay";
    EXPECT_EQ(TreeMembers(12), (Licences{8, 9}));
    EXPECT_EQ(TreeMembers(21), (Licences{8, 9}));

    EXPECT_FALSE(Compet.DelInscrit(8));
    EXPECT_EQ(Compet.LastError, "Impossible de supprimer le joueur, il reste des occurence dans certaines poules");
}

TEST_F(Members, UnregisteringTakesThePlayerOutOfHisPoolsFirst) {
    ASSERT_TRUE(Compet.DelInscrit(2)) << Compet.LastError;
    EXPECT_EQ(TreeMembers(10), (Licences{1, 3}));
    EXPECT_FALSE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {2}));
    TTable& inscrits = Dm.Tables.Inscrits;
    std::vector<std::int32_t> ranks;
    for (inscrits.First(); !inscrits.Eof(); inscrits.Next()) {
        ranks.push_back(inscrits.AsInteger("RGA"));
    }
    std::sort(ranks.begin(), ranks.end());
    EXPECT_EQ(ranks, (std::vector<std::int32_t>{1, 2, 3, 4})) << "registrants renumbered without gap";
}

}  // namespace
}  // namespace tavlor
