#include "ui/print/ShownLists.h"

#include "export/Export.h"
#include "model/Communs.h"
#include "ranking/Views.h"
#include "text/Error.h"
#include "ui/platform/QtText.h"
#include "ui/print/PrintMessages.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookMessages.h"

#include <QDateTime>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStringList>

namespace tavlor::ui {

std::unique_ptr<TListsPrint> ShownListsPrint(TExport& exporter, TViews& views, const TCompetition& compet,
                                             const TElement& shown) {
    TExport::TListsWorkbook lists = exporter.BuildFiltres(shown);
    if (!lists.Book) return nullptr;
    TPrintHeading heading;
    heading.Competition = Q(compet.Message());
    QStringList path;
    for (const std::string& name : views.ElementPath(shown)) path << Q(name);
    heading.Element = path.join(Q(msg::print::ElementSeparator));
    const QDateTime now = QDateTime::currentDateTime();
    heading.Printed = Q(
        msg::print::PrintedOn(S(now.toString(QStringLiteral("dd/MM/yyyy"))), S(now.toString(QStringLiteral("HH:mm")))));
    std::vector<TPrintList> parts(2);
    parts[0].Caption = Q(views.RankingCaption());
    parts[1].Caption = Q(views.MatchesCaption());
    for (std::size_t s = 0; s < lists.Book->SheetCount(); ++s) {
        parts[s < lists.PlayerSheets ? 0 : 1].Sheets.push_back(s);
    }
    // The printout keeps what it needs of the workbook.
    return std::make_unique<TListsPrint>(std::move(heading), *lists.Book, std::move(parts));
}

std::string_view TPdfFormat::Filter() const {
    return msg::print::PdfFilter;
}

void TPdfFormat::Write(const TElement& shown, const std::string& path) {
    const std::unique_ptr<TListsPrint> print = ShownListsPrint(Export_, Views_, Compet_, shown);
    if (!print) throw Error(msg::workbook::CannotWriteFile(path));
    WriteListsPdf(*print, path);
}

void ShowPrintPreview(const TListsPrint& print, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer, print);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(Q(msg::print::PreviewTitle));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&print](QPrinter* target) { print.Paint(*target); });
    preview.exec();
}

}  // namespace tavlor::ui
