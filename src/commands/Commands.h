#pragma once

#include "commands/CommandTable.h"
#include "export/ExportFormat.h"
#include "model/Communs.h"
#include "model/Element.h"
#include "model/NodeTree.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavlor {

class IUserBoxes;
class TCommandState;
class TdmFb;
class TdmLocal;
class TExport;
class TSettings;
class TViews;
class TwwwFrm;

// What the user has chosen in the main window when a command starts.
struct TSelection {
    TNodeHandle Node = 0;       // the tree's focused node; 0 when none
    std::int32_t IdMatch = -1;  // the match list's current match; -1 when none
    int AddressIndex = -1;      // the address box's entry; -1 for a typed address
    std::string AddressText;    // what the address box shows
};

// Where the user stood in the tree: the elements shown open, and the focused one.
struct TTreePlace {
    std::vector<TElement> Expanded;
    std::optional<TElement> Focused;
};

// What the commands ask of the main window.
class IMainView {
public:
    virtual ~IMainView() = default;
    virtual TTreePlace TreePlace() const = 0;
    // The same elements opened again, the same one focused when it still
    // exists (else the first node), after the tree was built anew.
    virtual void RestoreTreePlace(const TTreePlace& place) = 0;
    // In-place editing of the focused node's name.
    virtual void EditFocusedName() = 0;
    // Focuses and selects the tree's first top-level node (which shows its view).
    virtual void FocusFirstNode() = 0;
    virtual void SelectAddress(int entry) = 0;
    virtual void CloseWindow() = 0;
    // A command ended: what it changed is shown (the tree's counts).
    virtual void CommandEnded() = 0;
};

// The dialogs the commands open.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // The server's competition list; true when a competition was loaded from it.
    virtual bool ChooseCompetWww(const std::string& url) = 0;
    virtual bool ChooseCompetLocal() = 0;
    virtual void ShowSearchJoueur() = 0;
    // The match dialog; true when a match was saved.
    virtual bool ShowAddMatch(std::int32_t pool, std::int32_t licence) = 0;
    virtual bool ShowEditMatch(std::int32_t idMatch) = 0;
    virtual void ShowVersion() = 0;
    // The print preview of the lists shown for the element.
    virtual void PrintLists(const TElement& shown) = 0;
};

// The core objects the commands work on.
struct TCommandContext {
    TCompetition& Compet;
    TdmLocal& Dm;
    TwwwFrm& Www;
    TdmFb& Fb;  // the local base
    TViews& Views;
    TExport& Export;
    TExportFormats& Formats;
    TSettings& Settings;
    TCommandState& State;
    IUserBoxes& Boxes;
};

// The commands of the main window's menus, toolbar and pop-up menu, and what
// the tree asks when the focus moves, a name is changed or something is
// dropped. Each command gathers its arguments from the selection, asks the
// user where needed, calls one operation of the controller and shows its
// refusal; it includes no window. A command started while another still runs
// (an exchange with the server processes events while it waits) is refused.
class TCommands {
public:
    TCommands(const TCommandContext& context, IMainView& view, IDialogs& dialogs);
    TCommands(const TCommands&) = delete;
    TCommands& operator=(const TCommands&) = delete;

    // Runs a command of the table: refused while another runs; an error ends
    // it in the top-level error display. False when it did not run to its end.
    bool Run(TCommandId id, const TSelection& selection);
    // The same for any other action of the windows.
    bool Run(const std::function<void()>& action);
    bool Running() const { return Running_; }

    // ---- what the tree asks
    // The view of the node about to take the focus (nothing while loading).
    void ShowElement(TNodeHandle node);
    // An element took the focus: the commands it enables.
    void FocusChanged(TFocusKind kind, TNodeHandle focusedNode);
    // The element of a node; a missing node reads as the registrants folder.
    TElement ElementOf(TNodeHandle node) const;
    // A new name typed for a node; false (after its error box) when refused.
    bool Rename(TNodeHandle node, const std::string& name);
    bool DropAccepted(TNodeHandle target, TDragKind drag) const;
    // A drop on a node; false when nothing was done or it was refused (shown).
    bool Drop(TNodeHandle target, const TDragParamTable& drag);
    // The drag object of a node; DragKind is DragNone for a node that cannot be dragged.
    TDragParamTable DragObjectOf(TNodeHandle node) const;
    // The whole tree sorted by the current order of players.
    void SortTree();

    // ---- the commands, by their names in the table
    void LoadFromDbLocal(const TSelection& s);
    void LoadFromInternet(const TSelection& s);
    void ReloadCompet(const TSelection& s);
    void LoginWww(const TSelection& s);
    void AddInscrit(const TSelection& s);
    void EditInscrit(const TSelection& s);
    void DelInscrit(const TSelection& s);
    void AddPhase(const TSelection& s);
    void DelPhase(const TSelection& s);
    void EditPhase(const TSelection& s);
    void AddPoule(const TSelection& s);
    void EditPoule(const TSelection& s);
    void SetFclasstPoule0(const TSelection& s) { SetFClasstPoule(s, 0); }
    void SetFClasstPoule1(const TSelection& s) { SetFClasstPoule(s, 1); }
    void SetFClasstPoule2(const TSelection& s) { SetFClasstPoule(s, 2); }
    void DelPoule(const TSelection& s);
    void OpenSynthesePoule(const TSelection& s);
    void AddJoueur(const TSelection& s);
    void EditJoueur(const TSelection& s);
    void DelJoueur(const TSelection& s);
    void AddMatch(const TSelection& s);
    void EditMatch(const TSelection& s);
    void DelMatch(const TSelection& s);
    void TriAlphaJoueurs(const TSelection& s);
    void ExportXls(const TSelection& s);
    void ExportHtml(const TSelection& s);
    void ExportPdf(const TSelection& s);
    void PrintLists(const TSelection& s);
    void ExportInscrits(const TSelection& s);
    void ImportInscrits(const TSelection& s);
    void Quit(const TSelection& s);
    void Version(const TSelection& s);
    void Separator(const TSelection&) {}

private:
    void SetFClasstPoule(const TSelection& s, std::int32_t formula);
    TNodeKind KindOf(TNodeHandle node) const;
    bool Is(const TSelection& s, TNodeKind kind) const;
    // The view of the focused node computed again (nothing without one).
    void RecomputeView(const TSelection& s);
    // A download from the recent list: when it opens its competition (even
    // with a snapshot error), the window shows it and it heads the recent list.
    void Opening(const std::function<void()>& load);
    void Opened();
    // A rank typed in an input box, clamped to 1..count; false when cancelled or refused.
    bool AskRank(const char* caption, std::int32_t current, std::int32_t count, std::int32_t& rank);
    void ShowLastError();
    // The open competition may only be looked at: said, and true.
    bool ReadOnlyRefused();
    void ExportShown(const TSelection& s, TExportFormatId format);

    TCommandContext C_;
    IMainView& View_;
    IDialogs& Dialogs_;
    bool Running_ = false;
};

}  // namespace tavlor
