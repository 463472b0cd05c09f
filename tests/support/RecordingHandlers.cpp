#include "support/RecordingHandlers.h"

#include "text/Error.h"

#include <stdexcept>
#include <utility>

namespace tavlor {

void PrintTo(const TParamTable& record, std::ostream* os) {
    *os << "{Id=" << record.Id << " IdParent=" << record.IdParent << " IdDest=" << record.IdDest
        << " Valeur=" << record.Valeur << " Nom=\"" << record.Nom << "\"}";
}

void PrintTo(const TParamMatch& match, std::ostream* os) {
    *os << "{DateMatch=" << match.DateMatch << " IdMatch=" << match.IdMatch << " IdPhase=" << match.IdPhase
        << " IdPoule=" << match.IdPoule << " Licence1=" << match.Licence1 << " Pts1=" << match.Pts1
        << " Rep1=" << match.Rep1 << " Ser1=" << match.Ser1 << " Pm1=" << match.Pm1 << " Licence2=" << match.Licence2
        << " Pts2=" << match.Pts2 << " Rep2=" << match.Rep2 << " Ser2=" << match.Ser2 << " Pm2=" << match.Pm2
        << " Bd=" << match.Bd << " CoefBd=" << match.CoefBd << "}";
}

}  // namespace tavlor

namespace tavlor::test {

TRecordingHandlers::TRecordingHandlers(TCompetition& compet) : FCompet(compet) {}

void TRecordingHandlers::InstallStore() {
    TStoreHandlers& s = FCompet.Store;
    s.AddInscrit = TableHandler("store:AddInscrit", false);
    s.EditInscrit = TableHandler("store:EditInscrit", false);
    s.DelInscrit = TableHandler("store:DelInscrit", false);
    s.AddPhase = TableHandler("store:AddPhase", false);
    s.EditPhase = TableHandler("store:EditPhase", false);
    s.DelPhase = TableHandler("store:DelPhase", false);
    s.AddPoule = TableHandler("store:AddPoule", false);
    s.UpdatePoule = TableHandler("store:UpdatePoule", false);
    s.DelPoule = TableHandler("store:DelPoule", false);
    s.AddJoueur = TableHandler("store:AddJoueur", false);
    s.UpdateJoueur = TableHandler("store:UpdateJoueur", false);
    s.DelJoueur = TableHandler("store:DelJoueur", false);
    s.AddMatch = MatchHandler("store:AddMatch", false);
    s.EditMatch = MatchHandler("store:EditMatch", false);
    s.DelMatch = MatchHandler("store:DelMatch", false);
}

void TRecordingHandlers::InstallServer(bool askCanModify) {
    FServerAsksCanModify = askCanModify;
    TServerHandlers& s = FCompet.Server;
    s.AddPoule = TableHandler("server:AddPoule", true);
    s.EditPoule = TableHandler("server:EditPoule", true);
    s.DelPoule = TableHandler("server:DelPoule", true);
    s.AddMatch = MatchHandler("server:AddMatch", true);
    s.EditMatch = MatchHandler("server:EditMatch", true);
    s.DelMatch = MatchHandler("server:DelMatch", true);
}

void TRecordingHandlers::InstallHooks() {
    FCompet.OnClear = [this] { FCalls.push_back({"hook:OnClear", {}, {}, FCompet.LastError, {}}); };
    FCompet.OnAfterLoad = [this] { FCalls.push_back({"hook:OnAfterLoad", {}, {}, FCompet.LastError, {}}); };
    FCompet.OnAddBillard = [this](std::int32_t size, const std::string& label) {
        FCalls.push_back({"hook:OnAddBillard", {}, {}, FCompet.LastError, std::to_string(size) + "|" + label});
    };
    FCompet.OnShowLogin = [this] { FCalls.push_back({"hook:OnShowLogin", {}, {}, FCompet.LastError, {}}); };
    FCompet.OnListJoueurs = [this](TTextGrid&) {
        FCalls.push_back({"hook:OnListJoueurs", {}, {}, FCompet.LastError, {}});
    };
}

void TRecordingHandlers::InstallNotifications() {
    FCompet.OnIdCompetChange = [this](TCompetition& c) {
        FCalls.push_back({"notify:OnIdCompetChange", {}, {}, c.LastError, std::to_string(c.IdCompet())});
    };
    FCompet.OnMessageChange = [this](TCompetition& c) {
        FCalls.push_back({"notify:OnMessageChange", {}, {}, c.LastError, c.Message()});
    };
    FCompet.OnLoginChange = [this](TCompetition& c) {
        FCalls.push_back({"notify:OnLoginChange", {}, {}, c.LastError, c.Login()});
    };
}

void TRecordingHandlers::InstallAll() {
    InstallStore();
    InstallServer();
    InstallHooks();
    InstallNotifications();
}

THandlerBehaviour& TRecordingHandlers::Behaviour(const std::string& name) {
    return FBehaviours[name];
}

void TRecordingHandlers::Refuse(const std::string& name, const std::string& reason) {
    THandlerBehaviour& b = Behaviour(name);
    b.Answer = false;
    b.LastError = reason;
}

void TRecordingHandlers::Throw(const std::string& name, const std::string& text) {
    Behaviour(name).ErrorText = text;
}

void TRecordingHandlers::WriteId(const std::string& name, std::int32_t id) {
    Behaviour(name).EditTable = [id](TParamTable& record) { record.Id = id; };
}

void TRecordingHandlers::WriteMatch(const std::string& name, std::int32_t idMatch, double coefBd) {
    Behaviour(name).EditMatch = [idMatch, coefBd](TParamMatch& match) {
        match.IdMatch = idMatch;
        match.CoefBd = coefBd;
    };
}

std::vector<std::string> TRecordingHandlers::Names() const {
    std::vector<std::string> names;
    names.reserve(FCalls.size());
    for (const TRecordedCall& call : FCalls) names.push_back(call.Name);
    return names;
}

const TRecordedCall& TRecordingHandlers::CallAt(std::size_t i) const {
    if (i >= FCalls.size()) throw std::out_of_range("no call " + std::to_string(i));
    return FCalls[i];
}

const TParamTable& TRecordingHandlers::TableAt(std::size_t i) const {
    if (i >= FCalls.size() || !FCalls[i].Table) throw std::out_of_range("no table record at call " + std::to_string(i));
    return *FCalls[i].Table;
}

const TParamMatch& TRecordingHandlers::MatchAt(std::size_t i) const {
    if (i >= FCalls.size() || !FCalls[i].Match) throw std::out_of_range("no match record at call " + std::to_string(i));
    return *FCalls[i].Match;
}

TTableHandler TRecordingHandlers::TableHandler(std::string name, bool server) {
    return
        [this, name = std::move(name), server](TParamTable& record) { return Record(name, server, &record, nullptr); };
}

TMatchHandler TRecordingHandlers::MatchHandler(std::string name, bool server) {
    return [this, name = std::move(name), server](TParamMatch& match) { return Record(name, server, nullptr, &match); };
}

bool TRecordingHandlers::Record(const std::string& name, bool server, TParamTable* table, TParamMatch* match) {
    TRecordedCall call{name, {}, {}, FCompet.LastError, {}};
    if (table != nullptr) call.Table = *table;
    if (match != nullptr) call.Match = *match;
    FCalls.push_back(std::move(call));

    if (server && FServerAsksCanModify && !FCompet.CanModify()) return false;

    // Copied so that a behaviour changed from inside a callback cannot dangle.
    const THandlerBehaviour b = Behaviour(name);
    if (table != nullptr && b.EditTable) b.EditTable(*table);
    if (match != nullptr && b.EditMatch) b.EditMatch(*match);
    if (b.ErrorText) throw Error(*b.ErrorText);
    if (b.LastError) FCompet.LastError = *b.LastError;
    return b.Answer;
}

}  // namespace tavlor::test
