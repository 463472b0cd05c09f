#pragma once

#include "model/Table.h"

#include <QAbstractListModel>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlor::ui {

// The rows of a core table as a list for a choice box: the text of one field
// is shown, the integer of another is the value chosen. Rows are read through
// a cursor of the model's own, so painting never moves the table's cursors.
// Refresh() follows the table's rows and order as they are now.
class TTableListModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int ValueRole = Qt::UserRole + 1;

    TTableListModel(const TTable& table, std::string textField, std::string valueField, QObject* parent = nullptr);

    void Refresh();
    void Clear();
    // The row whose value field holds value, or -1.
    int RowOf(std::int32_t value) const;
    std::optional<std::int32_t> ValueAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::unique_ptr<TTable> Cursor_;
    std::string TextField_, ValueField_;
    std::vector<TBookmark> Rows_;
};

}  // namespace tavlor::ui
