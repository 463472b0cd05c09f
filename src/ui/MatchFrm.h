#pragma once

#include "model/Communs.h"
#include "model/Table.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavlor {
class TdmLocal;
}

namespace tavlor::ui {

class IUiBoxes;
class TTableListModel;

// The modal dialog in which a match of a pool is entered or corrected. It
// works on an entry of its own (one row, every field required), applies the
// plausibility rules of a carom match, then hands the match to the controller;
// it stays open until the controller accepts the match or the user cancels.
class TMatchFrm : public QDialog {
    Q_OBJECT

public:
    // The entry's fields, in the order of the required-field check.
    enum TField { LICENCE1, PTS1, REP1, SER1, PM1, LICENCE2, PTS2, REP2, SER2, PM2, DATEMATCH, BD, FieldCount };

    TMatchFrm(TCompetition& compet, TdmLocal& dm, IUiBoxes& boxes, QWidget* parent = nullptr);
    ~TMatchFrm() override;

    // licence: player 1's licence, or -1. True when a match was saved.
    bool ShowAddMatch(std::int32_t pool, std::int32_t licence);
    // On the current row of the match list (FiltreMatchs).
    bool ShowEditMatch();
    // The opening steps without showing: false (after the error box) when the
    // dialog may not open. ShowAddMatch and ShowEditMatch then show it modally.
    bool PrepareAdd(std::int32_t pool, std::int32_t licence);
    bool PrepareEdit();

    void FillJoueurs(std::int32_t pool);
    void GetParamMatch(TParamMatch& m) const;
    // The OK button.
    void SauveBtnClick();

    // The entry as it stands; DATEMATCH is the date picker's day once saving began.
    std::optional<std::int32_t> FieldValue(TField field) const { return Values_[field]; }
    std::optional<double> DateMatch() const { return Date_; }
    std::int32_t IdMatch() const { return IdMatch_; }
    std::int32_t IdPoule() const { return IdPoule_; }
    std::int32_t IdPhase() const { return IdPhase_; }
    static const char* FieldLabel(TField field);

    // Where an error raised while saving is shown; the program's top-level
    // error display unless replaced (tests record it).
    std::function<void(const std::string&)> TopLevelError;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void BuildControls();
    bool OpenPool(std::int32_t pool);
    void StartEntry();
    // Writes a field of the entry as an input would, with the automatic
    // behaviours of match points and innings, and shows it.
    void SetValue(TField field, std::optional<std::int32_t> value);
    void ShowValue(TField field);
    // A number field's text into the entry; false (after the error box) when
    // it is refused, the field then showing its former value.
    bool CommitNumber(TField field);
    bool CommitAll();
    bool MatchsBeforePost();
    bool CheckRequired();
    void SetDatePicker(double date);
    double DatePickerValue() const;
    std::int32_t Int(TField field) const { return Values_[field].value_or(0); }
    QLineEdit* NumberEdit(TField field) const;

    TCompetition& Compet_;
    TdmLocal& Dm_;
    IUiBoxes& Boxes_;

    std::int32_t IdMatch_ = -1;
    std::int32_t IdPoule_ = -1;
    std::int32_t IdPhase_ = -1;
    std::array<std::optional<std::int32_t>, FieldCount> Values_;
    std::optional<double> Date_;
    bool WritingPm_ = false;  // a match-points field is being written by the other one
    bool ShowingValue_ = false;

    TTable Joueurs_;  // the dialog's player list, in NOM order
    TTableListModel* PlayersModel_ = nullptr;
    TTableListModel* BilliardsModel_ = nullptr;

    QLabel* NomPhaseLbl_ = nullptr;
    QLabel* NomPouleLbl_ = nullptr;
    QDateEdit* DatePicker_ = nullptr;
    QComboBox* Player1_ = nullptr;
    QComboBox* Player2_ = nullptr;
    QLineEdit* Pts1_ = nullptr;
    QLineEdit* Rep1_ = nullptr;
    QLineEdit* Ser1_ = nullptr;
    QLineEdit* Pts2_ = nullptr;
    QLineEdit* Rep2_ = nullptr;
    QLineEdit* Ser2_ = nullptr;
    QComboBox* Pm1_ = nullptr;
    QComboBox* Pm2_ = nullptr;
    QComboBox* Billard_ = nullptr;
    QPushButton* SauveBtn_ = nullptr;
    QPushButton* AnnulerBtn_ = nullptr;
};

}  // namespace tavlor::ui
