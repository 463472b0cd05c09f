#include "ui/Program.h"

#include "model/dbLocal.h"
#include "server/www.h"
#include "ui/ConnectionFrm.h"
#include "ui/FiltreCompetFrm.h"
#include "ui/GetListFrm.h"
#include "ui/MainCommands.h"
#include "ui/MainFrm.h"
#include "ui/MatchFrm.h"
#include "ui/PrintLists.h"
#include "ui/VersionFrm.h"

#include <QStatusBar>

namespace tavlor::ui {

struct TProgram::TParts {
    std::unique_ptr<TConnectionFrm> Connection;
    std::unique_ptr<TwwwFrm> Www;
    std::unique_ptr<TdmLocal> Dm;
    std::unique_ptr<TMatchFrm> Match;
    std::unique_ptr<TGetListFrm> Lists;
    std::unique_ptr<TVersionFrm> Version;
    std::unique_ptr<TFiltreCompetFrm> Filtre;
};

TProgram::TProgram(const QString& programFile, IUiBoxes* boxes, IDesktopShell* shell, const QStringList* addresses)
    : Folders_(ResolveFolders(programFile)),
      Boxes_(boxes != nullptr ? *boxes : QtBoxes_),
      Shell_(shell != nullptr ? *shell : QtShell_) {
    // The main window first: it creates the controller that every later
    // object plugs its handlers into. Then each object after those it holds.
    Main_ = std::make_unique<TMainFrm>(Boxes_, Folders_.SettingsFile,
                                       addresses != nullptr ? *addresses : BuiltInServerAddresses());
    QtBoxes_.SetParent(Main_.get());
    TMainFrm& main = *Main_;
    TCompetition& compet = main.Compet();
    Parts_ = std::make_unique<TParts>();
    TParts& p = *Parts_;

    p.Connection = std::make_unique<TConnectionFrm>();
    p.Www = std::make_unique<TwwwFrm>(compet, *p.Connection, Boxes_, Shell_);
    p.Connection->SetLink(p.Www.get());

    p.Dm = std::make_unique<TdmLocal>(compet, &main);
    p.Dm->DataFolder = Folders_.DataFolder;

    p.Match = std::make_unique<TMatchFrm>(compet, *p.Dm, Boxes_, &main);
    p.Lists = std::make_unique<TGetListFrm>(compet, *p.Www, Boxes_, &main);
    p.Version = std::make_unique<TVersionFrm>(&main);
    p.Filtre = std::make_unique<TFiltreCompetFrm>(&main);
    p.Lists->SetFiltreCompetFrm(p.Filtre.get());
    const auto topLevel = [this](const std::string& text) { Boxes_.TopLevelError(text); };
    p.Connection->TopLevelError = topLevel;
    p.Match->TopLevelError = topLevel;
    p.Lists->TopLevelError = topLevel;
    const auto hint = [&main](const QString& text) { main.statusBar()->showMessage(text, 4000); };
    p.Lists->ShowHint = hint;
    p.Filtre->ShowHint = hint;

    main.Attach(*p.Dm, *p.Www, Shell_, Folders_.ExportFolder);
    InstallPrintCommands(main);
    TDialogHooks& d = main.Commands().Dialogs;
    d.ChooseCompetWww = [&p](const std::string& url) { return p.Lists->ChooseCompetWww(url); };
    d.ChooseCompetLocal = [&p] { return p.Lists->ChooseCompetLocal(); };
    d.ShowSearchJoueur = [&p] { p.Lists->ShowSearchJoueur(); };
    d.ReloadCompet = [&p] { p.Lists->ReloadCompet(); };
    d.ShowAddMatch = [&p](std::int32_t pool, std::int32_t licence) { return p.Match->ShowAddMatch(pool, licence); };
    d.ShowEditMatch = [&p] { return p.Match->ShowEditMatch(); };
    d.ShowVersion = [&p] { p.Version->exec(); };
}

TProgram::~TProgram() {
    Close();
}

void TProgram::Show() {
    Main_->show();
}

TdmLocal& TProgram::Dm() {
    return *Parts_->Dm;
}
TwwwFrm& TProgram::Www() {
    return *Parts_->Www;
}
TConnectionFrm& TProgram::Connection() {
    return *Parts_->Connection;
}
TMatchFrm& TProgram::Match() {
    return *Parts_->Match;
}
TGetListFrm& TProgram::Lists() {
    return *Parts_->Lists;
}
TFiltreCompetFrm& TProgram::Filtre() {
    return *Parts_->Filtre;
}
TVersionFrm& TProgram::Version() {
    return *Parts_->Version;
}

void TProgram::Close() {
    if (!Main_) return;
    TParts& p = *Parts_;
    // The snapshot of the open competition, while everything still exists.
    try {
        p.Dm->SaveSnapshot();
    } catch (const std::exception& e) {
        Boxes_.TopLevelError(e.what());
    }
    Main_->Detach();
    p.Filtre.reset();
    p.Version.reset();
    p.Lists.reset();
    p.Match.reset();
    p.Dm.reset();
    p.Www.reset();
    p.Connection.reset();
    Parts_.reset();
    // Then the controller, and the settings file last.
    Main_->FreeControllerAndSaveSettings();
    QtBoxes_.SetParent(nullptr);
    Main_.reset();
}

}  // namespace tavlor::ui
