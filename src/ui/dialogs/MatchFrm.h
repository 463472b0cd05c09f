#pragma once

#include "commands/MatchEntry.h"

#include <QDialog>

#include <cstdint>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavlor {
class IUserBoxes;
class TCompetition;
class TdmLocal;
}  // namespace tavlor

namespace tavlor::ui {

class TTableListModel;

// The modal dialog in which a match of a pool is entered or corrected. It
// shows a match entry and forwards what the user types to it; the entry
// holds the values, their automatic behaviours and the rules. The dialog
// stays open until the controller accepts the match or the user cancels.
class TMatchFrm : public QDialog {
    Q_OBJECT

public:
    using TField = TMatchEntry::TField;

    TMatchFrm(TCompetition& compet, TdmLocal& dm, IUserBoxes& boxes, QWidget* parent = nullptr);
    ~TMatchFrm() override;

    // licence: player 1's licence, or -1. True when a match was saved.
    bool ShowAddMatch(std::int32_t pool, std::int32_t licence);
    // On the match of the match list with that number.
    bool ShowEditMatch(std::int32_t idMatch);
    // The opening steps without showing: false (after the error box) when the
    // dialog may not open. ShowAddMatch and ShowEditMatch then show it modally.
    bool PrepareAdd(std::int32_t pool, std::int32_t licence);
    bool PrepareEdit(std::int32_t idMatch);

    // The OK button: the typed numbers, then the entry's save.
    void SaveEntry();

    TMatchEntry& Entry() { return Entry_; }
    const TMatchEntry& Entry() const { return Entry_; }

    // Escape or the close box: a filled entry is discarded only once confirmed.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Opened();
    // Shows a field of the entry in its control.
    void ShowValue(TField field);
    // A number field's text into the entry; false when it is refused.
    bool CommitNumber(TField field);
    bool CommitAll();
    void SetDatePicker(double date);
    double DatePickerValue() const;
    QLineEdit* NumberEdit(TField field) const;

    TdmLocal& Dm_;
    IUserBoxes& Boxes_;
    TMatchEntry Entry_;
    bool ShowingValue_ = false;
    double OpenedDate_ = 0;  // what the date picker showed at the opening

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
