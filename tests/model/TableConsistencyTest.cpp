// Random changes through several cursors, each with its own order and filter,
// checked after every step against orders and filters computed from scratch:
// the incremental upkeep of orders, hash indexes and filtered sequences must
// never drift from what a full re-sort would give.
#include "model/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace tavlor {
namespace {

struct ModelRow {
    int Id;
    std::uint64_t Order;  // insertion rank
    std::optional<int> Phase, Pool, Rank;
};

struct Key {
    int Field;  // 0 phase, 1 pool, 2 rank, 3 id
    bool Desc;
};

std::optional<int> Get(const ModelRow& r, int field) {
    switch (field) {
        case 0:
            return r.Phase;
        case 1:
            return r.Pool;
        case 2:
            return r.Rank;
        default:
            return r.Id;
    }
}

int CompareOpt(const std::optional<int>& a, const std::optional<int>& b) {
    if (!a || !b) return a.has_value() == b.has_value() ? 0 : (a ? 1 : -1);
    return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

std::vector<int> Expected(const std::vector<ModelRow>& rows, const std::vector<Key>& keys,
                          bool (*passes)(const ModelRow&)) {
    std::vector<ModelRow> sel;
    for (const auto& r : rows) {
        if (passes(r)) sel.push_back(r);
    }
    std::sort(sel.begin(), sel.end(), [&](const ModelRow& a, const ModelRow& b) {
        for (const Key& k : keys) {
            int c = CompareOpt(Get(a, k.Field), Get(b, k.Field));
            if (c != 0) return k.Desc ? c > 0 : c < 0;
        }
        return a.Order < b.Order;
    });
    std::vector<int> ids;
    for (const auto& r : sel) ids.push_back(r.Id);
    return ids;
}

std::vector<int> Walk(TTable& t) {
    std::vector<int> ids;
    for (t.First(); !t.Eof(); t.Next()) ids.push_back(t.AsInteger("ID"));
    return ids;
}

void SetOpt(TTable& t, const char* field, const std::optional<int>& v) {
    if (v) {
        t.SetInteger(field, *v);
    } else {
        t.SetNull(field);
    }
}

TEST(TableConsistency, RandomChangesThroughSeveralCursors) {
    auto data =
        std::make_shared<TTableData>("Joueurs",
                                     std::vector<TFieldDef>{IntegerField("IDPHASE"), IntegerField("IDPOULE"),
                                                            IntegerField("RGA"), IntegerField("ID")},
                                     std::vector<TIndexDef>{{"BYPHASE", {{"IDPHASE", false}, {"IDPOULE", true}}}});
    TTable a(data);
    a.SetIndexName("BYPHASE");
    a.SetFilter("IDPOULE=2 or IDPOULE=3 and RGA<>1");
    a.SetFiltered(true);
    TTable b(data);
    b.SetIndexFieldNames("RGA;IDPOULE");
    b.SetFilter("IDPHASE<>1");
    b.SetFiltered(true);
    auto c = a.Clone();  // same order as a, no filter; switches orders now and then
    int cOrder = 0;      // 0 BYPHASE, 1 IDPOULE;ID (no other cursor uses it), 2 insertion order

    const std::vector<Key> keysA = {{0, false}, {1, true}};
    const std::vector<Key> keysB = {{2, false}, {1, false}};
    const std::vector<Key> keysC = {{1, false}, {3, false}};
    auto passA = +[](const ModelRow& r) { return r.Pool == 2 || (r.Pool == 3 && r.Rank.has_value() && *r.Rank != 1); };
    auto passB = +[](const ModelRow& r) { return r.Phase.has_value() && *r.Phase != 1; };
    auto passAll = +[](const ModelRow&) { return true; };

    std::mt19937 rng(20261209);
    auto small = [&]() -> std::optional<int> {
        int v = static_cast<int>(rng() % 5);
        if (v == 4) return std::nullopt;
        return v;
    };
    std::vector<ModelRow> rows;
    int nextId = 1;
    std::uint64_t order = 0;
    TTable* cursors[] = {&a, &b, c.get()};

    for (int step = 0; step < 3000; ++step) {
        if (rng() % 10 == 0) {
            // An order left unused goes stale through changes and must come
            // back right when selected again; the insertion order too.
            cOrder = static_cast<int>(rng() % 3);
            if (cOrder == 0) {
                c->SetIndexName("BYPHASE");
            } else if (cOrder == 1) {
                c->SetIndexFieldNames("IDPOULE;ID");
            } else {
                c->SetIndexFieldNames("");
            }
            if (rng() % 2 == 0) {
                b.SetIndexName("BYPHASE");
                b.SetIndexFieldNames("RGA;IDPOULE");
            }
        }
        TTable& t = *cursors[rng() % 3];
        const int op = static_cast<int>(rng() % 10);
        if (op < 4 || rows.empty()) {
            ModelRow r{nextId++, order++, small(), small(), small()};
            t.Append();
            SetOpt(t, "IDPHASE", r.Phase);
            SetOpt(t, "IDPOULE", r.Pool);
            SetOpt(t, "RGA", r.Rank);
            t.SetInteger("ID", r.Id);
            t.Post();
            ASSERT_EQ(t.AsInteger("ID"), r.Id) << "a posted row is current";
            rows.push_back(r);
        } else if (op < 8) {
            ModelRow& r = rows[rng() % rows.size()];
            TTable& editor = *c;  // unfiltered, so every row can be found
            ASSERT_TRUE(editor.Locate("ID", {r.Id}));
            editor.Edit();
            const int field = static_cast<int>(rng() % 3);
            const auto v = small();
            SetOpt(editor, field == 0 ? "IDPHASE" : field == 1 ? "IDPOULE" : "RGA", v);
            (field == 0 ? r.Phase : field == 1 ? r.Pool : r.Rank) = v;
            editor.Post();
        } else if (t.HasCurrent()) {
            const int id = t.AsInteger("ID");
            t.Delete();
            rows.erase(std::find_if(rows.begin(), rows.end(), [&](const ModelRow& r) { return r.Id == id; }));
        }
        ASSERT_EQ(Walk(a), Expected(rows, keysA, passA)) << "step " << step;
        ASSERT_EQ(Walk(b), Expected(rows, keysB, passB)) << "step " << step;
        ASSERT_EQ(Walk(*c), Expected(rows,
                                     cOrder == 0   ? keysA
                                     : cOrder == 1 ? keysC
                                                   : std::vector<Key>{},
                                     passAll))
            << "step " << step;
        ASSERT_EQ(a.RecordCount(), static_cast<int>(Expected(rows, keysA, passA).size()));
        // Locate answers the first row in the cursor's own order among those that pass.
        const int pool = static_cast<int>(rng() % 4);
        std::vector<int> inPool;
        for (int id : Expected(rows, keysB, passB)) {
            auto r = std::find_if(rows.begin(), rows.end(), [&](const ModelRow& m) { return m.Id == id; });
            if (r->Pool == pool) inPool.push_back(id);
        }
        const bool found = b.Locate("IDPOULE", {pool});
        ASSERT_EQ(found, !inPool.empty());
        if (found) {
            ASSERT_EQ(b.AsInteger("ID"), inPool.front());
        }
    }
}

}  // namespace
}  // namespace tavlor
