#include "ui/print/ShownLists.h"

#include "export/Export.h"
#include "model/Communs.h"
#include "ranking/Views.h"
#include "text/Error.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"
#include "ui/print/PrintMessages.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookMessages.h"

#include <QApplication>
#include <QDateTime>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
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

bool TPdfFormat::Write(const TElement& shown, const std::string& path) {
    const std::unique_ptr<TListsPrint> print = ShownListsPrint(Export_, Views_, Compet_, shown);
    if (!print) throw Error(msg::workbook::CannotWriteFile(path));
    TPrintProgress progress(QApplication::activeWindow());
    return WriteListsPdf(*print, path, progress.Callback());
}

void ShowPrintPreview(const TListsPrint& print, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer, print);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(Q(msg::print::PreviewTitle));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&print, &preview](QPrinter* target) {
        TPrintProgress progress(&preview);
        print.Paint(*target, progress.Callback());
    });
    ExecOnTop(preview);
}

struct TPrintProgress::TImpl {
    QProgressDialog Dialog;
    explicit TImpl(QWidget* parent) : Dialog(parent) {}
};

TPrintProgress::TPrintProgress(QWidget* parent) : Impl_(std::make_unique<TImpl>(parent)) {
    QProgressDialog& d = Impl_->Dialog;
    d.setWindowTitle(Q(msg::print::ProgressTitle));
    d.setCancelButtonText(Q(msg::print::Cancel));
    d.setWindowModality(Qt::ApplicationModal);
    d.setMinimumDuration(400);
    d.setAutoClose(false);
    d.setAutoReset(false);
    if (AnyWindowOnTop()) d.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

TPrintProgress::~TPrintProgress() = default;

bool TPrintProgress::Page(int page, int pages) {
    QProgressDialog& d = Impl_->Dialog;
    if (d.maximum() != pages) d.setMaximum(pages);
    d.setLabelText(Q(msg::print::Progress(page, pages)));
    d.setValue(page - 1);  // processes the events, "Annuler" among them
    return !d.wasCanceled();
}

}  // namespace tavlor::ui
