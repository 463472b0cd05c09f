#pragma once

#include "ui/AppFolders.h"
#include "ui/DesktopShell.h"
#include "ui/UiBoxes.h"

#include <QString>

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
    // programFile decides where the settings, snapshots and exports go.
    explicit TProgram(const QString& programFile);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    void Show();
    // The end: the snapshot of the open competition (an error is shown),
    // the modules and dialogs, then the controller and the settings file.
    void Close();

    TMainFrm& Main() { return *Main_; }
    const TAppFolders& Folders() const { return Folders_; }

private:
    struct TParts;
    TAppFolders Folders_;
    TQtBoxes Boxes_;
    TQtDesktopShell Shell_;
    std::unique_ptr<TMainFrm> Main_;
    std::unique_ptr<TParts> Parts_;
};

}  // namespace tavlor::ui
