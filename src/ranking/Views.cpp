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

void TViews::RefreshFiltres(const TElement& element) {
    TTable& players = Tables_.FiltreJoueurs;
    TRefreshScope scope(Host_, players, Tables_.FiltreMatchs);
    TListTri phaseList, poolList;
    // The players' rows are numbered before they are written, once.
    Ranks_.Rank(element, phaseList, poolList, Stats_.Cumuls(element, phaseList, poolList));
    AddJoueursSansMatch(element);
    players.First();
    Tables_.FiltreMatchs.First();
    SetVisibility(element.Kind);
    Host_.ApplyColumnVisibility(players.Fields());
    SetCaptions(element.Kind);
}

void TViews::SetVisibility(TNodeKind kind) {
    TTableData& players = Tables_.FiltreJoueurs.Data();
    players.SetFieldVisible("CPO", kind == NodePool);
    players.SetFieldVisible("CPH", kind == NodePhase);
    players.SetFieldVisible("CG", kind == NodeRegistrants);
    players.SetFieldVisible("NOM", kind != NodeRegistrant && kind != NodeMember);
    players.SetFieldVisible("NOMPOULE", kind == NodeRegistrant);
}

void TViews::SetCaptions(TNodeKind kind) {
    switch (kind) {
        case NodePhase:
            RankingCaption_ = msg::views::PhasePlayers;
            MatchesCaption_ = msg::views::PhaseMatches;
            break;
        case NodePool:
            RankingCaption_ = msg::views::PoolPlayers;
            MatchesCaption_ = msg::views::PoolMatches;
            break;
        case NodeRegistrants:
            RankingCaption_ = msg::views::GeneralRanking;
            MatchesCaption_ = msg::views::CompetitionMatches;
            break;
        case NodeRegistrant:
            RankingCaption_ = msg::views::RegistrantTotals;
            MatchesCaption_ = msg::views::PlayerMatches;
            break;
        case NodeMember:
            RankingCaption_ = msg::views::MemberTotals;
            MatchesCaption_ = msg::views::PlayerMatches;
            break;
        default:
            RankingCaption_ = msg::views::Unknown;
            MatchesCaption_ = msg::views::Unknown;
            break;
    }
    Host_.SetCaptions(RankingCaption_, MatchesCaption_);
}

std::vector<std::string> TViews::ElementPath(const TElement& element) {
    std::vector<std::string> path;
    // A pool's line: its phase's name, then its own.
    const auto pool = [&](std::int32_t number) {
        if (const TRowView row = Tables_.Poules.Data().Lookup("IDPOULE", {number})) {
            path.push_back(Dm_.PhaseLabel(row.AsInteger("IDPHASE")));
        }
        path.push_back(Dm_.PoolLabel(number));
    };
    switch (element.Kind) {
        case NodePhase:
            path.push_back(Dm_.PhaseLabel(element.Id));
            break;
        case NodePool:
            pool(element.Id);
            break;
        case NodeRegistrants:
            path.push_back(Dm_.GetNomElement({NodeRegistrants}));
            break;
        case NodeRegistrant:
            path.push_back(Dm_.GetNomElement({NodeRegistrants}));
            path.push_back(Dm_.GetNomElement(element));
            break;
        case NodeMember:
            if (element.IdParent != -1) pool(element.IdParent);
            path.push_back(Dm_.GetNomElement(element));
            break;
    }
    return path;
}

void TViews::AddJoueursSansMatch(const TElement& element) {
    const TNodeKind kind = element.Kind;
    const std::int32_t id = element.Id;
    const std::int32_t idParent = element.IdParent;
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
    if (kind == NodeRegistrants) {
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
        case NodePhase:
            filter = "IDPHASE=" + n;
            break;
        case NodePool:
            filter = "IDPOULE=" + n;
            break;
        case NodeRegistrant:
            filter = "LICENCE=" + n;
            break;
        case NodeMember:
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

std::string TViews::GetNbJoueurs(const TElement& element) {
    switch (element.Kind) {
        case NodePhase:
        case NodePool: {
            const char* field = element.Kind == NodePhase ? "IDPHASE=" : "IDPOULE=";
            TFilterScope scope(*Joueurs_, field + text::IntToStr(element.Id));
            return text::IntToStr(Joueurs_->RecordCount());
        }
        case NodeRegistrants:
            return text::IntToStr(static_cast<std::int64_t>(Tables_.Inscrits.Data().RowCount()));
        case NodeRegistrant:
            return text::FormatFloat(LicenceFormat, element.Id);
        default:
            return {};
    }
}

std::string TViews::GetNbMatchs(const TElement& element) {
    const std::optional<std::string> filter = MatchFilter(element);
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
