#pragma once

#include <cstdint>
#include <vector>

namespace tavlor {

// One entry of a TListTri: a key (a licence, a phase or pool number) and the
// rank it had when it was added.
struct TItemTri {
    std::int32_t Cle = 0;
    std::int32_t Rang = 0;
};

// A list of (Cle, Rang) pairs, used to renumber ranks without gaps and to
// collect distinct numbers.
class TListTri {
public:
    using const_iterator = std::vector<TItemTri>::const_iterator;

    TListTri();

    void Add(std::int32_t cle, std::int32_t rang);
    // Adds unless an entry with this very Cle and Rang is already there.
    void AddUnique(std::int32_t cle, std::int32_t rang);
    // Ascending by Rang. Not stable: which of two equal ranks comes first is
    // fixed by this particular quicksort, and renumbering relies on it.
    void Sort();
    // Moves the first entry whose Cle is cle to position (clamped into the
    // list); the entries in between shift by one. Nothing happens when no
    // entry has that Cle.
    void Place(std::int32_t cle, int position);
    void Clear();

    int Count() const { return static_cast<int>(FItems.size()); }
    // i must be in 0..Count() - 1.
    const TItemTri& operator[](int i) const { return FItems[static_cast<std::size_t>(i)]; }
    const_iterator begin() const { return FItems.begin(); }
    const_iterator end() const { return FItems.end(); }

private:
    void QuickSort(int l, int r);

    std::vector<TItemTri> FItems;
};

}  // namespace tavlor
