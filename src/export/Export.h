#pragma once

#include "export/Ds2Xls.h"
#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "model/ViewHost.h"
#include "model/dbLocal.h"

#include <string>

namespace tavlor {

// The export of what the main window shows: the players of FiltreJoueurs and
// the matches of FiltreMatchs, in the views' order and with the visible
// columns, to a workbook or an HTML page named after the competition in the
// export folder, then opened with the desktop's application.
class TExport {
public:
    TExport(TdmLocal& dm, IViewHost& host, IMessageBoxes& boxes, IDesktopShell& shell);

    // Where the export files go: the program's folder, or the user's data
    // folder where that cannot be written.
    std::string ExportFolder;

    void ExportFiltres(bool html);
    // The competition's name with ? [ ] / \ = + < > : ; " , . replaced by "_",
    // in the export folder, with ".xls" or ".html".
    std::string GetNomFichierExport(bool html) const;
    void Ds2XlsAfterHeaderCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field);
    void Ds2XlsAfterDetailCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field);
    TDs2Xls& Exporter() { return Ds2Xls_; }

private:
    TdmLocal& Dm_;
    IViewHost& Host_;
    IMessageBoxes& Boxes_;
    IDesktopShell& Shell_;
    TDs2Xls Ds2Xls_;
};

}  // namespace tavlor
