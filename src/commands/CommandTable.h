#pragma once

#include "model/Element.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tavlor {

class TCommands;
struct TSelection;

// Every command of the main window: the action list first, in its order (the
// order of the tree's pop-up menu too), then the commands of the menus and the
// toolbar that are not in it.
enum class TCommandId : std::uint8_t {
    LoadFromDbLocal,
    LoadFromInternet,
    AddPhase,
    DelPhase,
    Separator,
    AddInscrit,
    DelInscrit,
    AddPoule,
    DelPoule,
    DelJoueur,
    AddJoueur,
    AddMatch,
    DelMatch,
    EditMatch,
    EditPhase,
    EditPoule,
    LoginWww,
    TriAlphaJoueurs,
    EditInscrit,
    EditJoueur,
    ExportXls,
    ExportHtml,
    OpenSynthesePoule,
    SetFclasstPoule0,
    SetFClasstPoule1,
    SetFClasstPoule2,
    ReloadCompet,
    Quit,
    Version,
    ExportInscrits,
    ImportInscrits,
    PrintLists,
    ExportPdf,
    Count
};
inline constexpr std::size_t CommandCount = static_cast<std::size_t>(TCommandId::Count);
// The commands of the action list are those before this one.
inline constexpr TCommandId EndOfActionList = TCommandId::ReloadCompet;

// What has the keyboard focus: a node of the tree (its kind), the ranking
// grid, the match list, or nothing yet since a competition was opened.
enum class TFocusKind : std::uint8_t {
    Phase = NodePhase,
    Pool = NodePool,
    Registrants = NodeRegistrants,  // also: the tree without a focused node
    Registrant = NodeRegistrant,
    Member = NodeMember,
    Grid = 5,
    Matches = 6,
    None = 7,
};
inline TFocusKind FocusKindOf(TNodeKind kind) {
    return static_cast<TFocusKind>(kind);
}

// The pictures of the commands, drawn by the windows.
enum class TCommandImage : std::uint8_t {
    None,
    AddPhase,
    AddPoule,
    AddPlayer,
    AddMatch,
    Internet,
    Delete,
    Edit,
    Spreadsheet,
    Printer,
    FormulaT,
    Formula2K,
    Formula3K,
    PageReload,
    Reload,
};

// When a command can be used.
enum class TEnabling : std::uint8_t {
    Always,    // at any time
    Never,     // the blank of the toolbar
    Loaded,    // while a competition is open
    Internet,  // while a competition of the server is open
    Focus,     // by what has the focus, while a competition is open
};

// Focus rule: kind is what took the focus, node the kind of the tree's focused node.
using TFocusRule = bool (*)(TFocusKind kind, TFocusKind node);
using THandler = void (TCommands::*)(const TSelection& selection);

// One row of the command table: everything the windows need to show a
// command, and what runs it.
struct TCommandDef {
    TCommandId Id;
    std::string_view Name;  // the action's name
    std::string_view Category;
    std::string_view Caption;
    std::string_view Hint;
    TCommandImage Image;
    std::string_view Shortcut;  // "Ctrl+Q"; empty: none
    TEnabling Enabling;
    TFocusRule Rule;  // for TEnabling::Focus
    THandler Handler;
    bool Checkable;
};

const TCommandDef& Command(TCommandId id);
const std::array<TCommandDef, CommandCount>& CommandTable();
inline bool InActionList(TCommandId id) {
    return id < EndOfActionList;
}

// The menus, built from command rows.
struct TMenuEntry {
    enum class TKind : std::uint8_t {
        Command,
        Separator,
        SubMenu,  // a sub-menu of the following entries, up to SubMenuEnd
        SubMenuEnd,
    };
    TKind Kind = TKind::Command;
    TCommandId Id = TCommandId::Separator;
    std::string_view Caption;  // of a sub-menu
};
// An entry of the menu bar: a menu (its caption and entries), or a command.
struct TMenuBarEntry {
    std::string_view Caption;  // empty for a command
    std::string_view Name;
    std::vector<TMenuEntry> Entries;
    TCommandId Id = TCommandId::Separator;
};
const std::vector<TMenuBarEntry>& MainMenu();

// The toolbar, left to right. Three buttons are bound to a command that
// follows the focus.
enum class TButtonSlot : std::uint8_t { Fixed, Edit, Delete, Synthese };
struct TToolButtonDef {
    TCommandId Id;  // the command at start
    std::string_view Name;
    TButtonSlot Slot = TButtonSlot::Fixed;
};
const std::vector<TToolButtonDef>& MainToolBar();

}  // namespace tavlor
