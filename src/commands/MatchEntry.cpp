#include "commands/MatchEntry.h"

#include "commands/MatchEntryMessages.h"
#include "commands/UserBoxes.h"
#include "model/dbLocal.h"
#include "text/Error.h"
#include "text/Numbers.h"
#include "text/TextMessages.h"

#include <exception>

namespace tavlor {

namespace m = msg::matchentry;

namespace {

// Sets a flag for a scope and gives it back its former state, also on an exception.
struct TFlagScope {
    bool& Flag;
    bool Former;
    explicit TFlagScope(bool& flag) : Flag(flag), Former(flag) { Flag = true; }
    ~TFlagScope() { Flag = Former; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

}  // namespace

const char* TMatchEntry::FieldLabel(TField field) {
    static constexpr const char* labels[FieldCount] = {m::LabelLicence1, m::LabelPts1,     m::LabelRep1, m::LabelSer1,
                                                       m::LabelPm1,      m::LabelLicence2, m::LabelPts2, m::LabelRep2,
                                                       m::LabelSer2,     m::LabelPm2,      m::LabelDate, m::LabelBd};
    return labels[field];
}

TMatchEntry::TMatchEntry(TCompetition& compet, TdmLocal& dm, IUserBoxes& boxes)
    : Compet_(compet),
      Dm_(dm),
      Boxes_(boxes),
      Joueurs_("Joueurs", {IntegerField("LICENCE"), StringField("NOM", 50)}, {{"IDXNOM", {{"NOM"}}}}) {
    Joueurs_.SetIndexName("IDXNOM");
}

void TMatchEntry::Changed(TField field) const {
    if (OnValueChanged) OnValueChanged(field);
}

bool TMatchEntry::OpenPool(std::int32_t pool) {
    const TRowView poule = Dm_.Tables.Poules.Data().Lookup("IDPOULE", {pool});
    if (!poule) {
        Boxes_.Error(m::UnknownPool(text::IntToStr(pool)));
        return false;
    }
    IdPoule_ = pool;
    IdPhase_ = poule.AsInteger("IDPHASE");
    NomPoule_ = poule.AsString("NOMPOULE");
    NomPhase_ = Dm_.Tables.Phases.Data().Lookup("IDPHASE", {IdPhase_}).AsString("NOMPHASE");
    FillJoueurs(pool);
    return true;
}

void TMatchEntry::StartEntry() {
    Values_.fill(std::nullopt);
    Date_.reset();
    for (int f = 0; f < FieldCount; ++f) Changed(static_cast<TField>(f));
}

bool TMatchEntry::PrepareAdd(std::int32_t pool, std::int32_t licence, double today) {
    if (!Compet_.CanModify()) {
        Boxes_.Error(Compet_.LastError);
        return false;
    }
    IdMatch_ = -1;
    if (!OpenPool(pool)) return false;
    StartEntry();
    // A new match most likely takes place where and when the pool's first one did.
    std::unique_ptr<TTable> matchs = Dm_.Tables.Matchs.Clone();
    matchs->SetFilter("IDPOULE = " + text::IntToStr(pool));
    matchs->SetFiltered(true);
    matchs->First();
    if (matchs->HasCurrent()) {
        PickerDate_ = matchs->AsDateTime("DATEMATCH");
        SetValue(BD, matchs->IsNull("BD") ? std::nullopt : std::optional<std::int32_t>(matchs->AsInteger("BD")));
    } else {
        PickerDate_ = today;
        SetValue(BD, DefaultBilliard);
    }
    if (licence != -1) SetValue(LICENCE1, licence);
    Opened_ = Values_;
    return true;
}

bool TMatchEntry::PrepareEdit(std::int32_t idMatch, double today) {
    if (!Compet_.CanModify()) {
        Boxes_.Error(Compet_.LastError);
        return false;
    }
    std::unique_ptr<TTable> row = Dm_.Tables.FiltreMatchs.Clone();
    row->SetIndexName("");
    if (!row->Locate("IDMATCH", {idMatch})) return false;  // no such match shown
    IdMatch_ = idMatch;
    if (!OpenPool(row->AsInteger("IDPOULE"))) return false;
    StartEntry();
    const auto value = [&row](const char* name) {
        return row->IsNull(name) ? std::nullopt : std::optional<std::int32_t>(row->AsInteger(name));
    };
    static constexpr std::pair<TField, const char*> filled[] = {
        {LICENCE1, "LICENCE1"}, {PTS1, "PTS1"}, {REP1, "REP1"}, {SER1, "SER1"}, {PM1, "PM1"},
        {LICENCE2, "LICENCE2"}, {PTS2, "PTS2"}, {REP2, "REP2"}, {SER2, "SER2"}, {PM2, "PM2"}};
    for (const auto& [field, name] : filled) SetValue(field, value(name));
    PickerDate_ = row->IsNull("DATEMATCH") ? today : row->AsDateTime("DATEMATCH");
    SetValue(BD, value("BD"));
    Opened_ = Values_;
    return true;
}

void TMatchEntry::FillJoueurs(std::int32_t pool) {
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
}

void TMatchEntry::SetValue(TField field, std::optional<std::int32_t> value) {
    Values_[field] = value;
    Changed(field);
    if ((field == PM1 || field == PM2) && value && !WritingPm_) {
        // The other side gets what is left of the 2 points, without answering back.
        TFlagScope writing(WritingPm_);
        SetValue(field == PM1 ? PM2 : PM1, 2 - *value);
    }
    if (field == REP1 && value && !Values_[REP2]) SetValue(REP2, value);
}

bool TMatchEntry::CommitNumber(TField field, const std::string& typed) {
    std::optional<std::int32_t> value;
    if (!typed.empty()) {
        value = text::ParseInt32(typed);
        if (!value) {
            // Letters, or more than a 32-bit field holds: never read as 0.
            Changed(field);
            Boxes_.Error(msg::text::NotAnInteger(typed));
            return false;
        }
    }
    if (value == Values_[field]) {
        Changed(field);
        return true;
    }
    const bool mustBePositive = field == PTS1 || field == SER1 || field == PTS2 || field == SER2;
    if (mustBePositive && value && *value < 0) {
        Changed(field);
        Boxes_.Error(m::MustBePositive(FieldLabel(field)));
        return false;
    }
    SetValue(field, value);
    return true;
}

bool TMatchEntry::MatchsBeforePost(double pickerDate) {
    if (Dm_.Tables.Billards.IsEmpty()) {
        Boxes_.Error(m::NoBilliards);
        return false;
    }
    Date_ = pickerDate;
    if (Int(LICENCE1) == Int(LICENCE2)) {
        Boxes_.Error(m::SameLicence);
        return false;
    }
    if (Int(REP1) < 1 || Int(REP2) < 1) {
        Boxes_.Error(m::OneInning);
        return false;
    }
    if (Int(PM1) + Int(PM2) != 2) {
        Boxes_.Error(m::MatchPoints);
        return false;
    }
    const std::int32_t pts1 = Int(PTS1), pts2 = Int(PTS2), pm1 = Int(PM1), pm2 = Int(PM2);
    if (pts1 == pts2 && pm1 != pm2) return Boxes_.ConfirmOkCancel(m::ConfirmDraw);
    if (pts1 > pts2 && pm1 <= pm2) return Boxes_.ConfirmOkCancel(m::ConfirmPlayer1);
    if (pts2 > pts1 && pm2 <= pm1) return Boxes_.ConfirmOkCancel(m::ConfirmPlayer2);
    return true;
}

bool TMatchEntry::CheckRequired() {
    for (int f = 0; f < FieldCount; ++f) {
        const bool empty = f == DATEMATCH ? !Date_.has_value() : !Values_[f].has_value();
        if (empty) {
            Boxes_.Error(m::RequiredField(FieldLabel(static_cast<TField>(f))));
            return false;
        }
    }
    return true;
}

void TMatchEntry::GetParamMatch(TParamMatch& m) const {
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

bool TMatchEntry::Save(double pickerDate) {
    if (!MatchsBeforePost(pickerDate) || !CheckRequired()) return false;  // the entry stays as typed
    TParamMatch match;
    GetParamMatch(match);
    bool saved = false;
    try {
        saved = IdMatch_ == -1 ? Compet_.AddMatch(match) : Compet_.EditMatch(match);
    } catch (const Error& e) {
        ShowEndedCommand(Boxes_, e);
        return false;
    }
    if (!saved) {
        Boxes_.Error(Compet_.LastError);
        return false;
    }
    return true;
}

void TMatchEntry::Clear() {
    Values_.fill(std::nullopt);
    Opened_.fill(std::nullopt);
    Date_.reset();
    Joueurs_.EmptyTable();
    for (int f = 0; f < FieldCount; ++f) Changed(static_cast<TField>(f));
}

}  // namespace tavlor
