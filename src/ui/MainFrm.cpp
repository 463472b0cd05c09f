#include "ui/MainFrm.h"

#include "export/Export.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "ui/Images.h"
#include "ui/IniFile.h"
#include "ui/MainActions.h"
#include "ui/MainCommands.h"
#include "ui/MainMessages.h"
#include "ui/MatchList.h"
#include "ui/PhaseTree.h"
#include "ui/PhaseTreeModel.h"
#include "ui/TableModel.h"
#include "ui/UiBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavlor::ui {

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

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

}  // namespace

TMainFrm::TMainFrm(IUiBoxes& boxes, std::string settingsPath, const QStringList& addresses, QWidget* parent)
    : QMainWindow(parent), Boxes_(boxes), SettingsPath_(std::move(settingsPath)) {
    setObjectName(QStringLiteral("MainFrm"));
    setWindowIcon(ProgramIcon());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateBody();
    for (const QString& a : addresses) Adresse_->addItem(CommandImage(4), a);
    resize(1000, 680);

    // The controller, and the window following it.
    Compet_ = std::make_unique<TCompetition>();
    Compet_->OnIdCompetChange = [this](TCompetition&) { IdCompetChanged(); };
    Compet_->OnMessageChange = [this](TCompetition&) { MessageChanged(); };
    Compet_->OnLoginChange = [this](TCompetition&) { LoginChanged(); };
    Compet_->SetIdCompet(-1);
    Compet_->SetLogin("");
    Adresse_->setCurrentIndex(0);
    LoadSettings();
}

TMainFrm::~TMainFrm() {
    Detach();
}

void TMainFrm::Detach() {
    // Views and models follow tables and the tree that the data module owns;
    // they go first, before the data module.
    if (Dm_ == nullptr) return;
    TreePhases_->OnFocusChanging = nullptr;
    TreePhases_->OnFocusChanged = nullptr;
    TreePhases_->OnEnter = nullptr;
    TreePhases_->setModel(nullptr);
    GridClasst_->setModel(nullptr);
    delete GridMatchs_;
    GridMatchs_ = nullptr;
    TreeModel_.reset();
    GridModel_.reset();
    Commands_.reset();
    Export_.reset();
    Views_.reset();
    Dm_ = nullptr;
}

// ---- construction

void TMainFrm::CreateActions() {
    for (const TActionDef& def : ActionList) {
        auto* a = new QAction(Q(def.Caption), this);
        const QString name = Q(def.Name);
        a->setObjectName(name);
        a->setProperty("category", Q(def.Category));
        if (!def.Hint.empty()) {
            a->setStatusTip(Q(def.Hint));
            a->setToolTip(Q(def.Hint));
        } else {
            a->setToolTip(Q(def.Caption));
        }
        if (def.Image >= 0) a->setIcon(CommandImage(def.Image));
        Actions_.insert(name, a);
        ActionOrder_ << a;
    }
    Action(QStringLiteral("Separator"))->setEnabled(false);
    QPixmap blank(20, 16);
    blank.fill(Qt::transparent);
    Action(QStringLiteral("Separator"))->setIcon(QIcon(blank));
    Action(QStringLiteral("TriAlphaJoueurs"))->setCheckable(true);
    Action(QStringLiteral("TriAlphaJoueurs"))->setChecked(false);

    ReloadAct_ = new QAction(CommandImage(13), QString(), this);
    ReloadAct_->setObjectName(QStringLiteral("ReloadBtn"));
    ReloadAct_->setToolTip(Q(mainmsg::ReloadHint));
    ReloadAct_->setStatusTip(Q(mainmsg::ReloadHint));
    ReloadAct_->setEnabled(false);
    QuitAct_ = new QAction(Q(mainmsg::ItemQuitter), this);
    QuitAct_->setObjectName(QStringLiteral("Quitter"));
    QuitAct_->setShortcut(QKeySequence::Quit);
    VersionAct_ = new QAction(Q(mainmsg::ItemVersion), this);
    VersionAct_->setObjectName(QStringLiteral("Version"));
    ExportInscritsAct_ = new QAction(Q(mainmsg::ItemExportInscrits), this);
    ExportInscritsAct_->setObjectName(QStringLiteral("ExportInscrits"));
    ImportInscritsAct_ = new QAction(Q(mainmsg::ItemImportInscrits), this);
    ImportInscritsAct_->setObjectName(QStringLiteral("ImportInscrits"));
    // The local database cannot be reached from the menu: its item stays disabled.
    LocalMenuItem_ = new QAction(Action(QStringLiteral("LoadFromDbLocal"))->text(), this);
    LocalMenuItem_->setObjectName(QStringLiteral("LoadFromDbLocalItem"));
    LocalMenuItem_->setEnabled(false);
}

void TMainFrm::CreateMenus() {
    const auto a = [this](const char* name) { return Action(QLatin1String(name)); };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(Q(mainmsg::MenuFichier));
    file->addAction(LocalMenuItem_);
    file->addAction(a("LoadFromInternet"));
    file->addSeparator();
    file->addAction(QuitAct_);
    bar->addAction(a("LoginWww"));
    QMenu* edit = bar->addMenu(Q(mainmsg::MenuEdition));
    for (const char* n : {"AddInscrit", "EditInscrit", "DelInscrit", "", "AddPhase", "EditPhase", "DelPhase", "",
                          "AddPoule", "EditPoule"}) {
        if (*n == 0)
            edit->addSeparator();
        else
            edit->addAction(a(n));
    }
    QMenu* formula = edit->addMenu(Q(mainmsg::MenuFormule));
    for (const char* n : {"SetFclasstPoule0", "SetFClasstPoule1", "SetFClasstPoule2"}) formula->addAction(a(n));
    for (const char* n :
         {"DelPoule", "", "AddJoueur", "EditJoueur", "DelJoueur", "", "AddMatch", "EditMatch", "DelMatch"}) {
        if (*n == 0)
            edit->addSeparator();
        else
            edit->addAction(a(n));
    }
    QMenu* tools = bar->addMenu(Q(mainmsg::MenuOutils));
    tools->setObjectName(QStringLiteral("MenuOutils"));
    tools->addAction(a("TriAlphaJoueurs"));
    tools->addAction(ExportInscritsAct_);
    tools->addAction(ImportInscritsAct_);
    tools->addSeparator();
    for (const char* n : {"ExportHtml", "ExportXls", "OpenSynthesePoule"}) tools->addAction(a(n));
    bar->addAction(VersionAct_);
    Popup_ = new QMenu(this);
    Popup_->setObjectName(QStringLiteral("PopupMenu1"));
}

void TMainFrm::CreateToolBar() {
    ToolBar1_ = new QToolBar(this);
    ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1_->setIconSize(QSize(20, 16));
    ToolBar1_->setMovable(false);
    ToolBar1_->setFloatable(false);
    ToolBar1_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto button = [this](QAction* action, const char* name) {
        auto* b = new QToolButton(ToolBar1_);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setDefaultAction(action);
        b->setFixedWidth(27);
        ToolBar1_->addWidget(b);
        return b;
    };
    const auto a = [this](const char* name) { return Action(QLatin1String(name)); };
    button(a("LoadFromInternet"), "LoadFromInternetBtn");
    button(ReloadAct_, "ReloadBtn");
    button(a("Separator"), "Blank1");
    button(a("AddInscrit"), "AddInscritBtn");
    button(a("AddPhase"), "AddPhaseBtn");
    button(a("AddPoule"), "AddPouleBtn");
    button(a("AddMatch"), "AddMatchBtn");
    button(a("Separator"), "Blank2");
    EditBtn_ = button(a("EditPhase"), "EditBtn");
    DelBtn_ = button(a("DelPhase"), "DelBtn");
    button(a("Separator"), "Blank3");
    SyntheseBtn_ = button(a("OpenSynthesePoule"), "SyntheseBtn");
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
    Body_->setSizes({289 + TreePhases_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2, 700});
    column->addWidget(Body_, 1);
    setCentralWidget(central);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
}

void TMainFrm::Attach(TdmLocal& dm, TwwwFrm& www, IDesktopShell& shell, const std::string& exportFolder) {
    Dm_ = &dm;
    Www_ = &www;
    Views_ = std::make_unique<TViews>(dm, *this);
    Export_ = std::make_unique<TExport>(dm, *this, Boxes_, shell);
    Export_->ExportFolder = exportFolder;

    TreeModel_ = std::make_unique<TPhaseTreeModel>(*Compet_, dm, *Views_, Boxes_);
    TreePhases_->SetTreeModel(TreeModel_.get());
    connect(TreeModel_.get(), &TPhaseTreeModel::TreeChanged, TreePhases_->viewport(), qOverload<>(&QWidget::update));
    TreePhases_->OnFocusChanging = [this](TNodeHandle node) { TreeFocusChanging(node); };
    TreePhases_->OnFocusChanged = [this](TNodeHandle node) {
        EnableActions(node == 0 ? std::uint8_t(NodeRegistrants) : TreeModel_->KindOf(node));
    };
    TreePhases_->OnEnter = [this] { EnableActions(FocusedNodeKind()); };
    TreePhases_->OnPopup = [this](const QPoint& p) { ShowPopup(p); };

    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto centre = Qt::AlignCenter;
    std::vector<TTableModel::TColumn> columns{
        {"CPO", Q(mainmsg::ColClasst), 30, centre},
        {"CPH", Q(mainmsg::ColClasst), 30, centre},
        {"CG", Q(mainmsg::ColClasst), 30, centre},
        {"NOMPOULE", Q(mainmsg::ColPoule), 150, left},
        {"NOM", {}, 150, left},
        {"PM", {}, 53, left},
        {"TV", Q(mainmsg::ColVict), 40, left},
        {"MG", Q(mainmsg::ColMoy), 40, left},
        {"PTS", {}, 30, left},
        {"REP", {}, 30, left},
        {"SER", {}, 30, left},
        {"NM", Q(mainmsg::ColMatchs), 43, left},
    };
    GridModel_ = std::make_unique<TTableModel>(dm.Tables.FiltreJoueurs, std::move(columns));
    GridClasst_->SetGridModel(GridModel_.get());
    connect(GridClasst_, &TRankingGrid::FocusEntered, this, [this] { EnableActions(5); });

    GridMatchs_ = new TMatchList(dm.Tables.FiltreMatchs, MatchArea_);
    GridMatchs_->setObjectName(QStringLiteral("GridMatchs"));
    MatchArea_->layout()->addWidget(GridMatchs_);
    connect(GridMatchs_, &TMatchList::FocusEntered, this, [this] { EnableActions(6); });

    Commands_ = std::make_unique<TMainCommands>(*this);
    connect(GridMatchs_, &TMatchList::PanelDoubleClicked, this, [this] { Commands_->EditMatch(); });
    Commands_->Connect();
}

// ---- settings

void TMainFrm::LoadSettings() {
    TIniFile ini(SettingsPath_);
    try {
        ini.Load();
    } catch (const std::exception& e) {
        // An unreadable file: the defaults, and the user is told.
        Boxes_.TopLevelError(e.what());
    }
    // nUrls is bounded: a hand-edited file cannot make the start read
    // millions of keys, nor leave recent entries among the addresses.
    constexpr int MaxUrls = 99;
    nUrls_ = std::clamp(ini.ReadInteger(mainmsg::SectionUrls, mainmsg::KeyNUrls, 3), -1, MaxUrls);
    for (int k = 0; k <= nUrls_; ++k) {
        const std::string caption = ini.ReadString(mainmsg::SectionUrls, std::to_string(k), "");
        if (caption.empty()) continue;
        if (k < Adresse_->count()) {
            Adresse_->setItemText(k, QString::fromStdString(caption));
        } else {
            Adresse_->addItem(CommandImage(4), QString::fromStdString(caption));
        }
    }
    // The entries after nUrls must be recent competitions: nUrls never
    // points past the addresses that exist.
    nUrls_ = std::min(nUrls_, Adresse_->count() - 1);
    for (TRecentCompet& r : RecentCompets_) r = TRecentCompet{};
    for (int n = 5; n >= 1; --n) {
        const std::string section = std::string(mainmsg::SectionRecent) + std::to_string(n);
        const std::int32_t id = ini.ReadInteger(section, mainmsg::KeyIdCompet, -1);
        const std::string nom = ini.ReadString(section, mainmsg::KeyNomCompet, "");
        const std::string url = ini.ReadString(section, mainmsg::KeyUrl, "");
        AddRecentCompet(url, nom, id);
    }
}

void TMainFrm::SaveSettings() {
    TIniFile ini(SettingsPath_);
    try {
        ini.Load();
    } catch (const std::exception&) {
        // Unreadable: rewritten with what the program knows.
    }
    if (nUrls_ >= 0) {
        for (int k = 0; k <= nUrls_ && k < Adresse_->count(); ++k) {
            ini.WriteString(mainmsg::SectionUrls, std::to_string(k), Adresse_->itemText(k).toStdString());
        }
    }
    for (int n = 1; n <= 5; ++n) {
        const TRecentCompet& r = RecentCompets_[static_cast<std::size_t>(n - 1)];
        if (r.IdCompet < 0 || r.url.empty()) continue;
        const std::string section = std::string(mainmsg::SectionRecent) + std::to_string(n);
        ini.WriteString(section, mainmsg::KeyUrl, r.url);
        ini.WriteString(section, mainmsg::KeyNomCompet, r.NomCompet);
        ini.WriteInteger(section, mainmsg::KeyIdCompet, r.IdCompet);
    }
    ini.Save();
}

void TMainFrm::FreeControllerAndSaveSettings() {
    if (Compet_) {
        Compet_->OnIdCompetChange = nullptr;
        Compet_->OnMessageChange = nullptr;
        Compet_->OnLoginChange = nullptr;
    }
    Compet_.reset();
    try {
        SaveSettings();
    } catch (const std::exception& e) {
        Boxes_.TopLevelError(e.what());
    }
}

void TMainFrm::AddRecentCompet(const std::string& url, const std::string& nom, std::int32_t id) {
    if (id < 0 || url.empty()) return;
    const std::string name = nom.empty() ? "?" : nom;
    std::size_t p = 4;
    for (std::size_t i = 0; i < 5; ++i) {
        if (RecentCompets_[i].IdCompet == id && RecentCompets_[i].url == url) {
            p = i;
            break;
        }
    }
    for (std::size_t i = p; i >= 1; --i) RecentCompets_[i] = RecentCompets_[i - 1];
    RecentCompets_[0] = TRecentCompet{url, name, id};
    RefreshRecentEntries();
}

void TMainFrm::RefreshRecentEntries() {
    for (int i = 1; i <= 5; ++i) {
        const TRecentCompet& r = RecentCompets_[static_cast<std::size_t>(i - 1)];
        if (r.IdCompet < 0) break;
        const int entry = nUrls_ + i;
        const QString caption = QString::fromStdString(r.NomCompet);
        if (entry < Adresse_->count()) {
            Adresse_->setItemText(entry, caption);
        } else {
            Adresse_->addItem(CommandImage(13), caption);
        }
    }
}

// ---- notifications

void TMainFrm::IdCompetChanged() {
    if (Compet_->IdCompet() < 0) {
        RightPanel_->hide();
        ClassementLbl_->hide();
        for (QAction* a : ActionOrder_) {
            if (a->property("category").toString() != QLatin1String(mainmsg::CategoryFichiers)) a->setEnabled(false);
        }
        Action(QStringLiteral("LoginWww"))->setEnabled(false);
        return;
    }
    Action(QStringLiteral("LoginWww"))->setEnabled(Compet_->Connexion == 2);
    RightPanel_->show();
    ClassementLbl_->show();
    FocusKind_ = 7;
    for (const char* n : {"AddInscrit", "AddPhase", "TriAlphaJoueurs", "ExportXls", "ExportHtml"}) {
        Action(QLatin1String(n))->setEnabled(true);
    }
}

void TMainFrm::MessageChanged() {
    NomCompetLbl_->setText(QString::fromStdString(Compet_->Message()));
}

void TMainFrm::LoginChanged() {
    std::string title = Compet_->Connexion == 1   ? mainmsg::TitleLocal
                        : Compet_->Connexion == 2 ? mainmsg::TitleInternet
                                                  : mainmsg::ProgramName;
    title += Compet_->Login().empty() ? std::string(mainmsg::NotIdentified) : " (" + Compet_->Login() + ")";
    setWindowTitle(QString::fromStdString(title));
}

void TMainFrm::BindButton(QToolButton* button, const char* action) {
    // A button holding several actions would offer them as a menu.
    for (QAction* old : button->actions()) button->removeAction(old);
    button->setDefaultAction(Action(QLatin1String(action)));
}

void TMainFrm::EnableActions(std::uint8_t kind) {
    if (kind == FocusKind_) return;
    FocusKind_ = kind;
    const std::uint8_t node = FocusedNodeKind();
    const auto set = [this](std::initializer_list<const char*> names, bool on) {
        for (const char* n : names) Action(QLatin1String(n))->setEnabled(on);
    };
    set({"DelPhase", "EditPhase"}, kind == 0);
    set({"DelInscrit", "EditInscrit"}, kind == 3);
    set({"AddPoule"}, kind == 0 || kind == 1 || kind == 4 || node == 1);
    set({"DelPoule", "EditPoule", "OpenSynthesePoule", "SetFclasstPoule0", "SetFClasstPoule1", "SetFClasstPoule2"},
        kind == 1);
    set({"AddJoueur", "EditJoueur", "DelJoueur"}, kind == 4);
    set({"AddMatch"}, node == 1 || node == 4);
    set({"DelMatch", "EditMatch"}, kind == 6);
    const char* edit = "Separator";
    const char* del = "Separator";
    const char* synthese = "Separator";
    switch (kind) {
        case 0:
            edit = "EditPhase";
            del = "DelPhase";
            break;
        case 1:
            edit = "EditPoule";
            del = "DelPoule";
            synthese = "OpenSynthesePoule";
            break;
        case 3:
            edit = "EditInscrit";
            del = "DelInscrit";
            break;
        case 4:
            edit = "EditJoueur";
            del = "DelJoueur";
            break;
        case 6:
            edit = "EditMatch";
            del = "DelMatch";
            break;
        default:
            break;
    }
    BindButton(EditBtn_, edit);
    BindButton(DelBtn_, del);
    BindButton(SyntheseBtn_, synthese);
}

// ---- view host

bool TMainFrm::TriAlphaJoueurs() const {
    return Action(QStringLiteral("TriAlphaJoueurs"))->isChecked();
}

void TMainFrm::SetCaptions(const std::string& ranking, const std::string& matches) {
    ClassementLbl_->setText(QString::fromStdString(ranking));
    MatchsLbl_->setText(QString::fromStdString(matches));
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

std::uint8_t TMainFrm::FocusedNodeKind() const {
    if (TreeModel_ == nullptr) return NodeRegistrants;
    const TNodeHandle node = TreePhases_->FocusedNode();
    return node == 0 ? std::uint8_t(NodeRegistrants) : TreeModel_->KindOf(node);
}

// ---- tree

void TMainFrm::TreeFocusChanging(TNodeHandle node) {
    // Tables being loaded are not shown half-way.
    if (Compet_->Chargement) return;
    try {
        Views_->RefreshFiltres(TreeModel_->KindOf(node), Dm_->Tree.Data(node).Id, TreeModel_->ParentIdOf(node));
    } catch (const std::exception& e) {
        Boxes_.TopLevelError(e.what());
    }
}

void TMainFrm::RecomputeView() {
    const TNodeHandle node = TreePhases_->FocusedNode();
    if (node == 0) return;
    TreeFocusChanging(node);
    TreePhases_->viewport()->update();
}

void TMainFrm::FocusFirstNode() {
    if (Dm_ == nullptr) return;
    const TNodeHandle first = Dm_->Tree.FirstTopLevel();
    if (first == 0) return;
    if (TreePhases_->FocusedNode() == first) {
        // Already focused: the view is computed all the same, as after a new focus.
        RecomputeView();
        EnableActions(TreeModel_->KindOf(first));
        return;
    }
    TreePhases_->FocusNode(first);
}

QList<QAction*> TMainFrm::PopupActions() const {
    QList<QAction*> out;
    const TNodeHandle node = TreePhases_->FocusedNode();
    if (node == 0 || TreeModel_ == nullptr) return out;
    QString category = QStringLiteral("?");
    switch (TreeModel_->KindOf(node)) {
        case NodePhase:
            category = QLatin1String(mainmsg::CategoryPhases);
            break;
        case NodePool:
            category = QLatin1String(mainmsg::CategoryPoules);
            break;
        case NodeRegistrant:
            category = QLatin1String(mainmsg::CategoryInscrits);
            break;
        case NodeMember:
            category = QLatin1String(mainmsg::CategoryJoueurs);
            break;
        default:
            break;
    }
    for (QAction* a : ActionOrder_) {
        if (a->property("category").toString() == category && a->isEnabled()) out << a;
    }
    return out;
}

void TMainFrm::ShowPopup(const QPoint& globalPos) {
    Popup_->clear();
    const QList<QAction*> items = PopupActions();
    if (items.isEmpty()) return;
    Popup_->addActions(items);
    Popup_->popup(globalPos);
}

void TMainFrm::closeEvent(QCloseEvent* event) {
    emit Closing();
    QMainWindow::closeEvent(event);
}

}  // namespace tavlor::ui
