#include "ranking/Statistics.h"

#include "ranking/FlatIndex.h"
#include "ranking/ViewsMessages.h"
#include "text/Numbers.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tavlor {

namespace {

// Totals of one player in one pool while the matches are read; the sums in
// 64 bits, so that any figures the server sends add up without overflow.
struct TTotals {
    std::int32_t Phase, Pool, Licence;
    double Pts;
    std::int64_t Rep;
    std::int32_t Ser;
    std::int64_t Pm, Nm;
    double Mpart;
};

// Adds keys to a list as AddUnique(key, 0) does, without searching the list
// each time.
class TListOnce {
public:
    explicit TListOnce(TListTri& list) : List_(list), Seen_(static_cast<std::size_t>(list.Count()) + 16) {
        for (const TItemTri& item : list) {
            if (item.Rang == 0) {
                Seen_.Insert(item.Cle);
            }
        }
    }
    void Add(std::int32_t key) {
        if (Seen_.Insert(key)) {
            List_.Add(key, 0);
        }
    }

private:
    TListTri& List_;
    TIntSet Seen_;
};

}  // namespace

std::optional<std::string> MatchFilter(const TElement& element) {
    const std::string n = text::IntToStr(element.Id);
    switch (element.Kind) {
        case NodePhase:
            return "IDPHASE=" + n;
        case NodePool:
            return "IDPOULE=" + n;
        case NodeRegistrants:
            return std::string();
        case NodeRegistrant:
            return "LICENCE1=" + n + " or LICENCE2=" + n;
        case NodeMember:
            return "IDPOULE=" + text::IntToStr(element.IdParent) + " and (LICENCE1=" + n + " or LICENCE2=" + n + ")";
        default:
            return std::nullopt;
    }
}

TStatistics::TStatistics(TCompetTables& tables) : Tables_(tables), Matchs_(tables.Matchs.Clone()) {
    Tables_.FiltreMatchs.Data().SetCalcHandler(&TStatistics::FiltreMatchsCalcFields);
    Tables_.FiltreJoueurs.Data().SetFieldGetText("TV", &TStatistics::FiltreJoueursTVGetText);
}

void TStatistics::FiltreMatchsCalcFields(TTable& row) {
    const std::int32_t rep1 = row.AsInteger("REP1");
    const std::int32_t rep2 = row.AsInteger("REP2");
    row.SetFloat("MOY1", rep1 > 0 ? row.AsInteger("PTS1") / static_cast<double>(rep1) : 0.0);
    row.SetFloat("MOY2", rep2 > 0 ? row.AsInteger("PTS2") / static_cast<double>(rep2) : 0.0);
}

std::string TStatistics::FiltreJoueursTVGetText(const TValue& tv) {
    return text::FormatFloat("0", ValueAsFloat(tv) * 100.0) + msg::views::Percent;
}

void TFigureRows::AppendTo(TTable& table) const {
    std::vector<const TFigure*> rows(Size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = Row(i);
    }
    Append(table, rows, Stride);
}

void TFigureRows::Append(TTable& table, const std::vector<const TFigure*>& rows, std::size_t stride) {
    table.AppendRows(rows.size(), [&](std::size_t i, std::vector<TValue>& values) {
        for (std::size_t k = 0; k < values.size(); ++k) {
            CopyValue(values[k], k < stride ? rows[i][k] : TFigure());
        }
    });
}

void TStatistics::CalcCumuls(const TElement& element, TListTri& phaseList, TListTri& poolList) {
    Cumuls(element, phaseList, poolList).AppendTo(Tables_.FiltreJoueurs);
}

TFigureRows& TStatistics::Cumuls(const TElement& element, TListTri& phaseList, TListTri& poolList) {
    TTable& shownMatches = Tables_.FiltreMatchs;
    TTable& players = Tables_.FiltreJoueurs;
    shownMatches.EmptyTable();
    players.EmptyTable();
    players.SetIndexName("IDXPHPOLI");
    TFigureRows& rows = Rows_;
    rows.Cells.clear();
    rows.Stride = static_cast<std::size_t>(players.Data().StoredFieldCount());
    const std::optional<std::string> filter = MatchFilter(element);
    if (!filter) {
        return rows;
    }

    TTable& matchs = *Matchs_;
    TFilterScope scope(matchs, *filter);
    const TTableData& md = matchs.Data();
    auto slot = [&](const char* name) { return md.FieldByName(name).StorageIndex; };
    const int sPhase = slot("IDPHASE"), sPool = slot("IDPOULE"), sCoef = slot("COEFBD");
    const int sLicence[2] = {slot("LICENCE1"), slot("LICENCE2")};
    const int sPts[2] = {slot("PTS1"), slot("PTS2")};
    const int sRep[2] = {slot("REP1"), slot("REP2")};
    const int sSer[2] = {slot("SER1"), slot("SER2")};
    const int sPm[2] = {slot("PM1"), slot("PM2")};

    // One pass over the selected matches in their stored order, while each is
    // copied into the shown matches: each side adds into its (phase, pool,
    // licence) totals, created when first met.
    const std::vector<const std::vector<TValue>*> matchRows = matchs.VisibleRowValues();
    std::vector<TTotals> totals;
    TFlatIndex index(matchRows.size());
    TListOnce phases(phaseList), pools(poolList);
    auto add = [&](const std::vector<TValue>& v) {
        const std::int32_t phase = ValueAsInteger(v[sPhase]);
        const std::int32_t pool = ValueAsInteger(v[sPool]);
        const double coef = ValueAsFloat(v[sCoef]);
        for (int i = 0; i < 2; ++i) {
            const int j = 1 - i;
            const std::int32_t licence = ValueAsInteger(v[sLicence[i]]);
            const std::int32_t rep = ValueAsInteger(v[sRep[i]]);
            const std::int32_t ser = ValueAsInteger(v[sSer[i]]);
            const std::int32_t pm = ValueAsInteger(v[sPm[i]]);
            const std::int32_t pmOther = ValueAsInteger(v[sPm[j]]);
            const double w = ValueAsInteger(v[sPts[i]]) * coef;
            const std::uint64_t hash = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(phase)) * 1000003u ^
                                        static_cast<std::uint32_t>(pool)) *
                                           1000003u ^
                                       static_cast<std::uint32_t>(licence);
            const auto [at, created] = index.Find(hash, [&](std::uint32_t k) {
                const TTotals& t = totals[k];
                return t.Licence == licence && t.Pool == pool && t.Phase == phase;
            });
            if (!created) {
                TTotals& t = totals[at];
                t.Pts += w;
                t.Rep += rep;
                t.Pm += pm;
                t.Nm += 1;
                if (ser > t.Ser) {
                    t.Ser = ser;
                }
                if (pm >= pmOther && rep > 0 && t.Mpart < w / rep) {
                    t.Mpart = w / rep;
                }
                continue;
            }
            if (i == 0) {
                phases.Add(phase);
                pools.Add(pool);
            }
            totals.push_back({phase, pool, licence, w, rep, ser, pm, 1, (pm < pmOther || rep <= 0) ? 0.0 : w / rep});
        }
    };
    shownMatches.AppendRows(matchRows.size(), [&](std::size_t i, std::vector<TValue>& values) {
        // The rows lie apart in memory: ask for the next ones early.
        if (i + 16 < matchRows.size()) {
            __builtin_prefetch(matchRows[i + 16]);
        }
        if (i + 8 < matchRows.size()) {
            const char* ahead = reinterpret_cast<const char*>(matchRows[i + 8]->data());
            for (std::size_t b = 0; b < matchRows[i + 8]->size() * sizeof(TValue); b += 64) {
                __builtin_prefetch(ahead + b);
            }
        }
        const std::vector<TValue>& from = *matchRows[i];
        add(from);
        for (std::size_t k = 0; k < values.size(); ++k) {
            CopyValue(values[k], k < from.size() ? from[k] : kNullValue);
        }
    });

    const TTableData& pd = players.Data();
    auto pslot = [&](const char* name) { return pd.FieldByName(name).StorageIndex; };
    const int pPhase = pslot("IDPHASE"), pPool = pslot("IDPOULE"), pLicence = pslot("LICENCE"), pPts = pslot("PTS"),
              pRep = pslot("REP"), pSer = pslot("SER"), pPm = pslot("PM"), pNm = pslot("NM"), pTv = pslot("TV"),
              pMg = pslot("MG"), pMpart = pslot("MPART");
    rows.Cells.reserve(totals.size() * rows.Stride);
    for (const TTotals& t : totals) {
        TFigure* row = rows.Add();
        row[pPhase] = t.Phase;
        row[pPool] = t.Pool;
        row[pLicence] = t.Licence;
        row[pPts] = t.Pts;
        row[pRep] = ClampedTotal(t.Rep);
        row[pSer] = t.Ser;
        row[pPm] = ClampedTotal(t.Pm);
        row[pNm] = ClampedTotal(t.Nm);
        row[pTv] = t.Nm > 0 ? static_cast<double>(t.Pm) / (static_cast<double>(t.Nm) * 2.0) : 0.0;
        row[pMg] = t.Rep > 0 ? t.Pts / static_cast<double>(t.Rep) : 0.0;
        row[pMpart] = t.Mpart;
    }
    return rows;
}

}  // namespace tavlor
