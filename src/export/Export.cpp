#include "export/Export.h"

#include "export/ExportMessages.h"
#include "model/Files.h"
#include "text/Cp1252.h"
#include "text/Error.h"

#include <algorithm>
#include <cmath>

namespace tavlor {

TExport::TExport(TdmLocal& dm, IMessageBoxes& boxes, IDesktopShell& shell) : Dm_(dm), Boxes_(boxes), Shell_(shell) {
    Ds2Xls_.AfterHeaderCell = [this](workbook::TSheet& sheet, int row, int col, const TFieldDef& field) {
        Ds2XlsAfterHeaderCell(sheet, row, col, field);
    };
    Ds2Xls_.AfterDetailCell = [this](workbook::TSheet& sheet, int row, int col, const TFieldDef& field) {
        Ds2XlsAfterDetailCell(sheet, row, col, field);
    };
}

std::string TExport::GetNomFichierExport(std::string_view extension) const {
    std::string name = Dm_.Compet().Message();
    for (char& c : name) {
        switch (c) {
            case '?':
            case '[':
            case ']':
            case '/':
            case '\\':
            case '=':
            case '+':
            case '<':
            case '>':
            case ':':
            case ';':
            case '"':
            case ',':
            case '.':
                c = '_';
                break;
            default:
                break;
        }
    }
    return JoinPath(ExportFolder, name + std::string(extension));
}

int HeaderLines(std::string_view label, double width) {
    const auto perLine = static_cast<std::size_t>(std::max(1.0, std::floor(width - 1)));
    int lines = 1;
    std::size_t used = 0;  // characters on the current line
    std::size_t start = 0;
    while (start <= label.size()) {
        std::size_t end = label.find(' ', start);
        if (end == std::string_view::npos) end = label.size();
        const std::size_t n = text::Length(label.substr(start, end - start));
        start = end + 1;
        if (n == 0) continue;
        if (used > 0 && used + 1 + n <= perLine) {
            used += 1 + n;
            continue;
        }
        if (used > 0) ++lines;
        // From the start of a line: a word too long for it is cut over several.
        lines += static_cast<int>((n - 1) / perLine);
        used = n - (n - 1) / perLine * perLine;
    }
    return lines;
}

void TExport::Ds2XlsAfterHeaderCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field) {
    SetHeaderFormat(sheet, row, col, field);
    // The header row as high as its most wrapped label needs, so that no title is cut.
    const int lines = HeaderLines(field.Label(), sheet.ColumnWidth(col));
    if (lines > 1) {
        sheet.SetRowHeight(row, std::max(sheet.RowHeight(row), lines * workbook::TSheet::DefaultRowHeight));
    }
}

void TExport::SetHeaderFormat(workbook::TSheet& sheet, int row, int col, const TFieldDef& field) {
    sheet.SetWrap(row, col, true);
    switch (field.Type) {
        case TFieldType::String:
            sheet.SetColumnWidth(col, 25);
            break;
        case TFieldType::Float: {
            sheet.SetColumnWidth(col, 10);
            // Only the shown players' table has points and a win rate.
            const bool players = &field == Dm_.Tables.FiltreJoueurs.FindField(field.Name);
            if (players && field.Name == "PTS") {
                sheet.SetColumnNumberFormat(col, "#,##0.0");
            } else if (players && field.Name == "TV") {
                sheet.SetColumnNumberFormat(col, "0 %");
            } else {
                sheet.SetColumnNumberFormat(col, "#,##0.000");
            }
            break;
        }
        case TFieldType::DateTime:
            sheet.SetColumnWidth(col, 11);
            break;
        case TFieldType::Integer:
            sheet.SetColumnWidth(col, 8);
            if (field.Name.find("LICENCE") != std::string::npos) {
                sheet.SetColumnNumberFormat(col, "000000");
            }
            break;
    }
}

void TExport::Ds2XlsAfterDetailCell(workbook::TSheet& sheet, int row, int col, const TFieldDef& field) {
    if (field.Type == TFieldType::DateTime) {
        sheet.SetNumberFormat(row, col, "dd/mm/yyyy");
        sheet.SetHAlign(row, col, workbook::THAlign::Center);
    } else if (field.Type == TFieldType::Integer && field.Name.find("LICENCE") != std::string::npos) {
        sheet.SetHAlign(row, col, workbook::THAlign::Center);
    }
}

bool TExport::HasShownLists() const {
    return !Dm_.Tables.FiltreJoueurs.IsEmpty() || !Dm_.Tables.FiltreMatchs.IsEmpty();
}

TExport::TListsWorkbook TExport::BuildFiltres(const TElement& shown) {
    TListsWorkbook out;
    TTable& players = Dm_.Tables.FiltreJoueurs;
    TTable& matches = Dm_.Tables.FiltreMatchs;
    if (players.IsEmpty() && matches.IsEmpty()) {
        return out;
    }
    const bool onePlayer = shown.Kind == NodeRegistrant || shown.Kind == NodeMember;
    const std::string name = onePlayer ? players.AsString("NOM") : std::string();
    struct TDropWorkbook {
        TDs2Xls& Exporter;
        ~TDropWorkbook() { Exporter.Drop(); }
    } drop{Ds2Xls_};
    if (!players.IsEmpty()) {
        Ds2Xls_.Export(players, onePlayer ? msg::exports::PlayerRankingsSheet + name : msg::exports::PlayersSheet);
        out.PlayerSheets = Ds2Xls_.Workbook().SheetCount();
    }
    if (!matches.IsEmpty()) {
        Ds2Xls_.Export(matches, onePlayer ? msg::exports::PlayerMatchesSheet + name : msg::exports::MatchesSheet);
    }
    out.Book = Ds2Xls_.Take();
    return out;
}

void TExport::ExportFiltres(const TElement& shown, IExportFormat& format) {
    if (!HasShownLists()) {
        Boxes_.Error(msg::exports::NothingToExport);
        return;
    }
    const std::string file = GetNomFichierExport(format.Extension());
    if (format.Write(shown, file)) OpenExported(file);
}

void TExport::OpenExported(const std::string& file) {
    OpenExported(file, msg::exports::NoApplication(file));
}

void TExport::OpenExported(const std::string& file, const std::string& noApplication) {
    const TShellOutcome opened = Shell_.OpenFile(file);
    switch (opened.Result) {
        case TShellOutcome::TResult::Opened:
            return;
        case TShellOutcome::TResult::NoAssociation:
            Boxes_.Error(noApplication);
            return;
        case TShellOutcome::TResult::Failed:
            throw Error(opened.Code != 0 ? msg::exports::SystemError(opened.Code, opened.Text)
                                         : msg::exports::SystemCallFailed);
    }
}

std::string_view TXlsFormat::Filter() const {
    return msg::exports::XlsFilter;
}

bool TXlsFormat::Write(const TElement& shown, const std::string& path) {
    const TExport::TListsWorkbook lists = Export_.BuildFiltres(shown);
    if (lists.Book) lists.Book->SaveXls(path);
    return true;
}

std::string_view THtmlFormat::Filter() const {
    return msg::exports::HtmlFilter;
}

bool THtmlFormat::Write(const TElement& shown, const std::string& path) {
    const TExport::TListsWorkbook lists = Export_.BuildFiltres(shown);
    if (lists.Book) lists.Book->SaveHtml(path);
    return true;
}

std::string_view TRegistrantsXmlFormat::Filter() const {
    return msg::exports::XmlFilter;
}

bool TRegistrantsXmlFormat::Write(const TElement&, const std::string& path) {
    Dm_.ExportInscrits(path);
    return true;
}

void AddCoreFormats(TExportFormats& formats, TExport& exporter, TdmLocal& dm) {
    formats.Add(std::make_unique<TXlsFormat>(exporter));
    formats.Add(std::make_unique<THtmlFormat>(exporter));
    formats.Add(std::make_unique<TRegistrantsXmlFormat>(dm));
}

}  // namespace tavlor
