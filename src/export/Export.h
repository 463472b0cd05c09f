#pragma once

#include "export/Ds2Xls.h"
#include "export/ExportFormat.h"
#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "model/dbLocal.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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

    TExport(TdmLocal& dm, IMessageBoxes& boxes, IDesktopShell& shell);

    // Where the export files go: the program's folder, or the user's data
    // folder where that cannot be written.
    std::string ExportFolder;

    // The shown lists of the element written in the format to the export
    // folder, then opened; says so when both lists are empty.
    void ExportFiltres(const TElement& shown, IExportFormat& format);
    // Whether either list holds a row.
    bool HasShownLists() const;
    // What ExportFiltres writes, built in memory and handed over, for other
    // renderings of the same lists. A player's sheets are named after him.
    TListsWorkbook BuildFiltres(const TElement& shown);
    // Opens an exported file with the desktop's application; says so when
    // there is none, throws tavlor::Error when the system fails.
    void OpenExported(const std::string& file);
    // The same, with the text that says no application opens such a file.
    void OpenExported(const std::string& file, const std::string& noApplication);
    // The competition's name with ? [ ] / \ = + < > : ; " , . replaced by "_",
    // in the export folder, with the extension (".xls", ".html"...).
    std::string GetNomFichierExport(std::string_view extension) const;
    void Ds2XlsAfterHeaderCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field);
    void Ds2XlsAfterDetailCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field);
    TDs2Xls& Exporter() { return Ds2Xls_; }

private:
    // The header cell's wrapping, its column's width and number format.
    void SetHeaderFormat(workbook::TSheet& sheet, int row, int col, const TFieldDef& field);

    TdmLocal& Dm_;
    IMessageBoxes& Boxes_;
    IDesktopShell& Shell_;
    TDs2Xls Ds2Xls_;
};

// The lines a header label needs in a column `width` characters wide (the
// standard font's "0"), wrapped at its spaces; a word longer than a line is
// cut. A column shows about one character less of a bold label than its
// width: the cell's margins and the bold letters take the rest.
int HeaderLines(std::string_view label, double width);

// The shown lists as an Excel 97-2003 workbook and as an HTML page, and the
// registrants as an XML datapacket.
class TXlsFormat : public IExportFormat {
public:
    explicit TXlsFormat(TExport& exporter) : Export_(exporter) {}
    TExportFormatId Id() const override { return TExportFormatId::Xls; }
    std::string_view Extension() const override { return ".xls"; }
    std::string_view Filter() const override;
    bool Write(const TElement& shown, const std::string& path) override;

private:
    TExport& Export_;
};

class THtmlFormat : public IExportFormat {
public:
    explicit THtmlFormat(TExport& exporter) : Export_(exporter) {}
    TExportFormatId Id() const override { return TExportFormatId::Html; }
    std::string_view Extension() const override { return ".html"; }
    std::string_view Filter() const override;
    bool Write(const TElement& shown, const std::string& path) override;

private:
    TExport& Export_;
};

class TRegistrantsXmlFormat : public IExportFormat {
public:
    explicit TRegistrantsXmlFormat(TdmLocal& dm) : Dm_(dm) {}
    TExportFormatId Id() const override { return TExportFormatId::RegistrantsXml; }
    std::string_view Extension() const override { return ".xml"; }
    std::string_view Filter() const override;
    bool Write(const TElement& shown, const std::string& path) override;

private:
    TdmLocal& Dm_;
};

// The three formats above added to the list.
void AddCoreFormats(TExportFormats& formats, TExport& exporter, TdmLocal& dm);

}  // namespace tavlor
