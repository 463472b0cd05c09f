#pragma once

#include "ui/AppFolders.h"
#include "ui/DesktopShell.h"
#include "ui/UiBoxes.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tavlor {
class TdmLocal;
class TwwwFrm;
}  // namespace tavlor

namespace tavlor::ui {

class TMainFrm;
class TConnectionFrm;
class TMatchFrm;
class TGetListFrm;
class TFiltreCompetFrm;
class TVersionFrm;
class TdmFbHolder;

// The program's single objects, created in their order at start and
// destroyed in the reverse order at the end: the main window (and the
// controller inside it) first, then the match dialog, the lists dialog, the
// connection window with the server link, the data module, the local-database
// module, the version dialog and the filtered-competitions dialog.
class TProgram {
public:
    // programFile decides where the settings, snapshots and exports go. The
    // real dialogs and desktop shell are used unless others are given (tests),
    // and the built-in server addresses unless a list is given.
    explicit TProgram(const QString& programFile, IUiBoxes* boxes = nullptr, IDesktopShell* shell = nullptr,
                      const QStringList* addresses = nullptr);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    void Show();
    // The end: the snapshot of the open competition (an error is shown),
    // the modules and dialogs, then the controller and the settings file.
    void Close();

    TMainFrm& Main() { return *Main_; }
    TdmLocal& Dm();
    TwwwFrm& Www();
    TConnectionFrm& Connection();
    TMatchFrm& Match();
    TGetListFrm& Lists();
    TFiltreCompetFrm& Filtre();
    TVersionFrm& Version();
    const TAppFolders& Folders() const { return Folders_; }

private:
    struct TParts;
    TAppFolders Folders_;
    TQtBoxes QtBoxes_;
    TQtDesktopShell QtShell_;
    IUiBoxes& Boxes_;
    IDesktopShell& Shell_;
    std::unique_ptr<TMainFrm> Main_;
    std::unique_ptr<TParts> Parts_;
};

}  // namespace tavlor::ui
