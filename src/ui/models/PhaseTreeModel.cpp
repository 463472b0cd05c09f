#include "ui/models/PhaseTreeModel.h"

#include "commands/Commands.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "ui/platform/Images.h"
#include "ui/platform/QtText.h"

#include <QBrush>
#include <QDataStream>
#include <QFont>
#include <QGuiApplication>
#include <QIODevice>
#include <QMimeData>
#include <QPalette>

namespace tavlor::ui {

namespace {}  // namespace

TPhaseTreeModel::TPhaseTreeModel(TdmLocal& dm, TViews& views, TCommands& commands, QObject* parent)
    : QAbstractItemModel(parent), Dm_(dm), Tree_(dm.Tree), Views_(views), Commands_(commands) {
    Tree_.AddListener(this);
}

TPhaseTreeModel::~TPhaseTreeModel() {
    Tree_.RemoveListener(this);
}

TNodeHandle TPhaseTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    return static_cast<TNodeHandle>(index.internalId());
}

QModelIndex TPhaseTreeModel::IndexOf(TNodeHandle node, int column) const {
    if (node == 0 || !Tree_.Exists(node)) return {};
    return createIndex(Tree_.IndexInParent(node), column, static_cast<quintptr>(node));
}

TElement TPhaseTreeModel::ElementOf(TNodeHandle node) const {
    return Commands_.ElementOf(node);
}

QModelIndex TPhaseTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= ColumnCount || (parent.isValid() && parent.column() != 0)) return {};
    const TNodeHandle child = Tree_.Child(NodeOf(parent), row);
    return child == 0 ? QModelIndex() : createIndex(row, column, static_cast<quintptr>(child));
}

QModelIndex TPhaseTreeModel::parent(const QModelIndex& child) const {
    const TNodeHandle node = NodeOf(child);
    if (node == 0 || !Tree_.Exists(node)) return {};
    return IndexOf(Tree_.Parent(node));
}

int TPhaseTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    const TNodeHandle node = NodeOf(parent);
    if (parent.isValid() && !Tree_.Exists(node)) return 0;
    return Tree_.ChildCount(node);
}

int TPhaseTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant TPhaseTreeModel::Decoration(TNodeHandle node, int column) const {
    const TNodeData& d = Tree_.Data(node);
    switch (column) {
        case ColName:
            switch (d.Kind) {
                case NodePhase:
                    return TreeImage(TTreeImage::Phase);
                case NodePool:
                    return TreeImage(TTreeImage::Pool);
                case NodeRegistrants:
                    return TreeImage(TTreeImage::Registrants);
                default:
                    return {};
            }
        case ColPlayers:
            return d.Kind == NodePhase ? TreeImage(TTreeImage::Players) : QVariant();
        case ColMatches:
            return d.Kind == NodePhase || d.Kind == NodeRegistrants ? TreeImage(TTreeImage::Matches) : QVariant();
        case ColFocus:
            return node == Focused_ ? TreeImage(TTreeImage::Focus) : QVariant();
        case ColFormula: {
            if (d.Kind != NodePool) return {};
            const TRowView pool = Dm_.Tables.Poules.Data().Lookup("IDPOULE", {d.Id});
            if (!pool) return {};
            switch (pool.AsInteger("FCLASST")) {
                case 0:
                    return TreeImage(TTreeImage::FormulaT);
                case 1:
                    return TreeImage(TTreeImage::Formula2K);
                case 2:
                    return TreeImage(TTreeImage::Formula3K);
                default:
                    return {};
            }
        }
        default:
            return {};
    }
}

QVariant TPhaseTreeModel::data(const QModelIndex& index, int role) const {
    const TNodeHandle node = NodeOf(index);
    if (node == 0 || !Tree_.Exists(node)) return {};
    const TNodeData& d = Tree_.Data(node);
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            switch (column) {
                case ColName:
                    return Q(Views_.GetNomElement(ElementOf(node)));
                case ColPlayers:
                    return Q(Views_.GetNbJoueurs(ElementOf(node)));
                case ColMatches:
                    return Q(Views_.GetNbMatchs(ElementOf(node)));
                default:
                    return {};
            }
        case Qt::ToolTipRole:
            // The whole name, however narrow its column.
            return column == ColName ? QVariant(Q(Views_.GetNomElement(ElementOf(node)))) : QVariant();
        case Qt::DecorationRole:
            return Decoration(node, column);
        case Qt::FontRole:
            if (column == ColName && d.Kind == NodePhase) {
                QFont bold = QGuiApplication::font();
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::BackgroundRole:
            if (column == ColPlayers) return QBrush(QColor(230, 249, 189));
            if (column == ColFocus) return QBrush(QGuiApplication::palette().color(QPalette::Midlight));
            return {};
        case Qt::TextAlignmentRole:
            if (column == ColPlayers || column == ColMatches) return int(Qt::AlignCenter);
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags TPhaseTreeModel::flags(const QModelIndex& index) const {
    const TNodeHandle node = NodeOf(index);
    if (node == 0 || !Tree_.Exists(node)) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (index.column() == ColName) f |= Qt::ItemIsEditable;
    if (Commands_.DragObjectOf(node).DragKind != DragNone) f |= Qt::ItemIsDragEnabled;
    return f;
}

bool TPhaseTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const TNodeHandle node = NodeOf(index);
    if (role != Qt::EditRole || index.column() != ColName || node == 0 || !Tree_.Exists(node)) return false;
    const std::string text = S(value.toString());
    // Leaving the editor without a change is no rename.
    if (value.toString() == data(index, Qt::DisplayRole).toString()) return false;
    return Rename(node, text);
}

bool TPhaseTreeModel::Rename(TNodeHandle node, const std::string& text) {
    const bool done = Commands_.Rename(node, text);
    // The name is read back from the tables: a refusal leaves the old one.
    if (Tree_.Exists(node)) {
        const QModelIndex i = IndexOf(node);
        emit dataChanged(i, i.siblingAtColumn(ColumnCount - 1));
    }
    emit TreeChanged();
    return done;
}

// ---- drag and drop

QMimeData* TPhaseTreeModel::PackDrag(const TDragParamTable& drag) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint8(drag.DragKind) << qint32(drag.DragId) << qint32(drag.DragIdParent) << qint32(drag.DragIdGrandParent);
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(DragMime), bytes);
    return mime;
}

std::optional<TDragParamTable> TPhaseTreeModel::UnpackDrag(const QMimeData* data) {
    if (data == nullptr || !data->hasFormat(QLatin1String(DragMime))) return std::nullopt;
    QDataStream in(data->data(QLatin1String(DragMime)));
    quint8 kind = 0;
    qint32 id = 0, parent = 0, grand = 0;
    in >> kind >> id >> parent >> grand;
    if (in.status() != QDataStream::Ok) return std::nullopt;
    return TDragParamTable{kind, id, parent, grand};
}

QStringList TPhaseTreeModel::mimeTypes() const {
    return {QLatin1String(DragMime)};
}

QMimeData* TPhaseTreeModel::mimeData(const QModelIndexList& indexes) const {
    // The drag carries the tree's focused node (the one the press made current).
    for (const QModelIndex& i : indexes) {
        const TDragParamTable drag = Commands_.DragObjectOf(NodeOf(i));
        if (drag.DragKind != DragNone) return PackDrag(drag);
    }
    return nullptr;
}

bool TPhaseTreeModel::Accepts(TNodeHandle target, TDragKind dragKind) const {
    return Commands_.DropAccepted(target, dragKind);
}

bool TPhaseTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                      const QModelIndex& parent) const {
    const auto drag = UnpackDrag(data);
    return Accepts(NodeOf(parent), drag ? static_cast<TDragKind>(drag->DragKind) : DragNone);
}

bool TPhaseTreeModel::Drop(TNodeHandle target, const TDragParamTable& drag) {
    const bool done = Commands_.Drop(target, drag);
    emit TreeChanged();
    return done;
}

bool TPhaseTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex& parent) {
    const auto drag = UnpackDrag(data);
    if (!drag) return false;
    Drop(NodeOf(parent), *drag);
    // Nothing is ever moved or copied by the views themselves.
    return false;
}

// ---- focus marker

void TPhaseTreeModel::SetFocusedNode(TNodeHandle node) {
    const TNodeHandle old = Focused_;
    Focused_ = node;
    for (TNodeHandle n : {old, node}) {
        if (n != 0 && Tree_.Exists(n)) {
            const QModelIndex i = IndexOf(n, ColFocus);
            emit dataChanged(i, i, {Qt::DecorationRole});
        }
    }
}

void TPhaseTreeModel::RepaintNode(TNodeHandle node) {
    if (node == 0 || !Tree_.Exists(node)) return;
    emit dataChanged(IndexOf(node, 0), IndexOf(node, ColumnCount - 1));
}

// ---- following the node tree

void TPhaseTreeModel::NodeAboutToBeAdded(TNodeHandle parent, int row) {
    beginInsertRows(IndexOf(parent), row, row);
}

void TPhaseTreeModel::NodeAdded(TNodeHandle) {
    endInsertRows();
    emit TreeChanged();
}

void TPhaseTreeModel::NodeAboutToBeRemoved(TNodeHandle node, TNodeHandle parent, int row) {
    beginRemoveRows(IndexOf(parent), row, row);
    // The focus marker goes with the node (or with its ancestor).
    for (TNodeHandle n = Focused_; n != 0 && Tree_.Exists(n); n = Tree_.Parent(n)) {
        if (n == node) {
            Focused_ = 0;
            break;
        }
    }
}

void TPhaseTreeModel::NodeRemoved(TNodeHandle, int) {
    endRemoveRows();
    emit TreeChanged();
}

void TPhaseTreeModel::NodeAboutToBeMoved(TNodeHandle, TNodeHandle fromParent, int fromRow, TNodeHandle toParent,
                                         int toRow) {
    beginMoveRows(IndexOf(fromParent), fromRow, fromRow, IndexOf(toParent), toRow);
}

void TPhaseTreeModel::NodeMoved(TNodeHandle) {
    endMoveRows();
    emit TreeChanged();
}

void TPhaseTreeModel::TreeAboutToBeReset() {
    beginResetModel();
    Focused_ = 0;
}

void TPhaseTreeModel::TreeReset() {
    endResetModel();
    emit TreeChanged();
}

void TPhaseTreeModel::TreeAboutToBeSorted() {
    emit layoutAboutToBeChanged();
    SortedHandles_.clear();
    for (const QModelIndex& i : persistentIndexList()) SortedHandles_ << NodeOf(i);
}

void TPhaseTreeModel::TreeSorted() {
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const TNodeHandle node = k < SortedHandles_.size() ? SortedHandles_[k] : 0;
        after << (node != 0 && Tree_.Exists(node) ? IndexOf(node, before[k].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    SortedHandles_.clear();
    emit layoutChanged();
}

void TPhaseTreeModel::NodeChanged(TNodeHandle node) {
    RepaintNode(node);
}

}  // namespace tavlor::ui
