#include "commands/CommandState.h"

#include "commands/CommandsMessages.h"

namespace tavlor {

TCommandState::TCommandState() {
    for (const TCommandDef& def : CommandTable()) Enabled_[Index(def.Id)] = def.Enabling != TEnabling::Never;
    // No competition at start.
    CompetChanged(false, TConnexion::None);
}

void TCommandState::Set(TCommandId id, bool on) {
    if (Enabled_[Index(id)] == on || Command(id).Enabling == TEnabling::Never) return;
    Enabled_[Index(id)] = on;
    if (OnEnabledChanged) OnEnabledChanged(id);
}

void TCommandState::SetChecked(TCommandId id, bool on) {
    if (Checked_[Index(id)] == on) return;
    Checked_[Index(id)] = on;
    if (OnCheckedChanged) OnCheckedChanged(id);
}

void TCommandState::CompetChanged(bool open, TConnexion connexion) {
    for (const TCommandDef& def : CommandTable()) {
        switch (def.Enabling) {
            case TEnabling::Loaded:
                Set(def.Id, open);
                break;
            case TEnabling::Internet:
                Set(def.Id, open && connexion == TConnexion::Internet);
                break;
            case TEnabling::Focus:
                // Kept until the next focus change while a competition is open.
                if (!open) Set(def.Id, false);
                break;
            case TEnabling::Always:
            case TEnabling::Never:
                break;
        }
    }
    if (open) FocusKind_ = TFocusKind::None;
}

void TCommandState::EnableActions(TFocusKind kind, TFocusKind node) {
    if (kind == FocusKind_) return;
    FocusKind_ = kind;
    for (const TCommandDef& def : CommandTable()) {
        if (def.Enabling == TEnabling::Focus) Set(def.Id, def.Rule(kind, node));
    }
    using C = TCommandId;
    C edit = C::Separator, del = C::Separator, synthese = C::Separator;
    switch (kind) {
        case TFocusKind::Phase:
            edit = C::EditPhase;
            del = C::DelPhase;
            break;
        case TFocusKind::Pool:
            edit = C::EditPoule;
            del = C::DelPoule;
            synthese = C::OpenSynthesePoule;
            break;
        case TFocusKind::Registrant:
            edit = C::EditInscrit;
            del = C::DelInscrit;
            break;
        case TFocusKind::Member:
            edit = C::EditJoueur;
            del = C::DelJoueur;
            break;
        case TFocusKind::Matches:
            edit = C::EditMatch;
            del = C::DelMatch;
            break;
        default:
            break;
    }
    Edit_ = edit;
    Delete_ = del;
    Synthese_ = synthese;
    if (OnButtonsChanged) OnButtonsChanged();
}

TCommandId TCommandState::Button(TButtonSlot slot) const {
    switch (slot) {
        case TButtonSlot::Edit:
            return Edit_;
        case TButtonSlot::Delete:
            return Delete_;
        case TButtonSlot::Synthese:
            return Synthese_;
        case TButtonSlot::Fixed:
            break;
    }
    return TCommandId::Separator;
}

std::vector<TCommandId> TCommandState::PopupCommands(std::optional<TNodeKind> focused) const {
    std::vector<TCommandId> out;
    if (!focused) return out;
    std::string_view category = msg::commands::NoCategory;
    switch (*focused) {
        case NodePhase:
            category = msg::commands::CategoryPhases;
            break;
        case NodePool:
            category = msg::commands::CategoryPoules;
            break;
        case NodeRegistrant:
            category = msg::commands::CategoryInscrits;
            break;
        case NodeMember:
            category = msg::commands::CategoryJoueurs;
            break;
        case NodeRegistrants:
            break;
    }
    for (const TCommandDef& def : CommandTable()) {
        if (InActionList(def.Id) && def.Category == category && Enabled(def.Id)) out.push_back(def.Id);
    }
    return out;
}

}  // namespace tavlor
