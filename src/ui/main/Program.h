#pragma once

#include "commands/BaseKeeping.h"
#include "commands/Commands.h"
#include "commands/FolderLock.h"
#include "commands/Saving.h"
#include "ui/platform/AppFolders.h"
#include "ui/platform/DesktopShell.h"
#include "ui/platform/UiBoxes.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace tavlor {
class TCommandState;
class TCompetition;
class TdmFb;
class TdmLocal;
class TExport;
class TExportFormats;
class TSettings;
class TViews;
class TwwwFrm;
}  // namespace tavlor

namespace tavlor::ui {

class TMainFrm;
class TConnectionFrm;
class TMatchFrm;
class TGetListFrm;
class TFiltreCompetFrm;
class TVersionFrm;

// The composition root: the program's single objects, created in their order
// at start and destroyed in the reverse order at the end. It owns the
// controller, the settings, the command state, the windows, the server link,
// the data module, the views, the export and the commands, and gives each
// what it uses. It opens the dialogs the commands ask for.
class TProgram : public IDialogs {
public:
    // programFile decides where the settings, snapshots and exports go. The
    // real dialogs and desktop shell are used unless others are given (tests),
    // and the built-in server addresses unless a list is given.
    // When another copy of the program holds the data folder, the user is
    // told and nothing is read or created: Started() is then false, and Show
    // and Close do nothing.
    explicit TProgram(const QString& programFile, IUserBoxes* boxes = nullptr, IDesktopShell* shell = nullptr,
                      const QStringList* addresses = nullptr);
    ~TProgram() override;
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    bool Started() const { return Main_ != nullptr; }
    void Show();
    // Before the window closes: the snapshot of the open competition and the
    // settings file on disk, or the user's choice when one cannot be
    // written. False keeps the program running.
    bool SaveBeforeQuit();
    // Without anyone to ask (the session ends, the display is gone): both
    // tried once; answers the errors, empty when all was written.
    std::string SaveQuietly();
    // A request to end from outside (a termination signal): every dialog
    // and box is closed as if cancelled (an exchange under way is cancelled),
    // then the window closes as with "Quitter", the work saved before. A
    // second request while the first is not through ends the event loop at
    // once, the work written quietly (errors on the standard error).
    void EndOnRequest();
    // The process ends without its event loop (the display went away): the
    // work written quietly, nothing shown; errors on the standard error.
    void SaveAtExit();
    // The end: what was not written yet (an error is shown), the modules and
    // dialogs, then the controller.
    void Close();

    // ---- IDialogs
    bool ChooseCompetWww(const std::string& url) override;
    bool ChooseCompetLocal() override;
    void ShowSearchJoueur() override;
    bool ShowAddMatch(std::int32_t pool, std::int32_t licence) override;
    bool ShowEditMatch(std::int32_t idMatch) override;
    void ShowVersion() override;
    void PrintLists(const TElement& shown) override;

    // ---- the parts, for the tests
    TMainFrm& Main() { return *Main_; }
    TCompetition& Compet() { return *Compet_; }
    TSettings& Settings() { return *Settings_; }
    TCommandState& State() { return *State_; }
    TCommands& Commands() { return *Commands_; }
    TdmLocal& Dm() { return *Dm_; }
    TdmFb& Fb() { return *Fb_; }
    TwwwFrm& Www() { return *Www_; }
    TViews& Views() { return *Views_; }
    TExport& Export() { return *Export_; }
    TConnectionFrm& Connection() { return *Connection_; }
    TMatchFrm& Match() { return *Match_; }
    TGetListFrm& Lists() { return *Lists_; }
    TFiltreCompetFrm& Filtre() { return *Filtre_; }
    TVersionFrm& Version() { return *Version_; }
    const TAppFolders& Folders() const { return Folders_; }
    IUserBoxes& Boxes() { return Boxes_; }

private:
    // The window's layout and the sort into the settings, before they are written.
    void KeepLayout();
    // Closes the window as soon as no dialog is open and no command runs.
    void CloseWhenIdle();
    void SaveToStandardError(const char* when);
    // The end's saving for when nobody can be asked.
    TSaveBeforeQuit Unattended();

    TAppFolders Folders_;
    TFolderLock Lock_;
    TQtBoxes QtBoxes_;
    TQtDesktopShell QtShell_;
    IUserBoxes& Boxes_;
    IDesktopShell& Shell_;
    std::unique_ptr<TCompetition> Compet_;
    std::unique_ptr<TSettings> Settings_;
    std::unique_ptr<TCommandState> State_;
    std::unique_ptr<TMainFrm> Main_;
    std::unique_ptr<TConnectionFrm> Connection_;
    std::unique_ptr<TwwwFrm> Www_;
    std::unique_ptr<TdmLocal> Dm_;
    std::unique_ptr<TViews> Views_;
    std::unique_ptr<TExport> Export_;
    std::unique_ptr<TExportFormats> Formats_;
    std::unique_ptr<TCommands> Commands_;
    std::unique_ptr<TMatchFrm> Match_;
    std::unique_ptr<TGetListFrm> Lists_;
    std::unique_ptr<TVersionFrm> Version_;
    std::unique_ptr<TFiltreCompetFrm> Filtre_;
    std::unique_ptr<TSnapshotKeeper> Keeper_;
    std::unique_ptr<TdmFb> Fb_;
    std::unique_ptr<TBaseKeeper> BaseKeeper_;
    QTimer* KeeperTimer_ = nullptr;
    bool Saved_ = false;   // written before the end
    bool Ending_ = false;  // an end asked from outside is under way
};

}  // namespace tavlor::ui
