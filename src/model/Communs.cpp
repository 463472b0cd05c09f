#include "model/Communs.h"

#include "model/CommunsMessages.h"
#include "text/Error.h"

#include <utility>

namespace tavlor {

namespace {

// What a refusal of the second handler does to its reason.
enum class TDesync {
    Append,   // the reason stays, the desync text follows on a new line
    Replace,  // the desync text alone
};

template <class Callable>
void Require(const Callable& callable, std::string_view operation) {
    if (!callable) throw Error(msg::communs::OperationIndisponible(operation));
}

// Both handlers are checked before either runs, so that a missing second
// handler cannot leave a change half done.
template <class Record, class Handler>
bool RunPair(std::string& lastError, std::string_view operation, const Handler& first, const Handler& second,
             Record& record, TDesync desync, bool local) {
    Require(first, operation);
    Require(second, operation);
    if (!first(record)) return false;
    if (second(record)) return true;
    if (local) {
        // Nothing kept apart from the tables: nothing to load again.
    } else if (desync == TDesync::Replace) {
        lastError = msg::communs::Desynchronise;
    } else {
        lastError += msg::communs::LineBreak;
        lastError += msg::communs::Desynchronise;
    }
    return false;
}

bool RunOne(std::string_view operation, const TTableHandler& handler, TParamTable& record) {
    Require(handler, operation);
    return handler(record);
}

}  // namespace

std::string SanitizeFileName(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        switch (c) {
            case '/':
            case '\\':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                c = '_';
                break;
            default:
                break;
        }
    }
    return result;
}

void TCompetition::SetIdCompet(std::int32_t idCompet) {
    FIdCompet = idCompet;
    if (OnIdCompetChange) OnIdCompetChange(*this);
    if (idCompet < 0) SetMessage(std::string(msg::communs::ChargezCompetition));
}

void TCompetition::SetMessage(std::string message) {
    FMessage = std::move(message);
    if (OnMessageChange) OnMessageChange(*this);
}

void TCompetition::SetLogin(std::string login) {
    FLogin = std::move(login);
    if (OnLoginChange) OnLoginChange(*this);
}

void TCompetition::SetDiscipline(std::string discipline) {
    FDiscipline = std::move(discipline);
}

bool TCompetition::Writable() {
    if (ReadOnly.empty()) return true;
    LastError = ReadOnly;
    return false;
}

bool TCompetition::CanModify() {
    LastError.clear();
    if (!Writable()) return false;
    if (Connexion == TConnexion::None) {
        LastError = msg::communs::AucuneBase;
    } else if (Connexion == TConnexion::Internet && FLogin.empty()) {
        LastError = msg::communs::IdentificationNecessaire;
    }
    return LastError.empty();
}

bool TCompetition::AddInscrit(std::int32_t licence, std::int32_t rank, const std::string& name) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.Valeur = rank;
    record.Nom = name;
    return RunOne("AddInscrit", Store.AddInscrit, record);
}

bool TCompetition::EditInscrit(std::int32_t licence, std::int32_t rank) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.Valeur = rank;
    return RunOne("EditInscrit", Store.EditInscrit, record);
}

bool TCompetition::DelInscrit(std::int32_t licence) {
    LastError.clear();
    if (!Writable()) return false;
    Require(Store.DelJoueur, "DelInscrit");
    Require(Store.DelInscrit, "DelInscrit");
    TParamTable record;
    record.Id = licence;
    record.IdParent = -1;  // out of every pool first
    if (!Store.DelJoueur(record)) {
        LastError = msg::communs::JoueurEncoreEnPoule;
        return false;
    }
    return Store.DelInscrit(record);
}

bool TCompetition::AddPhase(std::int32_t number, const std::string& name) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = number;
    record.Nom = name;
    return RunOne("AddPhase", Store.AddPhase, record);
}

bool TCompetition::DelPhase(std::int32_t number) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = number;
    return RunOne("DelPhase", Store.DelPhase, record);
}

bool TCompetition::EditPhase(std::int32_t number, const std::string& name) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = number;
    record.Nom = name;
    return RunOne("EditPhase", Store.EditPhase, record);
}

bool TCompetition::AddPoule(std::int32_t phase, std::int32_t formula, const std::string& name, std::int32_t* newId) {
    LastError.clear();
    if (!Writable()) return false;
    Require(Server.AddPoule, "AddPoule");
    Require(Store.AddPoule, "AddPoule");
    TParamTable record;
    record.Id = -1;  // the server gives the number
    record.IdParent = phase;
    record.Valeur = formula;
    record.Nom = name;
    if (!Server.AddPoule(record)) return false;
    // The pool exists on the server from here on, whatever the store answers.
    if (newId != nullptr) *newId = record.Id;
    if (Store.AddPoule(record)) return true;
    if (Server.Local) return false;
    LastError += msg::communs::LineBreak;
    LastError += msg::communs::Desynchronise;
    return false;
}

bool TCompetition::MovePoule(std::int32_t pool, std::int32_t phase) {
    LastError.clear();
    if (!Writable()) return false;
    Require(Store.UpdatePoule, "MovePoule");
    Require(Server.EditPoule, "MovePoule");
    if (!CanModify()) return false;
    LastError.clear();
    TParamTable record;
    record.Id = pool;
    record.IdParent = phase;
    // Memory first: the checks on members and destination phase are made there.
    return RunPair(LastError, "MovePoule", Store.UpdatePoule, Server.EditPoule, record, TDesync::Append, Server.Local);
}

bool TCompetition::EditPoule(std::int32_t pool, const std::string& name) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = pool;
    record.Nom = name;
    return RunPair(LastError, "EditPoule", Server.EditPoule, Store.UpdatePoule, record, TDesync::Append, Server.Local);
}

bool TCompetition::SetFClasstPoule(std::int32_t pool, std::int32_t formula) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = pool;
    record.Valeur = formula;
    return RunPair(LastError, "SetFClasstPoule", Server.EditPoule, Store.UpdatePoule, record, TDesync::Append,
                   Server.Local);
}

bool TCompetition::DelPoule(std::int32_t pool) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = pool;
    return RunPair(LastError, "DelPoule", Server.DelPoule, Store.DelPoule, record, TDesync::Replace, Server.Local);
}

bool TCompetition::AddJoueur(std::int32_t licence, std::int32_t rank, std::int32_t pool) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.IdParent = pool;
    record.Valeur = rank;
    return RunOne("AddJoueur", Store.AddJoueur, record);
}

bool TCompetition::MoveJoueur(std::int32_t licence, std::int32_t fromPool, std::int32_t toPool) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.IdParent = fromPool;
    record.IdDest = toPool;
    return RunOne("MoveJoueur", Store.UpdateJoueur, record);
}

bool TCompetition::EditJoueur(std::int32_t licence, std::int32_t pool, std::int32_t rank) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.IdParent = pool;
    record.IdDest = pool;  // staying in the same pool tells an edit from a move
    record.Valeur = rank;
    return RunOne("EditJoueur", Store.UpdateJoueur, record);
}

bool TCompetition::DelJoueur(std::int32_t licence, std::int32_t pool) {
    LastError.clear();
    if (!Writable()) return false;
    TParamTable record;
    record.Id = licence;
    record.IdParent = pool;
    return RunOne("DelJoueur", Store.DelJoueur, record);
}

bool TCompetition::AddMatch(TParamMatch& match) {
    LastError.clear();
    if (!Writable()) return false;
    return RunPair(LastError, "AddMatch", Server.AddMatch, Store.AddMatch, match, TDesync::Append, Server.Local);
}

bool TCompetition::EditMatch(TParamMatch& match) {
    LastError.clear();
    if (!Writable()) return false;
    return RunPair(LastError, "EditMatch", Server.EditMatch, Store.EditMatch, match, TDesync::Append, Server.Local);
}

bool TCompetition::DelMatch(std::int32_t matchNumber) {
    LastError.clear();
    if (!Writable()) return false;
    TParamMatch match;
    match.IdMatch = matchNumber;
    return RunPair(LastError, "DelMatch", Server.DelMatch, Store.DelMatch, match, TDesync::Append, Server.Local);
}

void TCompetition::DoClear() {
    Require(OnClear, "OnClear");
    OnClear();
}

void TCompetition::DoAfterLoad() {
    Require(OnAfterLoad, "OnAfterLoad");
    OnAfterLoad();
}

void TCompetition::AbandonLoad() noexcept {
    try {
        DoAfterLoad();
    } catch (...) {
        // The load's own failure is the one to report.
    }
    if (ListsComplete) return;
    Connexion = TConnexion::None;
    ReadOnly.clear();
    try {
        SetIdCompet(-1);
        SetLogin("");
    } catch (...) {
        // A notification that fails leaves the state set all the same.
    }
}

void TCompetition::DoAddBillard(std::int32_t size, const std::string& label) {
    Require(OnAddBillard, "OnAddBillard");
    OnAddBillard(size, label);
}

void TCompetition::ShowLogin() {
    if (OnShowLogin) OnShowLogin();
}

void TCompetition::ListJoueurs(TTextGrid& grid) {
    Require(OnListJoueurs, "OnListJoueurs");
    OnListJoueurs(grid);
}

}  // namespace tavlor
