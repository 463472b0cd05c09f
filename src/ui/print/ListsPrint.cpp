#include "ui/print/ListsPrint.h"

#include "text/Error.h"
#include "ui/platform/QtText.h"
#include "ui/print/PrintMessages.h"
#include "workbook/NumberFormat.h"
#include "workbook/Workbook.h"
#include "workbook/WorkbookMessages.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace tavlor::ui {

namespace wbd = workbook::detail;

namespace {

enum class TAlign : std::uint8_t { Left, Center, Right };

// Sizes in points.
constexpr qreal kBodyPt = 8.5;
constexpr qreal kCaptionPt = 10;
constexpr qreal kTitlePt = 14;
constexpr qreal kElementPt = 11;
constexpr qreal kSmallPt = 8;
constexpr qreal kPadH = 3;    // either side of a cell's text
constexpr qreal kPadV = 1.5;  // above and below
constexpr qreal kSlack = 1;   // what kerning or rounding may add to a measured text
constexpr qreal kListGap = 14;
constexpr qreal kHeadGap = 8;  // below the heading, above the foot
constexpr qreal kLine = 0.4;   // cell borders

QFont PrintFont(qreal points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // A spacing too small to see keeps the letters apart: no "fi" ligature,
    // so that a copy of the text or a search in it finds "final".
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.02);
    return font;
}

// Text widths summed from the characters' advances, each measured once: the
// lists hold hundreds of thousands of cells made of few distinct characters.
class TWidths {
public:
    explicit TWidths(const QFontMetricsF& fm) : Fm_(fm) { Latin_.fill(-1); }
    qreal Of(const QString& text) {
        qreal width = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < Latin_.size()) {
                qreal& advance = Latin_[u];
                if (advance < 0) advance = Fm_.horizontalAdvance(c);
                width += advance;
            } else {
                const auto [at, inserted] = Other_.try_emplace(u, 0.0);
                if (inserted) at->second = Fm_.horizontalAdvance(c);
                width += at->second;
            }
        }
        return width;
    }

private:
    const QFontMetricsF& Fm_;
    std::array<qreal, 0x250> Latin_{};
    std::unordered_map<char16_t, qreal> Other_;
};

// The workbook's number formats, each compiled once.
class TFormats {
public:
    explicit TFormats(const wbd::TBookData& book) : Book_(book), Compiled_(book.Formats.size()) {}
    const wbd::TNumberFormat& Get(std::uint16_t format) {
        auto& compiled = Compiled_[format];
        if (!compiled) compiled = std::make_unique<wbd::TNumberFormat>(Book_.Formats[format]);
        return *compiled;
    }

private:
    const wbd::TBookData& Book_;
    std::vector<std::unique_ptr<wbd::TNumberFormat>> Compiled_;
};

}  // namespace

struct TListsPrint::TList {
    QString Caption;
    std::size_t Cols = 0;
    std::size_t Rows = 0;  // the header row included
    std::vector<QString> Cells;
    std::vector<TAlign> Aligns;

    const QString& At(std::size_t row, std::size_t col) const { return Cells[row * Cols + col]; }

    // Appends a sheet's rows as the workbook shows them; a further sheet's
    // header row is left out.
    void Append(const workbook::TWorkbook& book, const wbd::TSheetData& sheet, TFormats& formats) {
        const wbd::TBookData& data = book.Data();
        const bool first = Rows == 0;
        if (first) Cols = static_cast<std::size_t>(sheet.ColCount);
        for (std::size_t r = first ? 0 : 1; r < sheet.Rows.size(); ++r) {
            const std::size_t start = Cells.size();
            Cells.resize(start + Cols);
            Aligns.resize(start + Cols, TAlign::Left);
            for (const wbd::TCell& cell : sheet.Rows[r]) {
                if (cell.Col >= Cols) continue;
                bool number = false;
                QString& text = Cells[start + cell.Col];
                switch (cell.Kind) {
                    case wbd::TCellKind::Blank:
                        break;
                    case wbd::TCellKind::Text:
                        text = Q(data.Strings[cell.Text]);
                        break;
                    case wbd::TCellKind::Number:
                    case wbd::TCellKind::Date:
                        text = Q(formats.Get(wbd::EffectiveFormat(data, sheet, cell)).Format(cell.Number));
                        number = true;
                        break;
                }
                TAlign& align = Aligns[start + cell.Col];
                switch (wbd::HAlignOf(cell.Align)) {
                    case workbook::THAlign::General:
                        align = number ? TAlign::Right : TAlign::Left;
                        break;
                    case workbook::THAlign::Left:
                        align = TAlign::Left;
                        break;
                    case workbook::THAlign::Center:
                        align = TAlign::Center;
                        break;
                    case workbook::THAlign::Right:
                        align = TAlign::Right;
                        break;
                }
            }
            ++Rows;
        }
    }
};

// Fonts and sizes in device pixels; the columns' natural widths.
struct TListsPrint::TMetrics {
    qreal Pt = 1;  // pixels per point
    QFont Body, Header, Caption, Title, Element, Small;
    qreal RowH = 0, Ascent = 0, CaptionH = 0, FirstHeadH = 0, HeadH = 0, FootH = 0, PadH = 0, PadV = 0;
    struct TColumns {
        std::vector<qreal> Content;  // the widest value, or the header's widest word
        std::vector<qreal> Label;    // the header label on one line
    };
    std::vector<TColumns> Lists;
};

// A list's columns fitted to a page's width.
struct TListsPrint::TFit {
    std::vector<qreal> Widths;
    qreal Total = 0;
    qreal HeaderH = 0;
    qreal Scale = 1;
};

// Part of a list on a page: rows [First, First + Count) after its header row.
struct TListsPrint::TBlock {
    std::size_t List = 0;
    std::size_t First = 1;
    std::size_t Count = 0;
    bool Continued = false;
    qreal Y = 0;
};

TListsPrint::TListsPrint(TPrintHeading heading, const workbook::TWorkbook& book, std::vector<TPrintList> lists)
    : Heading_(std::move(heading)) {
    TFormats formats(book.Data());
    for (TPrintList& from : lists) {
        auto list = std::make_unique<TList>();
        list->Caption = std::move(from.Caption);
        for (const std::size_t sheet : from.Sheets) list->Append(book, book.Sheet(sheet).Data(), formats);
        if (list->Rows > 0) Lists_.push_back(std::move(list));
    }
}

TListsPrint::~TListsPrint() = default;

std::size_t TListsPrint::ListCount() const {
    return Lists_.size();
}
std::size_t TListsPrint::RowCount(std::size_t list) const {
    return Lists_.at(list)->Rows;
}
std::size_t TListsPrint::ColCount(std::size_t list) const {
    return Lists_.at(list)->Cols;
}
const QString& TListsPrint::Text(std::size_t list, std::size_t row, std::size_t col) const {
    const TList& l = *Lists_.at(list);
    return l.Cells.at(row * l.Cols + col);
}

TListsPrint::TMetrics TListsPrint::Measure(const QPaintDevice& device) const {
    TMetrics m;
    m.Pt = device.logicalDpiY() / 72.0;
    m.Body = PrintFont(kBodyPt, false);
    m.Header = PrintFont(kBodyPt, true);
    m.Caption = PrintFont(kCaptionPt, true);
    m.Title = PrintFont(kTitlePt, true);
    m.Element = PrintFont(kElementPt, false);
    m.Small = PrintFont(kSmallPt, false);
    const QFontMetricsF body(m.Body, &device);
    const QFontMetricsF header(m.Header, &device);
    m.PadH = kPadH * m.Pt;
    m.PadV = kPadV * m.Pt;
    m.RowH = body.height() + 2 * m.PadV;
    m.Ascent = body.ascent();
    m.CaptionH = QFontMetricsF(m.Caption, &device).height() * 1.4;
    const qreal small = QFontMetricsF(m.Small, &device).height();
    m.FirstHeadH =
        QFontMetricsF(m.Title, &device).height() + QFontMetricsF(m.Element, &device).height() * 1.2 + kHeadGap * m.Pt;
    m.HeadH = small * 1.3 + kHeadGap * m.Pt;
    m.FootH = small + kHeadGap * m.Pt;
    const qreal extra = 2 * m.PadH + kSlack * m.Pt;
    TWidths widths(body);
    for (const auto& list : Lists_) {
        TMetrics::TColumns cols;
        cols.Content.assign(list->Cols, 0);
        cols.Label.assign(list->Cols, 0);
        for (std::size_t c = 0; c < list->Cols; ++c) {
            const QString& label = list->At(0, c);
            qreal word = 0;
            for (const QString& w : label.split(u' ', Qt::SkipEmptyParts))
                word = std::max(word, header.horizontalAdvance(w));
            cols.Content[c] = word;
            cols.Label[c] = header.horizontalAdvance(label) + extra;
        }
        for (std::size_t r = 1; r < list->Rows; ++r) {
            for (std::size_t c = 0; c < list->Cols; ++c) {
                cols.Content[c] = std::max(cols.Content[c], widths.Of(list->At(r, c)));
            }
        }
        for (qreal& w : cols.Content) w += extra;
        m.Lists.push_back(std::move(cols));
    }
    return m;
}

QPageLayout::Orientation TListsPrint::BestOrientation(QPagedPaintDevice& device) const {
    QPageLayout portrait = device.pageLayout();
    portrait.setOrientation(QPageLayout::Portrait);
    const qreal width = portrait.paintRectPixels(device.logicalDpiX()).width();
    const TMetrics m = Measure(device);
    for (const TMetrics::TColumns& cols : m.Lists) {
        qreal total = 0;
        for (const qreal w : cols.Content) total += w;
        if (total > width) return QPageLayout::Landscape;
    }
    return QPageLayout::Portrait;
}

// Widens each list's columns towards their labels on one line as far as the
// page allows, smallest need first; a list still too wide shrinks to fit.
std::vector<TListsPrint::TFit> TListsPrint::Fit(const TMetrics& m, const QPaintDevice& device, qreal width) const {
    const QFontMetricsF header(m.Header, &device);
    std::vector<TFit> fits;
    for (std::size_t l = 0; l < Lists_.size(); ++l) {
        const TList& list = *Lists_[l];
        const TMetrics::TColumns& cols = m.Lists[l];
        TFit fit;
        fit.Widths = cols.Content;
        for (const qreal w : fit.Widths) fit.Total += w;
        std::vector<std::size_t> order(list.Cols);
        for (std::size_t c = 0; c < order.size(); ++c) order[c] = c;
        std::stable_sort(order.begin(), order.end(), [&cols](std::size_t a, std::size_t b) {
            return cols.Label[a] - cols.Content[a] < cols.Label[b] - cols.Content[b];
        });
        for (const std::size_t c : order) {
            const qreal need = cols.Label[c] - fit.Widths[c];
            if (need <= 0) continue;
            if (fit.Total + need > width) break;
            fit.Widths[c] += need;
            fit.Total += need;
        }
        if (fit.Total > width && width > 0) fit.Scale = width / fit.Total;
        qreal tallest = header.height();
        for (std::size_t c = 0; c < list.Cols; ++c) {
            const QRectF room(0, 0, std::max<qreal>(fit.Widths[c] - 2 * m.PadH, 1), 1e9);
            tallest = std::max(tallest,
                               header.boundingRect(room, Qt::TextWordWrap | Qt::AlignHCenter, list.At(0, c)).height());
        }
        fit.HeaderH = tallest + 2 * m.PadV;
        fits.push_back(std::move(fit));
    }
    return fits;
}

// Fills the pages from the top: a list starts where the previous one ends
// when its caption, header row and first row fit there, and goes on over as
// many pages as it needs, whole rows on each.
std::vector<std::vector<TListsPrint::TBlock>> TListsPrint::Paginate(const TMetrics& m, const std::vector<TFit>& fits,
                                                                    qreal height) const {
    std::vector<std::vector<TBlock>> pages(1);
    const qreal bottom = height - m.FootH;
    qreal y = m.FirstHeadH;
    for (std::size_t l = 0; l < Lists_.size(); ++l) {
        const TList& list = *Lists_[l];
        const TFit& fit = fits[l];
        const qreal rowH = m.RowH * fit.Scale;
        const qreal top = m.CaptionH + fit.HeaderH * fit.Scale;
        std::size_t row = 1;
        bool continued = false;
        do {
            if (!pages.back().empty() && y + top + rowH > bottom) {
                pages.emplace_back();
                y = m.HeadH;
            }
            TBlock block;
            block.List = l;
            block.First = row;
            block.Continued = continued;
            block.Y = y;
            // At least one row, however small the page.
            const auto room = static_cast<std::size_t>(std::max<qreal>(std::floor((bottom - y - top) / rowH), 1));
            block.Count = std::min(room, list.Rows - row);
            row += block.Count;
            y += top + static_cast<qreal>(block.Count) * rowH + kListGap * m.Pt;
            pages.back().push_back(block);
            if (row < list.Rows) {
                pages.emplace_back();
                y = m.HeadH;
                continued = true;
            }
        } while (row < list.Rows);
    }
    return pages;
}

void TListsPrint::PaintPage(QPainter& p, const TMetrics& m, const std::vector<TFit>& fits,
                            const std::vector<TBlock>& blocks, int page, int pages, qreal width, qreal height) const {
    const QColor ink(Qt::black);
    const QColor rule(150, 150, 150);
    const QColor headerFill(225, 225, 225);
    p.setPen(ink);

    // The heading: in full on the first page, in a line on the others.
    if (page == 1) {
        p.setFont(m.Title);
        const QFontMetricsF title(m.Title, p.device());
        p.drawText(QPointF(0, title.ascent()), Heading_.Competition);
        p.setFont(m.Element);
        const QFontMetricsF element(m.Element, p.device());
        const qreal base = title.height() + element.ascent();
        p.drawText(QPointF(0, base), Heading_.Element);
        p.setFont(m.Small);
        const QFontMetricsF small(m.Small, p.device());
        p.drawText(QPointF(width - small.horizontalAdvance(Heading_.Printed), base), Heading_.Printed);
    } else {
        p.setFont(m.Small);
        const QFontMetricsF small(m.Small, p.device());
        QString line = Heading_.Competition;
        if (!Heading_.Element.isEmpty()) line += Q(msg::print::ElementSeparator) + Heading_.Element;
        const qreal dateWidth = small.horizontalAdvance(Heading_.Printed);
        line = small.elidedText(line, Qt::ElideRight, std::max<qreal>(width - dateWidth - 4 * m.PadH, 0));
        p.drawText(QPointF(0, small.ascent()), line);
        p.drawText(QPointF(width - dateWidth, small.ascent()), Heading_.Printed);
        p.setPen(QPen(rule, kLine * m.Pt));
        p.drawLine(QPointF(0, small.height() * 1.15), QPointF(width, small.height() * 1.15));
        p.setPen(ink);
    }

    for (const TBlock& block : blocks) {
        const TList& list = *Lists_[block.List];
        const TFit& fit = fits[block.List];
        p.setFont(m.Caption);
        const QFontMetricsF caption(m.Caption, p.device());
        p.drawText(QPointF(0, block.Y + caption.ascent()),
                   block.Continued ? list.Caption + Q(msg::print::Continued) : list.Caption);

        p.save();
        p.translate(0, block.Y + m.CaptionH);
        p.scale(fit.Scale, fit.Scale);
        const qreal bodyH = static_cast<qreal>(block.Count) * m.RowH;
        p.fillRect(QRectF(0, 0, fit.Total, fit.HeaderH), headerFill);
        p.setFont(m.Header);
        qreal x = 0;
        for (std::size_t c = 0; c < list.Cols; ++c) {
            const QRectF cell(x + m.PadH, m.PadV, fit.Widths[c] - 2 * m.PadH, fit.HeaderH - 2 * m.PadV);
            p.drawText(cell, Qt::TextWordWrap | Qt::AlignCenter, list.At(0, c));
            x += fit.Widths[c];
        }
        p.setFont(m.Body);
        const QFontMetricsF body(m.Body, p.device());
        TWidths widths(body);
        for (std::size_t i = 0; i < block.Count; ++i) {
            const std::size_t r = block.First + i;
            const qreal base = fit.HeaderH + static_cast<qreal>(i) * m.RowH + m.PadV + m.Ascent;
            x = 0;
            for (std::size_t c = 0; c < list.Cols; ++c) {
                const QString& text = list.At(r, c);
                if (!text.isEmpty()) {
                    qreal at = x + m.PadH;
                    const TAlign align = list.Aligns[r * list.Cols + c];
                    if (align != TAlign::Left) {
                        const qreal free = fit.Widths[c] - 2 * m.PadH - widths.Of(text);
                        at += align == TAlign::Right ? free : free / 2;
                    }
                    p.drawText(QPointF(at, base), text);
                }
                x += fit.Widths[c];
            }
        }
        // The grid: a rule under each row, the columns' borders.
        p.setPen(QPen(rule, kLine * m.Pt));
        const qreal bottom = fit.HeaderH + bodyH;
        for (std::size_t i = 0; i <= block.Count; ++i) {
            const qreal y = fit.HeaderH + static_cast<qreal>(i) * m.RowH;
            p.drawLine(QPointF(0, y), QPointF(fit.Total, y));
        }
        p.drawLine(QPointF(0, 0), QPointF(fit.Total, 0));
        x = 0;
        for (std::size_t c = 0; c <= list.Cols; ++c) {
            p.drawLine(QPointF(x, 0), QPointF(x, bottom));
            if (c < list.Cols) x += fit.Widths[c];
        }
        p.restore();
    }

    p.setFont(m.Small);
    const QFontMetricsF small(m.Small, p.device());
    const QString number = Q(msg::print::PageOf(page, pages));
    p.drawText(QPointF((width - small.horizontalAdvance(number)) / 2, height - small.descent()), number);
}

qreal TListsPrint::LaidOutWidth(std::size_t list, QPagedPaintDevice& device) const {
    const TMetrics m = Measure(device);
    const std::vector<TFit> fits = Fit(m, device, static_cast<qreal>(device.width()));
    const TFit& fit = fits.at(list);
    return fit.Total * fit.Scale;
}

qreal TListsPrint::CellPadding() {
    return kPadH;
}

int TListsPrint::Paint(QPagedPaintDevice& device, const TProgress& progress) const {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const TMetrics m = Measure(device);
    const auto width = static_cast<qreal>(device.width());
    const auto height = static_cast<qreal>(device.height());
    const std::vector<TFit> fits = Fit(m, device, width);
    const std::vector<std::vector<TBlock>> pages = Paginate(m, fits, height);
    const int count = static_cast<int>(pages.size());
    for (int page = 0; page < count; ++page) {
        if (progress && !progress(page + 1, count)) {
            painter.end();
            return -1;
        }
        if (page > 0) device.newPage();
        PaintPage(painter, m, fits, pages[static_cast<std::size_t>(page)], page + 1, count, width, height);
    }
    painter.end();
    return count;
}

// ---- the PDF file

void SetUpPage(QPagedPaintDevice& device, const TListsPrint& print) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    device.setPageOrientation(print.BestOrientation(device));
}

bool WriteListsPdf(const TListsPrint& print, const std::string& path, const TListsPrint::TProgress& progress) {
    const QString file = Q(path);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) throw Error(msg::workbook::CannotWriteFile(path));
    int pages = 0;
    {
        QPdfWriter writer(&out);
        writer.setCreator(Q(msg::print::Creator));
        writer.setTitle(file.section(u'/', -1));
        SetUpPage(writer, print);
        pages = print.Paint(writer, progress);
    }
    if (pages < 0) {
        out.cancelWriting();  // stopped: an older file stays as it was
        return false;
    }
    if (pages == 0 || !out.commit()) throw Error(msg::workbook::CannotWriteFile(path));
    return true;
}

}  // namespace tavlor::ui
