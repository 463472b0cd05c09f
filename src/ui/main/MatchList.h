#pragma once

#include "model/Table.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace tavlor::ui {

class TTableModel;

// The matches laid out as panels, row after row, one or two panels a row:
// panel i is cell (i / columns, i % columns).
class TPanelGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TPanelGridModel(TTableModel& matches, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetColumns(int columns);
    int Columns() const { return Columns_; }
    int PanelCount() const;
    // The match row of a cell, -1 for the empty cell after an odd last panel.
    int MatchRowOf(const QModelIndex& index) const;
    QModelIndex IndexOfMatch(int matchRow) const;
    TTableModel& Matches() { return Matches_; }

private:
    TTableModel& Matches_;
    int Columns_ = 1;
};

// Paints one match panel: date, billiard and pool on the first line, then a
// line per player with a circle coloured by the match points.
class TMatchPanelDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TMatchPanelDelegate(TPanelGridModel& grid, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The circle colours of players 1 and 2 for these match points.
    static std::pair<QColor, QColor> CircleColours(std::int32_t pm1, std::int32_t pm2);
    // A selected panel's background and text, from the palette (readable in a
    // dark theme too): the active highlight while the list has the keyboard
    // focus, the inactive one when it has not.
    static QColor SelectedBack(const QPalette& palette, bool focused);
    static QColor SelectedText(const QPalette& palette, bool focused);

private:
    TPanelGridModel& Grid_;
};

// The match list: a virtual grid of panels over the computed match table.
// Panels are 54 pixels high nominally; the list shows height / 52 rows of
// them (at least one) and two columns when it is wider than 740 pixels.
class TMatchList : public QTableView {
    Q_OBJECT
public:
    explicit TMatchList(TTable& matches, QWidget* parent = nullptr);
    ~TMatchList() override;

    TTableModel& Matches() { return *Matches_; }
    TPanelGridModel& Grid() { return *Grid_; }
    int PanelColumns() const { return Grid_->Columns(); }
    int VisiblePanelRows() const { return VisibleRows_; }
    // The match row of the current panel, -1 when none.
    int CurrentMatchRow() const;
    // The number of the current panel's match, -1 when none.
    std::int32_t CurrentIdMatch() const;
    void SetCurrentMatchRow(int row);

signals:
    void FocusEntered();
    // A double click on a panel, or Enter: the current match is to be corrected.
    void EditRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Relayout();
    void Reloaded();

    std::unique_ptr<TTableModel> Matches_;
    std::unique_ptr<TPanelGridModel> Grid_;
    std::unique_ptr<TMatchPanelDelegate> Delegate_;
    int VisibleRows_ = 1;
};

}  // namespace tavlor::ui
