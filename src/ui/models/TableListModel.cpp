#include "ui/models/TableListModel.h"

#include "ui/platform/QtText.h"

namespace tavlor::ui {

TTableListModel::TTableListModel(const TTable& table, std::string textField, std::string valueField, QObject* parent)
    : QAbstractListModel(parent),
      Cursor_(table.Clone()),
      TextField_(std::move(textField)),
      ValueField_(std::move(valueField)) {
    // The clone keeps the order the table had when it was made; follow the table's named order.
    if (!table.IndexName().empty()) {
        Cursor_->SetIndexName(table.IndexName());
    } else if (!table.IndexFieldNames().empty()) {
        Cursor_->SetIndexFieldNames(table.IndexFieldNames());
    }
}

void TTableListModel::Refresh() {
    beginResetModel();
    Rows_ = Cursor_->VisibleRows();
    endResetModel();
}

void TTableListModel::Clear() {
    beginResetModel();
    Rows_.clear();
    endResetModel();
}

int TTableListModel::RowOf(std::int32_t value) const {
    for (std::size_t i = 0; i < Rows_.size(); ++i) {
        if (Cursor_->GotoBookmark(Rows_[i]) && !Cursor_->IsNull(ValueField_) &&
            Cursor_->AsInteger(ValueField_) == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<std::int32_t> TTableListModel::ValueAt(int row) const {
    if (row < 0 || row >= static_cast<int>(Rows_.size()) || !Cursor_->GotoBookmark(Rows_[row]) ||
        Cursor_->IsNull(ValueField_)) {
        return std::nullopt;
    }
    return Cursor_->AsInteger(ValueField_);
}

int TTableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

QVariant TTableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(Rows_.size())) {
        return {};
    }
    if (!Cursor_->GotoBookmark(Rows_[index.row()])) {
        return {};  // the row went since the last refresh
    }
    if (role == Qt::DisplayRole) {
        return Q(Cursor_->AsString(TextField_));
    }
    if (role == ValueRole) {
        return Cursor_->AsInteger(ValueField_);
    }
    return {};
}

}  // namespace tavlor::ui
