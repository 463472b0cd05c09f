#pragma once

#include "model/Table.h"

#include <QAbstractTableModel>

#include <memory>
#include <string>
#include <vector>

namespace tavlor::ui {

// A read-only grid over a table's main cursor: its rows in the cursor's order
// and filter, the listed fields as columns. Nothing is copied: the model keeps
// the rows' bookmarks and reads each cell through a private cursor when it is
// painted. The table's views tell it when rows change (once per suspended
// batch), and the model is then reset.
class TTableModel : public QAbstractTableModel, private ITableListener {
    Q_OBJECT
public:
    struct TColumn {
        std::string Field;
        QString Title;  // empty: the field's label
        int Width = 64;
        Qt::Alignment Align = Qt::AlignLeft | Qt::AlignVCenter;
    };

    TTableModel(TTable& table, std::vector<TColumn> columns, QObject* parent = nullptr);
    ~TTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Rows that can be dragged (the ranking grid's players onto a pool).
    void SetDraggable(bool on) { Draggable_ = on; }

    TTable& Table() { return Table_; }
    const std::vector<TColumn>& Columns() const { return Columns_; }
    int ColumnOf(const std::string& field) const;
    // The bookmark of a row; 0 outside the rows.
    TBookmark BookmarkAt(int row) const;
    // A private cursor on the row, for reading any of its fields; nullptr outside the rows.
    TTable* ReaderAt(int row) const;
    // Makes the row the main cursor's current row.
    void MakeCurrent(int row);
    // Rereads the rows from the cursor.
    void Reload();

signals:
    void Reloaded();

private:
    void TableChanged(const TTableData& table) override;
    void FieldsChanged(const TTableData& table) override;

    TTable& Table_;
    bool Draggable_ = false;
    std::vector<TColumn> Columns_;
    std::vector<int> FieldIndexes_;
    std::vector<TBookmark> Rows_;
    std::unique_ptr<TTable> Reader_;
};

}  // namespace tavlor::ui
