#pragma once

#include "export/Ds2Xls.h"
#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "model/ViewHost.h"
#include "model/dbLocal.h"

#include <cstddef>
#include <memory>
#include <string>

namespace tavlor {

// The export of what the main window shows: the players of FiltreJoueurs and
// the matches of FiltreMatchs, in the views' order and with the visible
// columns, to a workbook or an HTML page named after the competition in the
// export folder, then opened with the desktop's application.
class TExport {
public:
    // The workbook of the shown lists: the players' sheets first (more than one
    // past TDs2Xls::RowsPerSheet rows), then the matches'.
    struct TListsWorkbook {
        std::unique_ptr<workbook::TWorkbook> Book;  // null when both lists are empty
        std::size_t PlayerSheets = 0;
    };

    TExport(TdmLocal& dm, IViewHost& host, IMessageBoxes& boxes, IDesktopShell& shell);

    // Where the export files go: the program's folder, or the user's data
    // folder where that cannot be written.
    std::string ExportFolder;

    void ExportFiltres(bool html);
    // What ExportFiltres writes, built in memory and handed over, for other
    // renderings of the same lists.
    TListsWorkbook BuildFiltres();
    // Opens an exported file with the desktop's application; says so when
    // there is none, throws tavlor::Error when the system fails.
    void OpenExported(const std::string& file);
    // The same, with the text that says no application opens such a file.
    void OpenExported(const std::string& file, const std::string& noApplication);
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
