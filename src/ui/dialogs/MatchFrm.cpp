#include "ui/dialogs/MatchFrm.h"

#include "commands/MatchEntryMessages.h"
#include "commands/UserBoxes.h"
#include "model/dbLocal.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "ui/dialogs/DialogsMessages.h"
#include "ui/models/TableListModel.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavlor::ui {

namespace {

namespace m = msg::dialogs;
using E = TMatchEntry;

// Sets a flag for a scope and gives it back its former state, also on an exception.
struct TFlagScope {
    bool& Flag;
    bool Former;
    explicit TFlagScope(bool& flag) : Flag(flag), Former(flag) { Flag = true; }
    ~TFlagScope() { Flag = Former; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

double Today() {
    const QDate day = QDate::currentDate();
    return text::EncodeDate(day.year(), day.month(), day.day());
}

}  // namespace

TMatchFrm::TMatchFrm(TCompetition& compet, TdmLocal& dm, IUserBoxes& boxes, QWidget* parent)
    : QDialog(parent), Dm_(dm), Boxes_(boxes), Entry_(compet, dm, boxes) {
    setObjectName(QStringLiteral("TMatchFrm"));
    PlayersModel_ = new TTableListModel(Entry_.Players(), "NOM", "LICENCE", this);
    BilliardsModel_ = new TTableListModel(Dm_.Tables.Billards, "NOMBD", "TAILLE", this);
    BuildControls();
    Entry_.OnValueChanged = [this](TField field) { ShowValue(field); };
}

TMatchFrm::~TMatchFrm() {
    Entry_.OnValueChanged = nullptr;
}

void TMatchFrm::BuildControls() {
    auto bold = [](QLabel* label) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        return label;
    };
    NomPhaseLbl_ = bold(new QLabel(this));
    NomPhaseLbl_->setObjectName(QStringLiteral("NomPhase"));
    NomPouleLbl_ = bold(new QLabel(this));
    NomPouleLbl_->setObjectName(QStringLiteral("NomPoule"));
    NomPouleLbl_->setIndent(24);

    DatePicker_ = new QDateEdit(this);
    DatePicker_->setObjectName(QStringLiteral("DateMatch"));
    DatePicker_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DatePicker_->setCalendarPopup(true);

    auto playerBox = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setModel(PlayersModel_);
        box->setMinimumWidth(190);
        return box;
    };
    auto numberEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFixedWidth(60);
        edit->setAlignment(Qt::AlignRight);
        return edit;
    };
    auto pointsBox = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
        box->setCurrentIndex(-1);
        return box;
    };
    Player1_ = playerBox("Licence1");
    Pts1_ = numberEdit("Pts1");
    Rep1_ = numberEdit("Rep1");
    Ser1_ = numberEdit("Ser1");
    Pm1_ = pointsBox("Pm1");
    Player2_ = playerBox("Licence2");
    Pts2_ = numberEdit("Pts2");
    Rep2_ = numberEdit("Rep2");
    Ser2_ = numberEdit("Ser2");
    Pm2_ = pointsBox("Pm2");

    Billard_ = new QComboBox(this);
    Billard_->setObjectName(QStringLiteral("Billard"));
    Billard_->setModel(BilliardsModel_);

    SauveBtn_ = new QPushButton(Q(m::Ok), this);
    SauveBtn_->setObjectName(QStringLiteral("SauveBtn"));
    SauveBtn_->setDefault(true);
    AnnulerBtn_ = new QPushButton(Q(m::Cancel), this);
    AnnulerBtn_->setObjectName(QStringLiteral("AnnulerBtn"));
    AnnulerBtn_->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(Q(m::HeadPlayers), this), 0, 0);
    grid->addWidget(new QLabel(Q(m::HeadPoints), this), 0, 1);
    grid->addWidget(new QLabel(Q(m::HeadInnings), this), 0, 2);
    grid->addWidget(new QLabel(Q(m::HeadRun), this), 0, 3);
    grid->addWidget(new QLabel(Q(m::HeadMatchPoints), this), 0, 4);
    const std::array<QWidget*, 5> row1 = {Player1_, Pts1_, Rep1_, Ser1_, Pm1_};
    const std::array<QWidget*, 5> row2 = {Player2_, Pts2_, Rep2_, Ser2_, Pm2_};
    for (int c = 0; c < 5; ++c) {
        grid->addWidget(row1[c], 1, c);
        grid->addWidget(row2[c], 2, c);
    }

    auto* top = new QGridLayout;
    top->addWidget(NomPhaseLbl_, 0, 0, 1, 2);
    top->addWidget(NomPouleLbl_, 1, 0, 1, 2);
    top->addWidget(new QLabel(Q(m::HeadDate), this), 2, 0);
    top->addWidget(new QLabel(Q(m::HeadBilliard), this), 2, 1);
    top->addWidget(DatePicker_, 3, 0);
    top->addWidget(Billard_, 3, 1);
    top->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SauveBtn_);
    buttons->addWidget(AnnulerBtn_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    QWidget* order[] = {DatePicker_, Player1_, Pts1_, Rep1_, Ser1_,     Pm1_,        Player2_,
                        Pts2_,       Rep2_,    Ser2_, Pm2_,  SauveBtn_, AnnulerBtn_, Billard_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    connect(SauveBtn_, &QPushButton::clicked, this, &TMatchFrm::SaveEntry);
    // "Annuler" discards on purpose; Escape and the close box ask first.
    connect(AnnulerBtn_, &QPushButton::clicked, this, [this] { QDialog::reject(); });
    for (TField f : {TMatchEntry::PTS1, TMatchEntry::REP1, TMatchEntry::SER1, TMatchEntry::PTS2, TMatchEntry::REP2,
                     TMatchEntry::SER2}) {
        NumberEdit(f)->installEventFilter(this);
        connect(NumberEdit(f), &QLineEdit::editingFinished, this, [this, f] { CommitNumber(f); });
    }
    DatePicker_->installEventFilter(this);
    auto choice = [this](QComboBox* box, TField f, auto valueAt) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, f, valueAt](int index) {
            if (!ShowingValue_) {
                Entry_.SetValue(f, valueAt(index));
            }
        });
    };
    auto player = [this](int index) { return PlayersModel_->ValueAt(index); };
    auto points = [](int index) { return index < 0 ? std::nullopt : std::optional<std::int32_t>(index); };
    choice(Player1_, TMatchEntry::LICENCE1, player);
    choice(Player2_, TMatchEntry::LICENCE2, player);
    choice(Pm1_, TMatchEntry::PM1, points);
    choice(Pm2_, TMatchEntry::PM2, points);
    choice(Billard_, TMatchEntry::BD, [this](int index) { return BilliardsModel_->ValueAt(index); });
}

QLineEdit* TMatchFrm::NumberEdit(TField field) const {
    switch (field) {
        case E::PTS1:
            return Pts1_;
        case E::REP1:
            return Rep1_;
        case E::SER1:
            return Ser1_;
        case E::PTS2:
            return Pts2_;
        case E::REP2:
            return Rep2_;
        case E::SER2:
            return Ser2_;
        default:
            return nullptr;
    }
}

bool TMatchFrm::ShowAddMatch(std::int32_t pool, std::int32_t licence) {
    return PrepareAdd(pool, licence) && ExecOnTop(*this) == QDialog::Accepted;
}

bool TMatchFrm::ShowEditMatch(std::int32_t idMatch) {
    return PrepareEdit(idMatch) && ExecOnTop(*this) == QDialog::Accepted;
}

void TMatchFrm::Opened() {
    setWindowTitle(Q(Entry_.Adding() ? msg::matchentry::AddMatchCaption : msg::matchentry::EditMatchCaption));
    NomPhaseLbl_->setText(Q(Entry_.NomPhase()));
    NomPouleLbl_->setText(Q(Entry_.NomPoule()));
    {
        TFlagScope showing(ShowingValue_);
        PlayersModel_->Refresh();
        BilliardsModel_->Refresh();
    }
    for (int f = 0; f < E::FieldCount; ++f) ShowValue(static_cast<TField>(f));
    SetDatePicker(Entry_.PickerDate());
    OpenedDate_ = DatePickerValue();
}

bool TMatchFrm::PrepareAdd(std::int32_t pool, std::int32_t licence) {
    if (!Entry_.PrepareAdd(pool, licence, Today())) return false;
    Opened();
    return true;
}

bool TMatchFrm::PrepareEdit(std::int32_t idMatch) {
    if (!Entry_.PrepareEdit(idMatch, Today())) return false;
    Opened();
    return true;
}

void TMatchFrm::ShowValue(TField field) {
    TFlagScope showing(ShowingValue_);
    const std::optional<std::int32_t> v = Entry_.Value(field);
    switch (field) {
        case E::LICENCE1:
            Player1_->setCurrentIndex(v ? PlayersModel_->RowOf(*v) : -1);
            break;
        case E::LICENCE2:
            Player2_->setCurrentIndex(v ? PlayersModel_->RowOf(*v) : -1);
            break;
        case E::PM1:
        case E::PM2:
            (field == E::PM1 ? Pm1_ : Pm2_)->setCurrentIndex(v && *v >= 0 && *v <= 2 ? *v : -1);
            break;
        case E::BD:
            Billard_->setCurrentIndex(v ? BilliardsModel_->RowOf(*v) : -1);
            break;
        case E::DATEMATCH:
        case E::FieldCount:
            break;
        default:
            NumberEdit(field)->setText(v ? QString::number(*v) : QString());
            break;
    }
}

bool TMatchFrm::CommitNumber(TField field) {
    return Entry_.CommitNumber(field, S(NumberEdit(field)->text().trimmed()));
}

bool TMatchFrm::CommitAll() {
    for (TField f : {E::PTS1, E::REP1, E::SER1, E::PTS2, E::REP2, E::SER2}) {
        const std::optional<std::int32_t> v = Entry_.Value(f);
        if (NumberEdit(f)->text() != (v ? QString::number(*v) : QString()) && !CommitNumber(f)) return false;
    }
    return true;
}

void TMatchFrm::SetDatePicker(double date) {
    try {
        const text::TDateTimeParts parts = text::DecodeDateTime(date);
        DatePicker_->setDate(QDate(parts.Year, parts.Month, parts.Day));
    } catch (const Error&) {
        DatePicker_->setDate(QDate::currentDate());
    }
}

double TMatchFrm::DatePickerValue() const {
    const QDate day = DatePicker_->date();
    return text::EncodeDate(day.year(), day.month(), day.day());
}

void TMatchFrm::SaveEntry() {
    if (!CommitAll()) return;  // the entry stays as typed
    if (Entry_.Save(DatePickerValue())) accept();
}

bool TMatchFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == DatePicker_ && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
            // Tab leaves the date for the next field, as in every other field;
            // the arrows move between day, month and year.
            focusNextPrevChild(key == Qt::Key_Tab);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (TField f : {E::PTS1, E::REP1, E::SER1, E::PTS2, E::REP2, E::SER2}) {
                if (NumberEdit(f) != watched || CommitNumber(f)) continue;
                // A refused number ends the key press: the dialog stays, with
                // the keyboard in the field, and nothing is saved.
                NumberEdit(f)->setFocus();
                NumberEdit(f)->selectAll();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMatchFrm::reject() {
    const bool filled = Entry_.Modified() || DatePickerValue() != OpenedDate_;
    if (isVisible() && filled && !Boxes_.Confirm(msg::matchentry::ConfirmDiscard)) return;
    QDialog::reject();
}

void TMatchFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // the window system showing it again, not an opening
    }
    if (Dm_.Tables.Billards.IsEmpty()) {
        Boxes_.Error(msg::matchentry::NoBilliards);
        return;
    }
    if (!Entry_.Value(E::BD)) Entry_.SetValue(E::BD, TMatchEntry::DefaultBilliard);
    Billard_->setFocus();
}

void TMatchFrm::done(int result) {
    QDialog::done(result);
    // Nothing of an entry survives its dialog.
    Entry_.Clear();
    TFlagScope showing(ShowingValue_);
    PlayersModel_->Refresh();
}

}  // namespace tavlor::ui
