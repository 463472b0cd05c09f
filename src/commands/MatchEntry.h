#pragma once

#include "model/Communs.h"
#include "model/Table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tavlor {

class IUserBoxes;
class TdmLocal;

// The entry of one match of a pool, as the match dialog shows it: one row of
// its own whose every field is required, the automatic behaviours while the
// user types, and the federation's plausibility rules for a carom match,
// checked in their order before the match goes to the controller. The dialog
// only displays the entry and forwards what the user types or chooses.
class TMatchEntry {
public:
    // The entry's fields, in the order of the required-field check.
    enum TField { LICENCE1, PTS1, REP1, SER1, PM1, LICENCE2, PTS2, REP2, SER2, PM2, DATEMATCH, BD, FieldCount };
    // Billiard size when the pool has no match yet.
    static constexpr std::int32_t DefaultBilliard = 310;

    TMatchEntry(TCompetition& compet, TdmLocal& dm, IUserBoxes& boxes);
    static const char* FieldLabel(TField field);

    // The opening steps: false (after the error box) when the dialog may not
    // open. today: the date shown when no match gives one.
    bool PrepareAdd(std::int32_t pool, std::int32_t licence, double today);
    // On the match of the shown list (FiltreMatchs) with that number.
    bool PrepareEdit(std::int32_t idMatch, double today);
    // What the dialog shows of the pool and its caption.
    bool Adding() const { return IdMatch_ == -1; }
    const std::string& NomPhase() const { return NomPhase_; }
    const std::string& NomPoule() const { return NomPoule_; }
    std::int32_t IdMatch() const { return IdMatch_; }
    std::int32_t IdPoule() const { return IdPoule_; }
    std::int32_t IdPhase() const { return IdPhase_; }

    // The pool's players (LICENCE, NOM) in NOM order; pool members that are
    // not registered are left out.
    void FillJoueurs(std::int32_t pool);
    const TTable& Players() const { return Joueurs_; }

    std::optional<std::int32_t> Value(TField field) const { return Values_[field]; }
    // The date the dialog shows when it opens; DATEMATCH once saving began.
    double PickerDate() const { return PickerDate_; }
    std::optional<double> DateMatch() const { return Date_; }

    // A value chosen (players, match points, billiard) or set: with the
    // automatic behaviours of the match points and the innings.
    void SetValue(TField field, std::optional<std::int32_t> value);
    // A number typed in a number field: false (after its error box) when it
    // is refused, the field keeping its former value.
    bool CommitNumber(TField field, const std::string& typed);

    // The "OK" button: the rules, the required fields, then the controller.
    // pickerDate is the date the dialog shows. True once the controller took
    // the match; false, the entry as typed, after a refusal (shown).
    bool Save(double pickerDate);
    // The rules in their order; false when the save stops.
    bool MatchsBeforePost(double pickerDate);
    bool CheckRequired();
    void GetParamMatch(TParamMatch& m) const;
    // Nothing of an entry survives its dialog.
    void Clear();
    // Whether something was typed or chosen since the entry was opened.
    bool Modified() const { return Values_ != Opened_; }

    // A field's value changed (by the user or by an automatic behaviour).
    std::function<void(TField)> OnValueChanged;

private:
    bool OpenPool(std::int32_t pool);
    void StartEntry();
    void Changed(TField field) const;
    std::int32_t Int(TField field) const { return Values_[field].value_or(0); }

    TCompetition& Compet_;
    TdmLocal& Dm_;
    IUserBoxes& Boxes_;
    std::int32_t IdMatch_ = -1;
    std::int32_t IdPoule_ = -1;
    std::int32_t IdPhase_ = -1;
    std::string NomPhase_, NomPoule_;
    std::array<std::optional<std::int32_t>, FieldCount> Values_;
    std::array<std::optional<std::int32_t>, FieldCount> Opened_;  // as the opening left them
    double PickerDate_ = 0;
    std::optional<double> Date_;
    bool WritingPm_ = false;  // a match-points field is being written by the other one
    TTable Joueurs_;
};

}  // namespace tavlor
