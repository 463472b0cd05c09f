#pragma once

#include "model/Value.h"

#include <cstdint>
#include <vector>

namespace tavlor {

// One stored row: the values of the data fields, in storage order, and the
// sequence number of its insertion, which orders rows equal on every key.
struct TRow {
    std::vector<TValue> Values;
    std::uint64_t Seq = 0;
    std::size_t Slot = 0;  // place in the table's storage, for constant-time removal
};

// A bookmark: the insertion sequence of a row, which identifies it for as long
// as it exists and never identifies another row; 0 is none.
using TBookmark = std::uint64_t;

}  // namespace tavlor
