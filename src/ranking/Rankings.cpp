#include "ranking/Rankings.h"

#include "ranking/Statistics.h"
#include "text/Numbers.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace tavlor {

TRankings::TRankings(TCompetTables& tables, const TNodeTree& tree) : Tables_(tables), Tree_(tree) {}

void TRankings::CalcClassements(std::uint8_t kind, std::int32_t id, const TListTri& phaseList,
                                const TListTri& poolList) {
    TTable& players = Tables_.FiltreJoueurs;
    if (kind == 3 || kind == 4) {
        {
            // A player's views keep his own rows only, without rank.
            TFilterScope scope(players, "LICENCE<>" + text::IntToStr(id));
            players.First();
            while (!players.Eof()) {
                players.Delete();
            }
        }
        players.SetIndexFieldNames("IDPHASE");
        return;
    }
    for (const TItemTri& pool : poolList) {
        RankPoule(pool.Cle);
    }
    if (kind == 1) {
        players.SetIndexFieldNames("CPO");
        return;
    }
    for (const TItemTri& phase : phaseList) {
        RankPhase(phase.Cle);
    }
    if (kind == 0) {
        players.SetIndexFieldNames("CPH");
        return;
    }
    RankGeneral();
}

void TRankings::Number(const char* field) {
    TTable& players = Tables_.FiltreJoueurs;
    const int f = players.RequireField(field);
    std::int32_t rank = 0;
    for (players.First(); !players.Eof(); players.Next()) {
        players.SetFieldPosted(f, ++rank);
    }
}

void TRankings::RankPoule(std::int32_t idPoule) {
    TTable& players = Tables_.FiltreJoueurs;
    TFilterScope scope(players, "IDPOULE=" + text::IntToStr(idPoule));
    const TRowView pool = Tables_.Poules.Data().Lookup("IDPOULE", {idPoule});
    const std::int32_t formula = pool ? pool.AsInteger("FCLASST") : 0;
    players.SetIndexName(formula == 1 || formula == 2 ? "IDXCPOULES1" : "IDXCPOULES0");
    Number("CPO");
}

std::string TRankings::GetIndexPhase(std::int32_t idPhase) const {
    const TRowView phase = Tables_.Phases.Data().Lookup("IDPHASE", {idPhase});
    if (!phase) {
        return "IDXCPHASES";
    }
    const TNodeHandle node = phase.AsInteger("NODE");
    if (!Tree_.Exists(node)) {
        return "IDXCPHASES";
    }
    const std::vector<TNodeHandle>& pools = Tree_.Children(node);
    for (TNodeHandle pool : pools) {
        if (Tree_.ChildCount(pool) != Tree_.ChildCount(pools.front())) {
            return "IDXCPHASES2";
        }
    }
    return "IDXCPHASES";
}

void TRankings::RankPhase(std::int32_t idPhase) {
    TTable& players = Tables_.FiltreJoueurs;
    TFilterScope scope(players, "IDPHASE=" + text::IntToStr(idPhase));
    players.SetIndexName(GetIndexPhase(idPhase));
    Number("CPH");
}

void TRankings::RankGeneral() {
    TTable& players = Tables_.FiltreJoueurs;
    TTable& general = Tables_.ClasstGal;
    general.EmptyTable();
    const TTableData& pd = players.Data();
    auto slot = [&](const char* name) { return pd.FieldByName(name).StorageIndex; };
    const int sPhase = slot("IDPHASE"), sPool = slot("IDPOULE"), sLicence = slot("LICENCE"), sPts = slot("PTS"),
              sRep = slot("REP"), sSer = slot("SER"), sPm = slot("PM"), sNm = slot("NM"), sTv = slot("TV"),
              sMg = slot("MG"), sCg = slot("CG"), sMpart = slot("MPART");

    // One row per player, in the order of his first row met: latest phase
    // first, then phase rank. Sums add up; the best match average and the
    // best run replace the held value only when larger (so they stay empty
    // when never above 0, as an empty value reads 0).
    struct TPlayer {
        std::vector<TValue> Row;
        double Pts = 0;
        std::int64_t Rep = 0, Pm = 0, Nm = 0;  // 64 bits: no overflow whatever the pools hold
    };
    std::vector<TPlayer> merged;
    std::unordered_map<std::int32_t, std::size_t> byLicence;
    players.SetIndexName("IDXCGENERAL");
    for (players.First(); !players.Eof(); players.Next()) {
        const std::vector<TValue>& v = players.RowValues();
        const std::int32_t licence = ValueAsInteger(v[sLicence]);
        auto [it, created] = byLicence.try_emplace(licence, merged.size());
        if (created) {
            TPlayer p;
            p.Row.resize(pd.StoredFieldCount());
            p.Row[sPhase] = v[sPhase];
            p.Row[sPool] = v[sPool];
            p.Row[sLicence] = licence;
            p.Row[sCg] = static_cast<std::int32_t>(merged.size() + 1);
            merged.push_back(std::move(p));
        }
        TPlayer& p = merged[it->second];
        p.Pts += ValueAsFloat(v[sPts]);
        p.Rep += ValueAsInteger(v[sRep]);
        p.Pm += ValueAsInteger(v[sPm]);
        p.Nm += ValueAsInteger(v[sNm]);
        if (ValueAsFloat(v[sMpart]) > ValueAsFloat(p.Row[sMpart])) {
            p.Row[sMpart] = ValueAsFloat(v[sMpart]);
        }
        if (ValueAsInteger(v[sSer]) > ValueAsInteger(p.Row[sSer])) {
            p.Row[sSer] = ValueAsInteger(v[sSer]);
        }
        p.Row[sPts] = p.Pts;
        p.Row[sRep] = ClampedTotal(p.Rep);
        p.Row[sPm] = ClampedTotal(p.Pm);
        p.Row[sNm] = ClampedTotal(p.Nm);
        p.Row[sMg] = p.Rep >= 1 ? p.Pts / static_cast<double>(p.Rep) : 0.0;
        p.Row[sTv] = p.Nm >= 1 ? static_cast<double>(p.Pm) / (static_cast<double>(p.Nm) * 2.0) : 0.0;
    }
    try {
        for (TPlayer& p : merged) {
            general.AppendRow(std::move(p.Row));
        }
        // FiltreJoueurs and ClasstGal share their stored fields: copy row for row.
        players.SetIndexFieldNames("CG;RGA");
        players.EmptyTable();
        for (general.First(); !general.Eof(); general.Next()) {
            players.AppendRow(general.RowValues());
        }
    } catch (...) {
        general.EmptyTable();
        throw;
    }
    general.EmptyTable();
}

}  // namespace tavlor
