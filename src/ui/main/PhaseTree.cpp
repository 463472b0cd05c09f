#include "ui/main/PhaseTree.h"

#include "ui/models/PhaseTreeModel.h"
#include "ui/models/TableModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tavlor::ui {

// The name editor's delegate: Delete as the first key of an editor that a
// click opened deletes the element instead of erasing its name.
class TNameDelegate : public QStyledItemDelegate {
public:
    explicit TNameDelegate(TPhaseTree& tree) : QStyledItemDelegate(&tree), Tree_(tree) {}

protected:
    bool eventFilter(QObject* editor, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && Tree_.OpenedByClick_) {
            Tree_.OpenedByClick_ = false;
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
                emit closeEditor(qobject_cast<QWidget*>(editor), QAbstractItemDelegate::RevertModelCache);
                QPointer<TPhaseTree> tree(&Tree_);
                QMetaObject::invokeMethod(
                    &Tree_,
                    [tree] {
                        if (tree && tree->OnDeleteKey) tree->OnDeleteKey();
                    },
                    Qt::QueuedConnection);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    TPhaseTree& Tree_;
};

TPhaseTree::TPhaseTree(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("TreePhases"));
    header()->hide();
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setItemsExpandable(true);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    // A drop is on the node under the mouse, never between two nodes.
    setDragDropOverwriteMode(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setAllColumnsShowFocus(true);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setItemDelegate(new TNameDelegate(*this));
    // A drag held over a collapsed phase opens it.
    setAutoExpandDelay(600);
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, &TPhaseTree::PopupAtFocusedNode);
}

bool TPhaseTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A second click asks for the editor now and opens it a moment later,
    // unless the program shows a box meanwhile.
    const bool fromClick = trigger == SelectedClicked || (trigger == AllEditTriggers && PendingClickEdit_);
    PendingClickEdit_ = false;
    if (fromClick && QApplication::activeModalWidget() != nullptr) return false;
    const bool editing = QTreeView::edit(index, trigger, event);
    if (editing && trigger == SelectedClicked) {
        PendingClickEdit_ = true;
    } else if (editing) {
        OpenedByClick_ = fromClick && state() == EditingState;
    }
    return editing;
}

void TPhaseTree::PopupAtFocusedNode() {
    if (!OnPopup) return;
    const QRect r = visualRect(currentIndex());
    OnPopup(viewport()->mapToGlobal(r.isValid() ? r.center() : QPoint(0, 0)));
}

void TPhaseTree::SetTreeModel(TPhaseTreeModel* model) {
    Model_ = model;
    setModel(model);
    setTreePosition(TPhaseTreeModel::ColName);
    QHeaderView* h = header();
    h->setStretchLastSection(false);
    h->setSectionResizeMode(QHeaderView::Fixed);
    h->setMinimumSectionSize(4);
    // Shown from left to right: focus marker, name, formula, players, matches.
    const int shown[] = {TPhaseTreeModel::ColFocus, TPhaseTreeModel::ColName, TPhaseTreeModel::ColFormula,
                         TPhaseTreeModel::ColPlayers, TPhaseTreeModel::ColMatches};
    for (int visual = 0; visual < 5; ++visual) h->moveSection(h->visualIndex(shown[visual]), visual);
    setColumnWidth(TPhaseTreeModel::ColFocus, 16);
    setColumnWidth(TPhaseTreeModel::ColName, NameWidth);
    setColumnWidth(TPhaseTreeModel::ColFormula, 20);
    setColumnWidth(TPhaseTreeModel::ColPlayers, CountsWidth());
    setColumnWidth(TPhaseTreeModel::ColMatches, CountsWidth());
    // The names take the room the pane has beyond the other columns.
    h->setSectionResizeMode(TPhaseTreeModel::ColName, QHeaderView::Stretch);
}

int TPhaseTree::CountsWidth() const {
    // Counts of a large competition (five digits and an image) stay readable
    // whatever the font.
    return std::max(50, fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16 + 20);
}

int TPhaseTree::PreferredWidth() const {
    // Every column at its width, the frame and a vertical scroll bar beside them.
    return 16 + NameWidth + 20 + 2 * CountsWidth() + 2 * frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
}

TNodeHandle TPhaseTree::FocusedNode() const {
    return Model_ != nullptr ? Model_->NodeOf(currentIndex()) : 0;
}

void TPhaseTree::FocusNode(TNodeHandle node) {
    if (Model_ == nullptr) return;
    const QModelIndex i = Model_->IndexOf(node);
    if (!i.isValid()) return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
}

void TPhaseTree::EditFocusedName() {
    const QModelIndex i = currentIndex();
    if (i.isValid()) edit(i.siblingAtColumn(TPhaseTreeModel::ColName));
}

void TPhaseTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (Model_ == nullptr) return;
    const TNodeHandle now = Model_->NodeOf(current);
    const TNodeHandle before = Model_->NodeOf(previous);
    if (now != 0 && now != before && OnFocusChanging) OnFocusChanging(now);
    if (now != before) {
        Model_->SetFocusedNode(now);
        if (OnFocusChanged) OnFocusChanged(now);
    }
}

void TPhaseTree::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    if (OnEnter) OnEnter();
}

void TPhaseTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TPhaseTree::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (OnPopup) OnPopup(event->globalPosition().toPoint());
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void TPhaseTree::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse opens the menu on release; the keyboard's menu key here.
    if (event->reason() == QContextMenuEvent::Keyboard) PopupAtFocusedNode();
    event->accept();
}

// ---- ranking grid

TRankingGrid::TRankingGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("GridClasst"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the match list.
    setTabKeyNavigation(false);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
}

void TRankingGrid::SetGridModel(TTableModel* model) {
    Model_ = model;
    setModel(model);
    // The given widths, widened where the title or a figure would not fit in this font.
    for (std::size_t c = 0; c < model->Columns().size(); ++c) {
        const int title =
            horizontalHeader()->fontMetrics().horizontalAdvance(model->headerData(int(c), Qt::Horizontal).toString());
        const int figures = fontMetrics().horizontalAdvance(QStringLiteral("00,000")) + 8;
        setColumnWidth(static_cast<int>(c), std::max({model->Columns()[c].Width, title + 12, figures}));
    }
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { Model_->MakeCurrent(current.row()); });
    connect(model, &TTableModel::Reloaded, this, [this] {
        if (Model_->rowCount() > 0) {
            selectionModel()->setCurrentIndex(Model_->index(0, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    });
}

void TRankingGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit FocusEntered();
}

void TRankingGrid::startDrag(Qt::DropActions) {
    if (Model_ == nullptr || Model_->rowCount() == 0) return;
    TTable* row = Model_->ReaderAt(currentIndex().row());
    if (row == nullptr) return;
    TDragParamTable drag;
    drag.DragKind = DragGridRow;
    drag.DragId = row->AsInteger("LICENCE");
    auto* qdrag = new QDrag(this);
    qdrag->setMimeData(TPhaseTreeModel::PackDrag(drag));
    qdrag->exec(Qt::CopyAction, Qt::CopyAction);
}

}  // namespace tavlor::ui
