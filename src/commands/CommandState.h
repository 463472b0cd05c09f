#pragma once

#include "commands/CommandTable.h"
#include "model/Communs.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tavlor {

// Which commands can be used now, which are ticked, and which command each
// of the three rebindable toolbar buttons runs. Opening or closing a
// competition and each change of focus update it; the windows follow it.
class TCommandState {
public:
    TCommandState();

    bool Enabled(TCommandId id) const { return Enabled_[Index(id)]; }
    bool Checked(TCommandId id) const { return Checked_[Index(id)]; }
    // Ticks or clears a checkable command.
    void SetChecked(TCommandId id, bool on);

    // A competition was opened (open) or closed. Opening enables the
    // commands of an open competition and makes the next focus change apply;
    // closing disables every command that needs one.
    void CompetChanged(bool open, TConnexion connexion);
    // What took the focus, and the kind of the tree's focused node: the
    // commands that follow the focus, and the three buttons. Nothing changes
    // when the same kind takes the focus again.
    void EnableActions(TFocusKind kind, TFocusKind node);
    TFocusKind FocusKind() const { return FocusKind_; }

    TCommandId Button(TButtonSlot slot) const;

    // The commands of the tree's pop-up menu for the focused node: those of
    // the node's category that are enabled, in the action list's order.
    std::vector<TCommandId> PopupCommands(std::optional<TNodeKind> focused) const;

    // Told of every change.
    std::function<void(TCommandId)> OnEnabledChanged;
    std::function<void(TCommandId)> OnCheckedChanged;
    std::function<void()> OnButtonsChanged;

private:
    static std::size_t Index(TCommandId id) { return static_cast<std::size_t>(id); }
    void Set(TCommandId id, bool on);

    std::array<bool, CommandCount> Enabled_{};
    std::array<bool, CommandCount> Checked_{};
    TFocusKind FocusKind_ = TFocusKind::Phase;
    TCommandId Edit_ = TCommandId::EditPhase;
    TCommandId Delete_ = TCommandId::DelPhase;
    TCommandId Synthese_ = TCommandId::OpenSynthesePoule;
};

}  // namespace tavlor
