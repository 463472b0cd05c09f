#pragma once

#include "model/Communs.h"
#include "model/NodeTree.h"

#include <QAbstractItemModel>

#include <functional>
#include <optional>

namespace tavlor {
class TCommands;
class TdmLocal;
class TViews;
}  // namespace tavlor

namespace tavlor::ui {

// The phase tree as an item model that follows the data module's node tree:
// no copy, every text and image is read from the tables when asked for. Five
// columns: 0 name, 1 player count, 2 match count, 3 focus marker, 4 pool
// formula (the view shows them in the order 3, 0, 4, 1, 2).
//
// Renaming and drops go to the commands, which go through the controller;
// the model itself never adds, moves or deletes a node.
class TPhaseTreeModel : public QAbstractItemModel, private ITreeListener {
    Q_OBJECT
public:
    enum TColumn { ColName = 0, ColPlayers = 1, ColMatches = 2, ColFocus = 3, ColFormula = 4, ColumnCount = 5 };
    static constexpr const char* DragMime = "application/x-tavlor-drag";

    TPhaseTreeModel(TdmLocal& dm, TViews& views, TCommands& commands, QObject* parent = nullptr);
    ~TPhaseTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    // The target is parent (the node under the mouse); row and column are ignored.
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    TNodeHandle NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(TNodeHandle node, int column = ColName) const;
    // The element of a node: kind, number, parent's number (-1 at the top level).
    TElement ElementOf(TNodeHandle node) const;

    // The node that shows the focus marker.
    void SetFocusedNode(TNodeHandle node);
    TNodeHandle FocusedNode() const { return Focused_; }
    void RepaintNode(TNodeHandle node);

    static QMimeData* PackDrag(const TDragParamTable& drag);
    static std::optional<TDragParamTable> UnpackDrag(const QMimeData* data);
    // Whether a drag of that kind may be dropped on the node.
    bool Accepts(TNodeHandle target, TDragKind dragKind) const;
    // Runs the drop's command; false when nothing was done or it was refused.
    bool Drop(TNodeHandle target, const TDragParamTable& drag);

signals:
    // The tree's content changed in a way that may change other nodes' counts.
    void TreeChanged();

private:
    // ITreeListener
    void NodeAboutToBeAdded(TNodeHandle parent, int row) override;
    void NodeAdded(TNodeHandle node) override;
    void NodeAboutToBeRemoved(TNodeHandle node, TNodeHandle parent, int row) override;
    void NodeRemoved(TNodeHandle parent, int row) override;
    void NodeAboutToBeMoved(TNodeHandle node, TNodeHandle fromParent, int fromRow, TNodeHandle toParent,
                            int toRow) override;
    void NodeMoved(TNodeHandle node) override;
    void TreeAboutToBeReset() override;
    void TreeReset() override;
    void TreeAboutToBeSorted() override;
    void TreeSorted() override;
    void NodeChanged(TNodeHandle node) override;

    QVariant Decoration(TNodeHandle node, int column) const;
    bool Rename(TNodeHandle node, const std::string& text);

    TdmLocal& Dm_;
    TNodeTree& Tree_;
    TViews& Views_;
    TCommands& Commands_;
    TNodeHandle Focused_ = 0;
    QList<TNodeHandle> SortedHandles_;
};

}  // namespace tavlor::ui
