#include "ui/main/Program.h"

#include "commands/CommandState.h"
#include "commands/Saving.h"
#include "commands/Settings.h"
#include "commands/SettingsMessages.h"
#include "export/Export.h"
#include "model/dbFb.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "server/www.h"
#include "text/Error.h"
#include "ui/dialogs/ConnectionFrm.h"
#include "ui/dialogs/FiltreCompetFrm.h"
#include "ui/dialogs/GetListFrm.h"
#include "ui/dialogs/MatchFrm.h"
#include "ui/dialogs/VersionFrm.h"
#include "ui/main/MainFrm.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/PlatformMessages.h"
#include "ui/platform/QtText.h"
#include "ui/print/ShownLists.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QStatusBar>

#include <cstdio>
#include <exception>

namespace tavlor::ui {

namespace {

// How often the keeper of the snapshot looks for changes.
constexpr int KeeperTickMs = 200;
// How often an end asked from outside looks whether the dialogs are closed.
constexpr int EndingTickMs = 50;

std::vector<std::string> Strings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list) out.push_back(S(s));
    return out;
}

}  // namespace

TProgram::TProgram(const QString& programFile, IUserBoxes* boxes, IDesktopShell* shell, const QStringList* addresses)
    : Folders_(ResolveFolders(programFile)),
      Boxes_(boxes != nullptr ? *boxes : QtBoxes_),
      Shell_(shell != nullptr ? *shell : QtShell_) {
    // One copy of the program per folder, decided before anything is read
    // there: a second one is told who holds it, before any window opens.
    if (Lock_.Acquire(Folders_.DataFolder) == TFolderLock::TResult::Refused) {
        Boxes_.Error(Lock_.RefusedText(Folders_.DataFolder));
        return;
    }
    if (!Folders_.ReadOnlyProgramFolder.empty()) {
        Boxes_.Information(msg::platform::ProgramFolderReadOnly(Folders_.ReadOnlyProgramFolder, Folders_.SettingsFile,
                                                                Folders_.DataFolder, Folders_.ExportFolder));
    }
    // The controller first: every later object plugs its handlers into it.
    Compet_ = std::make_unique<TCompetition>();
    Settings_ = std::make_unique<TSettings>(Folders_.SettingsFile,
                                            Strings(addresses != nullptr ? *addresses : BuiltInServerAddresses()),
                                            Folders_.SettingsReadFile);
    State_ = std::make_unique<TCommandState>();
    Main_ = std::make_unique<TMainFrm>(*Compet_, *Settings_, *State_);
    QtBoxes_.SetParent(Main_.get());
    TMainFrm& main = *Main_;
    TCompetition& compet = *Compet_;
    compet.OnIdCompetChange = [this](TCompetition& c) {
        State_->CompetChanged(c.IdCompet() >= 0, c.Connexion);
        Main_->IdCompetChanged();
    };
    compet.OnMessageChange = [this](TCompetition&) { Main_->MessageChanged(); };
    compet.OnLoginChange = [this](TCompetition&) { Main_->LoginChanged(); };
    compet.SetIdCompet(-1);
    compet.SetLogin("");
    Settings_->Load(Boxes_);
    main.SelectAddress(0);

    Connection_ = std::make_unique<TConnectionFrm>(Boxes_);
    Www_ = std::make_unique<TwwwFrm>(compet, *Connection_, Boxes_, Shell_);
    Connection_->SetLink(Www_.get());
    Dm_ = std::make_unique<TdmLocal>(compet);
    Dm_->DataFolder = Folders_.DataFolder;
    Dm_->ReadFolders = Folders_.ReadDataFolders;
    // A save an earlier run left half-way is finished before any competition
    // is opened; a set that cannot be made whole is told and left as it is.
    try {
        Dm_->RecoverSnapshots();
    } catch (const Error& e) {
        Boxes_.TopLevelError(e.what());
    }
    // The local base: every competition opened is kept there. A base that
    // cannot be opened is told; the program works without it.
    Fb_ = std::make_unique<TdmFb>(compet, *Dm_, Boxes_);
    Fb_->DataFolder = Folders_.DataFolder;
    Fb_->OpenDb();
    main.ShownFromBase = [this]() -> const TLocalCompet* { return Fb_ ? &Fb_->Shown() : nullptr; };
    Views_ = std::make_unique<TViews>(*Dm_, main);
    Export_ = std::make_unique<TExport>(*Dm_, Boxes_, Shell_);
    Export_->ExportFolder = Folders_.ExportFolder;
    Formats_ = std::make_unique<TExportFormats>();
    AddCoreFormats(*Formats_, *Export_, *Dm_);
    Formats_->Add(std::make_unique<TPdfFormat>(*Export_, *Views_, compet));
    Commands_ = std::make_unique<TCommands>(
        TCommandContext{compet, *Dm_, *Www_, *Fb_, *Views_, *Export_, *Formats_, *Settings_, *State_, Boxes_}, main,
        *this);
    main.Attach(*Dm_, *Views_, *Commands_);

    Match_ = std::make_unique<TMatchFrm>(compet, *Dm_, Boxes_, &main);
    Lists_ = std::make_unique<TGetListFrm>(compet, *Www_, *Fb_, Boxes_, &main);
    Version_ = std::make_unique<TVersionFrm>(&main);
    // The filtered list opens from the lists dialog, which stays on top: it belongs to it.
    Filtre_ = std::make_unique<TFiltreCompetFrm>(Lists_.get());
    Lists_->ShowFiltered = [this](const TTextGrid& source, const std::string& filter, const std::vector<int>& widths,
                                  int& row) { return Filtre_->ShowFiltered(source, filter, widths, row); };
    // How the user left things last time.
    main.RestoreLayout(*Settings_);
    const bool alpha = Settings_->LayoutValue(msg::settings::KeyTriAlpha) == "1";
    State_->SetChecked(TCommandId::TriAlphaJoueurs, alpha);
    Dm_->SetTriAlphaJoueurs(alpha);
    const auto hint = [&main](const QString& text) { main.statusBar()->showMessage(text, 4000); };
    Lists_->ShowHint = hint;
    Filtre_->ShowHint = hint;

    // What lives only in memory reaches the disk within a second of a change.
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    Keeper_ = std::make_unique<TSnapshotKeeper>(*Dm_, Boxes_, [clock] { return clock->elapsed(); });
    Keeper_->Busy = [this] { return Commands_->Running(); };
    KeeperTimer_ = new QTimer(&main);
    KeeperTimer_->setInterval(KeeperTickMs);
    QObject::connect(KeeperTimer_, &QTimer::timeout, &main, [this] { Keeper_->Tick(); });

    // Every competition opened is kept in the local base, and kept up to date.
    BaseKeeper_ = std::make_unique<TBaseKeeper>(*Fb_, Boxes_, [clock] { return clock->elapsed(); });
    BaseKeeper_->Busy = [this] { return Commands_->Running(); };
    Www_->OnLoaded = [this](const std::string& address) { BaseKeeper_->Downloaded(address); };
    compet.OnClear = [this, clear = compet.OnClear] {
        if (BaseKeeper_) {
            BaseKeeper_->Replacing(clear);
        } else {
            clear();
        }
    };
    QObject::connect(KeeperTimer_, &QTimer::timeout, &main, [this] { BaseKeeper_->Tick(); });
    KeeperTimer_->start();
    main.CanClose = [this] { return SaveBeforeQuit(); };
}

TProgram::~TProgram() {
    Close();
}

void TProgram::Show() {
    if (Main_) Main_->show();
}

bool TProgram::ChooseCompetWww(const std::string& url) {
    return Lists_->ChooseCompetWww(url);
}

bool TProgram::ChooseCompetLocal() {
    return Lists_->ChooseCompetLocal();
}

void TProgram::ShowSearchJoueur() {
    Lists_->ShowSearchJoueur();
}

bool TProgram::ShowAddMatch(std::int32_t pool, std::int32_t licence) {
    return Match_->ShowAddMatch(pool, licence);
}

bool TProgram::ShowEditMatch(std::int32_t idMatch) {
    return Match_->ShowEditMatch(idMatch);
}

void TProgram::ShowVersion() {
    ExecOnTop(*Version_);
}

void TProgram::PrintLists(const TElement& shown) {
    if (const auto print = ShownListsPrint(*Export_, *Views_, *Compet_, shown)) ShowPrintPreview(*print, Main_.get());
}

void TProgram::KeepLayout() {
    Main_->SaveLayout(*Settings_);
    Settings_->SetLayoutValue(msg::settings::KeyTriAlpha, State_->Checked(TCommandId::TriAlphaJoueurs) ? "1" : "0");
}

bool TProgram::SaveBeforeQuit() {
    if (!Main_) return true;
    KeepLayout();
    Saved_ = TSaveBeforeQuit(*Dm_, *Settings_, Boxes_).Run();
    if (Saved_) Keeper_->MarkSaved();
    return Saved_;
}

std::string TProgram::SaveQuietly() {
    if (!Main_) return {};
    KeepLayout();
    const std::string errors = Unattended().Quietly();
    if (errors.empty()) Keeper_->MarkSaved();
    return errors;
}

TSaveBeforeQuit TProgram::Unattended() {
    TSaveBeforeQuit save(*Dm_, *Settings_, Boxes_);
    // The data folder stopped taking files (a share turned read-only): the
    // user's own folder keeps the day's work.
    save.Fallback = [] { return UserFolders().DataFolder; };
    return save;
}

void TProgram::EndOnRequest() {
    if (!Main_) return;
    if (!Ending_) {
        Ending_ = true;
        CloseWhenIdle();
        return;
    }
    // Asked again: no more waiting for dialogs or the user.
    if (!Saved_) SaveToStandardError("interrompu");
    QCoreApplication::exit(0);
}

void TProgram::CloseWhenIdle() {
    if (!Main_ || !Ending_) return;
    bool waiting = Commands_->Running();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
            waiting = true;
        }
    }
    if (waiting) {
        QTimer::singleShot(EndingTickMs, Main_.get(), [this] { CloseWhenIdle(); });
        return;
    }
    // As with "Quitter": saved first, the user's choice when that fails.
    Main_->close();
    // He chose to stay: a later request starts again.
    if (Main_->isVisible()) Ending_ = false;
}

void TProgram::SaveAtExit() {
    if (!Main_ || Saved_) return;
    // The display is gone: the window's layout cannot be asked, the last
    // one kept is written.
    const std::string errors = Unattended().Quietly();
    if (!errors.empty()) std::fprintf(stderr, "tavlor: %s\n", errors.c_str());
    Saved_ = true;
}

void TProgram::SaveToStandardError(const char* when) {
    const std::string errors = SaveQuietly();
    if (!errors.empty()) std::fprintf(stderr, "tavlor (%s): %s\n", when, errors.c_str());
    Saved_ = true;
}

void TProgram::Close() {
    if (!Main_) {
        Lock_.Release();
        return;
    }
    KeeperTimer_->stop();
    // What was not written before the window closed (the program ended
    // another way), while everything still exists.
    if (!Saved_) {
        if (const std::string errors = SaveQuietly(); !errors.empty()) Boxes_.TopLevelError(errors);
    }
    if (const std::string error = BaseKeeper_->Flush(); !error.empty()) {
        std::fprintf(stderr, "tavlor: %s\n", error.c_str());
    }
    Www_->OnLoaded = nullptr;
    Main_->ShownFromBase = nullptr;
    BaseKeeper_.reset();
    Main_->Detach();
    Filtre_.reset();
    Version_.reset();
    Lists_.reset();
    Match_.reset();
    Commands_.reset();
    Formats_.reset();
    Export_.reset();
    Views_.reset();
    Fb_.reset();
    Dm_.reset();
    Www_.reset();
    Connection_.reset();
    // Then the controller, and the settings file last.
    Compet_->OnIdCompetChange = nullptr;
    Compet_->OnMessageChange = nullptr;
    Compet_->OnLoginChange = nullptr;
    Keeper_.reset();
    QtBoxes_.SetParent(nullptr);
    Main_.reset();
    State_.reset();
    Settings_.reset();
    Compet_.reset();
    // Everything written: the folder is free for the next copy.
    Lock_.Release();
}

}  // namespace tavlor::ui
