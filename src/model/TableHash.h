#pragma once

#include "model/TableRow.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tavlor {

// Rows grouped by the values of a few integer fields, kept up to date on every
// post and delete: what makes Locate, filters and looked-up fields on exact
// values cost the size of the answer instead of a walk over the table.
class THashIndex {
public:
    static constexpr std::size_t MaxFields = 4;
    using TKey = std::array<std::int64_t, MaxFields>;

    explicit THashIndex(std::vector<int> slots);

    const std::vector<int>& Slots() const { return Slots_; }
    bool UsesSlot(int slot) const;
    // Key of integer values given in the order of Slots().
    TKey KeyOf(const TValue* values) const;
    TKey KeyOfRow(const TRow& row) const;

    void Insert(TRow* row);
    void Erase(TRow* row);
    // Keeps the buckets' storage for the refill that usually follows.
    void Clear();
    // Rows holding exactly these values, in no particular order; nullptr when none.
    const std::vector<TRow*>* Find(const TKey& key) const;

private:
    struct KeyHash {
        std::size_t operator()(const TKey& k) const;
    };
    std::vector<int> Slots_;
    std::unordered_map<TKey, std::vector<TRow*>, KeyHash> Buckets_;
};

}  // namespace tavlor
