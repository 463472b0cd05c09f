#include "model/TableHash.h"

#include <algorithm>
#include <limits>

namespace tavlor {

namespace {

// Null never equals a number: it gets a code no 32-bit integer has.
constexpr std::int64_t NullCode = std::numeric_limits<std::int64_t>::min();

std::int64_t Code(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    return NullCode;
}

}  // namespace

THashIndex::THashIndex(std::vector<int> slots) : Slots_(std::move(slots)) {}

bool THashIndex::UsesSlot(int slot) const {
    return std::find(Slots_.begin(), Slots_.end(), slot) != Slots_.end();
}

THashIndex::TKey THashIndex::KeyOf(const TValue* values) const {
    TKey key{};
    for (std::size_t i = 0; i < Slots_.size(); ++i) {
        key[i] = Code(values[i]);
    }
    return key;
}

THashIndex::TKey THashIndex::KeyOfRow(const TRow& row) const {
    TKey key{};
    for (std::size_t i = 0; i < Slots_.size(); ++i) {
        key[i] = Code(row.Values[Slots_[i]]);
    }
    return key;
}

void THashIndex::Insert(TRow* row) {
    Buckets_[KeyOfRow(*row)].push_back(row);
}

void THashIndex::Erase(TRow* row) {
    auto it = Buckets_.find(KeyOfRow(*row));
    if (it == Buckets_.end()) {
        return;
    }
    auto& rows = it->second;
    auto pos = std::find(rows.begin(), rows.end(), row);
    if (pos != rows.end()) {
        *pos = rows.back();
        rows.pop_back();
    }
}

void THashIndex::Clear() {
    if (Buckets_.size() > 65536) {
        Buckets_.clear();  // do not hold on to the keys of a very large table
        return;
    }
    for (auto& [key, rows] : Buckets_) {
        rows.clear();
    }
}

const std::vector<TRow*>* THashIndex::Find(const TKey& key) const {
    auto it = Buckets_.find(key);
    return it == Buckets_.end() || it->second.empty() ? nullptr : &it->second;
}

std::size_t THashIndex::KeyHash::operator()(const TKey& k) const {
    // Each value mixed in by a multiplication and a shift: keys of close
    // numbers (a pool and a licence) spread over the whole range, where
    // adding them up made many distinct keys share one hash.
    std::uint64_t h = 0;
    for (std::int64_t v : k) {
        h = (h ^ static_cast<std::uint64_t>(v)) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
}

}  // namespace tavlor
