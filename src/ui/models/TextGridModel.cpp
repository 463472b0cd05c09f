#include "ui/models/TextGridModel.h"

#include "ui/platform/QtText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>

namespace tavlor::ui {

void TTextGridModel::SetTitleRow(bool on) {
    if (on == TitleRow_) {
        return;
    }
    beginResetModel();
    TitleRow_ = on;
    endResetModel();
}

int TTextGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return std::max(0, Grid_.RowCount() - (TitleRow_ ? 1 : 0));
}

int TTextGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Grid_.ColCount();
}

QVariant TTextGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    return Q(Grid_.Cell(index.column(), GridRow(index.row())));
}

QVariant TTextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return TitleRow_ ? Q(Grid_.Cell(section, 0)) : QString();
    }
    return {};
}

void TTextGridView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (currentIndex().isValid()) {
                event->accept();
                emit RowActivated();
                return;
            }
            break;
        default:
            break;
    }
    QTableView::keyPressEvent(event);
}

void TTextGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit RowActivated();
}

TTextGridView* MakeTextGridView(TTextGridModel* model, const QString& name, QWidget* parent) {
    auto* view = new TTextGridView(parent);
    view->setTabKeyNavigation(false);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTextElideMode(Qt::ElideNone);  // narrow columns clip their texts, as a grid does
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return view;
}

}  // namespace tavlor::ui
