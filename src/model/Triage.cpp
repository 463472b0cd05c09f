#include "model/Triage.h"

#include <algorithm>
#include <utility>

namespace tavlor {

namespace {

// Room for a pool or a small registration list before the first growth.
constexpr std::size_t kInitialCapacity = 150;

}  // namespace

TListTri::TListTri() {
    FItems.reserve(kInitialCapacity);
}

void TListTri::Add(std::int32_t cle, std::int32_t rang) {
    FItems.push_back(TItemTri{cle, rang});
}

void TListTri::AddUnique(std::int32_t cle, std::int32_t rang) {
    const bool present = std::any_of(FItems.begin(), FItems.end(),
                                     [&](const TItemTri& item) { return item.Cle == cle && item.Rang == rang; });
    if (!present) {
        Add(cle, rang);
    }
}

void TListTri::Sort() {
    if (FItems.size() > 1) {
        QuickSort(0, Count() - 1);
    }
}

// Kept step for step: the order in which it leaves equal ranks decides the
// renumbered ranks, so any other sort would renumber differently.
void TListTri::QuickSort(int l, int r) {
    int i = 0;
    do {
        i = l;
        int j = r;
        const std::int32_t pivot = FItems[static_cast<std::size_t>((l + r) / 2)].Rang;
        do {
            while (FItems[static_cast<std::size_t>(i)].Rang < pivot) ++i;
            while (FItems[static_cast<std::size_t>(j)].Rang > pivot) --j;
            if (i <= j) {
                std::swap(FItems[static_cast<std::size_t>(i)], FItems[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) {
            QuickSort(l, j);
        }
        l = i;
    } while (i < r);
}

void TListTri::Place(std::int32_t cle, int position) {
    const auto found =
        std::find_if(FItems.begin(), FItems.end(), [cle](const TItemTri& item) { return item.Cle == cle; });
    if (found == FItems.end()) {
        return;
    }
    const auto from = found - FItems.begin();
    const auto to = static_cast<std::ptrdiff_t>(std::clamp(position, 0, Count() - 1));
    if (from < to) {
        std::rotate(FItems.begin() + from, FItems.begin() + from + 1, FItems.begin() + to + 1);
    } else if (to < from) {
        std::rotate(FItems.begin() + to, FItems.begin() + from, FItems.begin() + from + 1);
    }
}

void TListTri::Clear() {
    FItems.clear();
}

}  // namespace tavlor
