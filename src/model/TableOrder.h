#pragma once

#include "model/PoolAllocator.h"
#include "model/TableRow.h"

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace tavlor {

struct TOrderKey {
    int Slot = 0;  // storage index of the field
    TFieldType Type = TFieldType::Integer;
    bool Descending = false;
};
using TOrderKeys = std::vector<TOrderKey>;

// The first Count key values of an order, as FindKey and Locate look for them.
// A probe sorts before every row that shares its values.
struct TKeyProbe {
    const TValue* Values = nullptr;
    std::size_t Count = 0;
};

// Compares two rows on the keys only: negative, 0 or positive. Inline: every
// sort and every ordered insert runs it.
inline int CompareOnKeys(const TOrderKeys& keys, const TValue* a, const TValue* b) {
    for (const TOrderKey& k : keys) {
        const int c = CompareValues(a[k.Slot], b[k.Slot], k.Type);
        if (c != 0) {
            return k.Descending ? -c : c;
        }
    }
    return 0;
}
inline int CompareOnKeys(const TOrderKeys& keys, const TRow& a, const TRow& b) {
    return CompareOnKeys(keys, a.Values.data(), b.Values.data());
}
// Compares a row with a probe on the probe's leading keys.
int CompareWithProbe(const TOrderKeys& keys, const TRow& row, const TKeyProbe& probe);

// The insertion sequence of a row looked for in the insertion order.
struct TSeqProbe {
    std::uint64_t Seq = 0;
};

// Strict total order of rows: the keys, then the insertion sequence, so rows
// equal on every key keep the order in which they were added.
struct TRowLess {
    using is_transparent = void;
    const TOrderKeys* Keys = nullptr;

    bool operator()(const TRow* a, const TRow* b) const {
        if (Keys->empty()) {
            return a->Seq < b->Seq;  // the insertion order
        }
        const int c = CompareOnKeys(*Keys, *a, *b);
        return c != 0 ? c < 0 : a->Seq < b->Seq;
    }
    bool operator()(const TRow* a, const TKeyProbe& p) const { return CompareWithProbe(*Keys, *a, p) < 0; }
    bool operator()(const TKeyProbe& p, const TRow* b) const { return CompareWithProbe(*Keys, *b, p) >= 0; }
    // Only meaningful for the insertion order, which has no keys.
    bool operator()(const TRow* a, const TSeqProbe& p) const { return a->Seq < p.Seq; }
    bool operator()(const TSeqProbe& p, const TRow* b) const { return p.Seq < b->Seq; }
};

// One order of a table's rows, shared by every cursor that selects it and kept
// up to date on every post and delete (a posted row takes its place at once).
class TOrder {
public:
    explicit TOrder(TOrderKeys keys);
    TOrder(const TOrder&) = delete;
    TOrder& operator=(const TOrder&) = delete;

    using TRowSet = std::set<TRow*, TRowLess, TPoolAllocator<TRow*>>;

    const TOrderKeys& Keys() const { return Keys_; }
    bool UsesSlot(int slot) const;
    bool SameKeys(const TOrderKeys& keys) const;
    TRowLess Less() const { return TRowLess{&Keys_}; }

    TRowSet& Rows() { return Rows_; }
    const TRowSet& Rows() const { return Rows_; }
    void Insert(TRow* row);
    void Erase(TRow* row);
    void Clear();

    // An order no cursor has selected is not kept up to date through changes
    // of its keys: it is dropped (stale) and rebuilt when a cursor selects it
    // again. Refilling a table then costs only the orders in use, while
    // switching between orders whose keys did not change stays free.
    int Users() const { return Users_; }
    void AddUser() { ++Users_; }
    void RemoveUser() { --Users_; }
    bool Stale() const { return Stale_; }
    void MarkStale();
    void Rebuild(const std::vector<std::unique_ptr<TRow>>& rows);
    // Changes whenever a row enters or leaves the set, which is when cached
    // iterators into it may have become invalid.
    std::uint64_t Version() const { return Version_; }

private:
    TOrderKeys Keys_;
    TRowSet Rows_;
    std::uint64_t Version_ = 0;
    int Users_ = 0;
    bool Stale_ = false;
};

}  // namespace tavlor
