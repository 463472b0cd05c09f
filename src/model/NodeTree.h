#pragma once

#include "model/Element.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tavlor {

// Identifies one node of the phase tree for as long as that node exists; never
// reused for another node. Positive; 0 means none (or the root, where a parent
// is expected).
using TNodeHandle = std::int32_t;

// What every node carries: the number of its element and its kind. The
// windows choose its pictures from the kind.
struct TNodeData {
    std::int32_t Id = 0;
    TNodeKind Kind = NodePhase;
};

// Follows the changes of a TNodeTree, with enough detail for an item model to
// bracket them (begin/end insert, remove, move, reset, layout change). Parent 0
// is the root; rows are 0-based.
//
// While an update is open no granular call is made: the outermost BeginUpdate
// calls TreeAboutToBeReset and the outermost EndUpdate calls TreeReset.
class ITreeListener {
public:
    virtual ~ITreeListener() = default;

    // The new node will be the child at row of parent (always the last row).
    virtual void NodeAboutToBeAdded(TNodeHandle parent, int row) = 0;
    virtual void NodeAdded(TNodeHandle node) = 0;

    // The node, with all its descendants, is the child at row of parent. When
    // NodeRemoved comes, the node and its descendants no longer exist.
    virtual void NodeAboutToBeRemoved(TNodeHandle node, TNodeHandle parent, int row) = 0;
    virtual void NodeRemoved(TNodeHandle parent, int row) = 0;

    // toRow is the row of toParent before which the node goes, counted while the
    // node is still in its old place (the child count of toParent at that time),
    // which is the destination an item model's move bracket expects. A move that
    // would change nothing (the node already last under toParent) is not reported.
    virtual void NodeAboutToBeMoved(TNodeHandle node, TNodeHandle fromParent, int fromRow, TNodeHandle toParent,
                                    int toRow) = 0;
    virtual void NodeMoved(TNodeHandle node) = 0;

    // Everything may have changed: Clear, or the batch between BeginUpdate and EndUpdate.
    virtual void TreeAboutToBeReset() = 0;
    virtual void TreeReset() = 0;

    // Siblings were reordered; the set of nodes and their parents are unchanged.
    virtual void TreeAboutToBeSorted() = 0;
    virtual void TreeSorted() = 0;

    // The node's shown content changed (repaint it).
    virtual void NodeChanged(TNodeHandle node) = 0;
};

// The node structure of the phase tree: phases and the registrants folder at the
// top level, pools under phases, players under the folder and under pools.
//
// Every operation given a handle that names no node (0 where a node is needed,
// deleted, cleared away, never created) throws tavlor::Error.
class TNodeTree {
public:
    // Answers negative, 0 or positive, like a three-way comparison of a and b.
    using TCompare = std::function<int(TNodeHandle a, TNodeHandle b)>;

    TNodeTree() = default;
    // Listeners and stored handles refer to this very tree.
    TNodeTree(const TNodeTree&) = delete;
    TNodeTree& operator=(const TNodeTree&) = delete;

    // Appends a node with zeroed data to the children of parent (0: top level).
    TNodeHandle AddChild(TNodeHandle parent);
    // Deletes the node and all its descendants.
    void Delete(TNodeHandle node);
    // Moves the node, with its descendants, to the end of newParent's children
    // (0: top level). Moving a node under itself or a descendant throws.
    void MoveTo(TNodeHandle node, TNodeHandle newParent);
    // Deletes every node. Handles handed out before stay invalid for good.
    void Clear();

    // Counted; see ITreeListener for what listeners are told.
    void BeginUpdate();
    void EndUpdate();

    // Stable sorts of siblings, ascending by compare: every level, or the
    // children of one parent (0: top level), optionally with all levels below.
    void Sort(const TCompare& compare);
    void SortChildren(TNodeHandle parent, const TCompare& compare, bool recursive);

    bool Exists(TNodeHandle node) const;
    TNodeData& Data(TNodeHandle node);
    const TNodeData& Data(TNodeHandle node) const;
    // 0 for a top-level node.
    TNodeHandle Parent(TNodeHandle node) const;
    // parent 0: the top level.
    int ChildCount(TNodeHandle parent) const;
    const std::vector<TNodeHandle>& Children(TNodeHandle parent) const;
    // 0 when row is outside 0..ChildCount(parent) - 1.
    TNodeHandle Child(TNodeHandle parent, int row) const;
    // Row of the node among its siblings; constant time.
    int IndexInParent(TNodeHandle node) const;
    // 0 when the tree is empty.
    TNodeHandle FirstTopLevel() const;
    // Number of nodes at every level.
    std::size_t Count() const { return FCount; }
    // Tells the listeners that the node's content changed.
    void InvalidateNode(TNodeHandle node);

    // Listeners are borrowed; they must be removed before they are destroyed.
    void AddListener(ITreeListener* listener);
    void RemoveListener(ITreeListener* listener);

private:
    struct TNode {
        TNodeData Data;
        TNodeHandle Parent = 0;
        int Row = 0;
        bool Alive = false;
        std::vector<TNodeHandle> Children;
    };

    TNode* Find(TNodeHandle node);
    const TNode* Find(TNodeHandle node) const;
    TNode& Get(TNodeHandle node);
    const TNode& Get(TNodeHandle node) const;
    std::vector<TNodeHandle>& ChildrenOf(TNodeHandle parent);
    void Renumber(std::vector<TNodeHandle>& siblings, std::size_t from);
    void SortLevel(std::vector<TNodeHandle>& siblings, const TCompare& compare, bool recursive);
    bool Notifying() const { return FUpdateCount == 0 && !FListeners.empty(); }
    template <typename F>
    void Notify(F call);

    // Slot i holds the node of handle FBase + i. Clear moves FBase past every
    // handle handed out, so old handles fall below it and are never reused,
    // while the slots are dropped; single deletions leave a dead slot.
    std::vector<TNode> FNodes;
    std::int64_t FBase = 1;
    std::vector<TNodeHandle> FTopLevel;
    std::size_t FCount = 0;
    int FUpdateCount = 0;
    std::vector<ITreeListener*> FListeners;
};

}  // namespace tavlor
