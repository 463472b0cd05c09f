#pragma once

#include <cstdint>

namespace tavlor {

// Kinds of the phase tree's nodes.
enum TNodeKind : std::uint8_t {
    NodePhase = 0,
    NodePool = 1,
    NodeRegistrants = 2,  // the registrants folder
    NodeRegistrant = 3,
    NodeMember = 4,  // a player in a pool
};

// What a drag carries: a node of the tree, or a row of the ranking grid.
enum TDragKind : std::uint8_t {
    DragPool = NodePool,
    DragRegistrant = NodeRegistrant,
    DragMember = NodeMember,
    DragGridRow = 5,
    DragNone = 7,  // not a drag of the program's own
};

// One element of the competition as the tree shows it and the views compute
// it: its kind, its number (phase, pool or licence; -1 for the folder) and the
// number of its parent element (-1 at the top level, or when not known).
struct TElement {
    TNodeKind Kind = NodeRegistrants;
    std::int32_t Id = -1;
    std::int32_t IdParent = -1;

    bool operator==(const TElement&) const = default;
};

}  // namespace tavlor
