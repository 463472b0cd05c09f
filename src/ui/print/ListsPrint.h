#pragma once

#include <QPageLayout>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace tavlor::workbook {
class TWorkbook;
}

namespace tavlor::ui {

// What heads the printed pages.
struct TPrintHeading {
    QString Competition;
    QString Element;  // the focused element of the tree
    QString Printed;  // when it was printed
};

// One list of the printout: the export's sheets of one table, the first row
// of the first sheet being the header row (further sheets repeat it).
struct TPrintList {
    QString Caption;
    std::vector<std::size_t> Sheets;
};

// The shown lists laid out for paper from the workbook the export writes, so
// that the printed figures are the exported ones: the same columns, labels,
// number formats and order. A title with the competition and the element,
// the date of printing, each list's header row repeated on every page it
// covers, "Page n / N" at the foot, no row cut across pages. A list wider
// than the page is scaled down to its width.
class TListsPrint {
public:
    TListsPrint(TPrintHeading heading, const workbook::TWorkbook& book, std::vector<TPrintList> lists);
    ~TListsPrint();
    TListsPrint(const TListsPrint&) = delete;
    TListsPrint& operator=(const TListsPrint&) = delete;

    // Portrait, unless the widest list does not fit across a portrait page of
    // the device's paper.
    QPageLayout::Orientation BestOrientation(QPagedPaintDevice& device) const;
    // Paints every page on the device, as its page layout stands; answers the
    // number of pages. progress, when given, is told of each page before it is
    // painted (1-based, and the count) and answers false to stop: the answer
    // is then -1.
    using TProgress = std::function<bool(int page, int pages)>;
    int Paint(QPagedPaintDevice& device, const TProgress& progress = {}) const;

    // The width a list takes across the device's page once fitted, in device
    // pixels: its columns' widths, shrunk to the page's width when wider.
    qreal LaidOutWidth(std::size_t list, QPagedPaintDevice& device) const;
    // The horizontal space either side of a cell's text, in points.
    static qreal CellPadding();

    // The cells as printed, for the tests: row 0 is the header row.
    std::size_t ListCount() const;
    std::size_t RowCount(std::size_t list) const;
    std::size_t ColCount(std::size_t list) const;
    const QString& Text(std::size_t list, std::size_t row, std::size_t col) const;

private:
    struct TList;
    struct TMetrics;
    struct TBlock;
    struct TFit;
    TMetrics Measure(const QPaintDevice& device) const;
    std::vector<TFit> Fit(const TMetrics& m, const QPaintDevice& device, qreal width) const;
    std::vector<std::vector<TBlock>> Paginate(const TMetrics& m, const std::vector<TFit>& fits, qreal height) const;
    void PaintPage(QPainter& p, const TMetrics& m, const std::vector<TFit>& fits, const std::vector<TBlock>& blocks,
                   int page, int pages, qreal width, qreal height) const;

    TPrintHeading Heading_;
    std::vector<std::unique_ptr<TList>> Lists_;
};

// Writes the PDF file, replacing any older one only once complete; throws
// tavlor::Error naming the file on a failure. False, nothing written, when
// progress stopped it.
bool WriteListsPdf(const TListsPrint& print, const std::string& path, const TListsPrint::TProgress& progress = {});

// A4, 12 mm margins, portrait unless the widest list needs landscape.
void SetUpPage(QPagedPaintDevice& device, const TListsPrint& print);

}  // namespace tavlor::ui
