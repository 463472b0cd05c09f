#include "model/Triage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace tavlor {
namespace {

using Pairs = std::vector<std::pair<std::int32_t, std::int32_t>>;

// Keys cle0, cle0 + 1, ... with the given ranks, in that order.
TListTri MakeList(const std::vector<std::int32_t>& ranks, std::int32_t cle0) {
    TListTri list;
    for (std::size_t i = 0; i < ranks.size(); ++i) {
        list.Add(cle0 + static_cast<std::int32_t>(i), ranks[i]);
    }
    return list;
}

Pairs Entries(const TListTri& list) {
    Pairs out;
    for (const TItemTri& item : list) {
        out.emplace_back(item.Cle, item.Rang);
    }
    return out;
}

std::vector<std::int32_t> Keys(const TListTri& list) {
    std::vector<std::int32_t> out;
    for (int i = 0; i < list.Count(); ++i) {
        out.push_back(list[i].Cle);
    }
    return out;
}

TEST(TListTriTest, AddKeepsOrderAndClearEmpties) {
    TListTri list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.begin() == list.end());
    list.Add(7, 3);
    list.Add(7, 3);  // Add never refuses a duplicate
    list.Add(-2, -1);
    EXPECT_EQ(Entries(list), (Pairs{{7, 3}, {7, 3}, {-2, -1}}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(1, 1);
    EXPECT_EQ(Entries(list), (Pairs{{1, 1}}));
}

TEST(TListTriTest, GrowsBeyondInitialCapacity) {
    TListTri list;
    for (int i = 0; i < 1000; ++i) {
        list.Add(i, 1000 - i);
    }
    ASSERT_EQ(list.Count(), 1000);
    EXPECT_EQ(list[0].Cle, 0);
    EXPECT_EQ(list[999].Rang, 1);
}

TEST(TListTriTest, AddUniqueNeedsBothFieldsEqualToSkip) {
    TListTri list;
    list.AddUnique(3, 0);
    list.AddUnique(3, 0);
    list.AddUnique(3, 1);  // same key, other rank
    list.AddUnique(4, 0);  // same rank, other key
    list.AddUnique(4, 0);
    list.AddUnique(3, 1);
    EXPECT_EQ(Entries(list), (Pairs{{3, 0}, {3, 1}, {4, 0}}));
}

TEST(TListTriTest, SortOfZeroOrOneEntryIsHarmless) {
    TListTri empty;
    empty.Sort();
    EXPECT_EQ(empty.Count(), 0);

    TListTri one;
    one.Add(5, 9);
    one.Sort();
    EXPECT_EQ(Entries(one), (Pairs{{5, 9}}));
}

TEST(TListTriTest, SortOrdersDistinctRanksAscendingAsSigned) {
    TListTri list = MakeList({4, -3, 10, 0, -100, 7, 2}, 1);
    list.Sort();
    EXPECT_EQ(Entries(list), (Pairs{{5, -100}, {2, -3}, {4, 0}, {7, 2}, {1, 4}, {6, 7}, {3, 10}}));
}

// The orders below were traced by hand through the quicksort; equal ranks come
// out in an order that is not the input order, and renumbering depends on it.
TEST(TListTriTest, SortLeavesEqualRanksInTheQuicksortsOrder) {
    TListTri mixed = MakeList({2, 1, 2, 1, 2}, 10);
    mixed.Sort();
    EXPECT_EQ(Entries(mixed), (Pairs{{13, 1}, {11, 1}, {14, 2}, {10, 2}, {12, 2}}));

    TListTri same = MakeList({3, 3, 3}, 20);
    same.Sort();
    EXPECT_EQ(Keys(same), (std::vector<std::int32_t>{22, 21, 20}));

    TListTri negative = MakeList({5, -1, 5, 0}, 30);
    negative.Sort();
    EXPECT_EQ(Entries(negative), (Pairs{{31, -1}, {33, 0}, {32, 5}, {30, 5}}));

    // An even count: the pivot is the lower of the two middle entries.
    TListTri even = MakeList({2, 2, 1, 3, 2, 1}, 60);
    even.Sort();
    EXPECT_EQ(Entries(even), (Pairs{{62, 1}, {65, 1}, {64, 2}, {60, 2}, {61, 2}, {63, 3}}));

    // Here the two equal ranks keep their order, but only with the lower middle as pivot.
    TListTri lowerMiddle = MakeList({0, 2, 1, 1}, 70);
    lowerMiddle.Sort();
    EXPECT_EQ(Entries(lowerMiddle), (Pairs{{70, 0}, {72, 1}, {73, 1}, {71, 2}}));

    // Already in order, yet the two equal ranks are swapped.
    TListTri sorted = MakeList({1, 2, 2, 3}, 1);
    sorted.Sort();
    EXPECT_EQ(Keys(sorted), (std::vector<std::int32_t>{1, 3, 2, 4}));
}

TEST(TListTriTest, SortKeepsEveryEntryWithManyDuplicates) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::int32_t> rank(-3, 6);
    for (int round = 0; round < 50; ++round) {
        TListTri list;
        Pairs added;
        const int count = 1 + round * 7;
        for (int i = 0; i < count; ++i) {
            const std::int32_t r = rank(random);
            list.Add(i, r);
            added.emplace_back(i, r);
        }
        list.Sort();
        Pairs sorted = Entries(list);
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                                   [](const auto& a, const auto& b) { return a.second < b.second; }));
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, added);
    }
}

TEST(TListTriTest, PlaceMovesTheEntryAndShiftsTheOthers) {
    // Licences 101..104 with ranks 1..4; the 4th asked for rank 2.
    TListTri list = MakeList({1, 2, 3, 4}, 101);
    list.Sort();
    list.Place(104, 1);
    EXPECT_EQ(Entries(list), (Pairs{{101, 1}, {104, 4}, {102, 2}, {103, 3}}));

    // Towards the end.
    list.Place(101, 2);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{104, 102, 101, 103}));

    // To its own place.
    list.Place(102, 1);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{104, 102, 101, 103}));
}

TEST(TListTriTest, PlaceClampsThePosition) {
    TListTri list = MakeList({1, 2, 3, 4}, 1);
    list.Place(3, -5);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{3, 1, 2, 4}));
    list.Place(1, 99);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{3, 2, 4, 1}));
    list.Place(1, 4);  // one past the end is clamped as well
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{3, 2, 4, 1}));
}

TEST(TListTriTest, PlaceOfAnUnknownKeyOrOnAnEmptyListDoesNothing) {
    TListTri list = MakeList({1, 2, 3}, 1);
    list.Place(9, 0);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{1, 2, 3}));

    TListTri empty;
    empty.Place(1, 0);
    EXPECT_EQ(empty.Count(), 0);

    TListTri one = MakeList({5}, 1);
    one.Place(1, 3);
    EXPECT_EQ(Entries(one), (Pairs{{1, 5}}));
}

TEST(TListTriTest, PlaceTakesTheFirstEntryOfARepeatedKey) {
    TListTri list;
    list.Add(1, 1);
    list.Add(2, 2);
    list.Add(2, 3);
    list.Place(2, 0);
    EXPECT_EQ(Entries(list), (Pairs{{2, 2}, {1, 1}, {2, 3}}));
}

}  // namespace
}  // namespace tavlor
