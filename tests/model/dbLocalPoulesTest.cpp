#include "model/dbLocal.h"

#include "support/CompetitionFixture.h"
#include "support/RecordingHandlers.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Licences = std::vector<std::int32_t>;

// Phase 1: pool 10 "Poule A" (players 1, 2, 3 with matches 1-2 and 2-3) and
// pool 11 "Poule B" (4, 5 without matches... the match list names them: 4-5).
// Phase 2: pool 20 "Poule C" (player 6 and 7, match 6-7).
class Pools : public test::TCompetitionFixture {
protected:
    void SetUp() override {
        Pool(10, 1, "Poule A");
        Pool(11, 1, "Poule B", 1);
        Pool(20, 2, "Poule C", 2);
        Pool(30, 3, "Poule vide");
        Match(1, 10, 1, 2);
        Match(2, 10, 2, 3);
        Match(3, 11, 4, 5);
        Match(4, 20, 6, 7);
        Load();
    }
};

TEST_F(Pools, TheDownloadBuildsPhasesPoolsAndTheirNodes) {
    EXPECT_EQ(Dm.Tables.Phases.RecordCount(), 3);
    EXPECT_EQ(Dm.GetNomElement({NodePhase, 2, -1}), "Phase 2");
    const TNodeHandle pool = PoolNode(11);
    EXPECT_EQ(Dm.Tree.Parent(pool), PhaseNode(1));
    EXPECT_EQ(Dm.Tree.Data(pool).Kind, NodePool);
    EXPECT_EQ(Dm.Tree.Data(pool).Id, 11);
    EXPECT_EQ(Dm.Tables.Poules.Data().Lookup("IDPOULE", {11}).AsInteger("FCLASST"), 1);
    EXPECT_EQ(TreeMembers(10), (Licences{1, 2, 3}));
    EXPECT_EQ(PoolRanks(10), (std::map<std::int32_t, std::int32_t>{{1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 4);
}

TEST_F(Pools, AddPouleChecksAndErrors) {
    TParamTable p;
    p.Id = 40;
    p.IdParent = 2;
    p.Valeur = 1;
    p.Nom = "";
    ASSERT_TRUE(Dm.AddPoule(p));
    EXPECT_EQ(Dm.GetNomElement({NodePool, 40, -1}), "") << "the name is stored unchanged";
    EXPECT_EQ(Dm.Tree.Children(PhaseNode(2)).back(), PoolNode(40)) << "a new pool comes last in its phase";

    p.Nom = "Autre";
    p.Id = 10;
    EXPECT_FALSE(Dm.AddPoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible d'ajouter une poule : Poule A existe déjà");
    EXPECT_EQ(Dm.Tables.Poules.RecordCount(), 5);

    auto error = [&](std::int32_t id, std::int32_t phase) -> std::string {
        TParamTable q;
        q.Id = id;
        q.IdParent = phase;
        try {
            Dm.AddPoule(q);
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(error(-1, 1), "No poule illégal : -1\r\nAjout impossible");
    EXPECT_EQ(error(50, -2), "No Phase propriétaire illégal : -2\r\nAjout poule impossible");
    EXPECT_EQ(error(50, 9), "No Phase propriétaire inconnu : 9\r\nAjout poule impossible");
    TTable& phases = Dm.Tables.Phases;
    ASSERT_TRUE(phases.Locate("IDPHASE", {3}));
    phases.Edit();
    phases.SetInteger("NODE", 0);
    phases.Post();
    EXPECT_EQ(error(50, 3), "Erreur interne 123, recharger la compétition entière");
    EXPECT_FALSE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {50}));
}

TEST_F(Pools, UpdatePouleRenamesOrSetsTheFormula) {
    TParamTable p;
    p.Id = 10;
    p.Nom = "Poule Alpha";
    ASSERT_TRUE(Dm.UpdatePoule(p));
    EXPECT_EQ(Dm.GetNomElement({NodePool, 10, -1}), "Poule Alpha");
    p.Nom = "";
    p.Valeur = 2;
    ASSERT_TRUE(Dm.UpdatePoule(p));
    EXPECT_EQ(Dm.Tables.Poules.Data().Lookup("IDPOULE", {10}).AsInteger("FCLASST"), 2);
    p.Valeur = -1;
    EXPECT_FALSE(Dm.UpdatePoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de modifier la poule No : Poule Alpha, paramètres invalides");
    p.Id = 99;
    EXPECT_FALSE(Dm.UpdatePoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de modifier la poule No : 99, No inconnu");
    p.Id = -4;
    EXPECT_THROW(Dm.UpdatePoule(p), Error);
}

TEST_F(Pools, MovingAPoolMovesItsMembersMatchesAndNode) {
    TParamTable p;
    p.Id = 10;
    p.IdParent = 3;
    ASSERT_TRUE(Dm.UpdatePoule(p)) << Compet.LastError;
    EXPECT_EQ(PoolPhase(10), 3);
    EXPECT_EQ(CountRows(Dm.Tables.Joueurs, "IDPHASE=3"), 3);
    EXPECT_EQ(CountRows(Dm.Tables.Matchs, "IDPHASE=3"), 2);
    EXPECT_EQ(CountRows(Dm.Tables.Matchs, "IDPHASE=1"), 1) << "pool B's match stays";
    EXPECT_EQ(Dm.Tree.Parent(PoolNode(10)), PhaseNode(3));
    EXPECT_EQ(Dm.Tree.Children(PhaseNode(3)).back(), PoolNode(10));
    EXPECT_EQ(TreeMembers(10), (Licences{1, 2, 3})) << "members travel with their pool";
}

TEST_F(Pools, MovingAPoolIsRefusedBeforeAnythingChanges) {
    // Player 6 of phase 2 also sits in pool 30 of phase 3: pool 20 cannot go there.
    Place(6, 30);
    TParamTable p;
    p.Id = 20;
    p.IdParent = 3;
    EXPECT_FALSE(Dm.UpdatePoule(p));
    EXPECT_EQ(Compet.LastError,
              "impossible de déplacer la poule, des joueurs sont déjà inscrits dans la phase de destination");
    EXPECT_EQ(PoolPhase(20), 2);
    EXPECT_EQ(CountRows(Dm.Tables.Matchs, "IDPHASE=2"), 1);
    EXPECT_EQ(CountRows(Dm.Tables.Joueurs, "IDPHASE=2"), 2);
    EXPECT_EQ(Dm.Tree.Parent(PoolNode(20)), PhaseNode(2));

    p.IdParent = 8;
    EXPECT_FALSE(Dm.UpdatePoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de déplacer la poule : Poule C, la phase de destination n'existe pas");
}

TEST_F(Pools, DeletingAPoolChecksMembersBeforeMatches) {
    TParamTable p;
    p.Id = 10;
    EXPECT_FALSE(Dm.DelPoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de supptimer la poule : Poule A il y a des joueurs dans cette poule");
    // Matches without members can only be there by an inconsistency; still refused.
    TTable& matchs = Dm.Tables.Matchs;
    matchs.Append();
    matchs.SetInteger("IDMATCH", 99);
    matchs.SetInteger("IDPOULE", 30);
    matchs.Post();
    p.Id = 30;
    EXPECT_FALSE(Dm.DelPoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de supptimer la poule : Poule vide il y a des matchs dans cette poule");
    matchs.Delete();
    const TNodeHandle node = PoolNode(30);
    ASSERT_TRUE(Dm.DelPoule(p));
    EXPECT_FALSE(Dm.Tree.Exists(node));
    EXPECT_FALSE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {30}));
    EXPECT_FALSE(Dm.DelPoule(p));
    EXPECT_EQ(Compet.LastError, "Impossible de supprimer la poule No : 30, No inconnu");
    p.Id = -1;
    try {
        Dm.DelPoule(p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "No poule illégal : -1\r\nsuppression impossible");
    }
}

// The controller with the real store and a recording server.
class PoolsOnTheServer : public Pools {
protected:
    test::TRecordingHandlers Server{Compet};
    void SetUp() override {
        Pools::SetUp();
        Server.InstallServer(true);
        Compet.Connexion = TConnexion::Internet;
        Compet.SetLogin("12");
    }
};

TEST_F(PoolsOnTheServer, WithoutIdentificationNothingChanges) {
    Compet.SetLogin("");
    EXPECT_FALSE(Compet.AddPoule(1, 0, "Poule D"));
    EXPECT_EQ(Compet.LastError, "Identification nécessaire pour modifier la base sur serveur internet");
    EXPECT_FALSE(Compet.MovePoule(10, 3));
    EXPECT_EQ(Compet.LastError, "Identification nécessaire pour modifier la base sur serveur internet");
    EXPECT_EQ(PoolPhase(10), 1);
    EXPECT_EQ(Dm.Tables.Poules.RecordCount(), 4);
}

TEST_F(PoolsOnTheServer, AddPouleStoresTheNumberTheServerGave) {
    Server.WriteId("server:AddPoule", 77);
    std::int32_t id = -1;
    ASSERT_TRUE(Compet.AddPoule(2, 1, "Poule D", &id));
    EXPECT_EQ(id, 77);
    EXPECT_EQ(Dm.GetNomElement({NodePool, 77, -1}), "Poule D");
    EXPECT_EQ(PoolPhase(77), 2);

    Server.WriteId("server:AddPoule", 10);  // a number memory already has
    EXPECT_FALSE(Compet.AddPoule(2, 0, "Poule E"));
    EXPECT_EQ(
        Compet.LastError,
        "Impossible d'ajouter une poule : Poule A existe déjà\r\nServeur désynchronisé, rechargez la compétition");
}

TEST_F(PoolsOnTheServer, DesyncTextsWithTheRealStore) {
    // The server deleted a pool that memory refuses to delete: the desync text alone.
    EXPECT_FALSE(Compet.DelPoule(10));
    EXPECT_EQ(Compet.LastError, "Serveur désynchronisé, rechargez la compétition");
    EXPECT_TRUE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {10}));

    // The server renamed a pool memory does not know.
    EXPECT_FALSE(Compet.EditPoule(99, "X"));
    EXPECT_EQ(Compet.LastError,
              "Impossible de modifier la poule No : 99, No inconnu\r\nServeur désynchronisé, rechargez la compétition");

    // Memory moved the pool, the server refused: the pool stays moved.
    Server.Refuse("server:EditPoule", "erreur serveur : poule verrouillée");
    EXPECT_FALSE(Compet.MovePoule(10, 3));
    EXPECT_EQ(Compet.LastError,
              "erreur serveur : poule verrouillée\r\nServeur désynchronisé, rechargez la compétition");
    EXPECT_EQ(PoolPhase(10), 3);
}

TEST_F(PoolsOnTheServer, FormulaAndRenameGoThroughBothSides) {
    Server.ClearCalls();
    ASSERT_TRUE(Compet.SetFClasstPoule(11, 0));
    ASSERT_TRUE(Compet.EditPoule(11, "Poule Bis"));
    EXPECT_EQ(Server.Names(), (std::vector<std::string>{"server:EditPoule", "server:EditPoule"}));
    const TRowView pool = Dm.Tables.Poules.Data().Lookup("IDPOULE", {11});
    EXPECT_EQ(pool.AsInteger("FCLASST"), 0);
    EXPECT_EQ(pool.AsString("NOMPOULE"), "Poule Bis");
}

}  // namespace
}  // namespace tavlor
