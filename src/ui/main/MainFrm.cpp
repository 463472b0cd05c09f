#include "ui/main/MainFrm.h"

#include "commands/CommandState.h"
#include "commands/CompetRules.h"
#include "commands/Settings.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "ui/main/MainMessages.h"
#include "ui/main/MatchList.h"
#include "ui/main/PhaseTree.h"
#include "ui/models/PhaseTreeModel.h"
#include "ui/models/TableModel.h"
#include "ui/platform/Images.h"
#include "ui/platform/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavlor::ui {

namespace {

namespace m = msg::main;

QLabel* BoldLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

// A bar of a fixed height holding widgets side by side.
QWidget* Bar(int height, QWidget* parent, QHBoxLayout** layout) {
    auto* bar = new QWidget(parent);
    bar->setFixedHeight(height);
    *layout = new QHBoxLayout(bar);
    (*layout)->setContentsMargins(2, 0, 2, 0);
    (*layout)->setSpacing(4);
    return bar;
}

// The caption with a mnemonic not yet used in its menu: the first free letter
// that starts a word, else any free letter. A caption that has one keeps it.
QString WithMnemonic(const QString& caption, QString& used) {
    const qsizetype marked = caption.indexOf(u'&');
    if (marked >= 0 && marked + 1 < caption.size()) {
        used += caption[marked + 1].toLower();
        return caption;
    }
    for (const bool wordStart : {true, false}) {
        for (qsizetype i = 0; i < caption.size(); ++i) {
            const QChar c = caption[i];
            if (!c.isLetterOrNumber() || used.contains(c.toLower())) continue;
            if (wordStart && i > 0 && caption[i - 1].isLetterOrNumber()) continue;
            used += c.toLower();
            return caption.left(i) + u'&' + caption.mid(i);
        }
    }
    return caption;
}

QIcon AddressImage(TAddressEntry::TImage image) {
    return CommandImage(image == TAddressEntry::TImage::Recent ? TCommandImage::Reload : TCommandImage::Internet);
}

}  // namespace

TMainFrm::TMainFrm(TCompetition& compet, TSettings& settings, TCommandState& state, QWidget* parent)
    : QMainWindow(parent), Compet_(compet), Settings_(settings), State_(state) {
    setObjectName(QStringLiteral("MainFrm"));
    setWindowIcon(ProgramIcon());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateBody();
    resize(1000, 680);
    RefreshAddresses();
    Adresse_->setCurrentIndex(0);
    Settings_.OnEntriesChanged = [this] { RefreshAddresses(); };
    State_.OnEnabledChanged = [this](TCommandId id) { Action(id)->setEnabled(State_.Enabled(id)); };
    State_.OnCheckedChanged = [this](TCommandId id) { Action(id)->setChecked(State_.Checked(id)); };
    State_.OnButtonsChanged = [this] { BindButtons(); };
    IdCompetChanged();
    MessageChanged();
    LoginChanged();
}

TMainFrm::~TMainFrm() {
    Detach();
    Settings_.OnEntriesChanged = nullptr;
    State_.OnEnabledChanged = nullptr;
    State_.OnCheckedChanged = nullptr;
    State_.OnButtonsChanged = nullptr;
}

void TMainFrm::Detach() {
    // Views and models follow tables and the tree that the data module owns;
    // they go first, before the data module.
    if (Dm_ == nullptr) return;
    TreePhases_->OnFocusChanging = nullptr;
    TreePhases_->OnFocusChanged = nullptr;
    TreePhases_->OnEnter = nullptr;
    TreePhases_->OnPopup = nullptr;
    TreePhases_->OnDeleteKey = nullptr;
    TreePhases_->setModel(nullptr);
    GridClasst_->setModel(nullptr);
    delete GridMatchs_;
    GridMatchs_ = nullptr;
    TreeModel_.reset();
    GridModel_.reset();
    Commands_ = nullptr;
    Views_ = nullptr;
    Dm_ = nullptr;
}

// ---- construction

void TMainFrm::CreateActions() {
    for (const TCommandDef& def : CommandTable()) {
        auto* a = new QAction(Q(def.Caption), this);
        a->setObjectName(Q(def.Name));
        if (!def.Hint.empty()) {
            a->setStatusTip(Q(def.Hint));
            a->setToolTip(Q(def.Hint));
        } else {
            a->setToolTip(Q(def.Caption));
        }
        if (def.Image != TCommandImage::None) a->setIcon(CommandImage(def.Image));
        if (!def.Shortcut.empty()) a->setShortcut(QKeySequence(Q(def.Shortcut)));
        a->setCheckable(def.Checkable);
        a->setChecked(State_.Checked(def.Id));
        a->setEnabled(State_.Enabled(def.Id));
        const TCommandId id = def.Id;
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        Actions_[static_cast<std::size_t>(id)] = a;
    }
    QPixmap blank(20, 16);
    blank.fill(Qt::transparent);
    Action(TCommandId::Separator)->setIcon(QIcon(blank));
}

void TMainFrm::CreateMenus() {
    QMenuBar* bar = menuBar();
    QString barUsed;
    for (const TMenuBarEntry& entry : MainMenu()) {
        if (entry.Caption.empty()) {
            QAction* action = Action(entry.Id);
            action->setText(WithMnemonic(action->text(), barUsed));
            bar->addAction(action);
            continue;
        }
        QMenu* menu = bar->addMenu(WithMnemonic(Q(entry.Caption), barUsed));
        menu->setObjectName(Q(entry.Name));
        QMenu* current = menu;
        QString used, subUsed;
        QString* letters = &used;
        const auto add = [&](QAction* action) {
            action->setText(WithMnemonic(action->text(), *letters));
            current->addAction(action);
        };
        for (const TMenuEntry& item : entry.Entries) {
            switch (item.Kind) {
                case TMenuEntry::TKind::Command:
                    add(Action(item.Id));
                    break;
                case TMenuEntry::TKind::Separator:
                    current->addSeparator();
                    break;
                case TMenuEntry::TKind::SubMenu:
                    current = menu->addMenu(WithMnemonic(Q(item.Caption), used));
                    letters = &subUsed;
                    break;
                case TMenuEntry::TKind::SubMenuEnd:
                    current = menu;
                    letters = &used;
                    break;
            }
        }
    }
    Popup_ = new QMenu(this);
    Popup_->setObjectName(QStringLiteral("PopupMenu1"));
    // F10 reaches the menu bar, as on the other desktops.
    auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this, [this] {
        QMenuBar* menuBar = this->menuBar();
        if (!menuBar->actions().isEmpty()) {
            menuBar->setFocus(Qt::ShortcutFocusReason);
            menuBar->setActiveAction(menuBar->actions().front());
        }
    });
}

void TMainFrm::CreateToolBar() {
    ToolBar1_ = new QToolBar(this);
    ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1_->setIconSize(QSize(20, 16));
    ToolBar1_->setMovable(false);
    ToolBar1_->setFloatable(false);
    ToolBar1_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const TToolButtonDef& def : MainToolBar()) {
        auto* b = new QToolButton(ToolBar1_);
        b->setObjectName(Q(def.Name));
        b->setAutoRaise(true);
        b->setDefaultAction(Action(def.Id));
        b->setFixedWidth(27);
        // The keyboard goes from the address box straight to the tree; every
        // button's command has its menu item, mnemonic or shortcut.
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);  // the hint goes when the pointer does
        ToolBar1_->addWidget(b);
        if (def.Slot != TButtonSlot::Fixed) Buttons_[static_cast<std::size_t>(def.Slot)] = b;
    }
}

QToolButton* TMainFrm::Button(TButtonSlot slot) const {
    return Buttons_[static_cast<std::size_t>(slot)];
}

void TMainFrm::BindButtons() {
    for (const TButtonSlot slot : {TButtonSlot::Edit, TButtonSlot::Delete, TButtonSlot::Synthese}) {
        QToolButton* button = Button(slot);
        // A button holding several actions would offer them as a menu.
        for (QAction* old : button->actions()) button->removeAction(old);
        button->setDefaultAction(Action(State_.Button(slot)));
    }
}

void TMainFrm::CreateBody() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    QHBoxLayout* top = nullptr;
    QWidget* topBar = Bar(29, central, &top);
    Adresse_ = new QComboBox(topBar);
    Adresse_->setObjectName(QStringLiteral("Adresse"));
    Adresse_->setEditable(true);
    Adresse_->setInsertPolicy(QComboBox::NoInsert);
    Adresse_->setFixedWidth(352);
    Adresse_->setIconSize(QSize(20, 16));
    top->addWidget(Adresse_);
    top->addWidget(ToolBar1_);
    top->addStretch(1);
    column->addWidget(topBar);

    QHBoxLayout* titles = nullptr;
    QWidget* titleBar = Bar(20, central, &titles);
    NomCompetLbl_ = BoldLabel(QStringLiteral("NomCompetLbl"), titleBar);
    ClassementLbl_ = BoldLabel(QStringLiteral("ClassementLbl"), titleBar);
    ClassementLbl_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    titles->addWidget(NomCompetLbl_, 1);
    titles->addWidget(ClassementLbl_, 1);
    column->addWidget(titleBar);

    Body_ = new QSplitter(Qt::Horizontal, central);
    Body_->setObjectName(QStringLiteral("Body"));
    Body_->setChildrenCollapsible(false);
    TreePhases_ = new TPhaseTree(Body_);
    TreePhases_->setMinimumWidth(120);
    // The right-hand side keeps its room in the splitter; what it holds (the
    // grid and the match area) is hidden while no competition is open.
    auto* rightHost = new QWidget(Body_);
    auto* hostLayout = new QVBoxLayout(rightHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    RightPanel_ = new QWidget(rightHost);
    RightPanel_->setObjectName(QStringLiteral("RightPanel"));
    hostLayout->addWidget(RightPanel_);
    auto* right = new QVBoxLayout(RightPanel_);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    RightSplitter_ = new QSplitter(Qt::Vertical, RightPanel_);
    RightSplitter_->setChildrenCollapsible(false);
    GridClasst_ = new TRankingGrid(RightSplitter_);
    MatchArea_ = new QWidget(RightSplitter_);
    MatchArea_->setObjectName(QStringLiteral("MatchArea"));
    auto* matchColumn = new QVBoxLayout(MatchArea_);
    matchColumn->setContentsMargins(0, 0, 0, 0);
    matchColumn->setSpacing(0);
    QHBoxLayout* matchTitle = nullptr;
    QWidget* matchBar = Bar(20, MatchArea_, &matchTitle);
    MatchsLbl_ = BoldLabel(QStringLiteral("MatchsLbl"), matchBar);
    MatchsLbl_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    matchTitle->addWidget(MatchsLbl_, 1);
    matchColumn->addWidget(matchBar);
    RightSplitter_->addWidget(GridClasst_);
    RightSplitter_->addWidget(MatchArea_);
    RightSplitter_->setStretchFactor(0, 1);
    RightSplitter_->setStretchFactor(1, 0);
    RightSplitter_->setSizes({400, 239});
    right->addWidget(RightSplitter_);
    Body_->addWidget(TreePhases_);
    Body_->addWidget(rightHost);
    Body_->setStretchFactor(0, 0);
    Body_->setStretchFactor(1, 1);
    Body_->setSizes({TreePhases_->PreferredWidth(), 700});
    column->addWidget(Body_, 1);
    setCentralWidget(central);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
}

void TMainFrm::Attach(TdmLocal& dm, TViews& views, TCommands& commands) {
    Dm_ = &dm;
    Views_ = &views;
    Commands_ = &commands;

    TreeModel_ = std::make_unique<TPhaseTreeModel>(dm, views, commands);
    TreePhases_->SetTreeModel(TreeModel_.get());
    connect(TreeModel_.get(), &TPhaseTreeModel::TreeChanged, TreePhases_->viewport(), qOverload<>(&QWidget::update));
    TreePhases_->OnFocusChanging = [this](TNodeHandle node) { Commands_->ShowElement(node); };
    TreePhases_->OnFocusChanged = [this](TNodeHandle node) {
        FocusChanged(FocusKindOf(Commands_->ElementOf(node).Kind));
    };
    TreePhases_->OnEnter = [this] { FocusChanged(FocusKindOf(Commands_->ElementOf(TreePhases_->FocusedNode()).Kind)); };
    TreePhases_->OnPopup = [this](const QPoint& p) { ShowPopup(p); };
    TreePhases_->OnDeleteKey = [this] { RunCommand(State_.Button(TButtonSlot::Delete)); };

    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto centre = Qt::AlignCenter;
    // Figures line up on their last digit.
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    std::vector<TTableModel::TColumn> columns{
        {"CPO", Q(m::ColClasst), 30, centre},
        {"CPH", Q(m::ColClasst), 30, centre},
        {"CG", Q(m::ColClasst), 30, centre},
        {"NOMPOULE", Q(m::ColPoule), 150, left},
        {"NOM", {}, 150, left},
        {"PM", {}, 53, right},
        {"TV", Q(m::ColVict), 40, right},
        {"MG", Q(m::ColMoy), 40, right},
        {"PTS", {}, 30, right},
        {"REP", {}, 30, right},
        {"SER", {}, 30, right},
        {"NM", Q(m::ColMatchs), 43, right},
    };
    GridModel_ = std::make_unique<TTableModel>(dm.Tables.FiltreJoueurs, std::move(columns));
    GridModel_->SetDraggable(true);
    GridClasst_->SetGridModel(GridModel_.get());
    connect(GridClasst_, &TRankingGrid::FocusEntered, this, [this] { FocusChanged(TFocusKind::Grid); });

    GridMatchs_ = new TMatchList(dm.Tables.FiltreMatchs, MatchArea_);
    GridMatchs_->setObjectName(QStringLiteral("GridMatchs"));
    MatchArea_->layout()->addWidget(GridMatchs_);
    connect(GridMatchs_, &TMatchList::FocusEntered, this, [this] { FocusChanged(TFocusKind::Matches); });
    // A double click corrects the match, as the command does.
    connect(GridMatchs_, &TMatchList::EditRequested, this, [this] { RunCommand(TCommandId::EditMatch); });

    // Picking an entry of the address box, or Enter in it, opens.
    connect(Adresse_, &QComboBox::activated, this, [this] { RunCommand(TCommandId::LoadFromInternet); });
    if (QLineEdit* edit = Adresse_->lineEdit()) {
        connect(edit, &QLineEdit::returnPressed, this, [this] { RunCommand(TCommandId::LoadFromInternet); });
    }
}

void TMainFrm::RefreshAddresses() {
    const std::vector<TAddressEntry>& entries = Settings_.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int k = static_cast<int>(i);
        if (k < Adresse_->count()) {
            Adresse_->setItemText(k, Q(entries[i].Caption));
        } else {
            Adresse_->addItem(AddressImage(entries[i].Image), Q(entries[i].Caption));
        }
    }
}

void TMainFrm::SelectAddress(int entry) {
    Adresse_->setCurrentIndex(entry);
}

TSelection TMainFrm::CurrentSelection() const {
    TSelection s;
    s.Node = TreePhases_->FocusedNode();
    s.IdMatch = GridMatchs_ != nullptr ? GridMatchs_->CurrentIdMatch() : -1;
    s.AddressIndex = Adresse_->currentIndex();
    s.AddressText = S(Adresse_->currentText().trimmed());
    // A typed address is no entry of the box.
    if (s.AddressIndex >= 0 && Adresse_->currentText() != Adresse_->itemText(s.AddressIndex)) s.AddressIndex = -1;
    return s;
}

void TMainFrm::RunCommand(TCommandId id) {
    // The commands exist while the window is attached to the data module.
    if (Commands_ == nullptr) return;
    const TListsPlace place = ListsPlace();
    Commands_->Run(id, CurrentSelection());
    if (Commands_ != nullptr) RestoreListsPlace(place);
}

TMainFrm::TListsPlace TMainFrm::ListsPlace() const {
    TListsPlace place;
    place.Node = TreePhases_->FocusedNode();
    if (GridMatchs_ != nullptr) {
        place.IdMatch = GridMatchs_->CurrentIdMatch();
        place.MatchRow = GridMatchs_->CurrentMatchRow();
        place.MatchScroll = GridMatchs_->verticalScrollBar()->value();
    }
    if (GridModel_ != nullptr) {
        place.GridRow = GridClasst_->currentIndex().row();
        if (const TTable* row = GridModel_->ReaderAt(place.GridRow)) {
            place.Licence = row->IsNull("LICENCE") ? -1 : row->AsInteger("LICENCE");
        }
        place.GridScroll = GridClasst_->verticalScrollBar()->value();
    }
    return place;
}

void TMainFrm::RestoreListsPlace(const TListsPlace& place) {
    // Only where the same element is shown again (a match corrected or
    // deleted): elsewhere the lists start from their top.
    if (place.Node == 0 || TreePhases_->FocusedNode() != place.Node || GridMatchs_ == nullptr) return;
    TMatchList& matches = *GridMatchs_;
    const int panels = matches.Grid().PanelCount();
    int row = -1;
    for (int r = 0; r < panels && place.IdMatch >= 0; ++r) {
        const TTable* m = matches.Matches().ReaderAt(r);
        if (m != nullptr && !m->IsNull("IDMATCH") && m->AsInteger("IDMATCH") == place.IdMatch) row = r;
    }
    // A deleted match: the one that took its place, or the last.
    if (row < 0 && place.MatchRow >= 0 && panels > 0) row = std::min(place.MatchRow, panels - 1);
    if (row >= 0) matches.SetCurrentMatchRow(row);
    matches.verticalScrollBar()->setValue(place.MatchScroll);
    const int players = GridModel_->rowCount();
    int gridRow = -1;
    for (int r = 0; r < players && place.Licence >= 0; ++r) {
        const TTable* p = GridModel_->ReaderAt(r);
        if (p != nullptr && !p->IsNull("LICENCE") && p->AsInteger("LICENCE") == place.Licence) gridRow = r;
    }
    if (gridRow < 0 && place.GridRow >= 0 && players > 0) gridRow = std::min(place.GridRow, players - 1);
    if (gridRow >= 0) {
        GridClasst_->selectionModel()->setCurrentIndex(GridModel_->index(gridRow, 0),
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    GridClasst_->verticalScrollBar()->setValue(place.GridScroll);
}

namespace {

const char* const KeyGeometry = "Geometrie";
const char* const KeyBody = "Separateur";
const char* const KeyRight = "SeparateurDroit";
const char* const KeyTree = "ColonnesArbre";

std::string Encoded(const QByteArray& bytes) {
    return bytes.toBase64().toStdString();
}
QByteArray Decoded(const std::string& text) {
    return QByteArray::fromBase64(QByteArray::fromStdString(text));
}

}  // namespace

void TMainFrm::SaveLayout(TSettings& settings) const {
    settings.SetLayoutValue(KeyGeometry, Encoded(saveGeometry()));
    settings.SetLayoutValue(KeyBody, Encoded(Body_->saveState()));
    settings.SetLayoutValue(KeyRight, Encoded(RightSplitter_->saveState()));
    settings.SetLayoutValue(KeyTree, Encoded(TreePhases_->header()->saveState()));
}

void TMainFrm::RestoreLayout(const TSettings& settings) {
    // A value the user's hand spoiled is left aside: the window keeps its size.
    if (const std::string g = settings.LayoutValue(KeyGeometry); !g.empty()) restoreGeometry(Decoded(g));
    if (const std::string b = settings.LayoutValue(KeyBody); !b.empty()) Body_->restoreState(Decoded(b));
    if (const std::string r = settings.LayoutValue(KeyRight); !r.empty()) RightSplitter_->restoreState(Decoded(r));
    if (const std::string t = settings.LayoutValue(KeyTree); !t.empty() && TreeModel_ != nullptr) {
        TreePhases_->header()->restoreState(Decoded(t));
    }
}

// ---- notifications

void TMainFrm::IdCompetChanged() {
    const bool open = Compet_.IdCompet() >= 0;
    RightPanel_->setVisible(open);
    ClassementLbl_->setVisible(open);
}

void TMainFrm::MessageChanged() {
    NomCompetLbl_->setText(Q(Compet_.Message()));
}

void TMainFrm::LoginChanged() {
    setWindowTitle(Q(WindowTitle(Compet_, ShownFromBase ? ShownFromBase() : nullptr)));
}

void TMainFrm::FocusChanged(TFocusKind kind) {
    if (Commands_ != nullptr) Commands_->FocusChanged(kind, TreePhases_->FocusedNode());
}

// ---- view host

void TMainFrm::SetCaptions(const std::string& ranking, const std::string& matches) {
    ClassementLbl_->setText(Q(ranking));
    MatchsLbl_->setText(Q(matches));
}

void TMainFrm::ApplyColumnVisibility(const std::vector<TFieldDef>& fields) {
    if (GridModel_ == nullptr) return;
    for (const TFieldDef& f : fields) {
        const int column = GridModel_->ColumnOf(f.Name);
        if (column >= 0) GridClasst_->setColumnHidden(column, !f.Visible);
    }
}

void TMainFrm::ShowBusyCursor() {
    if (BusyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMainFrm::RestoreCursor() {
    if (BusyDepth_ > 0 && --BusyDepth_ == 0) QApplication::restoreOverrideCursor();
}

// ---- what the commands ask

void TMainFrm::EditFocusedName() {
    TreePhases_->EditFocusedName();
}

void TMainFrm::FocusFirstNode() {
    if (Dm_ == nullptr) return;
    const TNodeHandle first = Dm_->Tree.FirstTopLevel();
    if (first == 0) return;
    if (TreePhases_->FocusedNode() == first) {
        // Already focused: the view is computed all the same, as after a new focus.
        Commands_->ShowElement(first);
        TreePhases_->viewport()->update();
        FocusChanged(FocusKindOf(Dm_->Tree.Data(first).Kind));
        return;
    }
    TreePhases_->FocusNode(first);
}

void TMainFrm::CloseWindow() {
    close();
}

TTreePlace TMainFrm::TreePlace() const {
    TTreePlace place;
    if (Dm_ == nullptr || TreeModel_ == nullptr) return place;
    std::vector<TNodeHandle> pending(Dm_->Tree.Children(0).begin(), Dm_->Tree.Children(0).end());
    while (!pending.empty()) {
        const TNodeHandle node = pending.back();
        pending.pop_back();
        if (!TreePhases_->isExpanded(TreeModel_->IndexOf(node))) continue;
        place.Expanded.push_back(Dm_->ElementOf(node));
        for (TNodeHandle child : Dm_->Tree.Children(node)) pending.push_back(child);
    }
    if (const TNodeHandle focused = TreePhases_->FocusedNode()) place.Focused = Dm_->ElementOf(focused);
    return place;
}

void TMainFrm::RestoreTreePlace(const TTreePlace& place) {
    if (Dm_ == nullptr || TreeModel_ == nullptr) return;
    // The node of an element in the new tree.
    const auto find = [this](const TElement& wanted) -> TNodeHandle {
        std::vector<TNodeHandle> pending(Dm_->Tree.Children(0).begin(), Dm_->Tree.Children(0).end());
        while (!pending.empty()) {
            const TNodeHandle node = pending.back();
            pending.pop_back();
            if (Dm_->ElementOf(node) == wanted) return node;
            for (TNodeHandle child : Dm_->Tree.Children(node)) pending.push_back(child);
        }
        return 0;
    };
    for (const TElement& e : place.Expanded) {
        if (const TNodeHandle node = find(e)) TreePhases_->expand(TreeModel_->IndexOf(node));
    }
    const TNodeHandle focused = place.Focused ? find(*place.Focused) : 0;
    if (focused == 0) {
        FocusFirstNode();
    } else if (focused == TreePhases_->FocusedNode()) {
        Commands_->ShowElement(focused);
        FocusChanged(FocusKindOf(Dm_->Tree.Data(focused).Kind));
    } else {
        TreePhases_->FocusNode(focused);
    }
}

void TMainFrm::CommandEnded() {
    TreePhases_->viewport()->update();
}

QList<QAction*> TMainFrm::PopupActions() const {
    QList<QAction*> out;
    const TNodeHandle node = TreePhases_->FocusedNode();
    if (node == 0 || Commands_ == nullptr) return out;
    for (const TCommandId id : State_.PopupCommands(Commands_->ElementOf(node).Kind)) out << Action(id);
    return out;
}

void TMainFrm::ShowPopup(const QPoint& globalPos) {
    Popup_->clear();
    const QList<QAction*> items = PopupActions();
    if (items.isEmpty()) return;
    Popup_->addActions(items);
    Popup_->popup(globalPos);
}

bool TMainFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave && qobject_cast<QToolButton*>(watched) != nullptr) statusBar()->clearMessage();
    return QMainWindow::eventFilter(watched, event);
}

void TMainFrm::closeEvent(QCloseEvent* event) {
    // The day's work reaches the disk before the window goes; when it cannot,
    // the user may keep the window open.
    if (CanClose && !CanClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace tavlor::ui
