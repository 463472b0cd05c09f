#include "ui/models/TableModel.h"

#include "ui/platform/QtText.h"

namespace tavlor::ui {

TTableModel::TTableModel(TTable& table, std::vector<TColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), Table_(table), Columns_(std::move(columns)), Reader_(table.Clone()) {
    Reader_->SetIndexName("");
    for (const TColumn& c : Columns_) FieldIndexes_.push_back(Table_.RequireField(c.Field));
    Table_.Data().AddListener(this);
    Rows_ = Table_.VisibleRows();
}

TTableModel::~TTableModel() {
    Table_.Data().RemoveListener(this);
}

int TTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int TTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Columns_.size());
}

TBookmark TTableModel::BookmarkAt(int row) const {
    return row >= 0 && row < static_cast<int>(Rows_.size()) ? Rows_[static_cast<std::size_t>(row)] : 0;
}

TTable* TTableModel::ReaderAt(int row) const {
    const TBookmark b = BookmarkAt(row);
    if (b == 0 || !Reader_->GotoBookmark(b)) return nullptr;
    return Reader_.get();
}

int TTableModel::ColumnOf(const std::string& field) const {
    for (std::size_t i = 0; i < Columns_.size(); ++i) {
        if (Columns_[i].Field == field) return static_cast<int>(i);
    }
    return -1;
}

QVariant TTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= static_cast<int>(Columns_.size())) return {};
    const auto col = static_cast<std::size_t>(index.column());
    if (role == Qt::TextAlignmentRole) return int(Columns_[col].Align);
    if (role != Qt::DisplayRole) return {};
    TTable* reader = ReaderAt(index.row());
    if (reader == nullptr) return {};
    return Q(reader->DisplayText(FieldIndexes_[col]));
}

Qt::ItemFlags TTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (Draggable_ && index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(Columns_.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const TColumn& c = Columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return c.Title.isEmpty() ? Q(Table_.Fields()[FieldIndexes_[section]].Label()) : c.Title;
    }
    if (role == Qt::TextAlignmentRole) return int(c.Align);
    return {};
}

void TTableModel::MakeCurrent(int row) {
    const TBookmark b = BookmarkAt(row);
    if (b != 0) Table_.GotoBookmark(b);
}

void TTableModel::Reload() {
    beginResetModel();
    Rows_ = Table_.VisibleRows();
    endResetModel();
    emit Reloaded();
}

void TTableModel::TableChanged(const TTableData&) {
    Reload();
}

void TTableModel::FieldsChanged(const TTableData&) {
    // Labels or visibility: the header follows; the view decides what it hides.
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

}  // namespace tavlor::ui
