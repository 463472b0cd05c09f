#include "ui/MatchFrm.h"

#include "model/dbLocal.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"
#include "text/TextMessages.h"
#include "ui/DialogsMessages.h"
#include "ui/ErrorDisplay.h"
#include "ui/TableListModel.h"
#include "ui/UiBoxes.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavlor::ui {

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

constexpr std::int32_t DefaultBilliard = 310;

// Sets a flag for a scope and gives it back its former state, also on an exception.
struct TFlagScope {
    bool& Flag;
    bool Former;
    explicit TFlagScope(bool& flag) : Flag(flag), Former(flag) { Flag = true; }
    ~TFlagScope() { Flag = Former; }
};

}  // namespace

const char* TMatchFrm::FieldLabel(TField field) {
    static constexpr const char* labels[FieldCount] = {dlgmsg::LabelLicence1, dlgmsg::LabelPts1, dlgmsg::LabelRep1,
                                                       dlgmsg::LabelSer1,     dlgmsg::LabelPm1,  dlgmsg::LabelLicence2,
                                                       dlgmsg::LabelPts2,     dlgmsg::LabelRep2, dlgmsg::LabelSer2,
                                                       dlgmsg::LabelPm2,      dlgmsg::LabelDate, dlgmsg::LabelBd};
    return labels[field];
}

TMatchFrm::TMatchFrm(TCompetition& compet, TdmLocal& dm, IUiBoxes& boxes, QWidget* parent)
    : QDialog(parent),
      Compet_(compet),
      Dm_(dm),
      Boxes_(boxes),
      Joueurs_("Joueurs", {IntegerField("LICENCE"), StringField("NOM", 50)}, {{"IDXNOM", {{"NOM"}}}}) {
    setObjectName(QStringLiteral("TMatchFrm"));
    Joueurs_.SetIndexName("IDXNOM");
    TopLevelError = [this](const std::string& text) { ShowTopLevelError(this, text); };
    PlayersModel_ = new TTableListModel(Joueurs_, "NOM", "LICENCE", this);
    BilliardsModel_ = new TTableListModel(Dm_.Tables.Billards, "NOMBD", "TAILLE", this);
    BuildControls();
}

TMatchFrm::~TMatchFrm() = default;

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

    SauveBtn_ = new QPushButton(Q(dlgmsg::Ok), this);
    SauveBtn_->setObjectName(QStringLiteral("SauveBtn"));
    SauveBtn_->setDefault(true);
    AnnulerBtn_ = new QPushButton(Q(dlgmsg::Cancel), this);
    AnnulerBtn_->setObjectName(QStringLiteral("AnnulerBtn"));
    AnnulerBtn_->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(Q(dlgmsg::HeadPlayers), this), 0, 0);
    grid->addWidget(new QLabel(Q(dlgmsg::HeadPoints), this), 0, 1);
    grid->addWidget(new QLabel(Q(dlgmsg::HeadInnings), this), 0, 2);
    grid->addWidget(new QLabel(Q(dlgmsg::HeadRun), this), 0, 3);
    grid->addWidget(new QLabel(Q(dlgmsg::HeadMatchPoints), this), 0, 4);
    const std::array<QWidget*, 5> row1 = {Player1_, Pts1_, Rep1_, Ser1_, Pm1_};
    const std::array<QWidget*, 5> row2 = {Player2_, Pts2_, Rep2_, Ser2_, Pm2_};
    for (int c = 0; c < 5; ++c) {
        grid->addWidget(row1[c], 1, c);
        grid->addWidget(row2[c], 2, c);
    }

    auto* top = new QGridLayout;
    top->addWidget(NomPhaseLbl_, 0, 0, 1, 2);
    top->addWidget(NomPouleLbl_, 1, 0, 1, 2);
    top->addWidget(new QLabel(Q(dlgmsg::HeadDate), this), 2, 0);
    top->addWidget(new QLabel(Q(dlgmsg::HeadBilliard), this), 2, 1);
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

    connect(SauveBtn_, &QPushButton::clicked, this, &TMatchFrm::SauveBtnClick);
    connect(AnnulerBtn_, &QPushButton::clicked, this, &QDialog::reject);
    for (TField f : {PTS1, REP1, SER1, PTS2, REP2, SER2}) {
        connect(NumberEdit(f), &QLineEdit::editingFinished, this, [this, f] { CommitNumber(f); });
    }
    auto choice = [this](QComboBox* box, TField f, auto valueAt) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, f, valueAt](int index) {
            if (!ShowingValue_) {
                SetValue(f, valueAt(index));
            }
        });
    };
    auto player = [this](int index) { return PlayersModel_->ValueAt(index); };
    auto points = [](int index) { return index < 0 ? std::nullopt : std::optional<std::int32_t>(index); };
    choice(Player1_, LICENCE1, player);
    choice(Player2_, LICENCE2, player);
    choice(Pm1_, PM1, points);
    choice(Pm2_, PM2, points);
    choice(Billard_, BD, [this](int index) { return BilliardsModel_->ValueAt(index); });
}

QLineEdit* TMatchFrm::NumberEdit(TField field) const {
    switch (field) {
        case PTS1:
            return Pts1_;
        case REP1:
            return Rep1_;
        case SER1:
            return Ser1_;
        case PTS2:
            return Pts2_;
        case REP2:
            return Rep2_;
        case SER2:
            return Ser2_;
        default:
            return nullptr;
    }
}

bool TMatchFrm::ShowAddMatch(std::int32_t pool, std::int32_t licence) {
    return PrepareAdd(pool, licence) && exec() == QDialog::Accepted;
}

bool TMatchFrm::ShowEditMatch() {
    return PrepareEdit() && exec() == QDialog::Accepted;
}

bool TMatchFrm::OpenPool(std::int32_t pool) {
    const TRowView poule = Dm_.Tables.Poules.Data().Lookup("IDPOULE", {pool});
    if (!poule) {
        Boxes_.Error(dlgmsg::UnknownPool + text::IntToStr(pool));
        return false;
    }
    IdPoule_ = pool;
    IdPhase_ = poule.AsInteger("IDPHASE");
    NomPouleLbl_->setText(QString::fromStdString(poule.AsString("NOMPOULE")));
    const TRowView phase = Dm_.Tables.Phases.Data().Lookup("IDPHASE", {IdPhase_});
    NomPhaseLbl_->setText(QString::fromStdString(phase.AsString("NOMPHASE")));
    FillJoueurs(pool);
    return true;
}

bool TMatchFrm::PrepareAdd(std::int32_t pool, std::int32_t licence) {
    if (!Compet_.CanModify()) {
        Boxes_.Error(Compet_.LastError);
        return false;
    }
    IdMatch_ = -1;
    if (!OpenPool(pool)) {
        return false;
    }
    setWindowTitle(Q(dlgmsg::AddMatchCaption));
    StartEntry();
    // A new match most likely takes place where and when the pool's first one did.
    std::unique_ptr<TTable> matchs = Dm_.Tables.Matchs.Clone();
    matchs->SetFilter("IDPOULE = " + text::IntToStr(pool));
    matchs->SetFiltered(true);
    matchs->First();
    if (matchs->HasCurrent()) {
        SetDatePicker(matchs->AsDateTime("DATEMATCH"));
        SetValue(BD, matchs->IsNull("BD") ? std::nullopt : std::optional<std::int32_t>(matchs->AsInteger("BD")));
    } else {
        DatePicker_->setDate(QDate::currentDate());
        SetValue(BD, DefaultBilliard);
    }
    if (licence != -1) {
        SetValue(LICENCE1, licence);
    }
    return true;
}

bool TMatchFrm::PrepareEdit() {
    if (!Compet_.CanModify()) {
        Boxes_.Error(Compet_.LastError);
        return false;
    }
    TTable& row = Dm_.Tables.FiltreMatchs;
    if (!row.HasCurrent()) {
        return false;  // no match chosen
    }
    IdMatch_ = row.AsInteger("IDMATCH");
    if (!OpenPool(row.AsInteger("IDPOULE"))) {
        return false;
    }
    setWindowTitle(Q(dlgmsg::EditMatchCaption));
    StartEntry();
    auto value = [&row](const char* name) {
        return row.IsNull(name) ? std::nullopt : std::optional<std::int32_t>(row.AsInteger(name));
    };
    static constexpr std::pair<TField, const char*> filled[] = {
        {LICENCE1, "LICENCE1"}, {PTS1, "PTS1"}, {REP1, "REP1"}, {SER1, "SER1"}, {PM1, "PM1"},
        {LICENCE2, "LICENCE2"}, {PTS2, "PTS2"}, {REP2, "REP2"}, {SER2, "SER2"}, {PM2, "PM2"}};
    for (const auto& [field, name] : filled) {
        SetValue(field, value(name));
    }
    if (row.IsNull("DATEMATCH")) {
        DatePicker_->setDate(QDate::currentDate());
    } else {
        SetDatePicker(row.AsDateTime("DATEMATCH"));
    }
    SetValue(BD, value("BD"));
    return true;
}

void TMatchFrm::FillJoueurs(std::int32_t pool) {
    Joueurs_.EmptyTable();
    std::unique_ptr<TTable> members = Dm_.Tables.Joueurs.Clone();
    members->SetFilter("IDPOULE = " + text::IntToStr(pool));
    members->SetFiltered(true);
    TTableData& inscrits = Dm_.Tables.Inscrits.Data();
    for (members->First(); !members->Eof(); members->Next()) {
        const std::int32_t licence = members->AsInteger("LICENCE");
        if (const TRowView inscrit = inscrits.Lookup("LICENCE", {licence})) {
            Joueurs_.Append();
            Joueurs_.SetInteger("LICENCE", licence);
            Joueurs_.SetString("NOM", inscrit.AsString("NOM"));
            Joueurs_.Post();
        }
    }
    TFlagScope showing(ShowingValue_);
    PlayersModel_->Refresh();
    ShowValue(LICENCE1);
    ShowValue(LICENCE2);
}

void TMatchFrm::StartEntry() {
    Values_.fill(std::nullopt);
    Date_.reset();
    {
        TFlagScope showing(ShowingValue_);
        BilliardsModel_->Refresh();
    }
    for (int f = 0; f < FieldCount; ++f) {
        ShowValue(static_cast<TField>(f));
    }
}

void TMatchFrm::SetValue(TField field, std::optional<std::int32_t> value) {
    Values_[field] = value;
    ShowValue(field);
    if ((field == PM1 || field == PM2) && value && !WritingPm_) {
        // The other side gets what is left of the 2 points, without answering back.
        TFlagScope writing(WritingPm_);
        SetValue(field == PM1 ? PM2 : PM1, 2 - *value);
    }
    if (field == REP1 && value && !Values_[REP2]) {
        SetValue(REP2, value);
    }
}

void TMatchFrm::ShowValue(TField field) {
    TFlagScope showing(ShowingValue_);
    const std::optional<std::int32_t>& v = Values_[field];
    switch (field) {
        case LICENCE1:
            Player1_->setCurrentIndex(v ? PlayersModel_->RowOf(*v) : -1);
            break;
        case LICENCE2:
            Player2_->setCurrentIndex(v ? PlayersModel_->RowOf(*v) : -1);
            break;
        case PM1:
        case PM2:
            (field == PM1 ? Pm1_ : Pm2_)->setCurrentIndex(v && *v >= 0 && *v <= 2 ? *v : -1);
            break;
        case BD:
            Billard_->setCurrentIndex(v ? BilliardsModel_->RowOf(*v) : -1);
            break;
        case DATEMATCH:
            break;
        default:
            NumberEdit(field)->setText(v ? QString::number(*v) : QString());
            break;
    }
}

bool TMatchFrm::CommitNumber(TField field) {
    QLineEdit* edit = NumberEdit(field);
    const QString typed = edit->text().trimmed();
    std::optional<std::int32_t> value;
    if (!typed.isEmpty()) {
        value = text::ParseInt32(typed.toStdString());
        if (!value) {
            // Letters, or more than a 32-bit field holds: never read as 0.
            ShowValue(field);
            Boxes_.Error(text::messages::WithText(text::messages::kNotAnInteger, typed.toStdString()));
            return false;
        }
    }
    if (value == Values_[field]) {
        ShowValue(field);
        return true;
    }
    const bool mustBePositive = field == PTS1 || field == SER1 || field == PTS2 || field == SER2;
    if (mustBePositive && value && *value < 0) {
        ShowValue(field);
        Boxes_.Error(std::string(FieldLabel(field)) + dlgmsg::MustBePositive);
        return false;
    }
    SetValue(field, value);
    return true;
}

bool TMatchFrm::CommitAll() {
    for (TField f : {PTS1, REP1, SER1, PTS2, REP2, SER2}) {
        const std::optional<std::int32_t>& v = Values_[f];
        if (NumberEdit(f)->text() != (v ? QString::number(*v) : QString()) && !CommitNumber(f)) {
            return false;
        }
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

bool TMatchFrm::MatchsBeforePost() {
    if (Dm_.Tables.Billards.IsEmpty()) {
        Boxes_.Error(dlgmsg::NoBilliards);
        return false;
    }
    Date_ = DatePickerValue();
    if (Int(LICENCE1) == Int(LICENCE2)) {
        Boxes_.Error(dlgmsg::SameLicence);
        return false;
    }
    if (Int(REP1) < 1 || Int(REP2) < 1) {
        Boxes_.Error(dlgmsg::OneInning);
        return false;
    }
    if (Int(PM1) + Int(PM2) != 2) {
        Boxes_.Error(dlgmsg::MatchPoints);
        return false;
    }
    const std::int32_t pts1 = Int(PTS1), pts2 = Int(PTS2), pm1 = Int(PM1), pm2 = Int(PM2);
    if (pts1 == pts2 && pm1 != pm2) {
        return Boxes_.ConfirmOkCancel(dlgmsg::ConfirmDraw);
    }
    if (pts1 > pts2 && pm1 <= pm2) {
        return Boxes_.ConfirmOkCancel(dlgmsg::ConfirmPlayer1);
    }
    if (pts2 > pts1 && pm2 <= pm1) {
        return Boxes_.ConfirmOkCancel(dlgmsg::ConfirmPlayer2);
    }
    return true;
}

bool TMatchFrm::CheckRequired() {
    for (int f = 0; f < FieldCount; ++f) {
        const bool empty = f == DATEMATCH ? !Date_.has_value() : !Values_[f].has_value();
        if (empty) {
            Boxes_.Error(text::messages::WithText(dlgmsg::RequiredField, FieldLabel(static_cast<TField>(f))));
            return false;
        }
    }
    return true;
}

void TMatchFrm::GetParamMatch(TParamMatch& m) const {
    m.DateMatch = Date_.value_or(0.0);
    m.IdMatch = IdMatch_;
    m.IdPhase = IdPhase_;
    m.IdPoule = IdPoule_;
    m.Licence1 = Int(LICENCE1);
    m.Pts1 = Int(PTS1);
    m.Rep1 = Int(REP1);
    m.Ser1 = Int(SER1);
    m.Pm1 = Int(PM1);
    m.Licence2 = Int(LICENCE2);
    m.Pts2 = Int(PTS2);
    m.Rep2 = Int(REP2);
    m.Ser2 = Int(SER2);
    m.Pm2 = Int(PM2);
    m.Bd = Int(BD);
}

void TMatchFrm::SauveBtnClick() {
    if (!CommitAll() || !MatchsBeforePost() || !CheckRequired()) {
        return;  // the entry stays as typed
    }
    TParamMatch match;
    GetParamMatch(match);
    bool saved = false;
    try {
        saved = IdMatch_ == -1 ? Compet_.AddMatch(match) : Compet_.EditMatch(match);
    } catch (const Error& e) {
        TopLevelError(e.what());
        return;
    }
    if (!saved) {
        Boxes_.Error(Compet_.LastError);
        return;
    }
    accept();
}

void TMatchFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // the window system showing it again, not an opening
    }
    if (Dm_.Tables.Billards.IsEmpty()) {
        Boxes_.Error(dlgmsg::NoBilliards);
        return;
    }
    if (!Values_[BD]) {
        SetValue(BD, DefaultBilliard);
    }
    Billard_->setFocus();
}

void TMatchFrm::done(int result) {
    QDialog::done(result);
    // Nothing of an entry survives its dialog.
    Values_.fill(std::nullopt);
    Date_.reset();
    Joueurs_.EmptyTable();
    {
        TFlagScope showing(ShowingValue_);
        PlayersModel_->Refresh();
    }
    for (int f = 0; f < FieldCount; ++f) {
        ShowValue(static_cast<TField>(f));
    }
}

}  // namespace tavlor::ui
