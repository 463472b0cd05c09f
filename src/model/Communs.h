#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tavlor {

class TTextGrid;

// Parameter record of every non-match operation and handler. -1 reads as
// "none", "new" or "unchanged" and an empty Nom as "unchanged", so a field an
// operation leaves alone never looks like a real number to a handler.
struct TParamTable {
    std::int32_t Id = -1;        // licence, phase or pool number; -1 = new
    std::int32_t IdParent = -1;  // phase of a pool, pool of a player; -1 = unchanged or all
    std::int32_t IdDest = -1;    // destination pool; phase of the pool for an added player
    std::int32_t Valeur = -1;    // rank or ranking formula; -1 = unchanged
    std::string Nom;             // empty = unchanged

    bool operator==(const TParamTable&) const = default;
};

// One match, field for field a Matchs row. Numbers that designate something
// (match, phase, pool, players, billiard) start at -1 = none; the scores start at 0.
struct TParamMatch {
    double DateMatch = 0.0;  // days since 1899-12-30
    std::int32_t IdMatch = -1;
    std::int32_t IdPhase = -1;
    std::int32_t IdPoule = -1;
    std::int32_t Licence1 = -1;
    std::int32_t Pts1 = 0;
    std::int32_t Rep1 = 0;
    std::int32_t Ser1 = 0;
    std::int32_t Pm1 = 0;
    std::int32_t Licence2 = -1;
    std::int32_t Pts2 = 0;
    std::int32_t Rep2 = 0;
    std::int32_t Ser2 = 0;
    std::int32_t Pm2 = 0;
    std::int32_t Bd = -1;
    double CoefBd = 0.0;

    bool operator==(const TParamMatch&) const = default;
};

// What a drag from the phase tree or the ranking grid carries.
struct TDragParamTable {
    std::uint8_t DragKind = 0;  // node kind (1 pool, 3 registrant, 4 pool member); 5 for a grid row
    std::int32_t DragId = -1;
    std::int32_t DragIdParent = -1;
    std::int32_t DragIdGrandParent = -1;

    bool operator==(const TDragParamTable&) const = default;
};

// The name with / \ : * ? " < > | replaced by '_', so that it can be part of a file name.
std::string SanitizeFileName(std::string_view name);

// Where the open competition comes from.
enum class TConnexion : std::uint8_t {
    None = 0,  // no competition, or one not downloaded whole
    LocalBase = 1,
    Internet = 2,  // the federation's server
};

// A handler answers true when done, or false with its reason in TCompetition::LastError.
using TTableHandler = std::function<bool(TParamTable&)>;
using TMatchHandler = std::function<bool(TParamMatch&)>;

// Handlers of the in-memory store, one per operation except where noted.
struct TStoreHandlers {
    TTableHandler AddInscrit;
    TTableHandler EditInscrit;
    TTableHandler DelInscrit;
    TTableHandler AddPhase;
    TTableHandler EditPhase;
    TTableHandler DelPhase;
    TTableHandler AddPoule;
    TTableHandler UpdatePoule;  // EditPoule, MovePoule and SetFClasstPoule
    TTableHandler DelPoule;
    TTableHandler AddJoueur;
    TTableHandler UpdateJoueur;  // MoveJoueur and EditJoueur
    TTableHandler DelJoueur;
    TMatchHandler AddMatch;
    TMatchHandler EditMatch;
    TMatchHandler DelMatch;
};

// Handlers of the federation server, for the changes the server keeps.
struct TServerHandlers {
    TTableHandler AddPoule;
    TTableHandler EditPoule;  // EditPoule, MovePoule and SetFClasstPoule
    TTableHandler DelPoule;
    TMatchHandler AddMatch;
    TMatchHandler EditMatch;
    TMatchHandler DelMatch;
    // The handlers keep nothing of their own (those of a competition of this
    // computer, whose tables are the only copy): when the store then refuses
    // the change, nothing was done anywhere, and its reason is told as it is.
    bool Local = false;
};

// The single controller of the open competition. Every change goes through one
// of its operations, which hands a record to the server and store handlers in a
// fixed order; the controller itself knows neither the tables nor the server.
//
// Handlers and hooks are called unconditionally: calling one that is not
// installed throws tavlor::Error. The three notifications and OnShowLogin are
// optional and skipped when absent.
class TCompetition {
public:
    using TNotification = std::function<void(TCompetition&)>;

    TCompetition() = default;
    // Handlers are bound to this very object: it is neither copied nor moved.
    TCompetition(const TCompetition&) = delete;
    TCompetition& operator=(const TCompetition&) = delete;

    // State.
    std::int32_t IdCompet() const { return FIdCompet; }
    const std::string& Login() const { return FLogin; }
    const std::string& Message() const { return FMessage; }
    const std::string& Discipline() const { return FDiscipline; }

    // Notifies OnIdCompetChange, then, for a number below 0, sets the "no competition" message.
    void SetIdCompet(std::int32_t idCompet);
    void SetMessage(std::string message);  // notifies OnMessageChange
    void SetLogin(std::string login);      // notifies OnLoginChange
    void SetDiscipline(std::string discipline);

    // Whether the competition may be changed now; the reason of a refusal is in LastError.
    bool CanModify();
    // Whether the open competition may be changed at all (see ReadOnly); a
    // refusal leaves ReadOnly in LastError.
    bool Writable();

    // Registrants and phases (memory only).
    bool AddInscrit(std::int32_t licence, std::int32_t rank, const std::string& name);
    bool EditInscrit(std::int32_t licence, std::int32_t rank);
    bool DelInscrit(std::int32_t licence);
    bool AddPhase(std::int32_t number, const std::string& name);
    bool DelPhase(std::int32_t number);
    bool EditPhase(std::int32_t number, const std::string& name);

    // Pools (server, then memory; MovePoule the other way round). AddPoule writes
    // the number of the new pool into *newId as soon as the server has given it.
    bool AddPoule(std::int32_t phase, std::int32_t formula, const std::string& name, std::int32_t* newId = nullptr);
    bool MovePoule(std::int32_t pool, std::int32_t phase);
    bool EditPoule(std::int32_t pool, const std::string& name);
    bool SetFClasstPoule(std::int32_t pool, std::int32_t formula);
    bool DelPoule(std::int32_t pool);

    // Pool members (memory only).
    bool AddJoueur(std::int32_t licence, std::int32_t rank, std::int32_t pool);
    bool MoveJoueur(std::int32_t licence, std::int32_t fromPool, std::int32_t toPool);
    bool EditJoueur(std::int32_t licence, std::int32_t pool, std::int32_t rank);
    bool DelJoueur(std::int32_t licence, std::int32_t pool);

    // Matches (server, then memory). The server handler writes IdMatch and CoefBd
    // into the caller's record, which the store handler and the caller then see.
    bool AddMatch(TParamMatch& match);
    bool EditMatch(TParamMatch& match);
    bool DelMatch(std::int32_t matchNumber);

    // Hooks.
    void DoClear();
    void DoAfterLoad();
    // A load that failed once the competition left was cleared: the
    // after-load step still ends it (its own failure is not the one to
    // report), and when the new tables are not whole nothing may be kept or
    // sent under either number: no connection, no competition, nobody
    // identified. Never throws.
    void AbandonLoad() noexcept;
    void DoAddBillard(std::int32_t size, const std::string& label);
    void ShowLogin();  // does nothing while OnShowLogin is absent
    void ListJoueurs(TTextGrid& grid);

    bool Chargement = false;  // set by the store while a competition is being loaded
    // Cleared by a download when it starts and set again once every list of the
    // competition was read: a download stopped half-way leaves it false, so
    // that the store neither mixes nor saves a snapshot over those tables.
    bool ListsComplete = true;
    std::string LastError;  // reason of the last refusal; emptied by every operation
    TConnexion Connexion = TConnexion::None;
    // Not empty while the open competition may only be looked at (the copy of
    // a server's competition opened from the local base): every change is
    // refused with this reason. Set and cleared by whatever opens a competition.
    std::string ReadOnly;

    TStoreHandlers Store;
    TServerHandlers Server;

    TNotification OnIdCompetChange;
    TNotification OnMessageChange;
    TNotification OnLoginChange;
    std::function<void()> OnShowLogin;
    std::function<void(TTextGrid&)> OnListJoueurs;
    std::function<void()> OnClear;
    std::function<void()> OnAfterLoad;
    std::function<void(std::int32_t size, const std::string& label)> OnAddBillard;

private:
    std::int32_t FIdCompet = -1;
    std::string FLogin;
    std::string FMessage;
    std::string FDiscipline;
};

}  // namespace tavlor
