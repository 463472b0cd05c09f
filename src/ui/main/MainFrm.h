#pragma once

#include "commands/CommandTable.h"
#include "commands/Commands.h"
#include "model/NodeTree.h"
#include "model/ViewHost.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QWidget;

namespace tavlor {
class TCommandState;
class TCompetition;
class TdmLocal;
struct TLocalCompet;
class TSettings;
class TViews;
}  // namespace tavlor

namespace tavlor::ui {

class TMatchList;
class TPhaseTree;
class TPhaseTreeModel;
class TRankingGrid;
class TTableModel;

// The program's main window: the address box and the toolbar, the phase tree,
// the ranking grid and the match list. Its menus, toolbar and pop-up menu are
// built from the command table; it shows which commands the command state
// enables, and hands each command the selection. It holds no competition
// rule: it shows and forwards. It is the view host of the core's views and
// what the commands ask of the window.
class TMainFrm : public QMainWindow, public IViewHost, public IMainView {
    Q_OBJECT
public:
    TMainFrm(TCompetition& compet, TSettings& settings, TCommandState& state, QWidget* parent = nullptr);
    ~TMainFrm() override;

    // Connects the window to the data module, the views and the commands once
    // they exist: the tree, the grid and the match list follow their tables.
    void Attach(TdmLocal& dm, TViews& views, TCommands& commands);
    // Lets go of them; called before the data module is destroyed.
    void Detach();

    // ---- the controller's notifications
    void IdCompetChanged();
    void MessageChanged();
    void LoginChanged();

    // ---- IViewHost
    void SetCaptions(const std::string& ranking, const std::string& matches) override;
    void ApplyColumnVisibility(const std::vector<TFieldDef>& fields) override;
    void ShowBusyCursor() override;
    void RestoreCursor() override;

    // ---- IMainView
    void EditFocusedName() override;
    void FocusFirstNode() override;
    void SelectAddress(int entry) override;
    void CloseWindow() override;
    void CommandEnded() override;
    TTreePlace TreePlace() const override;
    void RestoreTreePlace(const TTreePlace& place) override;

    // How the user left the window (geometry, splitters, the tree's columns),
    // read back at the next start.
    void SaveLayout(TSettings& settings) const;
    void RestoreLayout(const TSettings& settings);

    // What the user has chosen now: the focused node, the current match, the address.
    TSelection CurrentSelection() const;
    // Runs a command on the current selection.
    void RunCommand(TCommandId id);

    // ---- parts, for the program and the tests
    QAction* Action(TCommandId id) const { return Actions_[static_cast<std::size_t>(id)]; }
    QToolButton* Button(TButtonSlot slot) const;
    QComboBox* Adresse() const { return Adresse_; }
    QLabel* NomCompetLbl() const { return NomCompetLbl_; }
    QLabel* ClassementLbl() const { return ClassementLbl_; }
    QLabel* MatchsLbl() const { return MatchsLbl_; }
    QWidget* RightPanel() const { return RightPanel_; }
    QToolBar* ToolBar() const { return ToolBar1_; }
    TPhaseTree* TreePhases() const { return TreePhases_; }
    TPhaseTreeModel* TreeModel() const { return TreeModel_.get(); }
    TRankingGrid* GridClasst() const { return GridClasst_; }
    TTableModel* GridModel() const { return GridModel_.get(); }
    TMatchList* GridMatchs() const { return GridMatchs_; }
    // The pop-up menu of the tree's focused node; empty when it would not open.
    QList<QAction*> PopupActions() const;

    // The local base's record of the competition last opened from it (the
    // title says what is shown); null without a base.
    std::function<const TLocalCompet*()> ShownFromBase;

    // Asked before the window closes (Quitter, the close box, a signal): the
    // day's work is written then; false keeps the window open.
    std::function<bool()> CanClose;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateBody();
    void RefreshAddresses();
    void BindButtons();
    void FocusChanged(TFocusKind kind);
    void ShowPopup(const QPoint& globalPos);
    // Where the user stood in the lists, kept across a command that shows the
    // same element again.
    struct TListsPlace {
        TNodeHandle Node = 0;
        std::int32_t IdMatch = -1;
        int MatchRow = -1, MatchScroll = 0;
        std::int32_t Licence = -1;
        int GridRow = -1, GridScroll = 0;
    };
    TListsPlace ListsPlace() const;
    void RestoreListsPlace(const TListsPlace& place);

    TCompetition& Compet_;
    TSettings& Settings_;
    TCommandState& State_;
    TdmLocal* Dm_ = nullptr;
    TViews* Views_ = nullptr;
    TCommands* Commands_ = nullptr;
    int BusyDepth_ = 0;

    std::array<QAction*, CommandCount> Actions_{};
    QComboBox* Adresse_ = nullptr;
    QToolBar* ToolBar1_ = nullptr;
    std::array<QToolButton*, 4> Buttons_{};  // by TButtonSlot
    QLabel* NomCompetLbl_ = nullptr;
    QLabel* ClassementLbl_ = nullptr;
    QLabel* MatchsLbl_ = nullptr;
    QWidget* RightPanel_ = nullptr;
    QWidget* MatchArea_ = nullptr;
    QSplitter* Body_ = nullptr;
    QSplitter* RightSplitter_ = nullptr;
    TPhaseTree* TreePhases_ = nullptr;
    std::unique_ptr<TPhaseTreeModel> TreeModel_;
    TRankingGrid* GridClasst_ = nullptr;
    std::unique_ptr<TTableModel> GridModel_;
    TMatchList* GridMatchs_ = nullptr;
    QMenu* Popup_ = nullptr;
};

}  // namespace tavlor::ui
