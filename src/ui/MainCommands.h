#pragma once

#include "model/NodeTree.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tavlor::ui {

class TMainFrm;

// What the commands ask of the dialogs; the program plugs the real dialogs
// in, tests may plug in their own.
struct TDialogHooks {
    std::function<bool(const std::string& url)> ChooseCompetWww;
    std::function<bool()> ChooseCompetLocal;
    std::function<void()> ShowSearchJoueur;
    std::function<void()> ReloadCompet;
    std::function<bool(std::int32_t pool, std::int32_t licence)> ShowAddMatch;
    std::function<bool()> ShowEditMatch;
    std::function<void()> ShowVersion;
};

// The commands of the main window's menus, toolbar and pop-up menu. Each
// gathers its arguments from the focused node, the grid or the match list,
// asks the user where needed, calls one operation of the controller and shows
// its refusal. Errors raised inside end the command in the top-level error
// display. A command started while another still runs (an exchange with the
// server processes events while it waits) is refused.
class TMainCommands {
public:
    explicit TMainCommands(TMainFrm& main) : Main_(main) {}
    // Binds the actions and menu items to the commands.
    void Connect();
    TDialogHooks Dialogs;
    bool Running() const { return Running_; }

    // Opening.
    void LoadFromInternet();
    void Reload();
    void LoadFromDbLocal();
    void LoginWww();
    // Registrants.
    void AddInscrit();
    void EditInscrit();
    void DelInscrit();
    // Phases.
    void AddPhase();
    void DelPhase();
    void EditPhase();
    // Pools.
    void AddPoule();
    void EditPoule();
    void SetFClasstPoule(std::int32_t formula);
    void DelPoule();
    void OpenSynthesePoule();
    // Pool members.
    void AddJoueur();
    void EditJoueur();
    void DelJoueur();
    // Matches.
    void AddMatch();
    void EditMatch();
    void DelMatch();
    // Tools.
    void TriAlphaJoueurs();
    void ExportFiltres(bool html);
    void ExportInscrits();
    void ImportInscrits();
    void Quit();
    void Version();

    // Runs a command: refused while another runs; an error ends it in the
    // top-level error display. Answers false when it did not run to its end.
    bool Run(const std::function<void()>& command);

private:
    // The focused node and its element triple.
    TNodeHandle Focused() const;
    std::uint8_t FocusedKind() const;
    std::int32_t FocusedId() const;
    std::int32_t FocusedParentId() const;
    // A rank typed in an input box, clamped to 1..count; nullopt when cancelled or refused.
    bool AskRank(const char* caption, std::int32_t current, std::int32_t count, std::int32_t& rank);
    void ShowLastError();
    void SortTree();

    TMainFrm& Main_;
    bool Running_ = false;
};

}  // namespace tavlor::ui
