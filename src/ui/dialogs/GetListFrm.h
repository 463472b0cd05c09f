#pragma once

#include "model/Communs.h"
#include "model/TextGrid.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QWidget;

namespace tavlor {
class IUserBoxes;
class TdmFb;
class TwwwFrm;
}  // namespace tavlor

namespace tavlor::ui {

class TTextGridModel;
class TTextGridView;

// The lists dialog: in one window, either the competitions of a server or of
// the local base (modal, to open one) or the player search, on the server or
// in the local base (modeless, to register players one after the other). Created once and reused; opening it while it
// is visible is refused. No public operation lets an error escape: errors go to the top-level display.
class TGetListFrm : public QDialog {
    Q_OBJECT

public:
    TGetListFrm(TCompetition& compet, TwwwFrm& www, TdmFb& fb, IUserBoxes& boxes, QWidget* parent = nullptr);
    // The filtered list of the competitions: shows the rows of source that
    // hold the filter; true when one was selected, its row in sourceRow.
    std::function<bool(const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                       int& sourceRow)>
        ShowFiltered;

    // True when a competition was loaded from the dialog.
    bool ChooseCompetWww(const std::string& url);
    // The competitions of the local base; true when one was opened from it.
    bool ChooseCompetLocal();
    void ShowSearchJoueur();

    // What the controls do.
    // The load button: loads the chosen competition from the server or the local base.
    void LoadChosenCompetition();
    void LoadCompetWww();
    void LoadCompetLocal();
    // The filter button, or Enter in the filter box.
    void FilterList();
    // The local-base buttons of the competition bar (the base's list, read
    // again) and of the player bar. False when the base has no competition
    // to show (the user was told why).
    bool OpenLocalBase();
    void OpenLocalBaseForSearch();
    // The search button, or Enter in a search box.
    void SearchPlayers();
    // The register button: the chosen player is registered.
    void RegisterPlayer();
    // A double click, Enter or Space on a row: the visible bar's main button.
    void ActivateRow();

    // The list: its cells, and its current row counted with the title row.
    const TTextGrid& Grid() const { return Grid_; }
    int CurrentRow() const;
    void SetCurrentRow(int gridRow);
    std::vector<int> ColumnWidths() const;
    bool ListVisible() const;

    // Receives the long part of a button's hint, for the main window's status bar.
    std::function<void(const QString&)> ShowHint;

protected:
    bool event(QEvent* event) override;

private:
    enum class TLoadAction { Www, Local };
    void SetListVisible(bool visible);
    // Reduces the list to cols by 1 row, hidden, without a title row.
    void ResetList(int cols);
    // A filled list: title row, widths, shown, first data row current.
    void ShowList(const std::vector<int>& widths);
    // The chosen competition's title and number, loaded by load; the dialog
    // closes with OK once loaded.
    void LoadChosen(const std::function<void(std::int32_t, const std::string&)>& load);
    // Runs an action; an error it raises goes to the top-level display.
    bool Guarded(const std::function<void()>& action);
    // Competitions opened, from a server or from the base.
    int CompetitionsOpened() const;

    TCompetition& Compet_;
    TwwwFrm& Www_;
    TdmFb& Fb_;
    IUserBoxes& Boxes_;
    TLoadAction LoadAction_ = TLoadAction::Www;
    // The address the competitions listed come from.
    std::string ListUrl_;

    TTextGrid Grid_;
    TTextGridModel* Model_ = nullptr;
    QWidget* ListCompetPnl_ = nullptr;
    QWidget* ListInscritsPnl_ = nullptr;
    QLineEdit* FiltreEdit_ = nullptr;
    QToolButton* FiltreBtn_ = nullptr;
    QToolButton* OpenFdbBtn_ = nullptr;
    QPushButton* LoadCompetBtn_ = nullptr;
    QToolButton* OpenFdbBtn2_ = nullptr;
    QLineEdit* NomEdit_ = nullptr;
    QLineEdit* VilleEdit_ = nullptr;
    QToolButton* CherchBtn_ = nullptr;
    QPushButton* InscrireBtn_ = nullptr;
    QLabel* MsgLbl_ = nullptr;
    TTextGridView* View_ = nullptr;
};

}  // namespace tavlor::ui
