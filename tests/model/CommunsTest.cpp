#include "model/Communs.h"

#include "model/TextGrid.h"

#include "support/RecordingHandlers.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavlor {
namespace {

using test::TRecordingHandlers;
using Names = std::vector<std::string>;

const std::string kDesync = "Serveur désynchronisé, rechargez la compétition";
const std::string kIdentification = "Identification nécessaire pour modifier la base sur serveur internet";

TParamTable Rec(std::int32_t id, std::int32_t parent, std::int32_t dest, std::int32_t valeur, std::string nom = {}) {
    return TParamTable{id, parent, dest, valeur, std::move(nom)};
}

TParamMatch SampleMatch() {
    TParamMatch m;
    m.DateMatch = 45000.75;
    m.IdMatch = -1;
    m.IdPhase = 2;
    m.IdPoule = 31;
    m.Licence1 = 1001;
    m.Pts1 = 30;
    m.Rep1 = 25;
    m.Ser1 = 6;
    m.Pm1 = 2;
    m.Licence2 = 1002;
    m.Pts2 = 21;
    m.Rep2 = 25;
    m.Ser2 = 4;
    m.Pm2 = 0;
    m.Bd = 3;
    m.CoefBd = 0.0;
    return m;
}

class CommunsTest : public ::testing::Test {
protected:
    void SetUp() override {
        rec.InstallStore();
        rec.InstallServer();
        compet.Connexion = TConnexion::Internet;
        compet.SetLogin("jdupont");
        // Every operation must start from an empty LastError.
        compet.LastError = "refus précédent";
    }

    TCompetition compet;
    TRecordingHandlers rec{compet};
};

TEST(CommunsRecords, DefaultsReadAsNone) {
    const TParamTable t;
    EXPECT_EQ(t, Rec(-1, -1, -1, -1, ""));

    const TParamMatch m;
    EXPECT_EQ(m.DateMatch, 0.0);
    EXPECT_EQ(m.IdMatch, -1);
    EXPECT_EQ(m.IdPhase, -1);
    EXPECT_EQ(m.IdPoule, -1);
    EXPECT_EQ(m.Licence1, -1);
    EXPECT_EQ(m.Licence2, -1);
    EXPECT_EQ(m.Pts1 + m.Rep1 + m.Ser1 + m.Pm1 + m.Pts2 + m.Rep2 + m.Ser2 + m.Pm2, 0);
    EXPECT_EQ(m.Bd, -1);
    EXPECT_EQ(m.CoefBd, 0.0);

    const TCompetition c;
    EXPECT_EQ(c.IdCompet(), -1);
    EXPECT_EQ(c.Login(), "");
    EXPECT_EQ(c.Message(), "");
    EXPECT_EQ(c.Discipline(), "");
    EXPECT_FALSE(c.Chargement);
    EXPECT_EQ(c.LastError, "");
    EXPECT_EQ(c.Connexion, TConnexion::None);
}

// Registrant, phase and pool-member operations: one store handler, its record, no server.
TEST_F(CommunsTest, MemoryOnlyOperationsFillTheirRecord) {
    struct Case {
        const char* label;
        std::function<bool(TCompetition&)> run;
        std::string handler;
        TParamTable expected;
    };
    const std::vector<Case> cases = {
        {"AddInscrit", [](TCompetition& c) { return c.AddInscrit(123, 4, "DUPONT Jean"); }, "store:AddInscrit",
         Rec(123, -1, -1, 4, "DUPONT Jean")},
        {"EditInscrit", [](TCompetition& c) { return c.EditInscrit(123, 7); }, "store:EditInscrit",
         Rec(123, -1, -1, 7)},
        {"AddPhase", [](TCompetition& c) { return c.AddPhase(2, "Finale"); }, "store:AddPhase",
         Rec(2, -1, -1, -1, "Finale")},
        {"DelPhase", [](TCompetition& c) { return c.DelPhase(2); }, "store:DelPhase", Rec(2, -1, -1, -1)},
        {"EditPhase", [](TCompetition& c) { return c.EditPhase(3, "Demi-finale"); }, "store:EditPhase",
         Rec(3, -1, -1, -1, "Demi-finale")},
        {"AddJoueur", [](TCompetition& c) { return c.AddJoueur(123, 2, 40); }, "store:AddJoueur", Rec(123, 40, -1, 2)},
        {"MoveJoueur", [](TCompetition& c) { return c.MoveJoueur(123, 40, 41); }, "store:UpdateJoueur",
         Rec(123, 40, 41, -1)},
        {"EditJoueur", [](TCompetition& c) { return c.EditJoueur(123, 40, 3); }, "store:UpdateJoueur",
         Rec(123, 40, 40, 3)},
        {"DelJoueur", [](TCompetition& c) { return c.DelJoueur(123, 40); }, "store:DelJoueur", Rec(123, 40, -1, -1)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        rec.ClearCalls();
        compet.LastError = "refus précédent";
        EXPECT_TRUE(k.run(compet));
        ASSERT_EQ(rec.Names(), Names{k.handler});
        EXPECT_EQ(rec.TableAt(0), k.expected);
        EXPECT_EQ(rec.CallAt(0).LastError, "");
        EXPECT_EQ(compet.LastError, "");

        // A refusal keeps the store's reason as it stands: nothing was sent to a server.
        rec.ClearCalls();
        rec.Refuse(k.handler, "refus du magasin");
        EXPECT_FALSE(k.run(compet));
        EXPECT_EQ(compet.LastError, "refus du magasin");
        rec.Behaviour(k.handler) = {};
    }
}

TEST_F(CommunsTest, MemoryOnlyOperationsIgnoreConnectionAndLogin) {
    compet.Connexion = TConnexion::None;
    compet.SetLogin("");
    EXPECT_TRUE(compet.AddPhase(1, "Poules"));
    compet.Connexion = TConnexion::Internet;
    EXPECT_TRUE(compet.AddInscrit(5, 1, "X"));
    EXPECT_TRUE(compet.MoveJoueur(5, 1, 2));
    EXPECT_EQ(rec.Names(), (Names{"store:AddPhase", "store:AddInscrit", "store:UpdateJoueur"}));
}

// Pool operations: both handlers receive the same record, in the right order.
TEST_F(CommunsTest, PoolOperationsFillTheirRecordAndOrderTheirHandlers) {
    struct Case {
        const char* label;
        std::function<bool(TCompetition&)> run;
        Names order;
        TParamTable expected;
    };
    const std::vector<Case> cases = {
        {"AddPoule", [](TCompetition& c) { return c.AddPoule(1, 2, "Poule A"); },
         Names{"server:AddPoule", "store:AddPoule"}, Rec(-1, 1, -1, 2, "Poule A")},
        {"EditPoule", [](TCompetition& c) { return c.EditPoule(10, "Poule B"); },
         Names{"server:EditPoule", "store:UpdatePoule"}, Rec(10, -1, -1, -1, "Poule B")},
        {"SetFClasstPoule", [](TCompetition& c) { return c.SetFClasstPoule(10, 3); },
         Names{"server:EditPoule", "store:UpdatePoule"}, Rec(10, -1, -1, 3)},
        {"DelPoule", [](TCompetition& c) { return c.DelPoule(10); }, Names{"server:DelPoule", "store:DelPoule"},
         Rec(10, -1, -1, -1)},
        // Memory goes first here: its checks on members and destination phase decide.
        {"MovePoule", [](TCompetition& c) { return c.MovePoule(10, 2); },
         Names{"store:UpdatePoule", "server:EditPoule"}, Rec(10, 2, -1, -1)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        rec.ClearCalls();
        compet.LastError = "refus précédent";
        EXPECT_TRUE(k.run(compet));
        ASSERT_EQ(rec.Names(), k.order);
        EXPECT_EQ(rec.TableAt(0), k.expected);
        EXPECT_EQ(rec.TableAt(1), k.expected);
        EXPECT_EQ(rec.CallAt(0).LastError, "");
        EXPECT_EQ(compet.LastError, "");
    }
}

// Refusals and errors of the two-handler operations, pools and matches alike.
TEST_F(CommunsTest, TwoHandlerOperationsReportRefusalsAndDesync) {
    struct Case {
        const char* label;
        std::function<bool(TCompetition&)> run;
        std::string first;
        std::string second;
        bool replacesReason;
    };
    const std::vector<Case> cases = {
        {"AddPoule", [](TCompetition& c) { return c.AddPoule(1, 0, "A"); }, "server:AddPoule", "store:AddPoule", false},
        {"EditPoule", [](TCompetition& c) { return c.EditPoule(10, "B"); }, "server:EditPoule", "store:UpdatePoule",
         false},
        {"SetFClasstPoule", [](TCompetition& c) { return c.SetFClasstPoule(10, 1); }, "server:EditPoule",
         "store:UpdatePoule", false},
        {"MovePoule", [](TCompetition& c) { return c.MovePoule(10, 2); }, "store:UpdatePoule", "server:EditPoule",
         false},
        {"DelPoule", [](TCompetition& c) { return c.DelPoule(10); }, "server:DelPoule", "store:DelPoule", true},
        {"AddMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.AddMatch(m);
         },
         "server:AddMatch", "store:AddMatch", false},
        {"EditMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.EditMatch(m);
         },
         "server:EditMatch", "store:EditMatch", false},
        {"DelMatch", [](TCompetition& c) { return c.DelMatch(77); }, "server:DelMatch", "store:DelMatch", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);

        // The first handler refuses: its reason alone, the second is not called.
        rec.ClearCalls();
        compet.LastError = "refus précédent";
        rec.Refuse(k.first, "refus du premier");
        EXPECT_FALSE(k.run(compet));
        EXPECT_EQ(rec.Names(), Names{k.first});
        EXPECT_EQ(compet.LastError, "refus du premier");
        rec.Behaviour(k.first) = {};

        // The second refuses: the two sides now disagree.
        rec.ClearCalls();
        rec.Refuse(k.second, "refus du second");
        EXPECT_FALSE(k.run(compet));
        EXPECT_EQ(rec.Names(), (Names{k.first, k.second}));
        EXPECT_EQ(compet.LastError, k.replacesReason ? kDesync : "refus du second\r\n" + kDesync);
        rec.Behaviour(k.second) = {};

        // Errors pass through untouched, without the desync text.
        rec.ClearCalls();
        compet.LastError = "refus précédent";
        rec.Throw(k.first, "erreur du premier");
        try {
            k.run(compet);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "erreur du premier");
        }
        EXPECT_EQ(rec.Names(), Names{k.first});
        rec.Behaviour(k.first) = {};

        rec.ClearCalls();
        compet.LastError = "refus précédent";
        rec.Throw(k.second, "erreur du second");
        try {
            k.run(compet);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "erreur du second");
        }
        EXPECT_EQ(rec.Names(), (Names{k.first, k.second}));
        EXPECT_EQ(compet.LastError, "");
        rec.Behaviour(k.second) = {};
    }
}

TEST_F(CommunsTest, AddPouleHandsTheServerNumberToTheStoreAndTheCaller) {
    rec.WriteId("server:AddPoule", 512);
    std::int32_t newId = 0;
    EXPECT_TRUE(compet.AddPoule(3, 1, "Poule C", &newId));
    EXPECT_EQ(newId, 512);
    EXPECT_EQ(rec.TableAt(0), Rec(-1, 3, -1, 1, "Poule C"));
    EXPECT_EQ(rec.TableAt(1), Rec(512, 3, -1, 1, "Poule C"));

    // The pool exists on the server even when memory refuses it.
    newId = 0;
    rec.WriteId("server:AddPoule", 513);
    rec.Refuse("store:AddPoule", "Phase inconnue");
    EXPECT_FALSE(compet.AddPoule(3, 1, "Poule D", &newId));
    EXPECT_EQ(newId, 513);
    EXPECT_EQ(compet.LastError, "Phase inconnue\r\n" + kDesync);

    newId = 0;
    rec.Refuse("server:AddPoule", "erreur serveur : refus");
    EXPECT_FALSE(compet.AddPoule(3, 1, "Poule E", &newId));
    EXPECT_EQ(newId, 0);
}

TEST_F(CommunsTest, MatchRecordsAreTheCallersOwn) {
    rec.WriteMatch("server:AddMatch", 9001, 1.25);
    TParamMatch match = SampleMatch();
    const TParamMatch sent = match;
    EXPECT_TRUE(compet.AddMatch(match));
    EXPECT_EQ(rec.Names(), (Names{"server:AddMatch", "store:AddMatch"}));
    EXPECT_EQ(rec.MatchAt(0), sent);
    TParamMatch written = sent;
    written.IdMatch = 9001;
    written.CoefBd = 1.25;
    EXPECT_EQ(rec.MatchAt(1), written);
    EXPECT_EQ(match, written);

    rec.ClearCalls();
    rec.WriteMatch("server:EditMatch", 9001, 0.8);
    match.Pts2 = 22;
    const TParamMatch edited = match;
    EXPECT_TRUE(compet.EditMatch(match));
    EXPECT_EQ(rec.Names(), (Names{"server:EditMatch", "store:EditMatch"}));
    EXPECT_EQ(rec.MatchAt(0), edited);
    EXPECT_EQ(rec.MatchAt(1).CoefBd, 0.8);
    EXPECT_EQ(match.CoefBd, 0.8);

    // Only the match number is meaningful when deleting.
    rec.ClearCalls();
    EXPECT_TRUE(compet.DelMatch(9001));
    EXPECT_EQ(rec.Names(), (Names{"server:DelMatch", "store:DelMatch"}));
    TParamMatch onlyNumber;
    onlyNumber.IdMatch = 9001;
    EXPECT_EQ(rec.MatchAt(0), onlyNumber);
    EXPECT_EQ(rec.MatchAt(1), onlyNumber);
}

TEST_F(CommunsTest, MovePouleAsksCanModifyBeforeAnyHandler) {
    compet.Connexion = TConnexion::None;
    EXPECT_FALSE(compet.MovePoule(10, 2));
    EXPECT_EQ(compet.LastError, "Aucune base connectée");
    EXPECT_TRUE(rec.Names().empty());

    compet.Connexion = TConnexion::Internet;
    compet.SetLogin("");
    EXPECT_FALSE(compet.MovePoule(10, 2));
    EXPECT_EQ(compet.LastError, kIdentification);
    EXPECT_TRUE(rec.Names().empty());

    // Memory stays moved when the server refuses afterwards.
    compet.SetLogin("jdupont");
    rec.Refuse("server:EditPoule", "erreur serveur : poule verrouillée");
    EXPECT_FALSE(compet.MovePoule(10, 2));
    EXPECT_EQ(rec.Names(), (Names{"store:UpdatePoule", "server:EditPoule"}));
    EXPECT_EQ(compet.LastError, "erreur serveur : poule verrouillée\r\n" + kDesync);

    // The other pool operations leave the check to the server handler.
    rec.Behaviour("server:EditPoule") = {};
    rec.ClearCalls();
    compet.Connexion = TConnexion::None;
    EXPECT_TRUE(compet.EditPoule(10, "Poule B"));
    EXPECT_EQ(rec.Names(), (Names{"server:EditPoule", "store:UpdatePoule"}));
}

TEST_F(CommunsTest, ServerHandlersAskingCanModifyBlockEveryServerChange) {
    rec.InstallServer(true);
    compet.SetLogin("");
    TParamMatch match = SampleMatch();
    EXPECT_FALSE(compet.AddPoule(1, 0, "Poule A"));
    EXPECT_EQ(compet.LastError, kIdentification);
    EXPECT_FALSE(compet.AddMatch(match));
    EXPECT_FALSE(compet.DelPoule(10));
    EXPECT_EQ(compet.LastError, kIdentification);
    EXPECT_EQ(rec.Names(), (Names{"server:AddPoule", "server:AddMatch", "server:DelPoule"}));

    rec.ClearCalls();
    EXPECT_TRUE(compet.AddPhase(2, "Finale"));
    EXPECT_EQ(rec.Names(), Names{"store:AddPhase"});
}

// Every change of the competition, each as the controller offers it.
std::vector<std::pair<const char*, std::function<bool(TCompetition&)>>> EveryChange() {
    return {
        {"AddInscrit", [](TCompetition& c) { return c.AddInscrit(5, -1, "NOM"); }},
        {"EditInscrit", [](TCompetition& c) { return c.EditInscrit(5, 1); }},
        {"DelInscrit", [](TCompetition& c) { return c.DelInscrit(5); }},
        {"AddPhase", [](TCompetition& c) { return c.AddPhase(3, "Finale"); }},
        {"EditPhase", [](TCompetition& c) { return c.EditPhase(3, "Finale"); }},
        {"DelPhase", [](TCompetition& c) { return c.DelPhase(3); }},
        {"AddPoule", [](TCompetition& c) { return c.AddPoule(1, 0, "A"); }},
        {"MovePoule", [](TCompetition& c) { return c.MovePoule(10, 2); }},
        {"EditPoule", [](TCompetition& c) { return c.EditPoule(10, "B"); }},
        {"SetFClasstPoule", [](TCompetition& c) { return c.SetFClasstPoule(10, 1); }},
        {"DelPoule", [](TCompetition& c) { return c.DelPoule(10); }},
        {"AddJoueur", [](TCompetition& c) { return c.AddJoueur(5, -1, 10); }},
        {"MoveJoueur", [](TCompetition& c) { return c.MoveJoueur(5, 10, 11); }},
        {"EditJoueur", [](TCompetition& c) { return c.EditJoueur(5, 10, 1); }},
        {"DelJoueur", [](TCompetition& c) { return c.DelJoueur(5, 10); }},
        {"AddMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.AddMatch(m);
         }},
        {"EditMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.EditMatch(m);
         }},
        {"DelMatch", [](TCompetition& c) { return c.DelMatch(77); }},
    };
}

TEST_F(CommunsTest, AReadOnlyCompetitionRefusesEveryChangeWithItsReasonBeforeAnyHandler) {
    compet.ReadOnly = "copie en lecture seule";
    for (const auto& [label, run] : EveryChange()) {
        SCOPED_TRACE(label);
        rec.ClearCalls();
        compet.LastError = "refus précédent";
        EXPECT_FALSE(run(compet));
        EXPECT_EQ(compet.LastError, "copie en lecture seule");
        EXPECT_TRUE(rec.Names().empty());
    }
    EXPECT_FALSE(compet.CanModify());
    EXPECT_EQ(compet.LastError, "copie en lecture seule");

    // Without any handler installed (a copy has no server behind it), still a refusal.
    TCompetition bare;
    bare.ReadOnly = "copie";
    for (const auto& [label, run] : EveryChange()) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(run(bare));
        EXPECT_EQ(bare.LastError, "copie");
    }

    // Writable again: every change goes through.
    compet.ReadOnly.clear();
    for (const auto& [label, run] : EveryChange()) {
        SCOPED_TRACE(label);
        EXPECT_TRUE(run(compet));
    }
}

TEST_F(CommunsTest, LocalHandlersLeaveTheStoresRefusalAsItIs) {
    compet.Server.Local = true;
    const std::vector<std::pair<std::string, std::function<bool(TCompetition&)>>> cases = {
        {"store:AddPoule", [](TCompetition& c) { return c.AddPoule(1, 0, "A"); }},
        {"store:UpdatePoule", [](TCompetition& c) { return c.EditPoule(10, "B"); }},
        {"server:EditPoule", [](TCompetition& c) { return c.MovePoule(10, 2); }},
        {"store:DelPoule", [](TCompetition& c) { return c.DelPoule(10); }},
        {"store:AddMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.AddMatch(m);
         }},
        {"store:EditMatch",
         [](TCompetition& c) {
             TParamMatch m = SampleMatch();
             return c.EditMatch(m);
         }},
        {"store:DelMatch", [](TCompetition& c) { return c.DelMatch(77); }},
    };
    for (const auto& [second, run] : cases) {
        SCOPED_TRACE(second);
        rec.Refuse(second, "refus du second");
        EXPECT_FALSE(run(compet));
        EXPECT_EQ(compet.LastError, "refus du second");
        rec.Behaviour(second) = {};
    }
}

TEST_F(CommunsTest, DelInscritTakesThePlayerOutOfEveryPoolFirst) {
    EXPECT_TRUE(compet.DelInscrit(123));
    ASSERT_EQ(rec.Names(), (Names{"store:DelJoueur", "store:DelInscrit"}));
    EXPECT_EQ(rec.TableAt(0), Rec(123, -1, -1, -1));
    EXPECT_EQ(rec.TableAt(1), Rec(123, -1, -1, -1));
    EXPECT_EQ(rec.CallAt(0).LastError, "");

    // The store of DelInscrit gets the very record the pool removal left.
    rec.ClearCalls();
    rec.Behaviour("store:DelJoueur").EditTable = [](TParamTable& r) { r.IdDest = 8; };
    EXPECT_TRUE(compet.DelInscrit(124));
    EXPECT_EQ(rec.TableAt(1), Rec(124, -1, 8, -1));
    rec.Behaviour("store:DelJoueur") = {};

    // A removal refused (matches played) replaces the reason and stops there.
    rec.ClearCalls();
    rec.Refuse("store:DelJoueur", "Le joueur a des matchs");
    EXPECT_FALSE(compet.DelInscrit(123));
    EXPECT_EQ(rec.Names(), Names{"store:DelJoueur"});
    EXPECT_EQ(compet.LastError, "Impossible de supprimer le joueur, il reste des occurence dans certaines poules");
    rec.Behaviour("store:DelJoueur") = {};

    // The unregistration's own refusal is the answer, with no desync: memory only.
    rec.ClearCalls();
    rec.Refuse("store:DelInscrit", "Inscrit inconnu");
    EXPECT_FALSE(compet.DelInscrit(123));
    EXPECT_EQ(compet.LastError, "Inscrit inconnu");

    rec.Throw("store:DelJoueur", "erreur");
    EXPECT_THROW(compet.DelInscrit(123), Error);
}

TEST(CommunsState, SetIdCompetNotifiesNumberThenMessage) {
    TCompetition c;
    TRecordingHandlers rec(c);
    rec.InstallNotifications();
    c.SetMessage("Coupe de Bretagne");
    rec.ClearCalls();
    // The number is notified before the message changes.
    std::string messageSeenByIdChange;
    c.OnIdCompetChange = [&, recorded = c.OnIdCompetChange](TCompetition& self) {
        messageSeenByIdChange = self.Message();
        recorded(self);
    };

    c.SetIdCompet(-1);
    EXPECT_EQ(c.IdCompet(), -1);
    EXPECT_EQ(rec.Names(), (Names{"notify:OnIdCompetChange", "notify:OnMessageChange"}));
    EXPECT_EQ(rec.CallAt(0).Detail, "-1");
    EXPECT_EQ(messageSeenByIdChange, "Coupe de Bretagne");
    EXPECT_EQ(rec.CallAt(1).Detail, "Chargez une compétition");
    EXPECT_EQ(c.Message(), "Chargez une compétition");

    // An open competition keeps its message; 0 is not "none".
    rec.ClearCalls();
    c.SetIdCompet(5);
    EXPECT_EQ(rec.Names(), Names{"notify:OnIdCompetChange"});
    EXPECT_EQ(rec.CallAt(0).Detail, "5");
    EXPECT_EQ(c.Message(), "Chargez une compétition");
    c.SetIdCompet(0);
    EXPECT_EQ(rec.Names(), (Names{"notify:OnIdCompetChange", "notify:OnIdCompetChange"}));

    rec.ClearCalls();
    c.SetIdCompet(-7);
    EXPECT_EQ(rec.Names(), (Names{"notify:OnIdCompetChange", "notify:OnMessageChange"}));
}

TEST(CommunsState, LoginMessageAndDiscipline) {
    TCompetition c;
    TRecordingHandlers rec(c);
    rec.InstallNotifications();
    c.SetLogin("jdupont");
    c.SetMessage("Finale régionale");
    c.SetDiscipline("3Bandes");
    EXPECT_EQ(rec.Names(), (Names{"notify:OnLoginChange", "notify:OnMessageChange"}));
    EXPECT_EQ(rec.CallAt(0).Detail, "jdupont");
    EXPECT_EQ(rec.CallAt(1).Detail, "Finale régionale");
    EXPECT_EQ(c.Login(), "jdupont");
    EXPECT_EQ(c.Message(), "Finale régionale");
    EXPECT_EQ(c.Discipline(), "3Bandes");

    // Notifications not installed are skipped.
    TCompetition bare;
    bare.SetIdCompet(-1);
    bare.SetLogin("x");
    bare.SetMessage("y");
    bare.ShowLogin();
    EXPECT_EQ(bare.IdCompet(), -1);
    EXPECT_EQ(bare.Login(), "x");
    EXPECT_EQ(bare.Message(), "y");
}

TEST(CommunsState, CanModifyDependsOnConnectionAndLogin) {
    TCompetition c;
    c.LastError = "ancien";
    EXPECT_FALSE(c.CanModify());
    EXPECT_EQ(c.LastError, "Aucune base connectée");
    c.SetLogin("jdupont");
    EXPECT_FALSE(c.CanModify());
    EXPECT_EQ(c.LastError, "Aucune base connectée");

    c.Connexion = TConnexion::Internet;
    c.SetLogin("");
    EXPECT_FALSE(c.CanModify());
    EXPECT_EQ(c.LastError, kIdentification);
    c.SetLogin("jdupont");
    EXPECT_TRUE(c.CanModify());
    EXPECT_EQ(c.LastError, "");

    c.Connexion = TConnexion::LocalBase;
    c.SetLogin("");
    c.LastError = "ancien";
    EXPECT_TRUE(c.CanModify());
    EXPECT_EQ(c.LastError, "");
}

TEST(CommunsHooks, HooksReachTheirOwners) {
    TCompetition c;
    TRecordingHandlers rec(c);
    rec.InstallHooks();
    TTextGrid grid;
    TTextGrid* received = nullptr;
    c.DoClear();
    c.DoAddBillard(280, "Match 2m80");
    c.DoAfterLoad();
    c.ShowLogin();
    c.ListJoueurs(grid);
    EXPECT_EQ(rec.Names(), (Names{"hook:OnClear", "hook:OnAddBillard", "hook:OnAfterLoad", "hook:OnShowLogin",
                                  "hook:OnListJoueurs"}));
    EXPECT_EQ(rec.CallAt(1).Detail, "280|Match 2m80");

    c.OnListJoueurs = [&](TTextGrid& g) { received = &g; };
    c.ListJoueurs(grid);
    EXPECT_EQ(received, &grid);
}

TEST(CommunsHooks, AbsentHandlersFailCleanly) {
    TCompetition c;
    c.Connexion = TConnexion::Internet;
    c.SetLogin("jdupont");
    TParamMatch match = SampleMatch();
    const std::vector<std::function<void()>> calls = {
        [&] { c.AddInscrit(1, 1, "A"); },
        [&] { c.EditInscrit(1, 1); },
        [&] { c.DelInscrit(1); },
        [&] { c.AddPhase(1, "P"); },
        [&] { c.DelPhase(1); },
        [&] { c.EditPhase(1, "P"); },
        [&] { c.AddPoule(1, 0, "A"); },
        [&] { c.MovePoule(1, 2); },
        [&] { c.EditPoule(1, "B"); },
        [&] { c.SetFClasstPoule(1, 1); },
        [&] { c.DelPoule(1); },
        [&] { c.AddJoueur(1, 1, 1); },
        [&] { c.MoveJoueur(1, 1, 2); },
        [&] { c.EditJoueur(1, 1, 1); },
        [&] { c.DelJoueur(1, 1); },
        [&] { c.AddMatch(match); },
        [&] { c.EditMatch(match); },
        [&] { c.DelMatch(1); },
        [&] { c.DoClear(); },
        [&] { c.DoAfterLoad(); },
        [&] { c.DoAddBillard(1, "x"); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(calls[i](), Error);
    }
    TTextGrid grid;
    EXPECT_THROW(c.ListJoueurs(grid), Error);

    try {
        c.AddPoule(1, 0, "A");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Opération AddPoule indisponible : aucun gestionnaire installé");
    }

    // A missing second handler is found before the first one changes anything.
    TRecordingHandlers rec(c);
    rec.InstallServer();
    EXPECT_THROW(c.AddPoule(1, 0, "A"), Error);
    EXPECT_THROW(c.DelMatch(4), Error);
    EXPECT_TRUE(rec.Names().empty());
    c.Store.DelJoueur = [](TParamTable&) { return true; };
    EXPECT_THROW(c.DelInscrit(1), Error);
}

TEST(CommunsFileName, SanitizeFileNameReplacesForbiddenCharacters) {
    EXPECT_EQ(SanitizeFileName("Coupe 2024/25: finale"), "Coupe 2024_25_ finale");
    EXPECT_EQ(SanitizeFileName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SanitizeFileName("Île-de-France – été 2024 €"), "Île-de-France – été 2024 €");
    EXPECT_EQ(SanitizeFileName(""), "");
    EXPECT_EQ(SanitizeFileName("///"), "___");
    EXPECT_EQ(SanitizeFileName("inscrits_Tournoi.xml"), "inscrits_Tournoi.xml");
}

}  // namespace
}  // namespace tavlor
