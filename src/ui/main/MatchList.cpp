#include "ui/main/MatchList.h"

#include "ui/platform/QtText.h"

#include "text/DateTime.h"
#include "ui/models/TableModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace tavlor::ui {

namespace {

constexpr int PanelHeight = 54;
constexpr int RowUnit = 52;
constexpr int TwoColumnsAbove = 740;

// What a panel reads of a match row.
const char* const PanelFields[] = {"DATEMATCH", "NOMBD", "NOMPOULE", "NOM1", "PTS1", "REP1", "SER1", "MOY1",
                                   "PM1",       "NOM2",  "PTS2",     "REP2", "SER2", "MOY2", "PM2",  "IDMATCH"};

}  // namespace

// ---- panel grid

TPanelGridModel::TPanelGridModel(TTableModel& matches, QObject* parent)
    : QAbstractTableModel(parent), Matches_(matches) {
    connect(&Matches_, &QAbstractItemModel::modelAboutToBeReset, this, &TPanelGridModel::beginResetModel);
    connect(&Matches_, &QAbstractItemModel::modelReset, this, &TPanelGridModel::endResetModel);
}

int TPanelGridModel::PanelCount() const {
    return Matches_.rowCount();
}

int TPanelGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (PanelCount() + Columns_ - 1) / Columns_;
}

int TPanelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns_;
}

int TPanelGridModel::MatchRowOf(const QModelIndex& index) const {
    if (!index.isValid()) return -1;
    const int row = index.row() * Columns_ + index.column();
    return row < PanelCount() ? row : -1;
}

QModelIndex TPanelGridModel::IndexOfMatch(int matchRow) const {
    if (matchRow < 0 || matchRow >= PanelCount()) return {};
    return index(matchRow / Columns_, matchRow % Columns_);
}

QVariant TPanelGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::UserRole) return MatchRowOf(index);
    return {};
}

Qt::ItemFlags TPanelGridModel::flags(const QModelIndex& index) const {
    return MatchRowOf(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TPanelGridModel::SetColumns(int columns) {
    if (columns == Columns_) return;
    beginResetModel();
    Columns_ = columns;
    endResetModel();
}

// ---- panels

TMatchPanelDelegate::TMatchPanelDelegate(TPanelGridModel& grid, QObject* parent)
    : QStyledItemDelegate(parent), Grid_(grid) {}

std::pair<QColor, QColor> TMatchPanelDelegate::CircleColours(std::int32_t pm1, std::int32_t pm2) {
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
    if (pm1 > pm2) return {red, blue};
    if (pm1 < pm2) return {blue, red};
    return {green, green};
}

QColor TMatchPanelDelegate::SelectedBack(const QPalette& palette, bool focused) {
    return palette.color(focused ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
}
QColor TMatchPanelDelegate::SelectedText(const QPalette& palette, bool focused) {
    return palette.color(focused ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);
}

QSize TMatchPanelDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {386, PanelHeight};
}

void TMatchPanelDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = Grid_.MatchRowOf(index);
    if (row < 0) return;
    TTable* m = Grid_.Matches().ReaderAt(row);
    if (m == nullptr) return;
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = view != nullptr && view->hasFocus();

    p->save();
    const QRect r = option.rect.adjusted(1, 1, -1, -1);
    QColor back = option.palette.color(QPalette::Base);
    if (selected) back = SelectedBack(option.palette, focused);
    p->fillRect(r, back);
    p->setPen(option.palette.color(QPalette::Mid));
    p->drawRect(r.adjusted(0, 0, -1, -1));
    const QColor ink = selected ? SelectedText(option.palette, focused) : option.palette.color(QPalette::Text);
    p->setPen(ink);

    const auto text = [&](const char* field) { return Q(m->DisplayText(field)); };
    const int x = r.left() + 4, w = r.width() - 8;
    const int lineH = (r.height() - 2) / 3;
    const QRect line1(x, r.top() + 1, w, lineH);
    QFont bold = option.font;
    bold.setBold(true);
    p->setFont(bold);
    const QString date = Q(text::FormatDateDMY(m->AsDateTime("DATEMATCH")));
    const int dateW = p->fontMetrics().horizontalAdvance(date) + 10;
    p->drawText(QRect(x, line1.top(), dateW, lineH), Qt::AlignLeft | Qt::AlignVCenter, date);
    p->setFont(option.font);
    const QString billiard = text("NOMBD");
    const int billiardW = p->fontMetrics().horizontalAdvance(billiard) + 10;
    p->drawText(QRect(x + dateW, line1.top(), billiardW, lineH), Qt::AlignLeft | Qt::AlignVCenter, billiard);
    const int poolX = dateW + billiardW;
    p->drawText(QRect(x + poolX, line1.top(), w - poolX, lineH), Qt::AlignRight | Qt::AlignVCenter,
                p->fontMetrics().elidedText(text("NOMPOULE"), Qt::ElideRight, std::max(0, w - poolX)));

    const auto [c1, c2] = CircleColours(m->AsInteger("PM1"), m->AsInteger("PM2"));
    // Figures take fixed columns at the right; the name gets the rest.
    const int figures = 4 * 44 + 16;
    const int nameW = std::max(60, w - 18 - figures);
    const auto playerLine = [&](int top, const QColor& colour, const char* nom, const char* pts, const char* rep,
                                const char* ser, const char* moy) {
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setPen(colour);
        p->setBrush(colour);
        p->drawEllipse(QRectF(x + 2, top + (lineH - 10) / 2.0, 10, 10));
        p->setBrush(Qt::NoBrush);
        p->setPen(ink);
        p->setRenderHint(QPainter::Antialiasing, false);
        const QRect name(x + 18, top, nameW, lineH);
        p->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                    p->fontMetrics().elidedText(text(nom), Qt::ElideRight, name.width()));
        int fx = name.right() + 4;
        for (const char* f : {pts, rep, ser}) {
            p->drawText(QRect(fx, top, 40, lineH), Qt::AlignRight | Qt::AlignVCenter, text(f));
            fx += 44;
        }
        p->drawText(QRect(fx, top, 56, lineH), Qt::AlignRight | Qt::AlignVCenter, text(moy));
    };
    playerLine(line1.bottom() + 1, c1, "NOM1", "PTS1", "REP1", "SER1", "MOY1");
    playerLine(line1.bottom() + 1 + lineH, c2, "NOM2", "PTS2", "REP2", "SER2", "MOY2");
    p->restore();
}

// ---- the list

namespace {

std::vector<TTableModel::TColumn> MatchPanelColumns() {
    std::vector<TTableModel::TColumn> columns;
    for (const char* f : PanelFields) columns.push_back({f, {}, 64, Qt::AlignLeft});
    return columns;
}

}  // namespace

TMatchList::TMatchList(TTable& matches, QWidget* parent)
    : QTableView(parent),
      Matches_(std::make_unique<TTableModel>(matches, MatchPanelColumns())),
      Grid_(std::make_unique<TPanelGridModel>(*Matches_)),
      Delegate_(std::make_unique<TMatchPanelDelegate>(*Grid_)) {
    setModel(Grid_.get());
    setItemDelegate(Delegate_.get());
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(PanelHeight);
    connect(Matches_.get(), &TTableModel::Reloaded, this, &TMatchList::Reloaded);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        const int row = Grid_->MatchRowOf(current);
        if (row >= 0) Matches_->MakeCurrent(row);
    });
    Relayout();
}

TMatchList::~TMatchList() {
    setModel(nullptr);
}

int TMatchList::CurrentMatchRow() const {
    return Grid_->MatchRowOf(currentIndex());
}

std::int32_t TMatchList::CurrentIdMatch() const {
    const TTable* row = Matches_->ReaderAt(CurrentMatchRow());
    return row == nullptr || row->IsNull("IDMATCH") ? -1 : row->AsInteger("IDMATCH");
}

void TMatchList::SetCurrentMatchRow(int row) {
    const QModelIndex i = Grid_->IndexOfMatch(row);
    if (i.isValid()) setCurrentIndex(i);
}

void TMatchList::Reloaded() {
    // The view puts the match table on its first row: the first panel is current.
    if (Grid_->PanelCount() > 0) {
        selectionModel()->setCurrentIndex(Grid_->IndexOfMatch(0), QItemSelectionModel::ClearAndSelect);
    }
    Relayout();
}

void TMatchList::Relayout() {
    const int current = CurrentMatchRow();
    Grid_->SetColumns(width() > TwoColumnsAbove ? 2 : 1);
    VisibleRows_ = std::max(1, height() / RowUnit);
    const int rowHeight = std::max(RowUnit, viewport()->height() / VisibleRows_);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    const int columns = Grid_->Columns();
    const int columnWidth = std::max(1, viewport()->width() / columns);
    for (int c = 0; c < columns; ++c) setColumnWidth(c, columnWidth);
    if (current >= 0 && CurrentMatchRow() != current) SetCurrentMatchRow(current);
}

void TMatchList::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    Relayout();
}

void TMatchList::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
    emit FocusEntered();
}

void TMatchList::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void TMatchList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex i = indexAt(event->position().toPoint());
    if (Grid_->MatchRowOf(i) >= 0) {
        setCurrentIndex(i);
        emit EditRequested();
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TMatchList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && CurrentMatchRow() >= 0) {
        event->accept();
        emit EditRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace tavlor::ui
