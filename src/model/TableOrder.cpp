#include "model/TableOrder.h"

#include <algorithm>

namespace tavlor {

int CompareWithProbe(const TOrderKeys& keys, const TRow& row, const TKeyProbe& probe) {
    for (std::size_t i = 0; i < probe.Count && i < keys.size(); ++i) {
        const TOrderKey& k = keys[i];
        const int c = CompareValues(row.Values[k.Slot], probe.Values[i], k.Type);
        if (c != 0) {
            return k.Descending ? -c : c;
        }
    }
    return 0;
}

TOrder::TOrder(TOrderKeys keys) : Keys_(std::move(keys)), Rows_(TRowLess{&Keys_}, TPoolAllocator<TRow*>()) {}

bool TOrder::UsesSlot(int slot) const {
    for (const TOrderKey& k : Keys_) {
        if (k.Slot == slot) {
            return true;
        }
    }
    return false;
}

bool TOrder::SameKeys(const TOrderKeys& keys) const {
    if (keys.size() != Keys_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].Slot != Keys_[i].Slot || keys[i].Descending != Keys_[i].Descending) {
            return false;
        }
    }
    return true;
}

void TOrder::Insert(TRow* row) {
    // Rows mostly arrive in order (always so for the insertion order): try the end first.
    if (Rows_.empty() || Less()(*Rows_.rbegin(), row)) {
        Rows_.insert(Rows_.end(), row);
    } else {
        Rows_.insert(row);
    }
    ++Version_;
}

void TOrder::Erase(TRow* row) {
    Rows_.erase(row);
    ++Version_;
}

void TOrder::Clear() {
    Rows_.clear();
    Stale_ = false;
    ++Version_;
}

void TOrder::MarkStale() {
    if (!Stale_) {
        Rows_.clear();
        Stale_ = true;
        ++Version_;
    }
}

void TOrder::Rebuild(const std::vector<std::unique_ptr<TRow>>& rows) {
    Rows_.clear();
    std::vector<TRow*> sorted;
    sorted.reserve(rows.size());
    for (const auto& row : rows) {
        sorted.push_back(row.get());
    }
    // Rows often come in order already (refilled from a table walked in a like order).
    if (!std::is_sorted(sorted.begin(), sorted.end(), Less())) {
        std::sort(sorted.begin(), sorted.end(), Less());
    }
    for (TRow* row : sorted) {
        Rows_.insert(Rows_.end(), row);
    }
    Stale_ = false;
    ++Version_;
}

}  // namespace tavlor
