#include "ranking/Rankings.h"

#include "ranking/FlatIndex.h"
#include "text/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace tavlor {

namespace {

// A key value as one unsigned number in the order the orders give numbers:
// null first, then NaN, then numbers by value (0 and -0 equal); complemented
// for a descending key.
std::uint64_t SortKey(const TFigure& v, bool descending) {
    std::uint64_t key;
    if (IsNull(v)) {
        key = 0;
    } else {
        const double x = ValueAsFloat(v) + 0.0;  // -0 becomes 0
        if (std::isnan(x)) {
            key = 1;
        } else {
            std::uint64_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            // Negative numbers reversed below the positive ones; -inf still above 1.
            key = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
        }
    }
    return descending ? ~key : key;
}

// Rows of a TFigureRows compared as a table's order compares them: on the
// keys, then in the order the rows came (which is their place in memory).
struct TFigureLess {
    const TOrderKeys* Keys;
    bool operator()(const TFigure* a, const TFigure* b) const {
        for (const TOrderKey& k : *Keys) {
            const std::uint64_t x = SortKey(a[k.Slot], k.Descending), y = SortKey(b[k.Slot], k.Descending);
            if (x != y) {
                return x < y;
            }
        }
        return a < b;
    }
};

constexpr std::size_t kMaxSortKeys = 6;

// Sorts rows as TFigureLess does. The keys of each row are first copied side
// by side, which sorting reaches far faster than the rows themselves.
struct TSortEntry {
    std::array<std::uint64_t, kMaxSortKeys> Keys;
    const TFigure* Row;
};

template <class TRowPtr>
void SortRows(TRowPtr* first, TRowPtr* last, const TOrderKeys& keys, std::vector<TSortEntry>& entries) {
    const std::size_t count = keys.size();
    if (count > kMaxSortKeys) {
        std::sort(first, last, TFigureLess{&keys});
        return;
    }
    const std::size_t n = static_cast<std::size_t>(last - first);
    entries.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        entries[i].Row = first[i];
        for (std::size_t k = 0; k < count; ++k) {
            entries[i].Keys[k] = SortKey(first[i][keys[k].Slot], keys[k].Descending);
        }
    }
    std::sort(entries.begin(), entries.end(), [count](const TSortEntry& a, const TSortEntry& b) {
        for (std::size_t k = 0; k < count; ++k) {
            if (a.Keys[k] != b.Keys[k]) {
                return a.Keys[k] < b.Keys[k];
            }
        }
        return a.Row < b.Row;
    });
    for (std::size_t i = 0; i < n; ++i) {
        first[i] = const_cast<TRowPtr>(entries[i].Row);
    }
}

// Sorts rows, in place and stably, on one ascending key whose values are
// null or integers of a narrow range (ranks, phase numbers): by counting.
// False, the rows untouched, when the key is not of that kind.
bool SortByCounting(std::vector<const TFigure*>& rows, const TOrderKeys& keys) {
    if (keys.size() != 1 || keys.front().Descending || rows.empty()) {
        return false;
    }
    const int slot = keys.front().Slot;
    std::int64_t low = std::numeric_limits<std::int32_t>::max(), high = std::numeric_limits<std::int32_t>::min();
    for (const TFigure* row : rows) {
        if (const auto* i = std::get_if<std::int32_t>(&row[slot])) {
            low = std::min<std::int64_t>(low, *i);
            high = std::max<std::int64_t>(high, *i);
        } else if (!IsNull(row[slot])) {
            return false;
        }
    }
    if (low > high) {
        return true;  // all null: already in order
    }
    const std::size_t range = static_cast<std::size_t>(high - low) + 1;
    if (range > 4 * rows.size() + 16) {
        return false;
    }
    // Bucket 0 holds the nulls, which come first.
    auto bucket = [&](const TFigure* row) {
        const auto* i = std::get_if<std::int32_t>(&row[slot]);
        return i == nullptr ? 0 : static_cast<std::size_t>(*i - low) + 1;
    };
    std::vector<std::size_t> start(range + 2, 0);
    for (const TFigure* row : rows) {
        ++start[bucket(row) + 1];
    }
    for (std::size_t b = 1; b < start.size(); ++b) {
        start[b] += start[b - 1];
    }
    std::vector<const TFigure*> sorted(rows.size());
    for (const TFigure* row : rows) {
        sorted[start[bucket(row)]++] = row;
    }
    rows.swap(sorted);
    return true;
}

template <class TRowPtr>
void SortRows(std::vector<TRowPtr>& rows, const TOrderKeys& keys) {
    std::vector<TSortEntry> entries;
    SortRows(rows.data(), rows.data() + rows.size(), keys, entries);
}

// The keys that order the rows within a group made on groupSlot: its leading
// keys on that slot (equal throughout) are left out.
TOrderKeys KeysWithin(const TOrderKeys& keys, int groupSlot) {
    TOrderKeys rest(keys);
    while (!rest.empty() && rest.front().Slot == groupSlot) {
        rest.erase(rest.begin());
    }
    return rest;
}

// The rows of each listed number (in that slot), in the order they came;
// each number once, in the order of the list. What a filter "FIELD=n" lets
// pass: a null value is no number. All groups lie in one array.
struct TGroups {
    std::vector<std::int32_t> Keys;  // per group
    std::vector<std::size_t> Start;  // per group, then one past the last row
    std::vector<TFigure*> Rows;
    std::size_t Count() const { return Keys.size(); }
    TFigure** Begin(std::size_t g) { return Rows.data() + Start[g]; }
    TFigure** End(std::size_t g) { return Rows.data() + Start[g + 1]; }
};

TGroups Groups(const TListTri& list, TFigureRows& rows, int slot) {
    TGroups groups;
    TFlatIndex at(static_cast<std::size_t>(list.Count()));
    for (const TItemTri& item : list) {
        const std::int32_t key = item.Cle;
        if (at.Find(static_cast<std::uint32_t>(key), [&](std::uint32_t g) { return groups.Keys[g] == key; }).second) {
            groups.Keys.push_back(key);
        }
    }
    const std::size_t count = groups.Keys.size();
    std::vector<std::uint32_t> groupOf(rows.Size(), 0xFFFFFFFFu);
    groups.Start.assign(count + 1, 0);
    for (std::size_t i = 0; i < rows.Size(); ++i) {
        const TFigure& v = rows.Row(i)[slot];
        if (IsNull(v)) {
            continue;
        }
        const std::int32_t key = ValueAsInteger(v);
        const auto g =
            at.Lookup(static_cast<std::uint32_t>(key), [&](std::uint32_t k) { return groups.Keys[k] == key; });
        if (g) {
            groupOf[i] = *g;
            ++groups.Start[*g + 1];
        }
    }
    for (std::size_t g = 0; g < count; ++g) {
        groups.Start[g + 1] += groups.Start[g];
    }
    groups.Rows.resize(groups.Start[count]);
    std::vector<std::size_t> next(groups.Start.begin(), groups.Start.end() - 1);
    for (std::size_t i = 0; i < rows.Size(); ++i) {
        if (groupOf[i] != 0xFFFFFFFFu) {
            groups.Rows[next[groupOf[i]]++] = rows.Row(i);
        }
    }
    return groups;
}

// Numbers a group of rows 1, 2, ... into a slot, in the order of the keys.
void Number(TFigure** first, TFigure** last, const TOrderKeys& keys, int slot, std::vector<TSortEntry>& scratch) {
    SortRows(first, last, keys, scratch);
    std::int32_t rank = 0;
    for (TFigure** row = first; row != last; ++row) {
        (*row)[slot] = ++rank;
    }
}

}  // namespace

TRankings::TRankings(TCompetTables& tables, const TNodeTree& tree) : Tables_(tables), Tree_(tree) {}

void TRankings::CalcClassements(const TElement& element, const TListTri& phaseList, const TListTri& poolList) {
    TTable& players = Tables_.FiltreJoueurs;
    // The rows as they were added.
    TFigureRows rows;
    rows.Stride = static_cast<std::size_t>(players.Data().StoredFieldCount());
    {
        auto inOrder = players.Clone();
        inOrder->SetIndexName("");
        for (inOrder->First(); !inOrder->Eof(); inOrder->Next()) {
            const std::vector<TValue>& values = inOrder->RowValues();
            std::transform(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rows.Stride), rows.Add(),
                           [](const TValue& v) { return ToFigure(v); });
        }
    }
    players.EmptyTable();
    Rank(element, phaseList, poolList, rows);
}

void TRankings::Rank(const TElement& element, const TListTri& phaseList, const TListTri& poolList, TFigureRows& rows) {
    const std::int32_t id = element.Id;
    TTable& players = Tables_.FiltreJoueurs;
    const TTableData& pd = players.Data();
    if (rows.Stride != static_cast<std::size_t>(pd.StoredFieldCount())) {
        rows.Cells.clear();
        rows.Stride = static_cast<std::size_t>(pd.StoredFieldCount());
    }
    auto write = [&](const char* order, bool (*keep)(const TFigure*, int, std::int32_t), int slot) {
        players.SetIndexFieldNames(order);
        std::vector<const TFigure*> kept;
        kept.reserve(rows.Size());
        for (std::size_t i = 0; i < rows.Size(); ++i) {
            if (keep == nullptr || keep(rows.Row(i), slot, id)) {
                kept.push_back(rows.Row(i));
            }
        }
        // Written in the order's own sequence, the table finds its order
        // already built (ties stay in the order the rows came, which is
        // their order in memory).
        const TOrderKeys keys = players.FieldListKeys(order);
        if (!SortByCounting(kept, keys)) {
            SortRows(kept, keys);
        }
        TFigureRows::Append(players, kept, rows.Stride);
    };

    if (element.Kind == NodeRegistrant || element.Kind == NodeMember) {
        // A player's views keep his own rows only, without rank.
        write(
            "IDPHASE",
            [](const TFigure* row, int slot, std::int32_t licence) {
                return !IsNull(row[slot]) && ValueAsInteger(row[slot]) == licence;
            },
            pd.FieldByName("LICENCE").StorageIndex);
        return;
    }
    RankPools(poolList, rows);
    if (element.Kind == NodePool) {
        write("CPO", nullptr, 0);
        return;
    }
    RankPhases(phaseList, rows);
    if (element.Kind == NodePhase) {
        write("CPH", nullptr, 0);
        return;
    }
    RankGeneral(rows);
    players.SetIndexFieldNames("CG;RGA");
    General_.AppendTo(players);
}

void TRankings::RankPools(const TListTri& poolList, TFigureRows& rows) {
    const TTable& players = Tables_.FiltreJoueurs;
    const int sPool = players.FieldByName("IDPOULE").StorageIndex;
    const int sCpo = players.FieldByName("CPO").StorageIndex;
    const TOrderKeys byMatchPoints = KeysWithin(players.IndexKeys("IDXCPOULES0"), sPool);
    const TOrderKeys byWinRate = KeysWithin(players.IndexKeys("IDXCPOULES1"), sPool);
    TGroups groups = Groups(poolList, rows, sPool);
    std::vector<TSortEntry> scratch;
    for (std::size_t g = 0; g < groups.Count(); ++g) {
        const TRowView def = Tables_.Poules.Data().Lookup("IDPOULE", {groups.Keys[g]});
        const std::int32_t formula = def ? def.AsInteger("FCLASST") : 0;
        Number(groups.Begin(g), groups.End(g), formula == 1 || formula == 2 ? byWinRate : byMatchPoints, sCpo, scratch);
    }
}

void TRankings::RankPhases(const TListTri& phaseList, TFigureRows& rows) {
    const TTable& players = Tables_.FiltreJoueurs;
    const int sPhase = players.FieldByName("IDPHASE").StorageIndex;
    const int sCph = players.FieldByName("CPH").StorageIndex;
    TGroups groups = Groups(phaseList, rows, sPhase);
    std::vector<TSortEntry> scratch;
    for (std::size_t g = 0; g < groups.Count(); ++g) {
        Number(groups.Begin(g), groups.End(g), KeysWithin(players.IndexKeys(GetIndexPhase(groups.Keys[g])), sPhase),
               sCph, scratch);
    }
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

void TRankings::RankGeneral(const TFigureRows& rows) {
    const TTable& players = Tables_.FiltreJoueurs;
    const TTableData& pd = players.Data();
    auto slot = [&](const char* name) { return pd.FieldByName(name).StorageIndex; };
    const int sPhase = slot("IDPHASE"), sPool = slot("IDPOULE"), sLicence = slot("LICENCE"), sPts = slot("PTS"),
              sRep = slot("REP"), sSer = slot("SER"), sPm = slot("PM"), sNm = slot("NM"), sTv = slot("TV"),
              sMg = slot("MG"), sCg = slot("CG"), sMpart = slot("MPART");

    // One row per player, in the order of his first row met: latest phase
    // first, then phase rank. Sums add up; the best match average and the
    // best run replace the held value only when larger (so they stay empty
    // when never above 0, as an empty value reads 0).
    struct TSums {
        double Pts = 0;
        std::int64_t Rep = 0, Pm = 0, Nm = 0;  // 64 bits: no overflow whatever the pools hold
    };
    // The order of the rows is IDXCGENERAL's. Rather than sorting them all,
    // each player's rows are sorted among themselves (his first row is where
    // he ranks, and his sums add up in that order), then the players by
    // their first rows.
    const TOrderKeys keys = players.IndexKeys("IDXCGENERAL");
    const TFigureLess less{&keys};
    const std::size_t n = rows.Size();
    std::vector<std::uint32_t> playerOf(n);
    std::vector<std::uint32_t> start;     // per player: where his rows begin, then one past the last
    std::vector<std::int32_t> licenceOf;  // per player
    TFlatIndex byLicence(n / 2);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t licence = ValueAsInteger(rows.Row(i)[sLicence]);
        const auto [player, created] = byLicence.Find(static_cast<std::uint32_t>(licence),
                                                      [&](std::uint32_t p) { return licenceOf[p] == licence; });
        if (created) {
            start.push_back(0);
            licenceOf.push_back(licence);
        }
        playerOf[i] = player;
        ++start[player];
    }
    const std::size_t playerCount = start.size();
    std::uint32_t at = 0;
    for (std::uint32_t& s : start) {
        const std::uint32_t count = s;
        s = at;
        at += count;
    }
    start.push_back(at);
    std::vector<const TFigure*> grouped(n);
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            grouped[next[playerOf[i]]++] = rows.Row(i);
        }
    }
    std::vector<const TFigure*> firstRows(playerCount);
    for (std::uint32_t p = 0; p < playerCount; ++p) {
        std::sort(grouped.begin() + start[p], grouped.begin() + start[p + 1], less);
        firstRows[p] = grouped[start[p]];
    }
    SortRows(firstRows, keys);
    std::vector<std::uint32_t> ranked(playerCount);
    for (std::size_t k = 0; k < playerCount; ++k) {
        ranked[k] = playerOf[static_cast<std::size_t>(firstRows[k] - rows.Row(0)) / rows.Stride];
    }

    TFigureRows& merged = General_;
    merged.Cells.clear();
    merged.Stride = rows.Stride;
    merged.Cells.reserve(playerCount * rows.Stride);
    std::vector<TSums> sums(playerCount);
    for (std::uint32_t k = 0; k < playerCount; ++k) {
        const std::uint32_t player = ranked[k];
        TFigure* p = merged.Add();
        TSums& s = sums[k];
        for (std::uint32_t r = start[player]; r < start[player + 1]; ++r) {
            const TFigure* v = grouped[r];
            if (r == start[player]) {
                p[sPhase] = v[sPhase];
                p[sPool] = v[sPool];
                p[sLicence] = ValueAsInteger(v[sLicence]);
                p[sCg] = static_cast<std::int32_t>(k + 1);
            }
            s.Pts += ValueAsFloat(v[sPts]);
            s.Rep += ValueAsInteger(v[sRep]);
            s.Pm += ValueAsInteger(v[sPm]);
            s.Nm += ValueAsInteger(v[sNm]);
            if (ValueAsFloat(v[sMpart]) > ValueAsFloat(p[sMpart])) {
                p[sMpart] = ValueAsFloat(v[sMpart]);
            }
            if (ValueAsInteger(v[sSer]) > ValueAsInteger(p[sSer])) {
                p[sSer] = ValueAsInteger(v[sSer]);
            }
        }
    }
    for (std::size_t i = 0; i < sums.size(); ++i) {
        TFigure* p = merged.Row(i);
        const TSums& s = sums[i];
        p[sPts] = s.Pts;
        p[sRep] = ClampedTotal(s.Rep);
        p[sPm] = ClampedTotal(s.Pm);
        p[sNm] = ClampedTotal(s.Nm);
        p[sMg] = s.Rep >= 1 ? s.Pts / static_cast<double>(s.Rep) : 0.0;
        p[sTv] = s.Nm >= 1 ? static_cast<double>(s.Pm) / (static_cast<double>(s.Nm) * 2.0) : 0.0;
    }
}

}  // namespace tavlor
