#pragma once

#include "export/ExportFormat.h"
#include "model/Element.h"
#include "ui/print/ListsPrint.h"

#include <memory>
#include <string>

class QWidget;

namespace tavlor {
class TCompetition;
class TExport;
class TViews;
}  // namespace tavlor

namespace tavlor::ui {

// The printout of the lists the views show for the element, as the export
// writes them, headed with the competition, the element and the time of
// printing; null when both lists are empty.
std::unique_ptr<TListsPrint> ShownListsPrint(TExport& exporter, TViews& views, const TCompetition& compet,
                                             const TElement& shown);

// The shown lists as a PDF document: one of the export formats.
class TPdfFormat : public IExportFormat {
public:
    TPdfFormat(TExport& exporter, TViews& views, const TCompetition& compet)
        : Export_(exporter), Views_(views), Compet_(compet) {}
    TExportFormatId Id() const override { return TExportFormatId::Pdf; }
    std::string_view Extension() const override { return ".pdf"; }
    std::string_view Filter() const override;
    bool Write(const TElement& shown, const std::string& path) override;

private:
    TExport& Export_;
    TViews& Views_;
    const TCompetition& Compet_;
};

// The print preview of the printout, modal over parent.
void ShowPrintPreview(const TListsPrint& print, QWidget* parent);

// A long layout shows its progress in a box with "Annuler" (after a moment,
// so that a short one shows nothing); the answer of a page is false once
// "Annuler" was pressed.
class TPrintProgress {
public:
    explicit TPrintProgress(QWidget* parent);
    ~TPrintProgress();
    TPrintProgress(const TPrintProgress&) = delete;
    TPrintProgress& operator=(const TPrintProgress&) = delete;
    bool Page(int page, int pages);
    TListsPrint::TProgress Callback() {
        return [this](int page, int pages) { return Page(page, pages); };
    }

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl_;
};

}  // namespace tavlor::ui
