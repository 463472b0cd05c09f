#pragma once

#include "model/TextGrid.h"

#include <QAbstractTableModel>
#include <QTableView>

class QTableView;
class QWidget;

namespace tavlor::ui {

// A text grid of the core as a table model. With a title row, grid row 0 gives
// the column headings and the model's row i is grid row i + 1. The grid is
// changed by the core: wrap each change in a TGridChange so the views follow.
class TTextGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TTextGridModel(const TTextGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), Grid_(grid) {}

    bool TitleRow() const { return TitleRow_; }
    void SetTitleRow(bool on);
    // The grid row shown at a model row, and back.
    int GridRow(int modelRow) const { return modelRow + (TitleRow_ ? 1 : 0); }
    int ModelRow(int gridRow) const { return gridRow - (TitleRow_ ? 1 : 0); }

    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TTextGrid& Grid_;
    bool TitleRow_ = false;
};

// Brackets a change of the grid, also when the change throws.
class TGridChange {
public:
    explicit TGridChange(TTextGridModel& model) : Model_(model) { Model_.BeginChange(); }
    ~TGridChange() { Model_.EndChange(); }
    TGridChange(const TGridChange&) = delete;
    TGridChange& operator=(const TGridChange&) = delete;

private:
    TTextGridModel& Model_;
};

// The read-only list view the dialogs show a text grid in: whole rows, one
// at a time, resizable columns, texts clipped rather than elided. Tab leaves
// it; a double click, Enter or Space on a row activates it.
class TTextGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void RowActivated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

TTextGridView* MakeTextGridView(TTextGridModel* model, const QString& name, QWidget* parent);

}  // namespace tavlor::ui
