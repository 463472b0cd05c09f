#include "ui/MainCommands.h"

#include "export/Export.h"
#include "model/Files.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "server/wwwMessages.h"
#include "text/Cp1252.h"
#include "text/Numbers.h"
#include "ui/MainFrm.h"
#include "ui/MainMessages.h"
#include "ui/MatchList.h"
#include "ui/PhaseTree.h"
#include "ui/PhaseTreeModel.h"
#include "ui/UiBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <set>

namespace tavlor::ui {

namespace {

std::string Replace(std::string text, std::string_view what, const std::string& with) {
    const auto at = text.find(what);
    if (at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

// The file name with its extension replaced (or added).
std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path.substr(0, dot) + ext;
    return path + ext;
}

}  // namespace

void TMainCommands::Connect() {
    const auto bind = [this](QAction* action, void (TMainCommands::*command)()) {
        QObject::connect(action, &QAction::triggered, &Main_,
                         [this, command] { Run([this, command] { (this->*command)(); }); });
    };
    const auto a = [this](const char* name) { return Main_.Action(QLatin1String(name)); };
    bind(a("LoadFromDbLocal"), &TMainCommands::LoadFromDbLocal);
    bind(a("LoadFromInternet"), &TMainCommands::LoadFromInternet);
    bind(a("AddPhase"), &TMainCommands::AddPhase);
    bind(a("DelPhase"), &TMainCommands::DelPhase);
    bind(a("AddInscrit"), &TMainCommands::AddInscrit);
    bind(a("DelInscrit"), &TMainCommands::DelInscrit);
    bind(a("AddPoule"), &TMainCommands::AddPoule);
    bind(a("DelPoule"), &TMainCommands::DelPoule);
    bind(a("DelJoueur"), &TMainCommands::DelJoueur);
    bind(a("AddJoueur"), &TMainCommands::AddJoueur);
    bind(a("AddMatch"), &TMainCommands::AddMatch);
    bind(a("DelMatch"), &TMainCommands::DelMatch);
    bind(a("EditMatch"), &TMainCommands::EditMatch);
    bind(a("EditPhase"), &TMainCommands::EditPhase);
    bind(a("EditPoule"), &TMainCommands::EditPoule);
    bind(a("LoginWww"), &TMainCommands::LoginWww);
    bind(a("TriAlphaJoueurs"), &TMainCommands::TriAlphaJoueurs);
    bind(a("EditInscrit"), &TMainCommands::EditInscrit);
    bind(a("EditJoueur"), &TMainCommands::EditJoueur);
    bind(a("OpenSynthesePoule"), &TMainCommands::OpenSynthesePoule);
    QObject::connect(a("ExportXls"), &QAction::triggered, &Main_, [this] { Run([this] { ExportFiltres(false); }); });
    QObject::connect(a("ExportHtml"), &QAction::triggered, &Main_, [this] { Run([this] { ExportFiltres(true); }); });
    for (int f = 0; f < 3; ++f) {
        const char* name = f == 0 ? "SetFclasstPoule0" : f == 1 ? "SetFClasstPoule1" : "SetFClasstPoule2";
        QObject::connect(a(name), &QAction::triggered, &Main_, [this, f] { Run([this, f] { SetFClasstPoule(f); }); });
    }
    bind(Main_.ReloadAction(), &TMainCommands::Reload);
    bind(Main_.ExportInscritsAction(), &TMainCommands::ExportInscrits);
    bind(Main_.ImportInscritsAction(), &TMainCommands::ImportInscrits);
    bind(Main_.VersionAction(), &TMainCommands::Version);
    QObject::connect(Main_.QuitAction(), &QAction::triggered, &Main_, [this] { Quit(); });
    // Picking an entry of the address box, or Enter in it, opens.
    QObject::connect(Main_.Adresse(), &QComboBox::activated, &Main_, [this] { Run([this] { LoadFromInternet(); }); });
    if (QLineEdit* edit = Main_.Adresse()->lineEdit()) {
        QObject::connect(edit, &QLineEdit::returnPressed, &Main_, [this] { Run([this] { LoadFromInternet(); }); });
    }
}

bool TMainCommands::Run(const std::function<void()>& command) {
    if (Running_) {
        Main_.Boxes().Error(wwwmsg::AlreadyExchanging);
        return false;
    }
    Running_ = true;
    bool done = false;
    try {
        command();
        done = true;
    } catch (const std::exception& e) {
        Running_ = false;  // the error box may start another command
        Main_.Boxes().TopLevelError(e.what());
    }
    Running_ = false;
    Main_.TreePhases()->viewport()->update();
    return done;
}

TNodeHandle TMainCommands::Focused() const {
    return Main_.TreePhases()->FocusedNode();
}

std::uint8_t TMainCommands::FocusedKind() const {
    const TNodeHandle n = Focused();
    return n == 0 ? std::uint8_t(7) : Main_.Dm().Tree.Data(n).Kind;
}

std::int32_t TMainCommands::FocusedId() const {
    return Main_.Dm().Tree.Data(Focused()).Id;
}

std::int32_t TMainCommands::FocusedParentId() const {
    return Main_.TreeModel()->ParentIdOf(Focused());
}

void TMainCommands::ShowLastError() {
    Main_.Boxes().Error(Main_.Compet().LastError);
}

void TMainCommands::SortTree() {
    TdmLocal& dm = Main_.Dm();
    dm.Tree.Sort([&dm](TNodeHandle a, TNodeHandle b) { return dm.CompareNodes(a, b); });
}

bool TMainCommands::AskRank(const char* caption, std::int32_t current, std::int32_t count, std::int32_t& rank) {
    std::string typed = text::IntToStr(current);
    if (!Main_.Boxes().InputQuery(caption, cmdmsg::NewRank, typed)) return false;
    const auto r = text::ParseInt32(typed);
    if (!r) {
        Main_.Boxes().TopLevelError(Replace(cmdmsg::NotAnInteger, "%s", typed));
        return false;
    }
    rank = std::clamp(*r, std::int32_t{1}, std::max<std::int32_t>(1, count));
    return true;
}

// ---- opening

void TMainCommands::LoadFromInternet() {
    QComboBox* box = Main_.Adresse();
    int i = box->currentIndex();
    // A typed address is no entry of the box.
    if (i >= 0 && box->isEditable() && box->currentText() != box->itemText(i)) i = -1;
    const bool recent = i > Main_.nUrls();
    TCompetition& compet = Main_.Compet();
    try {
        if (recent) {
            const TRecentCompet slot = Main_.RecentCompets()[static_cast<std::size_t>(i - Main_.nUrls() - 1)];
            Main_.Www().SetBaseUrl(slot.url);
            Main_.Www().LoadCompet(slot.IdCompet, slot.NomCompet);
            // Opened from the recent list too, the first node is focused, as
            // from the competition list: the right-hand side then shows this
            // competition and not the previous one.
            Main_.FocusFirstNode();
        } else {
            const std::string url = box->currentText().trimmed().toStdString();
            if (Dialogs.ChooseCompetWww && Dialogs.ChooseCompetWww(url)) Main_.FocusFirstNode();
        }
    } catch (...) {
        Main_.ReloadAction()->setEnabled(compet.IdCompet() >= 0);
        throw;
    }
    if (compet.IdCompet() < 0) {
        Main_.ReloadAction()->setEnabled(false);
        return;
    }
    Main_.AddRecentCompet(Main_.Www().BaseUrl(), compet.Message(), compet.IdCompet());
    if (recent) box->setCurrentIndex(Main_.nUrls() + 1);
    Main_.ReloadAction()->setEnabled(true);
}

void TMainCommands::Reload() {
    if (Main_.Compet().IdCompet() <= 0) return;
    if (Dialogs.ReloadCompet) Dialogs.ReloadCompet();
    Main_.FocusFirstNode();
}

void TMainCommands::LoadFromDbLocal() {
    if (Dialogs.ChooseCompetLocal && Dialogs.ChooseCompetLocal()) Main_.FocusFirstNode();
}

void TMainCommands::LoginWww() {
    Main_.Compet().ShowLogin();
}

// ---- registrants

void TMainCommands::AddInscrit() {
    if (Dialogs.ShowSearchJoueur) Dialogs.ShowSearchJoueur();
}

void TMainCommands::EditInscrit() {
    if (FocusedKind() != NodeRegistrant) return;
    const std::int32_t licence = FocusedId();
    TTableData& inscrits = Main_.Dm().Tables.Inscrits.Data();
    const TRowView row = inscrits.Lookup("LICENCE", {licence});
    if (!row) return;
    const auto n = static_cast<std::int32_t>(inscrits.RowCount());
    const std::int32_t old = row.AsInteger("RGA");
    std::int32_t r = 0;
    if (!AskRank(cmdmsg::EditInscritCaption, old, n, r) || r == old) return;
    if (Main_.Compet().EditInscrit(licence, r)) {
        SortTree();
    } else {
        ShowLastError();
    }
}

void TMainCommands::DelInscrit() {
    if (FocusedKind() != NodeRegistrant) return;
    const std::int32_t licence = FocusedId();
    if (!Main_.Boxes().Confirm(cmdmsg::ConfirmDelInscrit)) return;
    if (!Main_.Compet().DelInscrit(licence)) ShowLastError();
}

// ---- phases

void TMainCommands::AddPhase() {
    std::int32_t number = 0;
    std::unique_ptr<TTable> phases = Main_.Dm().Tables.Phases.Clone();
    for (phases->First(); !phases->Eof(); phases->Next()) number = std::max(number, phases->AsInteger("IDPHASE"));
    ++number;
    if (!Main_.Compet().AddPhase(number, cmdmsg::PhaseName + text::IntToStr(number))) ShowLastError();
}

void TMainCommands::DelPhase() {
    if (FocusedKind() != NodePhase) return;
    if (Main_.Dm().Tree.ChildCount(Focused()) > 0) {
        Main_.Boxes().Error(cmdmsg::PhaseNotEmpty);
        return;
    }
    const std::int32_t phase = FocusedId();
    if (!Main_.Boxes().Confirm(cmdmsg::ConfirmDelPhase)) return;
    if (!Main_.Compet().DelPhase(phase)) ShowLastError();
}

void TMainCommands::EditPhase() {
    if (FocusedKind() == NodePhase) Main_.TreePhases()->EditFocusedName();
}

// ---- pools

void TMainCommands::AddPoule() {
    const TNodeHandle node = Focused();
    if (node == 0) return;
    const TNodeTree& tree = Main_.Dm().Tree;
    TNodeHandle phaseNode = 0;
    switch (tree.Data(node).Kind) {
        case NodePhase:
            phaseNode = node;
            break;
        case NodePool:
            phaseNode = tree.Parent(node);
            break;
        case NodeMember:
            phaseNode = tree.Parent(node) != 0 ? tree.Parent(tree.Parent(node)) : 0;
            break;
        default:
            return;
    }
    if (phaseNode == 0 || tree.Data(phaseNode).Kind != NodePhase) return;
    const std::int32_t phase = tree.Data(phaseNode).Id;
    // The next letter after the pools the phase holds ("[" after "Z").
    const char32_t letter = U'A' + static_cast<char32_t>(tree.ChildCount(phaseNode));
    std::string name = Main_.Dm().GetNomElement(NodePhase, phase, -1) + " " +
                       text::ToCp1252Range(QString::fromUcs4(&letter, 1).toStdString());
    if (!Main_.Boxes().InputQuery(cmdmsg::AddPouleCaption, cmdmsg::AddPoulePrompt, name)) return;
    if (!Main_.Compet().AddPoule(phase, 0, name)) ShowLastError();
}

void TMainCommands::EditPoule() {
    if (FocusedKind() == NodePool) Main_.TreePhases()->EditFocusedName();
}

void TMainCommands::SetFClasstPoule(std::int32_t formula) {
    if (FocusedKind() != NodePool) return;
    const TNodeHandle node = Focused();
    const bool done = Main_.Compet().SetFClasstPoule(FocusedId(), formula);
    // The formula image shows what the tables now hold, either way.
    Main_.TreeModel()->RepaintNode(node);
    if (!done) ShowLastError();
}

void TMainCommands::DelPoule() {
    const TNodeHandle node = Focused();
    if (node == 0) return;
    if (Main_.Dm().Tree.ChildCount(node) > 0) {
        Main_.Boxes().Error(cmdmsg::PouleNotEmpty);
        return;
    }
    if (FocusedKind() != NodePool) return;
    const std::int32_t pool = FocusedId();
    if (!Main_.Boxes().Confirm(cmdmsg::ConfirmDelPoule)) return;
    if (!Main_.Compet().DelPoule(pool)) ShowLastError();
}

void TMainCommands::OpenSynthesePoule() {
    if (FocusedKind() == NodePool) Main_.Www().OpenPrintPoules(FocusedId());
}

// ---- pool members

void TMainCommands::AddJoueur() {
    // A choice among the registrants who play in no pool of the phase yet.
    const TNodeHandle node = Focused();
    if (node == 0) return;
    const TNodeTree& tree = Main_.Dm().Tree;
    TNodeHandle poolNode = 0;
    if (tree.Data(node).Kind == NodePool)
        poolNode = node;
    else if (tree.Data(node).Kind == NodeMember)
        poolNode = tree.Parent(node);
    if (poolNode == 0) return;
    const std::int32_t pool = tree.Data(poolNode).Id;
    const TNodeHandle phaseNode = tree.Parent(poolNode);
    const std::int32_t phase = phaseNode != 0 ? tree.Data(phaseNode).Id : -1;

    std::set<std::int32_t> playing;
    std::unique_ptr<TTable> joueurs = Main_.Dm().Tables.Joueurs.Clone();
    for (joueurs->First(); !joueurs->Eof(); joueurs->Next()) {
        if (joueurs->AsInteger("IDPHASE") == phase) playing.insert(joueurs->AsInteger("LICENCE"));
    }
    std::unique_ptr<TTable> inscrits = Main_.Dm().Tables.Inscrits.Clone();
    inscrits->SetIndexFieldNames("RGA");
    std::vector<std::string> items;
    std::vector<std::int32_t> licences;
    for (inscrits->First(); !inscrits->Eof(); inscrits->Next()) {
        const std::int32_t licence = inscrits->AsInteger("LICENCE");
        if (playing.count(licence) != 0) continue;
        items.push_back(inscrits->AsString("NOM") + " (" + text::FormatFloat("000000", licence) + ")");
        licences.push_back(licence);
    }
    if (items.empty()) {
        Main_.Boxes().Information(cmdmsg::AddJoueurNone);
        return;
    }
    int index = 0;
    if (!Main_.Boxes().ChooseItem(cmdmsg::AddJoueurCaption, cmdmsg::AddJoueurPrompt, items, index)) return;
    if (index < 0 || index >= static_cast<int>(licences.size())) return;
    if (!Main_.Compet().AddJoueur(licences[static_cast<std::size_t>(index)], -1, pool)) ShowLastError();
}

void TMainCommands::EditJoueur() {
    if (FocusedKind() != NodeMember) return;
    const TNodeHandle node = Focused();
    const std::int32_t licence = FocusedId();
    const std::int32_t pool = FocusedParentId();
    const TRowView row = Main_.Dm().Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {pool, licence});
    if (!row) return;
    const std::int32_t n = Main_.Dm().Tree.ChildCount(Main_.Dm().Tree.Parent(node));
    const std::int32_t old = row.AsInteger("RGA");
    std::int32_t r = 0;
    if (!AskRank(cmdmsg::EditJoueurCaption, old, n, r) || r == old) return;
    if (Main_.Compet().EditJoueur(licence, pool, r)) {
        SortTree();
    } else {
        ShowLastError();
    }
}

void TMainCommands::DelJoueur() {
    if (FocusedKind() != NodeMember) return;
    const std::int32_t licence = FocusedId();
    const std::int32_t pool = FocusedParentId();
    if (!Main_.Boxes().Confirm(cmdmsg::ConfirmDelJoueur)) return;
    if (!Main_.Compet().DelJoueur(licence, pool)) ShowLastError();
}

// ---- matches

void TMainCommands::AddMatch() {
    std::int32_t pool = -1, licence = -1;
    switch (FocusedKind()) {
        case NodePool:
            pool = FocusedId();
            break;
        case NodeMember:
            licence = FocusedId();
            pool = FocusedParentId();
            break;
        default:
            return;
    }
    if (Dialogs.ShowAddMatch && Dialogs.ShowAddMatch(pool, licence)) Main_.RecomputeView();
}

void TMainCommands::EditMatch() {
    TTable& matchs = Main_.Dm().Tables.FiltreMatchs;
    if (!matchs.HasCurrent() || matchs.IsNull("IDMATCH")) return;
    if (Dialogs.ShowEditMatch && Dialogs.ShowEditMatch() && Focused() != 0) Main_.RecomputeView();
}

void TMainCommands::DelMatch() {
    TTable& matchs = Main_.Dm().Tables.FiltreMatchs;
    if (!matchs.HasCurrent() || matchs.IsNull("IDMATCH")) return;
    const std::int32_t number = matchs.AsInteger("IDMATCH");
    const std::string text =
        cmdmsg::ConfirmDelMatch + matchs.AsString("NOM1") + cmdmsg::Versus + matchs.AsString("NOM2");
    if (!Main_.Boxes().Confirm(text)) return;
    if (Main_.Compet().DelMatch(number)) {
        if (Focused() != 0) Main_.RecomputeView();
    } else {
        ShowLastError();
    }
}

// ---- tools

void TMainCommands::TriAlphaJoueurs() {
    SortTree();
}

void TMainCommands::ExportFiltres(bool html) {
    Main_.Export().ExportFiltres(html);
}

void TMainCommands::ExportInscrits() {
    if (Main_.Compet().IdCompet() < 0) return;
    if (Main_.Dm().Tables.Inscrits.Data().RowCount() == 0) {
        Main_.Boxes().Error(cmdmsg::InscritsEmpty);
        return;
    }
    std::string path = JoinPath(Main_.Export().ExportFolder,
                                SanitizeFileName(cmdmsg::InscritsFilePrefix + Main_.Compet().Message() + ".xml"));
    if (!Main_.Boxes().SaveFileName(cmdmsg::ExportInscritsFilter, path)) return;
    Main_.Dm().ExportInscrits(ChangeFileExt(path, ".xml"));
}

void TMainCommands::ImportInscrits() {
    if (Main_.Compet().IdCompet() < 0) return;
    std::string path = Main_.Export().ExportFolder;
    if (!Main_.Boxes().OpenFileName(cmdmsg::ImportInscritsFilter, path)) return;
    Main_.Dm().ImportInscrits(path);
}

void TMainCommands::Quit() {
    Main_.close();
}

void TMainCommands::Version() {
    if (Dialogs.ShowVersion) Dialogs.ShowVersion();
}

}  // namespace tavlor::ui
