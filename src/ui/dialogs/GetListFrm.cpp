#include "ui/dialogs/GetListFrm.h"

#include "commands/CompetList.h"
#include "commands/UserBoxes.h"
#include "model/dbFb.h"
#include "server/www.h"
#include "text/Error.h"
#include "ui/dialogs/DialogsMessages.h"
#include "ui/models/TextGridModel.h"
#include "ui/platform/DialogIcons.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tavlor::ui {

namespace {

QToolButton* ImageButton(QWidget* parent, const QIcon& icon, const char* hint, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(Q(hint));
    button->setStatusTip(Q(hint));
    button->setAutoRaise(true);
    return button;
}

QPushButton* TextButton(QWidget* parent, const char* text, const char* hint, const char* name) {
    auto* button = new QPushButton(Q(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(Q(hint));
    button->setStatusTip(Q(hint));
    button->setAutoDefault(false);  // Enter in a text box runs that box's own action
    return button;
}

const std::vector<int> CompetWidths = {35, 35, 35, 200, 35};
// Title, discipline, origin, date, number, registrants, matches, season.
const std::vector<int> LocalWidths = {200, 60, 120, 100, 35, 45, 45, 60};
const std::vector<int> PlayerWidths = {70, 150, 150};

}  // namespace

TGetListFrm::TGetListFrm(TCompetition& compet, TwwwFrm& www, TdmFb& fb, IUserBoxes& boxes, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Compet_(compet),
      Www_(www),
      Fb_(fb),
      Boxes_(boxes) {
    setObjectName(QStringLiteral("TGetListFrm"));
    resize(376, 483);

    // Competition bar.
    ListCompetPnl_ = new QWidget(this);
    ListCompetPnl_->setObjectName(QStringLiteral("ListCompetPnl"));
    ListCompetPnl_->setFixedHeight(41);
    FiltreEdit_ = new QLineEdit(ListCompetPnl_);
    FiltreEdit_->setObjectName(QStringLiteral("FiltreEdit"));
    FiltreBtn_ = ImageButton(ListCompetPnl_, FilterIcon(), msg::dialogs::HintFilter, "FiltreBtn");
    OpenFdbBtn_ = ImageButton(ListCompetPnl_, DatabaseIcon(), msg::dialogs::HintOpenFdb, "OpenFdbBtn");
    LoadCompetBtn_ = TextButton(ListCompetPnl_, msg::dialogs::Ok, msg::dialogs::HintLoadCompet, "LoadCompetBtn");
    auto* competBar = new QHBoxLayout(ListCompetPnl_);
    competBar->setContentsMargins(6, 0, 6, 0);
    competBar->addWidget(new QLabel(Q(msg::dialogs::Filter), ListCompetPnl_));
    competBar->addWidget(FiltreEdit_, 1);
    competBar->addWidget(FiltreBtn_);
    competBar->addWidget(OpenFdbBtn_);
    competBar->addStretch(1);
    competBar->addWidget(LoadCompetBtn_);

    // Player bar.
    ListInscritsPnl_ = new QWidget(this);
    ListInscritsPnl_->setObjectName(QStringLiteral("ListInscritsPnl"));
    ListInscritsPnl_->setFixedHeight(64);
    OpenFdbBtn2_ = ImageButton(ListInscritsPnl_, DatabaseIcon(), msg::dialogs::HintOpenFdb, "OpenFdbBtn2");
    NomEdit_ = new QLineEdit(ListInscritsPnl_);
    NomEdit_->setObjectName(QStringLiteral("NomEdit"));
    VilleEdit_ = new QLineEdit(ListInscritsPnl_);
    VilleEdit_->setObjectName(QStringLiteral("VilleEdit"));
    for (QLineEdit* e : {NomEdit_, VilleEdit_}) {
        e->setToolTip(Q(msg::dialogs::HintPartOfName));
        e->setStatusTip(Q(msg::dialogs::HintPartOfName));
    }
    CherchBtn_ = ImageButton(ListInscritsPnl_, SearchIcon(), msg::dialogs::HintSearch, "CherchBtn");
    InscrireBtn_ = TextButton(ListInscritsPnl_, msg::dialogs::Register, msg::dialogs::HintRegister, "InscrireBtn");
    auto* playerBar = new QGridLayout(ListInscritsPnl_);
    playerBar->setContentsMargins(6, 2, 6, 2);
    playerBar->setVerticalSpacing(1);
    playerBar->addWidget(OpenFdbBtn2_, 1, 0);
    playerBar->addWidget(new QLabel(Q(msg::dialogs::PlayerName), ListInscritsPnl_), 0, 1);
    playerBar->addWidget(NomEdit_, 1, 1);
    playerBar->addWidget(new QLabel(Q(msg::dialogs::TownName), ListInscritsPnl_), 0, 2);
    playerBar->addWidget(VilleEdit_, 1, 2);
    playerBar->addWidget(CherchBtn_, 1, 3);
    playerBar->addWidget(InscrireBtn_, 1, 4);
    playerBar->setColumnStretch(1, 1);
    playerBar->setColumnStretch(2, 1);

    MsgLbl_ = new QLabel(this);
    MsgLbl_->setObjectName(QStringLiteral("MsgLbl"));
    MsgLbl_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    MsgLbl_->setMargin(16);
    MsgLbl_->setWordWrap(true);

    Model_ = new TTextGridModel(Grid_, this);
    View_ = MakeTextGridView(Model_, QStringLiteral("Grid"), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ListCompetPnl_);
    layout->addWidget(ListInscritsPnl_);
    layout->addWidget(MsgLbl_, 1);
    layout->addWidget(View_, 1);
    SetListVisible(false);
    ListInscritsPnl_->hide();

    connect(LoadCompetBtn_, &QPushButton::clicked, this, &TGetListFrm::LoadChosenCompetition);
    connect(FiltreBtn_, &QToolButton::clicked, this, &TGetListFrm::FilterList);
    connect(FiltreEdit_, &QLineEdit::returnPressed, this, &TGetListFrm::FilterList);
    connect(OpenFdbBtn_, &QToolButton::clicked, this, &TGetListFrm::OpenLocalBase);
    connect(OpenFdbBtn2_, &QToolButton::clicked, this, &TGetListFrm::OpenLocalBaseForSearch);
    connect(CherchBtn_, &QToolButton::clicked, this, &TGetListFrm::SearchPlayers);
    connect(NomEdit_, &QLineEdit::returnPressed, this, &TGetListFrm::SearchPlayers);
    connect(VilleEdit_, &QLineEdit::returnPressed, this, &TGetListFrm::SearchPlayers);
    connect(InscrireBtn_, &QPushButton::clicked, this, &TGetListFrm::RegisterPlayer);
    connect(View_, &TTextGridView::RowActivated, this, &TGetListFrm::ActivateRow);
}

bool TGetListFrm::Guarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const Error& e) {
        ShowEndedCommand(Boxes_, e);
        return false;
    }
}

int TGetListFrm::CompetitionsOpened() const {
    return Www_.CompetitionsOpened() + Fb_.CompetitionsOpened();
}

void TGetListFrm::SetListVisible(bool visible) {
    View_->setVisible(visible);
    MsgLbl_->setVisible(!visible);
}

bool TGetListFrm::ListVisible() const {
    return !View_->isHidden();
}

void TGetListFrm::ResetList(int cols) {
    SetListVisible(false);
    TGridChange change(*Model_);
    Model_->SetTitleRow(false);
    Grid_.SetColCount(cols);
    Grid_.SetRowCount(1);
}

void TGetListFrm::ShowList(const std::vector<int>& widths) {
    Model_->SetTitleRow(true);
    // The given widths, widened until the title and the cells read whole
    // (within reason: a very long name may still be cut).
    constexpr int Widest = 320;
    for (int c = 0; c < static_cast<int>(widths.size()) && c < Grid_.ColCount(); ++c) {
        View_->resizeColumnToContents(c);
        const int content = std::min(View_->columnWidth(c), Widest);
        View_->setColumnWidth(c, std::max(widths[static_cast<std::size_t>(c)], content));
    }
    SetListVisible(true);
    // The dialog widens to show every column when the screen has the room
    // (the list runs from one side of the dialog to the other).
    int wanted = 2 * View_->frameWidth() + View_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < Grid_.ColCount(); ++c) {
        if (!View_->isColumnHidden(c)) wanted += View_->columnWidth(c);
    }
    if (layout() != nullptr) wanted += layout()->contentsMargins().left() + layout()->contentsMargins().right();
    if (const QScreen* screen = this->screen(); screen != nullptr) {
        wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
    }
    if (wanted > width()) resize(wanted, height());
    SetCurrentRow(1);
}

int TGetListFrm::CurrentRow() const {
    const QModelIndex current = View_->currentIndex();
    // As in a grid, the first data row is current until another is chosen.
    return current.isValid() ? Model_->GridRow(current.row()) : 1;
}

void TGetListFrm::SetCurrentRow(int gridRow) {
    const int row = Model_->ModelRow(gridRow);
    if (row >= 0 && row < Model_->rowCount()) {
        View_->setCurrentIndex(Model_->index(row, 0));
        View_->selectRow(row);
    }
}

std::vector<int> TGetListFrm::ColumnWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < Grid_.ColCount(); ++c) {
        widths.push_back(View_->columnWidth(c));
    }
    return widths;
}

bool TGetListFrm::ChooseCompetWww(const std::string& url) {
    if (isVisible()) {
        // The player search is open: said, rather than nothing happening.
        Boxes_.Information(msg::dialogs::ListsAlreadyOpen);
        raise();
        activateWindow();
        return false;
    }
    setWindowTitle(Q(msg::dialogs::TitleCompetWww));
    ListInscritsPnl_->hide();
    ListCompetPnl_->show();
    OpenFdbBtn_->hide();
    MsgLbl_->clear();
    ResetList(1);
    // The list and the download work on this address; the competition open
    // keeps its own until another one is loaded from here.
    ListUrl_ = url;
    const bool listed = Guarded([&] {
        TGridChange change(*Model_);
        Www_.ListCompets(url, Grid_);
    });
    if (!listed || Grid_.RowCount() < 2) {
        // A list of its title row alone: the server has no competition.
        if (listed && Grid_.ColCount() > 1) Boxes_.Information(msg::dialogs::NoCompetition);
        return false;
    }
    ShowList(CompetWidths);
    LoadAction_ = TLoadAction::Www;
    setModal(true);
    return ExecOnTop(*this) == QDialog::Accepted;
}

bool TGetListFrm::ChooseCompetLocal() {
    if (isVisible()) {
        Boxes_.Information(msg::dialogs::ListsAlreadyOpen);
        raise();
        activateWindow();
        return false;
    }
    setWindowTitle(Q(msg::dialogs::TitleCompetLocal));
    ListInscritsPnl_->hide();
    ListCompetPnl_->show();
    OpenFdbBtn_->show();
    MsgLbl_->clear();
    ResetList(1);
    LoadAction_ = TLoadAction::Local;
    // A base that cannot be opened, or holds nothing yet: told, no dialog.
    if (!OpenLocalBase()) return false;
    const int opened = CompetitionsOpened();
    setModal(true);
    ExecOnTop(*this);
    return CompetitionsOpened() != opened;
}

void TGetListFrm::LoadChosenCompetition() {
    if (LoadAction_ == TLoadAction::Www) {
        LoadCompetWww();
    } else {
        LoadCompetLocal();
    }
}

void TGetListFrm::LoadChosen(const std::function<void(std::int32_t, const std::string&)>& load) {
    if (!HasCompetition(Grid_)) return;
    const int opened = CompetitionsOpened();
    const bool loaded = Guarded([&] {
        const int r = CurrentRow();
        const std::string title = CompetTitle(Grid_, r, LoadAction_ == TLoadAction::Local);
        load(CompetNumber(Grid_, r), title);
    });
    // A competition opened whose snapshot could not be merged is open all
    // the same (the error told): the dialog's work is done.
    if (loaded || CompetitionsOpened() != opened) accept();
}

void TGetListFrm::LoadCompetWww() {
    LoadChosen([this](std::int32_t number, const std::string& title) { Www_.LoadCompet(ListUrl_, number, title); });
}

void TGetListFrm::LoadCompetLocal() {
    LoadChosen([this](std::int32_t number, const std::string& title) { Fb_.LoadCompetDb(number, title); });
}

void TGetListFrm::FilterList() {
    const std::string filter = S(FiltreEdit_->text());
    if (filter.empty() || !ShowFiltered || !ListVisible()) return;
    int row = -1;
    if (ShowFiltered(Grid_, filter, ColumnWidths(), row)) {
        SetCurrentRow(row);
        LoadChosenCompetition();
    }
}

bool TGetListFrm::OpenLocalBase() {
    if (!Fb_.OpenDb()) return false;
    ResetList(1);
    const bool listed = Guarded([&] {
        TGridChange change(*Model_);
        Fb_.ListCompetDb(Grid_);
    });
    if (!listed) return false;
    if (Grid_.RowCount() < 2) {
        Boxes_.Information(msg::dialogs::NoLocalCompetition);
        return false;
    }
    ShowList(LocalWidths);
    return true;
}

void TGetListFrm::OpenLocalBaseForSearch() {
    if (Compet_.Connexion == TConnexion::LocalBase) {
        Fb_.OpenDb();
    }
}

void TGetListFrm::ShowSearchJoueur() {
    if (isVisible()) {
        return;
    }
    ListInscritsPnl_->show();
    ListCompetPnl_->hide();
    SetListVisible(false);
    InscrireBtn_->setEnabled(false);
    MsgLbl_->setText(Q(msg::dialogs::TypeAName));
    if (Compet_.Connexion == TConnexion::Internet) {
        setWindowTitle(Q(msg::dialogs::TitleSearchWww));
        OpenFdbBtn2_->show();
    } else if (Compet_.Connexion == TConnexion::LocalBase) {
        setWindowTitle(Q(msg::dialogs::TitleSearchLocal));
        OpenFdbBtn2_->hide();
        if (!Fb_.IsOpen()) {
            Fb_.OpenDb();
        }
    } else {
        Boxes_.Error(msg::dialogs::NoConnection);
        return;
    }
    // The name is typed at once.
    NomEdit_->setFocus();
    NomEdit_->selectAll();
    setModal(false);
    show();
    raise();
    activateWindow();
}

void TGetListFrm::SearchPlayers() {
    ResetList(2);
    Grid_.SetCell(0, 0, S(NomEdit_->text()));
    Grid_.SetCell(1, 0, S(VilleEdit_->text()));
    const bool searched = Guarded([&] {
        TGridChange change(*Model_);
        Compet_.ListJoueurs(Grid_);
    });
    if (!searched) {
        return;  // the list stays hidden
    }
    if (Grid_.RowCount() < 2) {
        MsgLbl_->setText(Q(msg::dialogs::NoPlayerFound));
        SetListVisible(false);
        InscrireBtn_->setEnabled(false);
    } else {
        ShowList(PlayerWidths);
        InscrireBtn_->setEnabled(true);
        // Enter registers the first player found, Down goes to the next.
        View_->setFocus();
    }
}

void TGetListFrm::RegisterPlayer() {
    if (Grid_.RowCount() <= 1) {
        return;
    }
    Guarded([&] {
        const int r = CurrentRow();
        const TFoundPlayer player = FoundPlayer(Grid_, r);
        if (!Compet_.AddInscrit(player.Licence, -1, player.Name)) {
            Boxes_.Error(Compet_.LastError);
        }
    });
}

void TGetListFrm::ActivateRow() {
    if (!ListCompetPnl_->isHidden()) {
        LoadChosenCompetition();
    } else if (!ListInscritsPnl_->isHidden()) {
        RegisterPlayer();
    }
}

bool TGetListFrm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip && ShowHint) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

}  // namespace tavlor::ui
