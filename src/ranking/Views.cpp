#include "ranking/Views.h"

#include "ranking/FlatIndex.h"
#include "ranking/ViewsMessages.h"
#include "text/Numbers.h"

namespace tavlor {

namespace {

// Restores the cursor and resumes the grids' updates however the view ends.
class TRefreshScope {
public:
    TRefreshScope(IViewHost& host, TTable& players, TTable& matches)
        : Host_(host), Players_(players), Matches_(matches) {
        Host_.ShowBusyCursor();
        Players_.DisableControls();
        Matches_.DisableControls();
    }
    ~TRefreshScope() {
        Matches_.EnableControls();
        Players_.EnableControls();
        Host_.RestoreCursor();
    }
    TRefreshScope(const TRefreshScope&) = delete;
    TRefreshScope& operator=(const TRefreshScope&) = delete;

private:
    IViewHost& Host_;
    TTable& Players_;
    TTable& Matches_;
};

}  // namespace

TViews::TViews(TdmLocal& dm, IViewHost& host)
    : Dm_(dm),
      Tables_(dm.Tables),
      Host_(host),
      Stats_(dm.Tables),
      Ranks_(dm.Tables, dm.Tree),
      Joueurs_(dm.Tables.Joueurs.Clone()),
      Matchs_(dm.Tables.Matchs.Clone()),
      InscritsNom_(dm.Tables.Inscrits.Clone()) {
    Joueurs_->SetIndexName("IDPHPO");
    Matchs_->SetIndexName("");
    InscritsNom_->SetIndexName("IDXNOM");
}

void TViews::RefreshFiltres(std::uint8_t kind, std::int32_t id, std::int32_t idParent) {
    TTable& players = Tables_.FiltreJoueurs;
    TRefreshScope scope(Host_, players, Tables_.FiltreMatchs);
    TListTri phaseList, poolList;
    // The players' rows are numbered before they are written, once.
    Ranks_.Rank(kind, id, phaseList, poolList, Stats_.Cumuls(kind, id, idParent, phaseList, poolList));
    AddJoueursSansMatch(kind, id, idParent);
    players.First();
    Tables_.FiltreMatchs.First();
    SetVisibility(kind);
    Host_.ApplyColumnVisibility(players.Fields());
    SetCaptions(kind);
}

void TViews::SetVisibility(std::uint8_t kind) {
    TTableData& players = Tables_.FiltreJoueurs.Data();
    players.SetFieldVisible("CPO", kind == 1);
    players.SetFieldVisible("CPH", kind == 0);
    players.SetFieldVisible("CG", kind == 2);
    players.SetFieldVisible("NOM", kind != 3 && kind != 4);
    players.SetFieldVisible("NOMPOULE", kind == 3);
}

void TViews::SetCaptions(std::uint8_t kind) {
    switch (kind) {
        case 0:
            Host_.SetCaptions(viewmsg::PhasePlayers, viewmsg::PhaseMatches);
            break;
        case 1:
            Host_.SetCaptions(viewmsg::PoolPlayers, viewmsg::PoolMatches);
            break;
        case 2:
            Host_.SetCaptions(viewmsg::GeneralRanking, viewmsg::CompetitionMatches);
            break;
        case 3:
            Host_.SetCaptions(viewmsg::RegistrantTotals, viewmsg::PlayerMatches);
            break;
        case 4:
            Host_.SetCaptions(viewmsg::MemberTotals, viewmsg::PlayerMatches);
            break;
        default:
            Host_.SetCaptions(viewmsg::Unknown, viewmsg::Unknown);
            break;
    }
}

void TViews::AddJoueursSansMatch(std::uint8_t kind, std::int32_t id, std::int32_t idParent) {
    TTable& players = Tables_.FiltreJoueurs;
    TTableData& shown = players.Data();
    const int count = shown.StoredFieldCount();
    const int sPhase = shown.FieldByName("IDPHASE").StorageIndex;
    const int sPool = shown.FieldByName("IDPOULE").StorageIndex;
    const int sLicence = shown.FieldByName("LICENCE").StorageIndex;
    // The licences shown, then the rows written together at the end; a
    // licence met twice is added once.
    TIntSet shownLicences(static_cast<std::size_t>(players.Data().RowCount()) + 16);
    {
        TFilterScope every(players, "");
        const std::vector<const std::vector<TValue>*> shownRows = players.VisibleRowValues();
        for (const std::vector<TValue>* values : shownRows) {
            const TValue& v = (*values)[sLicence];
            if (!tavlor::IsNull(v)) {
                shownLicences.Insert(ValueAsInteger(v));
            }
        }
    }
    TFigureRows rows;
    rows.Stride = static_cast<std::size_t>(count);
    if (kind == 2) {
        // Registrants who never played, in name order, numbered in RGA.
        const int sRga = shown.FieldByName("RGA").StorageIndex;
        const TTable& registrants = *InscritsNom_;
        const int rLicence = registrants.FieldByName("LICENCE").StorageIndex;
        std::int32_t k = 0;
        for (const std::vector<TValue>* values : registrants.VisibleRowValues()) {
            const std::int32_t licence = ValueAsInteger((*values)[rLicence]);
            if (shownLicences.Insert(licence)) {
                TFigure* row = rows.Add();
                row[sLicence] = licence;
                row[sRga] = ++k;
            }
        }
        rows.AppendTo(players);
        return;
    }
    std::string filter;
    const std::string n = text::IntToStr(id);
    switch (kind) {
        case 0:
            filter = "IDPHASE=" + n;
            break;
        case 1:
            filter = "IDPOULE=" + n;
            break;
        case 3:
            filter = "LICENCE=" + n;
            break;
        case 4:
            filter = "IDPOULE=" + text::IntToStr(idParent) + " and LICENCE=" + n;
            break;
        default:
            return;
    }
    TTable& members = *Joueurs_;
    TFilterScope scope(members, filter);
    const TTableData& md = members.Data();
    const int mPhase = md.FieldByName("IDPHASE").StorageIndex, mPool = md.FieldByName("IDPOULE").StorageIndex,
              mLicence = md.FieldByName("LICENCE").StorageIndex;
    for (const std::vector<TValue>* values : members.VisibleRowValues()) {
        const std::int32_t licence = ValueAsInteger((*values)[mLicence]);
        if (shownLicences.Insert(licence)) {
            TFigure* row = rows.Add();
            row[sPhase] = ValueAsInteger((*values)[mPhase]);
            row[sPool] = ValueAsInteger((*values)[mPool]);
            row[sLicence] = licence;
        }
    }
    rows.AppendTo(players);
}

std::string TViews::GetNbJoueurs(std::uint8_t kind, std::int32_t id) {
    switch (kind) {
        case 0:
        case 1: {
            TFilterScope scope(*Joueurs_, (kind == 0 ? "IDPHASE=" : "IDPOULE=") + text::IntToStr(id));
            return text::IntToStr(Joueurs_->RecordCount());
        }
        case 2:
            return text::IntToStr(static_cast<std::int64_t>(Tables_.Inscrits.Data().RowCount()));
        case 3:
            return text::FormatFloat(LicenceFormat, id);
        default:
            return {};
    }
}

std::string TViews::GetNbMatchs(std::uint8_t kind, std::int32_t id, std::int32_t idParent) {
    const std::optional<std::string> filter = MatchFilter(kind, id, idParent);
    if (!filter) {
        return {};
    }
    TFilterScope scope(*Matchs_, *filter);
    return text::IntToStr(Matchs_->RecordCount());
}

int TViews::CompareJoueurs(std::int32_t idPoule, std::int32_t licence1, std::int32_t licence2) {
    return Dm_.CompareJoueurs(idPoule, licence1, licence2);
}

}  // namespace tavlor
