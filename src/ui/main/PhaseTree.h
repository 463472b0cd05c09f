#pragma once

#include "model/NodeTree.h"

#include <QTableView>
#include <QTreeView>

#include <functional>

namespace tavlor::ui {

class TPhaseTreeModel;
class TTableModel;

// The phase tree's view. Columns are shown in the order 3, 0, 4, 1, 2 with
// the header hidden. The focused node is the current index; a change of it
// asks the window to compute the view first, then to enable the commands.
// Right-clicking never moves the focus: the pop-up menu is the focused node's.
class TPhaseTree : public QTreeView {
    Q_OBJECT
public:
    explicit TPhaseTree(QWidget* parent = nullptr);
    using QTreeView::edit;
    void SetTreeModel(TPhaseTreeModel* model);
    TPhaseTreeModel* TreeModel() const { return Model_; }

    // The width the pane needs to show every column at its width.
    int PreferredWidth() const;
    TNodeHandle FocusedNode() const;
    // Makes the node the focused and selected one (0: none).
    void FocusNode(TNodeHandle node);
    void EditFocusedName();

    // Before the focus moves to a new node (not called for the same node).
    std::function<void(TNodeHandle node)> OnFocusChanging;
    // After it moved (node 0: no node has the focus).
    std::function<void(TNodeHandle node)> OnFocusChanged;
    // The tree received the keyboard focus.
    std::function<void()> OnEnter;
    // A right-button release over the tree, or Shift+F10 or the menu key,
    // at this global position.
    std::function<void(const QPoint& globalPos)> OnPopup;
    // Delete pressed as the first key in a name editor that a second click
    // opened: the element is to be deleted, not its name.
    std::function<void()> OnDeleteKey;

    // The pop-up menu of the focused node, at the node.
    void PopupAtFocusedNode();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class TNameDelegate;
    static constexpr int NameWidth = 149;
    int CountsWidth() const;
    TPhaseTreeModel* Model_ = nullptr;
    bool PendingClickEdit_ = false;  // a second click asked for the editor, which opens after a moment
    bool OpenedByClick_ = false;     // the open name editor came from a second click, no key typed yet
};

// The ranking grid: read-only, whole rows; a row dragged onto a pool of the
// tree registers that player in the pool.
class TRankingGrid : public QTableView {
    Q_OBJECT
public:
    explicit TRankingGrid(QWidget* parent = nullptr);
    void SetGridModel(TTableModel* model);
    TTableModel* GridModel() const { return Model_; }

signals:
    void FocusEntered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    TTableModel* Model_ = nullptr;
};

}  // namespace tavlor::ui
