#include "commands/Commands.h"

#include "commands/CommandState.h"
#include "commands/CommandsMessages.h"
#include "commands/CompetRules.h"
#include "commands/LocalCompet.h"
#include "commands/Settings.h"
#include "commands/UserBoxes.h"
#include "export/Export.h"
#include "export/ExportMessages.h"
#include "model/Files.h"
#include "model/dbFb.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "server/www.h"
#include "server/wwwMessages.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace tavlor {

namespace m = msg::commands;

namespace {

// The file name with its extension replaced (or added).
std::string ChangeFileExt(const std::string& path, std::string_view ext) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        return path.substr(0, dot) + std::string(ext);
    }
    return path + std::string(ext);
}

bool EndsWithIgnoringCase(const std::string& path, std::string_view ext) {
    if (path.size() < ext.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        const auto a = static_cast<unsigned char>(path[path.size() - ext.size() + i]);
        if (std::tolower(a) != std::tolower(static_cast<unsigned char>(ext[i]))) return false;
    }
    return true;
}

}  // namespace

TCommands::TCommands(const TCommandContext& context, IMainView& view, IDialogs& dialogs)
    : C_(context), View_(view), Dialogs_(dialogs) {}

bool TCommands::Run(TCommandId id, const TSelection& selection) {
    const THandler handler = Command(id).Handler;
    return Run([&] { (this->*handler)(selection); });
}

bool TCommands::Run(const std::function<void()>& action) {
    if (Running_) {
        C_.Boxes.Error(msg::www::AlreadyExchanging);
        return false;
    }
    Running_ = true;
    bool done = false;
    try {
        action();
        done = true;
    } catch (const std::exception& e) {
        Running_ = false;  // the error box may start another command
        ShowEndedCommand(C_.Boxes, e);
    }
    Running_ = false;
    View_.CommandEnded();
    return done;
}

// ---- the tree

TNodeKind TCommands::KindOf(TNodeHandle node) const {
    return node != 0 && C_.Dm.Tree.Exists(node) ? C_.Dm.Tree.Data(node).Kind : NodeRegistrants;
}

bool TCommands::Is(const TSelection& s, TNodeKind kind) const {
    return s.Node != 0 && C_.Dm.Tree.Exists(s.Node) && C_.Dm.Tree.Data(s.Node).Kind == kind;
}

TElement TCommands::ElementOf(TNodeHandle node) const {
    if (node == 0 || !C_.Dm.Tree.Exists(node)) return {};
    return C_.Dm.ElementOf(node);
}

void TCommands::ShowElement(TNodeHandle node) {
    // Tables being loaded are not shown half-way.
    if (C_.Compet.Chargement || node == 0) return;
    try {
        C_.Views.RefreshFiltres(ElementOf(node));
    } catch (const std::exception& e) {
        ShowEndedCommand(C_.Boxes, e);
    }
}

void TCommands::FocusChanged(TFocusKind kind, TNodeHandle focusedNode) {
    C_.State.EnableActions(kind, FocusKindOf(KindOf(focusedNode)));
}

void TCommands::RecomputeView(const TSelection& s) {
    if (s.Node == 0) return;
    ShowElement(s.Node);
}

bool TCommands::Rename(TNodeHandle node, const std::string& name) {
    const TElement e = ElementOf(node);
    bool done = false;
    try {
        if (e.Kind == NodePhase) {
            done = C_.Compet.EditPhase(e.Id, name);
        } else if (e.Kind == NodePool) {
            done = C_.Compet.EditPoule(e.Id, name);
        } else {
            C_.Compet.LastError = m::NotRenamable;
        }
    } catch (const std::exception& error) {
        ShowEndedCommand(C_.Boxes, error);
        return false;
    }
    if (!done) ShowLastError();
    return done;
}

bool TCommands::DropAccepted(TNodeHandle target, TDragKind drag) const {
    return target != 0 && C_.Dm.Tree.Exists(target) && tavlor::DropAccepted(KindOf(target), drag);
}

bool TCommands::Drop(TNodeHandle target, const TDragParamTable& drag) {
    if (!DropAccepted(target, static_cast<TDragKind>(drag.DragKind))) return false;
    bool refused = false;
    bool done = false;
    try {
        done = RunDrop(C_.Compet, ElementOf(target), drag, refused);
    } catch (const std::exception& e) {
        ShowEndedCommand(C_.Boxes, e);
        return false;
    }
    if (refused) ShowLastError();
    return done;
}

TDragParamTable TCommands::DragObjectOf(TNodeHandle node) const {
    TDragParamTable drag;
    drag.DragKind = DragNone;
    if (node == 0 || !C_.Dm.Tree.Exists(node)) return drag;
    const TNodeTree& tree = C_.Dm.Tree;
    const TNodeData& d = tree.Data(node);
    if (d.Kind != NodePool && d.Kind != NodeRegistrant && d.Kind != NodeMember) return drag;
    drag.DragKind = d.Kind;
    drag.DragId = d.Id;
    const TNodeHandle parent = tree.Parent(node);
    drag.DragIdParent = parent == 0 ? -1 : tree.Data(parent).Id;
    const TNodeHandle grand = parent == 0 ? 0 : tree.Parent(parent);
    drag.DragIdGrandParent = grand == 0 ? -1 : tree.Data(grand).Id;
    return drag;
}

void TCommands::SortTree() {
    TdmLocal& dm = C_.Dm;
    dm.Tree.Sort([&dm](TNodeHandle a, TNodeHandle b) { return dm.CompareNodes(a, b); });
}

void TCommands::ShowLastError() {
    C_.Boxes.Error(C_.Compet.LastError);
}

bool TCommands::ReadOnlyRefused() {
    // Told before anything is asked: nothing the user would type could be kept.
    if (C_.Compet.Writable()) return false;
    ShowLastError();
    return true;
}

bool TCommands::AskRank(const char* caption, std::int32_t current, std::int32_t count, std::int32_t& rank) {
    std::string typed = text::IntToStr(current);
    if (!C_.Boxes.InputQuery(caption, m::NewRank, typed)) return false;
    const auto r = text::ParseInt32(typed);
    if (!r) {
        C_.Boxes.TopLevelError(m::NotAnInteger(typed));
        return false;
    }
    rank = std::clamp(*r, std::int32_t{1}, std::max<std::int32_t>(1, count));
    return true;
}

// ---- opening

void TCommands::LoadFromInternet(const TSelection& s) {
    if (const TRecentCompet* slot = C_.Settings.RecentOfEntry(s.AddressIndex)) {
        const TRecentCompet chosen = *slot;
        // Opened from the recent list too, the first node is focused, as from
        // the competition list: the right-hand side then shows this
        // competition and not the previous one.
        Opening([&] { C_.Www.LoadCompet(chosen.url, chosen.IdCompet, chosen.NomCompet); });
        View_.SelectAddress(C_.Settings.nUrls() + 1);
        return;
    }
    const int opened = C_.Www.CompetitionsOpened();
    Dialogs_.ChooseCompetWww(s.AddressText);
    if (C_.Www.CompetitionsOpened() == opened) return;  // cancelled or failed: nothing changed
    View_.FocusFirstNode();
    C_.Settings.AddRecentCompet(C_.Www.BaseUrl(), C_.Compet.Message(), C_.Compet.IdCompet());
}

void TCommands::Opening(const std::function<void()>& load) {
    const int opened = C_.Www.CompetitionsOpened();
    try {
        load();
    } catch (...) {
        // Opened, but its snapshot could not be merged: shown all the same,
        // with the error.
        if (C_.Www.CompetitionsOpened() != opened) Opened();
        throw;
    }
    Opened();
}

void TCommands::Opened() {
    View_.FocusFirstNode();
    // Only a competition that was loaded, with the address it came from.
    C_.Settings.AddRecentCompet(C_.Www.BaseUrl(), C_.Compet.Message(), C_.Compet.IdCompet());
}

void TCommands::ReloadCompet(const TSelection&) {
    if (C_.Compet.IdCompet() <= 0) return;
    // The user finds the tree as he left it: what he opened, where he stood.
    const TTreePlace place = View_.TreePlace();
    try {
        if (C_.Compet.Connexion == TConnexion::Internet) {
            C_.Www.LoadCompet(C_.Compet.IdCompet(), C_.Compet.Message());
        } else if (C_.Compet.Connexion == TConnexion::LocalBase) {
            // A competition of the base is read again from the base, as it
            // was last kept there; a copy is refreshed from its server only
            // through the server's list.
            C_.Fb.LoadCompetDb(C_.Compet.IdCompet(), C_.Compet.Message());
        }
    } catch (const Error& e) {
        ShowEndedCommand(C_.Boxes, e);
    }
    View_.RestoreTreePlace(place);
}

void TCommands::LoadFromDbLocal(const TSelection&) {
    if (Dialogs_.ChooseCompetLocal()) View_.FocusFirstNode();
}

void TCommands::NewCompetLocal(const TSelection&) {
    std::string title;
    if (!C_.Boxes.InputQuery(m::NewCompetCaption, m::NewCompetTitle, title)) return;
    title = Trimmed(title);
    if (title.empty()) {
        C_.Boxes.Error(m::TitleRequired);
        return;
    }
    const std::vector<std::string>& disciplines = Disciplines();
    // The discipline of the competition open, most likely the club's.
    const auto open = std::find(disciplines.begin(), disciplines.end(), C_.Compet.Discipline());
    int index = open != disciplines.end() ? static_cast<int>(open - disciplines.begin()) : 0;
    if (!C_.Boxes.ChooseItem(m::NewCompetCaption, m::NewCompetDiscipline, disciplines, index)) return;
    if (index < 0 || index >= static_cast<int>(disciplines.size())) return;
    const std::string& discipline = disciplines[static_cast<std::size_t>(index)];
    std::string season = SeasonOf(C_.Fb.Now());
    if (!C_.Boxes.InputQuery(m::NewCompetCaption, m::NewCompetSeason, season)) return;
    season = Trimmed(season);
    if (!C_.Fb.OpenDb()) return;  // told why
    // Named as a download names its competition: the discipline follows the title.
    const std::int32_t id = C_.Fb.CreateCompetDb(title + " (" + discipline + ")", discipline, season);
    C_.Fb.LoadCompetDb(id, title);
    View_.FocusFirstNode();
}

void TCommands::LoginWww(const TSelection&) {
    C_.Compet.ShowLogin();
}

// ---- registrants

void TCommands::AddInscrit(const TSelection&) {
    if (ReadOnlyRefused()) return;
    Dialogs_.ShowSearchJoueur();
}

void TCommands::EditInscrit(const TSelection& s) {
    if (!Is(s, NodeRegistrant)) return;
    if (ReadOnlyRefused()) return;
    const std::int32_t licence = C_.Dm.Tree.Data(s.Node).Id;
    TTableData& inscrits = C_.Dm.Tables.Inscrits.Data();
    const TRowView row = inscrits.Lookup("LICENCE", {licence});
    if (!row) return;
    const auto n = static_cast<std::int32_t>(inscrits.RowCount());
    const std::int32_t old = row.AsInteger("RGA");
    std::int32_t r = 0;
    if (!AskRank(m::EditInscritCaption, old, n, r) || r == old) return;
    if (C_.Compet.EditInscrit(licence, r)) {
        SortTree();
    } else {
        ShowLastError();
    }
}

void TCommands::DelInscrit(const TSelection& s) {
    if (!Is(s, NodeRegistrant)) return;
    if (ReadOnlyRefused()) return;
    const std::int32_t licence = C_.Dm.Tree.Data(s.Node).Id;
    if (!C_.Boxes.Confirm(m::ConfirmDelInscrit)) return;
    if (!C_.Compet.DelInscrit(licence)) ShowLastError();
}

// ---- phases

void TCommands::AddPhase(const TSelection&) {
    if (ReadOnlyRefused()) return;
    const std::int32_t number = NextPhaseNumber(C_.Dm.Tables);
    if (!C_.Compet.AddPhase(number, NewPhaseName(number))) ShowLastError();
}

void TCommands::DelPhase(const TSelection& s) {
    if (!Is(s, NodePhase)) return;
    if (ReadOnlyRefused()) return;
    if (C_.Dm.Tree.ChildCount(s.Node) > 0) {
        C_.Boxes.Error(m::PhaseNotEmpty);
        return;
    }
    const std::int32_t phase = C_.Dm.Tree.Data(s.Node).Id;
    if (!C_.Boxes.Confirm(m::ConfirmDelPhase)) return;
    if (!C_.Compet.DelPhase(phase)) ShowLastError();
}

void TCommands::EditPhase(const TSelection& s) {
    if (!Is(s, NodePhase) || ReadOnlyRefused()) return;
    View_.EditFocusedName();
}

// ---- pools

void TCommands::AddPoule(const TSelection& s) {
    const TNodeHandle phaseNode = OwningPhaseNode(C_.Dm.Tree, s.Node);
    if (phaseNode == 0) return;
    if (ReadOnlyRefused()) return;
    const std::int32_t phase = C_.Dm.Tree.Data(phaseNode).Id;
    std::string name = ProposedPouleName(C_.Dm, phaseNode);
    if (!C_.Boxes.InputQuery(m::AddPouleCaption, m::AddPoulePrompt, name)) return;
    if (!C_.Compet.AddPoule(phase, 0, name)) ShowLastError();
}

void TCommands::EditPoule(const TSelection& s) {
    if (!Is(s, NodePool) || ReadOnlyRefused()) return;
    View_.EditFocusedName();
}

void TCommands::SetFClasstPoule(const TSelection& s, std::int32_t formula) {
    if (!Is(s, NodePool)) return;
    const bool done = C_.Compet.SetFClasstPoule(C_.Dm.Tree.Data(s.Node).Id, formula);
    // The formula image shows what the tables now hold, either way.
    if (C_.Dm.Tree.Exists(s.Node)) C_.Dm.Tree.InvalidateNode(s.Node);
    if (!done) ShowLastError();
}

void TCommands::DelPoule(const TSelection& s) {
    if (s.Node == 0 || !C_.Dm.Tree.Exists(s.Node)) return;
    if (ReadOnlyRefused()) return;
    if (C_.Dm.Tree.ChildCount(s.Node) > 0) {
        C_.Boxes.Error(m::PouleNotEmpty);
        return;
    }
    if (!Is(s, NodePool)) return;
    const std::int32_t pool = C_.Dm.Tree.Data(s.Node).Id;
    if (!C_.Boxes.Confirm(m::ConfirmDelPoule)) return;
    if (!C_.Compet.DelPoule(pool)) ShowLastError();
}

void TCommands::OpenSynthesePoule(const TSelection& s) {
    if (!Is(s, NodePool)) return;
    const std::int32_t pool = C_.Dm.Tree.Data(s.Node).Id;
    if (C_.Compet.Connexion == TConnexion::LocalBase) {
        // The page of the server the copy came from; a competition of this
        // computer has none.
        const TLocalCompet& shown = C_.Fb.Shown();
        if (shown.IsLocal()) {
            C_.Boxes.Information(m::NoSynthesePoule);
        } else {
            C_.Www.OpenPrintPoules(shown.Origin, pool);
        }
        return;
    }
    C_.Www.OpenPrintPoules(pool);
}

// ---- pool members

void TCommands::AddJoueur(const TSelection& s) {
    // A choice among the registrants who play in no pool of the phase yet.
    if (s.Node == 0 || !C_.Dm.Tree.Exists(s.Node)) return;
    const TNodeTree& tree = C_.Dm.Tree;
    if (ReadOnlyRefused()) return;
    TNodeHandle poolNode = 0;
    if (tree.Data(s.Node).Kind == NodePool) {
        poolNode = s.Node;
    } else if (tree.Data(s.Node).Kind == NodeMember) {
        poolNode = tree.Parent(s.Node);
    }
    if (poolNode == 0) return;
    const std::int32_t pool = tree.Data(poolNode).Id;
    const TNodeHandle phaseNode = tree.Parent(poolNode);
    const std::int32_t phase = phaseNode != 0 ? tree.Data(phaseNode).Id : -1;
    const TRegistrantChoice choice = RegistrantsNotInPhase(C_.Dm, phase);
    if (choice.Items.empty()) {
        C_.Boxes.Information(m::AddJoueurNone);
        return;
    }
    int index = 0;
    if (!C_.Boxes.ChooseItem(m::AddJoueurCaption, m::AddJoueurPrompt, choice.Items, index)) return;
    if (index < 0 || index >= static_cast<int>(choice.Licences.size())) return;
    if (!C_.Compet.AddJoueur(choice.Licences[static_cast<std::size_t>(index)], -1, pool)) ShowLastError();
}

void TCommands::EditJoueur(const TSelection& s) {
    if (!Is(s, NodeMember)) return;
    if (ReadOnlyRefused()) return;
    const TElement e = ElementOf(s.Node);
    const TRowView row = C_.Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {e.IdParent, e.Id});
    if (!row) return;
    const std::int32_t n = C_.Dm.Tree.ChildCount(C_.Dm.Tree.Parent(s.Node));
    const std::int32_t old = row.AsInteger("RGA");
    std::int32_t r = 0;
    if (!AskRank(m::EditJoueurCaption, old, n, r) || r == old) return;
    if (C_.Compet.EditJoueur(e.Id, e.IdParent, r)) {
        SortTree();
    } else {
        ShowLastError();
    }
}

void TCommands::DelJoueur(const TSelection& s) {
    if (!Is(s, NodeMember)) return;
    if (ReadOnlyRefused()) return;
    const TElement e = ElementOf(s.Node);
    if (!C_.Boxes.Confirm(m::ConfirmDelJoueur)) return;
    if (!C_.Compet.DelJoueur(e.Id, e.IdParent)) ShowLastError();
}

// ---- matches

void TCommands::AddMatch(const TSelection& s) {
    const TElement e = ElementOf(s.Node);
    std::int32_t pool = -1, licence = -1;
    if (s.Node != 0 && e.Kind == NodePool) {
        pool = e.Id;
    } else if (s.Node != 0 && e.Kind == NodeMember) {
        licence = e.Id;
        pool = e.IdParent;
    } else {
        return;
    }
    if (ReadOnlyRefused()) return;
    if (Dialogs_.ShowAddMatch(pool, licence)) RecomputeView(s);
}

void TCommands::EditMatch(const TSelection& s) {
    if (s.IdMatch < 0) return;
    if (ReadOnlyRefused()) return;
    if (Dialogs_.ShowEditMatch(s.IdMatch)) RecomputeView(s);
}

void TCommands::DelMatch(const TSelection& s) {
    if (s.IdMatch < 0) return;
    if (ReadOnlyRefused()) return;
    // The players' names are looked up: read through a cursor of its own.
    std::unique_ptr<TTable> row = C_.Dm.Tables.FiltreMatchs.Clone();
    if (!row->Locate("IDMATCH", {s.IdMatch})) return;
    if (!C_.Boxes.Confirm(m::ConfirmDelMatch(row->AsString("NOM1"), row->AsString("NOM2")))) return;
    if (C_.Compet.DelMatch(s.IdMatch)) {
        RecomputeView(s);
    } else {
        ShowLastError();
    }
}

// ---- tools

void TCommands::TriAlphaJoueurs(const TSelection&) {
    const bool on = !C_.State.Checked(TCommandId::TriAlphaJoueurs);
    C_.State.SetChecked(TCommandId::TriAlphaJoueurs, on);
    C_.Dm.SetTriAlphaJoueurs(on);
    SortTree();
}

void TCommands::ExportShown(const TSelection& s, TExportFormatId format) {
    if (IExportFormat* f = C_.Formats.Find(format)) C_.Export.ExportFiltres(ElementOf(s.Node), *f);
}

void TCommands::ExportXls(const TSelection& s) {
    ExportShown(s, TExportFormatId::Xls);
}

void TCommands::ExportHtml(const TSelection& s) {
    ExportShown(s, TExportFormatId::Html);
}

void TCommands::ExportPdf(const TSelection& s) {
    IExportFormat* pdf = C_.Formats.Find(TExportFormatId::Pdf);
    if (pdf == nullptr) return;
    if (!C_.Export.HasShownLists()) {
        C_.Boxes.Error(msg::exports::NothingToExport);
        return;
    }
    std::string path = C_.Export.GetNomFichierExport(pdf->Extension());
    if (!C_.Boxes.SaveFileName(std::string(pdf->Filter()), path)) return;
    if (!EndsWithIgnoringCase(path, pdf->Extension())) path += std::string(pdf->Extension());
    if (!pdf->Write(ElementOf(s.Node), path)) return;  // stopped by the user
    C_.Export.OpenExported(path, m::NoPdfReader(path));
}

void TCommands::PrintLists(const TSelection& s) {
    if (!C_.Export.HasShownLists()) {
        C_.Boxes.Error(msg::exports::NothingToExport);
        return;
    }
    Dialogs_.PrintLists(ElementOf(s.Node));
}

void TCommands::ExportInscrits(const TSelection& s) {
    if (C_.Compet.IdCompet() < 0) return;
    if (C_.Dm.Tables.Inscrits.Data().RowCount() == 0) {
        C_.Boxes.Error(m::InscritsEmpty);
        return;
    }
    IExportFormat* xml = C_.Formats.Find(TExportFormatId::RegistrantsXml);
    if (xml == nullptr) return;
    std::string path =
        JoinPath(C_.Export.ExportFolder, SanitizeFileName(m::InscritsFilePrefix + C_.Compet.Message() + ".xml"));
    if (!C_.Boxes.SaveFileName(std::string(xml->Filter()), path)) return;
    xml->Write(ElementOf(s.Node), ChangeFileExt(path, xml->Extension()));
}

void TCommands::ImportInscrits(const TSelection&) {
    if (C_.Compet.IdCompet() < 0) return;
    if (ReadOnlyRefused()) return;
    std::string path = C_.Export.ExportFolder;
    if (!C_.Boxes.OpenFileName(m::ImportInscritsFilter, path)) return;
    const TdmLocal::TImported imported = C_.Dm.ImportInscrits(path);
    // Nothing added is said, rather than nothing happening.
    if (imported.Added == 0) C_.Boxes.Information(imported.Read == 0 ? m::ImportNone : m::ImportAllKnown);
}

void TCommands::Quit(const TSelection&) {
    View_.CloseWindow();
}

void TCommands::Version(const TSelection&) {
    Dialogs_.ShowVersion();
}

}  // namespace tavlor
