#pragma once

#include "model/Communs.h"
#include "model/NodeTree.h"
#include "model/ViewHost.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QWidget;

namespace tavlor {
class IDesktopShell;
class TdmLocal;
class TExport;
class TViews;
class TwwwFrm;
}  // namespace tavlor

namespace tavlor::ui {

class IUiBoxes;
class TMatchList;
class TPhaseTree;
class TPhaseTreeModel;
class TRankingGrid;
class TTableModel;
class TMainCommands;

// A recently opened competition.
struct TRecentCompet {
    std::string url;
    std::string NomCompet;
    std::int32_t IdCompet = -1;  // -1: empty slot
};

// The program's main window: it owns the competition controller, reads and
// writes the settings file, follows the controller's notifications and
// decides which commands are enabled from the kind of element that has the
// focus. It is the view host of the core's views.
class TMainFrm : public QMainWindow, public IViewHost {
    Q_OBJECT
public:
    // Creates the controller and reads the settings file at settingsPath.
    // addresses are the built-in server addresses of the address box.
    TMainFrm(IUiBoxes& boxes, std::string settingsPath, const QStringList& addresses, QWidget* parent = nullptr);
    ~TMainFrm() override;

    TCompetition& Compet() { return *Compet_; }

    // Connects the window to the data module and the server link once they
    // exist: the tree, the grid and the match list follow their tables.
    void Attach(TdmLocal& dm, TwwwFrm& www, IDesktopShell& shell, const std::string& exportFolder);
    // The commands' collaborators (dialogs, export...).
    TMainCommands& Commands() { return *Commands_; }

    // Lets go of the data module's tables and tree: the views, models and
    // commands that follow them go. Called before the data module is destroyed.
    void Detach();
    // End of the program: frees the controller, then writes the settings file
    // (an error is shown, and the program still ends).
    void FreeControllerAndSaveSettings();
    void SaveSettings();

    // ---- settings and recent competitions
    void AddRecentCompet(const std::string& url, const std::string& nom, std::int32_t id);
    const std::array<TRecentCompet, 5>& RecentCompets() const { return RecentCompets_; }
    int nUrls() const { return nUrls_; }
    const std::string& SettingsPath() const { return SettingsPath_; }

    // ---- notifications and enabling
    void IdCompetChanged();
    void MessageChanged();
    void LoginChanged();
    void EnableActions(std::uint8_t kind);
    std::uint8_t FocusKind() const { return FocusKind_; }

    // ---- IViewHost
    bool TriAlphaJoueurs() const override;
    void SetCaptions(const std::string& ranking, const std::string& matches) override;
    void ApplyColumnVisibility(const std::vector<TFieldDef>& fields) override;
    void ShowBusyCursor() override;
    void RestoreCursor() override;
    std::uint8_t FocusedNodeKind() const override;

    // ---- parts, for the commands and the tests
    QAction* Action(const QString& name) const { return Actions_.value(name, nullptr); }
    QAction* ReloadAction() const { return ReloadAct_; }
    QAction* QuitAction() const { return QuitAct_; }
    QAction* VersionAction() const { return VersionAct_; }
    QAction* ExportInscritsAction() const { return ExportInscritsAct_; }
    QAction* ImportInscritsAction() const { return ImportInscritsAct_; }
    QAction* LocalMenuItem() const { return LocalMenuItem_; }
    QToolButton* EditBtn() const { return EditBtn_; }
    QToolButton* DelBtn() const { return DelBtn_; }
    QToolButton* SyntheseBtn() const { return SyntheseBtn_; }
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
    TViews& Views() { return *Views_; }
    TExport& Export() { return *Export_; }
    TdmLocal& Dm() { return *Dm_; }
    TwwwFrm& Www() { return *Www_; }
    IUiBoxes& Boxes() { return Boxes_; }
    // The pop-up menu of the tree's focused node, rebuilt; empty when it would not open.
    QList<QAction*> PopupActions() const;

    // Recomputes the view for the focused node (nothing without one).
    void RecomputeView();
    // Focuses and selects the tree's first top-level node.
    void FocusFirstNode();

signals:
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateBody();
    void LoadSettings();
    void RefreshRecentEntries();
    void BindButton(QToolButton* button, const char* action);
    void TreeFocusChanging(TNodeHandle node);
    void ShowPopup(const QPoint& globalPos);

    IUiBoxes& Boxes_;
    std::string SettingsPath_;
    std::unique_ptr<TCompetition> Compet_;
    TdmLocal* Dm_ = nullptr;
    TwwwFrm* Www_ = nullptr;
    std::unique_ptr<TViews> Views_;
    std::unique_ptr<TExport> Export_;
    std::unique_ptr<TMainCommands> Commands_;

    std::uint8_t FocusKind_ = 0;
    std::array<TRecentCompet, 5> RecentCompets_;
    int nUrls_ = 3;
    int BusyDepth_ = 0;

    QHash<QString, QAction*> Actions_;
    QList<QAction*> ActionOrder_;
    QAction* ReloadAct_ = nullptr;
    QAction* QuitAct_ = nullptr;
    QAction* VersionAct_ = nullptr;
    QAction* ExportInscritsAct_ = nullptr;
    QAction* ImportInscritsAct_ = nullptr;
    QAction* LocalMenuItem_ = nullptr;
    QComboBox* Adresse_ = nullptr;
    QToolBar* ToolBar1_ = nullptr;
    QToolButton* EditBtn_ = nullptr;
    QToolButton* DelBtn_ = nullptr;
    QToolButton* SyntheseBtn_ = nullptr;
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
