#include "model/NodeTree.h"

#include "model/NodeTreeMessages.h"
#include "text/Error.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

namespace tavlor {

namespace {

// Bottom-up merge sort. Written out rather than std::stable_sort because the
// callers' comparisons are not always a strict weak order (two registrants
// compare equal when either is unknown), and this one stays well defined with
// any answers. An element moves before an earlier one only when compare says
// the earlier one is greater, which keeps equal siblings in their order.
void StableSort(std::vector<TNodeHandle>& items, const TNodeTree::TCompare& compare) {
    const std::size_t n = items.size();
    std::vector<TNodeHandle> from(items);
    std::vector<TNodeHandle> to(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo;
            std::size_t j = mid;
            std::size_t k = lo;
            while (i < mid && j < hi) {
                to[k++] = compare(from[i], from[j]) > 0 ? from[j++] : from[i++];
            }
            while (i < mid) to[k++] = from[i++];
            while (j < hi) to[k++] = from[j++];
        }
        from.swap(to);
    }
    // Only now is the caller's list touched, so a throwing comparison leaves it as it was.
    items.swap(from);
}

}  // namespace

TNodeTree::TNode* TNodeTree::Find(TNodeHandle node) {
    return const_cast<TNode*>(std::as_const(*this).Find(node));
}

const TNodeTree::TNode* TNodeTree::Find(TNodeHandle node) const {
    const std::int64_t slot = static_cast<std::int64_t>(node) - FBase;
    if (node <= 0 || slot < 0 || slot >= static_cast<std::int64_t>(FNodes.size())) {
        return nullptr;
    }
    const TNode& found = FNodes[static_cast<std::size_t>(slot)];
    return found.Alive ? &found : nullptr;
}

TNodeTree::TNode& TNodeTree::Get(TNodeHandle node) {
    return const_cast<TNode&>(std::as_const(*this).Get(node));
}

const TNodeTree::TNode& TNodeTree::Get(TNodeHandle node) const {
    const TNode* found = Find(node);
    if (found == nullptr) {
        throw Error(msg::nodetree::NoeudInexistant(node));
    }
    return *found;
}

std::vector<TNodeHandle>& TNodeTree::ChildrenOf(TNodeHandle parent) {
    return parent == 0 ? FTopLevel : Get(parent).Children;
}

void TNodeTree::Renumber(std::vector<TNodeHandle>& siblings, std::size_t from) {
    for (std::size_t row = from; row < siblings.size(); ++row) {
        Get(siblings[row]).Row = static_cast<int>(row);
    }
}

template <typename F>
void TNodeTree::Notify(F call) {
    // By index: a listener that removes itself must not invalidate the loop.
    for (std::size_t i = 0; i < FListeners.size(); ++i) {
        call(*FListeners[i]);
    }
}

TNodeHandle TNodeTree::AddChild(TNodeHandle parent) {
    const int row = static_cast<int>(ChildrenOf(parent).size());
    const std::int64_t next = FBase + static_cast<std::int64_t>(FNodes.size());
    if (next > std::numeric_limits<TNodeHandle>::max()) {
        throw Error(std::string(msg::nodetree::PlusDeNoeudDisponible));
    }
    const auto node = static_cast<TNodeHandle>(next);
    const bool notify = Notifying();
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeAboutToBeAdded(parent, row); });
    }
    TNode& created = FNodes.emplace_back();
    created.Parent = parent;
    created.Row = row;
    created.Alive = true;
    // Fetched again: the parent may live in FNodes, which just grew.
    ChildrenOf(parent).push_back(node);
    ++FCount;
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeAdded(node); });
    }
    return node;
}

void TNodeTree::Delete(TNodeHandle node) {
    const TNode& target = Get(node);
    const TNodeHandle parent = target.Parent;
    const int row = target.Row;
    const bool notify = Notifying();
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeAboutToBeRemoved(node, parent, row); });
    }
    std::vector<TNodeHandle>& siblings = ChildrenOf(parent);
    siblings.erase(siblings.begin() + row);
    Renumber(siblings, static_cast<std::size_t>(row));

    std::vector<TNodeHandle> pending{node};
    while (!pending.empty()) {
        TNode& dead = Get(pending.back());
        pending.pop_back();
        pending.insert(pending.end(), dead.Children.begin(), dead.Children.end());
        std::vector<TNodeHandle>().swap(dead.Children);
        dead.Data = TNodeData{};
        dead.Alive = false;
        --FCount;
    }
    // Nothing left alive: drop the dead slots as Clear does.
    if (FCount == 0) {
        FBase += static_cast<std::int64_t>(FNodes.size());
        FNodes.clear();
    }
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeRemoved(parent, row); });
    }
}

void TNodeTree::MoveTo(TNodeHandle node, TNodeHandle newParent) {
    TNode& moved = Get(node);
    for (TNodeHandle above = newParent; above != 0; above = Get(above).Parent) {
        if (above == node) {
            throw Error(msg::nodetree::DeplacementImpossible(node, newParent));
        }
    }
    const TNodeHandle oldParent = moved.Parent;
    const int oldRow = moved.Row;
    std::vector<TNodeHandle>& from = ChildrenOf(oldParent);
    std::vector<TNodeHandle>& to = ChildrenOf(newParent);
    const int toRow = static_cast<int>(to.size());
    if (oldParent == newParent && oldRow == toRow - 1) {
        return;  // already there
    }
    const bool notify = Notifying();
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeAboutToBeMoved(node, oldParent, oldRow, newParent, toRow); });
    }
    from.erase(from.begin() + oldRow);
    Renumber(from, static_cast<std::size_t>(oldRow));
    to.push_back(node);
    moved.Parent = newParent;
    moved.Row = static_cast<int>(to.size()) - 1;
    if (notify) {
        Notify([&](ITreeListener& l) { l.NodeMoved(node); });
    }
}

void TNodeTree::Clear() {
    const bool notify = Notifying();
    if (notify) {
        Notify([](ITreeListener& l) { l.TreeAboutToBeReset(); });
    }
    FBase += static_cast<std::int64_t>(FNodes.size());
    FNodes.clear();
    FTopLevel.clear();
    FCount = 0;
    if (notify) {
        Notify([](ITreeListener& l) { l.TreeReset(); });
    }
}

void TNodeTree::BeginUpdate() {
    if (Notifying()) {
        Notify([](ITreeListener& l) { l.TreeAboutToBeReset(); });
    }
    ++FUpdateCount;
}

void TNodeTree::EndUpdate() {
    if (FUpdateCount == 0) {
        throw Error(std::string(msg::nodetree::FinMiseAJourSansDebut));
    }
    --FUpdateCount;
    if (Notifying()) {
        Notify([](ITreeListener& l) { l.TreeReset(); });
    }
}

void TNodeTree::Sort(const TCompare& compare) {
    SortChildren(0, compare, true);
}

void TNodeTree::SortChildren(TNodeHandle parent, const TCompare& compare, bool recursive) {
    std::vector<TNodeHandle>& top = ChildrenOf(parent);
    const bool notify = Notifying();
    if (notify) {
        Notify([](ITreeListener& l) { l.TreeAboutToBeSorted(); });
    }
    try {
        SortLevel(top, compare, recursive);
    } catch (...) {
        // Whatever was sorted is consistent; the listeners must see the bracket closed.
        if (notify) {
            Notify([](ITreeListener& l) { l.TreeSorted(); });
        }
        throw;
    }
    if (notify) {
        Notify([](ITreeListener& l) { l.TreeSorted(); });
    }
}

void TNodeTree::SortLevel(std::vector<TNodeHandle>& siblings, const TCompare& compare, bool recursive) {
    if (siblings.size() > 1) {
        StableSort(siblings, compare);
        Renumber(siblings, 0);
    }
    if (!recursive) {
        return;
    }
    // Iterative, so that the depth of the tree never reaches the call stack.
    std::vector<TNodeHandle> pending(siblings.begin(), siblings.end());
    while (!pending.empty()) {
        std::vector<TNodeHandle>& children = Get(pending.back()).Children;
        pending.pop_back();
        if (children.size() > 1) {
            StableSort(children, compare);
            Renumber(children, 0);
        }
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

bool TNodeTree::Exists(TNodeHandle node) const {
    return Find(node) != nullptr;
}

TNodeData& TNodeTree::Data(TNodeHandle node) {
    return Get(node).Data;
}

const TNodeData& TNodeTree::Data(TNodeHandle node) const {
    return Get(node).Data;
}

TNodeHandle TNodeTree::Parent(TNodeHandle node) const {
    return Get(node).Parent;
}

int TNodeTree::ChildCount(TNodeHandle parent) const {
    return static_cast<int>(Children(parent).size());
}

const std::vector<TNodeHandle>& TNodeTree::Children(TNodeHandle parent) const {
    return parent == 0 ? FTopLevel : Get(parent).Children;
}

TNodeHandle TNodeTree::Child(TNodeHandle parent, int row) const {
    const std::vector<TNodeHandle>& children = Children(parent);
    if (row < 0 || static_cast<std::size_t>(row) >= children.size()) {
        return 0;
    }
    return children[static_cast<std::size_t>(row)];
}

int TNodeTree::IndexInParent(TNodeHandle node) const {
    return Get(node).Row;
}

TNodeHandle TNodeTree::FirstTopLevel() const {
    return FTopLevel.empty() ? 0 : FTopLevel.front();
}

void TNodeTree::InvalidateNode(TNodeHandle node) {
    Get(node);
    if (Notifying()) {
        Notify([&](ITreeListener& l) { l.NodeChanged(node); });
    }
}

void TNodeTree::AddListener(ITreeListener* listener) {
    if (listener != nullptr && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) {
        FListeners.push_back(listener);
    }
}

void TNodeTree::RemoveListener(ITreeListener* listener) {
    const auto found = std::find(FListeners.begin(), FListeners.end(), listener);
    if (found != FListeners.end()) {
        FListeners.erase(found);
    }
}

}  // namespace tavlor
