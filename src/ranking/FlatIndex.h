#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tavlor {

// Numbers 0, 1, 2... given to keys in the order they are first met, through
// open addressing in one array: what the views use to gather figures by
// player without a node per key. Hash and Same(key, number) are the caller's.
class TFlatIndex {
public:
    explicit TFlatIndex(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) {
            capacity *= 2;
        }
        Slots_.assign(capacity, Empty);
        Hashes_.assign(capacity, 0);
    }

    // The number of the key, and whether it was just given (then it is Count()-1).
    template <class Same>
    std::pair<std::uint32_t, bool> Find(std::uint64_t hash, Same&& same) {
        if ((Count_ + 1) * 2 > Slots_.size()) {
            Grow();
        }
        const std::size_t mask = Slots_.size() - 1;
        for (std::size_t at = Mix(hash) & mask;; at = (at + 1) & mask) {
            if (Slots_[at] == Empty) {
                Slots_[at] = Count_;
                Hashes_[at] = hash;
                return {Count_++, true};
            }
            if (Hashes_[at] == hash && same(Slots_[at])) {
                return {Slots_[at], false};
            }
        }
    }
    // The number of a key given before, without giving one.
    template <class Same>
    std::optional<std::uint32_t> Lookup(std::uint64_t hash, Same&& same) const {
        const std::size_t mask = Slots_.size() - 1;
        for (std::size_t at = Mix(hash) & mask;; at = (at + 1) & mask) {
            if (Slots_[at] == Empty) {
                return std::nullopt;
            }
            if (Hashes_[at] == hash && same(Slots_[at])) {
                return Slots_[at];
            }
        }
    }
    std::uint32_t Count() const { return Count_; }

private:
    static constexpr std::uint32_t Empty = 0xFFFFFFFFu;
    static std::size_t Mix(std::uint64_t h) {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return static_cast<std::size_t>(h);
    }
    void Grow() {
        std::vector<std::uint32_t> slots(Slots_.size() * 2, Empty);
        std::vector<std::uint64_t> hashes(Slots_.size() * 2, 0);
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = 0; i < Slots_.size(); ++i) {
            if (Slots_[i] == Empty) {
                continue;
            }
            std::size_t at = Mix(Hashes_[i]) & mask;
            while (slots[at] != Empty) {
                at = (at + 1) & mask;
            }
            slots[at] = Slots_[i];
            hashes[at] = Hashes_[i];
        }
        Slots_.swap(slots);
        Hashes_.swap(hashes);
    }

    std::vector<std::uint32_t> Slots_;
    std::vector<std::uint64_t> Hashes_;
    std::uint32_t Count_ = 0;
};

// A set of 32-bit integers in one array, on the same open addressing.
class TIntSet {
public:
    explicit TIntSet(std::size_t expected) : Index_(expected) { Keys_.reserve(expected); }
    // True when the value was not in the set yet.
    bool Insert(std::int32_t value) {
        const bool created =
            Index_.Find(static_cast<std::uint32_t>(value), [&](std::uint32_t k) { return Keys_[k] == value; }).second;
        if (created) {
            Keys_.push_back(value);
        }
        return created;
    }

private:
    TFlatIndex Index_;
    std::vector<std::int32_t> Keys_;
};

}  // namespace tavlor
