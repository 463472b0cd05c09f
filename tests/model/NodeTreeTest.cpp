#include "model/NodeTree.h"

#include "text/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tavlor {
namespace {

using Handles = std::vector<TNodeHandle>;

std::string N(TNodeHandle h) {
    return std::to_string(h);
}

// Writes down every call, with what the tree looks like at that moment, so that
// the tests can check that an item model following it would see a consistent
// tree inside each bracket.
class TRecordingListener : public ITreeListener {
public:
    explicit TRecordingListener(const TNodeTree& tree) : FTree(tree) {}

    void NodeAboutToBeAdded(TNodeHandle parent, int row) override {
        Calls.push_back("aboutAdd " + N(parent) + " " + N(row) + " count=" + N(FTree.ChildCount(parent)));
    }
    void NodeAdded(TNodeHandle node) override {
        Calls.push_back("added " + N(node) + " parent=" + N(FTree.Parent(node)) +
                        " row=" + N(FTree.IndexInParent(node)));
    }
    void NodeAboutToBeRemoved(TNodeHandle node, TNodeHandle parent, int row) override {
        Calls.push_back("aboutRemove " + N(node) + " " + N(parent) + " " + N(row) +
                        " at=" + N(FTree.Child(parent, row)));
    }
    void NodeRemoved(TNodeHandle parent, int row) override {
        Calls.push_back("removed " + N(parent) + " " + N(row) + " count=" + N(FTree.ChildCount(parent)));
    }
    void NodeAboutToBeMoved(TNodeHandle node, TNodeHandle fromParent, int fromRow, TNodeHandle toParent,
                            int toRow) override {
        Calls.push_back("aboutMove " + N(node) + " " + N(fromParent) + " " + N(fromRow) + " " + N(toParent) + " " +
                        N(toRow) + " parent=" + N(FTree.Parent(node)));
    }
    void NodeMoved(TNodeHandle node) override {
        Calls.push_back("moved " + N(node) + " parent=" + N(FTree.Parent(node)) +
                        " row=" + N(FTree.IndexInParent(node)));
    }
    void TreeAboutToBeReset() override { Calls.push_back("aboutReset"); }
    void TreeReset() override { Calls.push_back("reset count=" + std::to_string(FTree.Count())); }
    void TreeAboutToBeSorted() override { Calls.push_back("aboutSort"); }
    void TreeSorted() override { Calls.push_back("sorted"); }
    void NodeChanged(TNodeHandle node) override { Calls.push_back("changed " + N(node)); }

    std::vector<std::string> Take() { return std::exchange(Calls, {}); }

    std::vector<std::string> Calls;

private:
    const TNodeTree& FTree;
};

// A node with the given Id under parent.
TNodeHandle AddWithId(TNodeTree& tree, TNodeHandle parent, std::int32_t id) {
    const TNodeHandle node = tree.AddChild(parent);
    tree.Data(node).Id = id;
    return node;
}

std::vector<std::int32_t> Ids(const TNodeTree& tree, TNodeHandle parent) {
    std::vector<std::int32_t> ids;
    for (TNodeHandle child : tree.Children(parent)) {
        ids.push_back(tree.Data(child).Id);
    }
    return ids;
}

// Every node's stored row matches its place among its parent's children.
void ExpectRowsConsistent(const TNodeTree& tree, TNodeHandle parent) {
    const Handles& children = tree.Children(parent);
    for (std::size_t row = 0; row < children.size(); ++row) {
        EXPECT_EQ(tree.IndexInParent(children[row]), static_cast<int>(row));
        EXPECT_EQ(tree.Parent(children[row]), parent);
        ExpectRowsConsistent(tree, children[row]);
    }
}

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(TNodeTreeTest, AddChildAppendsNodesWithZeroedData) {
    TNodeTree tree;
    EXPECT_EQ(tree.Count(), 0u);
    EXPECT_EQ(tree.FirstTopLevel(), 0);
    EXPECT_EQ(tree.ChildCount(0), 0);

    const TNodeHandle phase = tree.AddChild(0);
    const TNodeHandle folder = tree.AddChild(0);
    const TNodeHandle p1 = tree.AddChild(phase);
    const TNodeHandle p2 = tree.AddChild(phase);
    const TNodeHandle p3 = tree.AddChild(phase);
    for (TNodeHandle h : {phase, folder, p1, p2, p3}) {
        EXPECT_GT(h, 0);
        EXPECT_TRUE(tree.Exists(h));
        EXPECT_EQ(tree.Data(h).Id, 0);
        EXPECT_EQ(tree.Data(h).Kind, 0);
    }
    EXPECT_EQ(std::set<TNodeHandle>({phase, folder, p1, p2, p3}).size(), 5u);
    EXPECT_EQ(tree.Count(), 5u);
    EXPECT_EQ(tree.Children(0), (Handles{phase, folder}));
    EXPECT_EQ(tree.Children(phase), (Handles{p1, p2, p3}));
    EXPECT_EQ(tree.ChildCount(phase), 3);
    EXPECT_EQ(tree.ChildCount(folder), 0);
    EXPECT_EQ(tree.FirstTopLevel(), phase);
    EXPECT_EQ(tree.Parent(phase), 0);
    EXPECT_EQ(tree.Parent(p2), phase);
    EXPECT_EQ(tree.IndexInParent(folder), 1);
    EXPECT_EQ(tree.IndexInParent(p3), 2);
    EXPECT_EQ(tree.Child(phase, 1), p2);
    EXPECT_EQ(tree.Child(0, 0), phase);
    EXPECT_EQ(tree.Child(phase, 3), 0);
    EXPECT_EQ(tree.Child(phase, -1), 0);
    EXPECT_EQ(tree.Child(folder, 0), 0);

    tree.Data(p2) = TNodeData{42, NodePool};
    const TNodeTree& constTree = tree;
    EXPECT_EQ(constTree.Data(p2).Id, 42);
    EXPECT_EQ(constTree.Data(p2).Kind, 1);
    EXPECT_EQ(constTree.Data(p1).Id, 0);
}

TEST(TNodeTreeTest, DeleteTakesTheDescendantsAndRenumbersTheSiblings) {
    TNodeTree tree;
    const TNodeHandle a = tree.AddChild(0);
    const TNodeHandle b = tree.AddChild(0);
    const TNodeHandle c = tree.AddChild(a);
    const TNodeHandle d = tree.AddChild(a);
    const TNodeHandle e = tree.AddChild(a);
    const TNodeHandle g = tree.AddChild(c);
    const TNodeHandle h = tree.AddChild(c);
    const TNodeHandle k = tree.AddChild(h);
    ASSERT_EQ(tree.Count(), 8u);

    tree.Delete(c);
    for (TNodeHandle gone : {c, g, h, k}) {
        EXPECT_FALSE(tree.Exists(gone)) << gone;
    }
    EXPECT_EQ(tree.Count(), 4u);
    EXPECT_EQ(tree.Children(a), (Handles{d, e}));
    EXPECT_EQ(tree.IndexInParent(d), 0);
    EXPECT_EQ(tree.IndexInParent(e), 1);

    tree.Delete(e);  // the last child
    EXPECT_EQ(tree.Children(a), (Handles{d}));

    tree.Delete(a);
    EXPECT_FALSE(tree.Exists(d));
    EXPECT_EQ(tree.Children(0), (Handles{b}));
    EXPECT_EQ(tree.IndexInParent(b), 0);
    EXPECT_EQ(tree.FirstTopLevel(), b);
    EXPECT_EQ(tree.Count(), 1u);

    // New nodes never take a handle of a deleted one.
    const std::set<TNodeHandle> old{a, c, d, e, g, h, k};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(old.count(tree.AddChild(b)), 0u);
    }
}

TEST(TNodeTreeTest, DeleteAmongManySiblingsKeepsRowsRight) {
    TNodeTree tree;
    const TNodeHandle folder = tree.AddChild(0);
    Handles players;
    for (int i = 0; i < 5000; ++i) {
        players.push_back(AddWithId(tree, folder, i));
    }
    tree.Delete(players[0]);
    tree.Delete(players[2500]);
    tree.Delete(players[4999]);
    ASSERT_EQ(tree.ChildCount(folder), 4997);
    EXPECT_EQ(tree.IndexInParent(players[1]), 0);
    EXPECT_EQ(tree.IndexInParent(players[2499]), 2498);
    EXPECT_EQ(tree.IndexInParent(players[2501]), 2499);
    EXPECT_EQ(tree.IndexInParent(players[4998]), 4996);
    EXPECT_EQ(tree.Child(folder, 2499), players[2501]);
    ExpectRowsConsistent(tree, 0);
}

TEST(TNodeTreeTest, MoveToGoesToTheEndOfTheNewParentWithItsChildren) {
    TNodeTree tree;
    const TNodeHandle phaseA = tree.AddChild(0);
    const TNodeHandle phaseB = tree.AddChild(0);
    const TNodeHandle p1 = tree.AddChild(phaseA);
    const TNodeHandle p2 = tree.AddChild(phaseA);
    const TNodeHandle p3 = tree.AddChild(phaseA);
    const TNodeHandle q1 = tree.AddChild(phaseB);
    const TNodeHandle m1 = tree.AddChild(p1);
    const TNodeHandle m2 = tree.AddChild(p1);

    tree.MoveTo(p1, phaseB);
    EXPECT_EQ(tree.Children(phaseA), (Handles{p2, p3}));
    EXPECT_EQ(tree.Children(phaseB), (Handles{q1, p1}));
    EXPECT_EQ(tree.Parent(p1), phaseB);
    EXPECT_EQ(tree.IndexInParent(p1), 1);
    EXPECT_EQ(tree.IndexInParent(p2), 0);
    EXPECT_EQ(tree.IndexInParent(p3), 1);
    EXPECT_EQ(tree.Children(p1), (Handles{m1, m2}));
    EXPECT_EQ(tree.Parent(m2), p1);
    EXPECT_EQ(tree.Count(), 8u);

    // A player changes pool.
    tree.MoveTo(m1, p3);
    EXPECT_EQ(tree.Children(p1), (Handles{m2}));
    EXPECT_EQ(tree.Children(p3), (Handles{m1}));
    EXPECT_EQ(tree.IndexInParent(m2), 0);

    // Within the same parent the node goes last.
    tree.MoveTo(phaseA, 0);
    EXPECT_EQ(tree.Children(0), (Handles{phaseB, phaseA}));
    tree.MoveTo(phaseA, 0);  // already last
    EXPECT_EQ(tree.Children(0), (Handles{phaseB, phaseA}));

    // To the top level.
    tree.MoveTo(p2, 0);
    EXPECT_EQ(tree.Children(0), (Handles{phaseB, phaseA, p2}));
    EXPECT_EQ(tree.Parent(p2), 0);
    EXPECT_EQ(tree.Children(phaseA), (Handles{p3}));
    ExpectRowsConsistent(tree, 0);
}

TEST(TNodeTreeTest, MoveUnderItselfOrADescendantIsRefused) {
    TNodeTree tree;
    const TNodeHandle phase = tree.AddChild(0);
    const TNodeHandle pool = tree.AddChild(phase);
    const TNodeHandle member = tree.AddChild(pool);

    for (TNodeHandle target : {phase, pool, member}) {
        EXPECT_THROW(tree.MoveTo(phase, target), Error) << target;
    }
    EXPECT_THROW(tree.MoveTo(pool, pool), Error);
    EXPECT_EQ(ErrorText([&] { tree.MoveTo(pool, member); }),
              "Erreur interne : déplacement du noeud " + N(pool) + " sous le noeud " + N(member) +
                  " impossible, c'est lui-même ou un de ses descendants");
    EXPECT_EQ(tree.Children(0), (Handles{phase}));
    EXPECT_EQ(tree.Children(phase), (Handles{pool}));
    EXPECT_EQ(tree.Children(pool), (Handles{member}));

    // A sibling's subtree is fine.
    const TNodeHandle other = tree.AddChild(phase);
    tree.MoveTo(other, member);
    EXPECT_EQ(tree.Parent(other), member);
}

TEST(TNodeTreeTest, SortOrdersEveryLevelStably) {
    TNodeTree tree;
    // Top level: ids 3, 1, 2, 1. Each child of t3 remembers its first row.
    std::map<TNodeHandle, std::int32_t> rowBefore;
    const TNodeHandle t3 = AddWithId(tree, 0, 3);
    const TNodeHandle t1a = AddWithId(tree, 0, 1);
    const TNodeHandle t2 = AddWithId(tree, 0, 2);
    const TNodeHandle t1b = AddWithId(tree, 0, 1);
    for (std::int32_t id : {5, 4, 5, 4, 5, 0}) {
        const TNodeHandle child = AddWithId(tree, t3, id);
        rowBefore[child] = tree.IndexInParent(child);
        for (std::int32_t grandchildId : {2, 1, 2}) {
            AddWithId(tree, child, grandchildId);
        }
    }
    AddWithId(tree, t2, 9);
    AddWithId(tree, t2, 8);

    int calls = 0;
    tree.Sort([&](TNodeHandle a, TNodeHandle b) {
        ++calls;
        return tree.Data(a).Id - tree.Data(b).Id;
    });
    EXPECT_GT(calls, 0);
    EXPECT_EQ(tree.Children(0), (Handles{t1a, t1b, t2, t3}));
    EXPECT_EQ(Ids(tree, t3), (std::vector<std::int32_t>{0, 4, 4, 5, 5, 5}));
    std::vector<std::int32_t> firstRows;
    for (TNodeHandle child : tree.Children(t3)) {
        firstRows.push_back(rowBefore.at(child));
        EXPECT_EQ(Ids(tree, child), (std::vector<std::int32_t>{1, 2, 2}));
    }
    // Rows each child had before the sort: equal ids kept their order.
    EXPECT_EQ(firstRows, (std::vector<std::int32_t>{5, 1, 3, 0, 2, 4}));
    EXPECT_EQ(Ids(tree, t2), (std::vector<std::int32_t>{8, 9}));
    ExpectRowsConsistent(tree, 0);
}

TEST(TNodeTreeTest, SortChildrenSortsOneLevelOrOneSubtree) {
    TNodeTree tree;
    const TNodeHandle b = AddWithId(tree, 0, 2);
    const TNodeHandle a = AddWithId(tree, 0, 1);
    const TNodeHandle pool = AddWithId(tree, b, 7);
    AddWithId(tree, b, 6);
    AddWithId(tree, pool, 3);
    AddWithId(tree, pool, 2);
    AddWithId(tree, a, 5);
    AddWithId(tree, a, 4);
    const auto byId = [&](TNodeHandle x, TNodeHandle y) { return tree.Data(x).Id - tree.Data(y).Id; };

    tree.SortChildren(b, byId, false);
    EXPECT_EQ(Ids(tree, b), (std::vector<std::int32_t>{6, 7}));
    EXPECT_EQ(Ids(tree, pool), (std::vector<std::int32_t>{3, 2}));
    EXPECT_EQ(Ids(tree, 0), (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(tree.IndexInParent(pool), 1);

    tree.SortChildren(b, byId, true);
    EXPECT_EQ(Ids(tree, pool), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(Ids(tree, a), (std::vector<std::int32_t>{5, 4}));

    tree.SortChildren(0, byId, false);
    EXPECT_EQ(Ids(tree, 0), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(Ids(tree, a), (std::vector<std::int32_t>{5, 4}));
    ExpectRowsConsistent(tree, 0);
}

TEST(TNodeTreeTest, SortSurvivesAComparisonThatIsNotAnOrder) {
    // Like registrants that compare equal as soon as one is unknown (Id < 0).
    TNodeTree tree;
    const std::vector<std::int32_t> ids{5, -1, 3, -1, 9, 1, -1, 4, 2, 8, -1, 0, 7, 6};
    for (std::int32_t id : ids) {
        AddWithId(tree, 0, id);
    }
    tree.Sort([&](TNodeHandle a, TNodeHandle b) {
        const std::int32_t x = tree.Data(a).Id;
        const std::int32_t y = tree.Data(b).Id;
        return x < 0 || y < 0 ? 0 : x - y;
    });
    std::vector<std::int32_t> after = Ids(tree, 0);
    std::vector<std::int32_t> before = ids;
    std::sort(after.begin(), after.end());
    std::sort(before.begin(), before.end());
    EXPECT_EQ(after, before);
    ExpectRowsConsistent(tree, 0);
}

TEST(TNodeTreeTest, AThrowingComparisonLeavesTheLevelIntactAndClosesTheBracket) {
    TNodeTree tree;
    TRecordingListener listener(tree);
    const TNodeHandle a = AddWithId(tree, 0, 2);
    const TNodeHandle b = AddWithId(tree, 0, 1);
    tree.AddListener(&listener);
    EXPECT_THROW(tree.Sort([](TNodeHandle, TNodeHandle) -> int { throw Error("boom"); }), Error);
    EXPECT_EQ(tree.Children(0), (Handles{a, b}));
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"aboutSort", "sorted"}));
    tree.RemoveListener(&listener);
}

TEST(TNodeTreeTest, HandlesAreNeverReusedAfterClearOrDeletingEverything) {
    TNodeTree tree;
    std::set<TNodeHandle> seen;
    for (int cycle = 0; cycle < 20; ++cycle) {
        Handles current;
        const TNodeHandle top = tree.AddChild(0);
        current.push_back(top);
        for (int i = 0; i < 300; ++i) {
            current.push_back(tree.AddChild(top));
        }
        for (TNodeHandle h : current) {
            EXPECT_TRUE(seen.insert(h).second) << "handle " << h << " reused in cycle " << cycle;
        }
        if (cycle % 2 == 0) {
            tree.Clear();
        } else {
            tree.Delete(top);
        }
        EXPECT_EQ(tree.Count(), 0u);
        EXPECT_EQ(tree.ChildCount(0), 0);
        EXPECT_EQ(tree.FirstTopLevel(), 0);
        for (TNodeHandle h : current) {
            EXPECT_FALSE(tree.Exists(h));
        }
    }
    // A handle from before a Clear, kept in a table, reaches nothing.
    const TNodeHandle stale = *seen.begin();
    tree.AddChild(0);
    EXPECT_THROW(tree.Data(stale), Error);
}

TEST(TNodeTreeTest, ListenerSeesAddRemoveAndMoveWithRows) {
    TNodeTree tree;
    TRecordingListener listener(tree);
    tree.AddListener(&listener);
    tree.AddListener(&listener);  // once only

    const TNodeHandle phase = tree.AddChild(0);
    const TNodeHandle folder = tree.AddChild(0);
    const TNodeHandle p1 = tree.AddChild(phase);
    const TNodeHandle p2 = tree.AddChild(phase);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "aboutAdd 0 0 count=0",
                                   "added " + N(phase) + " parent=0 row=0",
                                   "aboutAdd 0 1 count=1",
                                   "added " + N(folder) + " parent=0 row=1",
                                   "aboutAdd " + N(phase) + " 0 count=0",
                                   "added " + N(p1) + " parent=" + N(phase) + " row=0",
                                   "aboutAdd " + N(phase) + " 1 count=1",
                                   "added " + N(p2) + " parent=" + N(phase) + " row=1",
                               }));

    const TNodeHandle member = tree.AddChild(p1);
    listener.Take();
    // Only the top of the removed subtree is reported.
    tree.Delete(p1);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "aboutRemove " + N(p1) + " " + N(phase) + " 0 at=" + N(p1),
                                   "removed " + N(phase) + " 0 count=1",
                               }));
    EXPECT_FALSE(tree.Exists(member));

    const TNodeHandle p3 = tree.AddChild(phase);
    listener.Take();
    tree.MoveTo(p2, folder);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "aboutMove " + N(p2) + " " + N(phase) + " 0 " + N(folder) + " 0 parent=" + N(phase),
                                   "moved " + N(p2) + " parent=" + N(folder) + " row=0",
                               }));
    // Inside one parent the destination row is counted before the node leaves.
    tree.MoveTo(phase, 0);
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{
                                   "aboutMove " + N(phase) + " 0 0 0 2 parent=0",
                                   "moved " + N(phase) + " parent=0 row=1",
                               }));
    tree.MoveTo(phase, 0);  // already last: nothing changes, nothing is said
    EXPECT_TRUE(listener.Take().empty());
    EXPECT_THROW(tree.MoveTo(phase, p3), Error);
    EXPECT_TRUE(listener.Take().empty());

    tree.InvalidateNode(p3);
    tree.Sort([](TNodeHandle, TNodeHandle) { return 0; });
    tree.Clear();
    EXPECT_EQ(listener.Take(),
              (std::vector<std::string>{"changed " + N(p3), "aboutSort", "sorted", "aboutReset", "reset count=0"}));

    tree.RemoveListener(&listener);
    tree.AddChild(0);
    EXPECT_TRUE(listener.Take().empty());
}

TEST(TNodeTreeTest, UpdateBatchesEverythingIntoOneReset) {
    TNodeTree tree;
    TRecordingListener listener(tree);
    const TNodeHandle old = tree.AddChild(0);
    tree.AddListener(&listener);

    tree.BeginUpdate();
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"aboutReset"}));
    tree.BeginUpdate();
    tree.Clear();
    const TNodeHandle folder = tree.AddChild(0);
    const TNodeHandle phase = tree.AddChild(0);
    const TNodeHandle pool = tree.AddChild(phase);
    tree.AddChild(folder);
    tree.MoveTo(pool, folder);
    tree.Delete(pool);
    tree.InvalidateNode(folder);
    tree.Sort([](TNodeHandle, TNodeHandle) { return 0; });
    tree.EndUpdate();
    EXPECT_TRUE(listener.Take().empty());
    tree.EndUpdate();
    EXPECT_EQ(listener.Take(), (std::vector<std::string>{"reset count=3"}));
    EXPECT_FALSE(tree.Exists(old));

    // Granular calls resume.
    tree.AddChild(phase);
    EXPECT_EQ(listener.Take().size(), 2u);

    EXPECT_EQ(ErrorText([&] { tree.EndUpdate(); }),
              "Erreur interne : fin de mise à jour de l'arbre sans début correspondant");
    EXPECT_TRUE(listener.Take().empty());
    tree.RemoveListener(&listener);
}

TEST(TNodeTreeTest, HandlesThatNameNoNodeAreErrors) {
    TNodeTree tree;
    const TNodeHandle kept = tree.AddChild(0);
    const TNodeHandle deleted = tree.AddChild(0);
    tree.Delete(deleted);
    const TNodeHandle never = 999;

    EXPECT_FALSE(tree.Exists(0));
    EXPECT_FALSE(tree.Exists(-3));
    EXPECT_FALSE(tree.Exists(deleted));
    EXPECT_FALSE(tree.Exists(never));

    EXPECT_EQ(ErrorText([&] { tree.Data(never); }), "Erreur interne : noeud 999 inexistant");
    EXPECT_EQ(ErrorText([&] { tree.Data(0); }), "Erreur interne : noeud 0 inexistant");
    EXPECT_EQ(ErrorText([&] { tree.Parent(-1); }), "Erreur interne : noeud -1 inexistant");
    const auto byNothing = [](TNodeHandle, TNodeHandle) { return 0; };
    for (TNodeHandle bad : {deleted, never}) {
        EXPECT_THROW(tree.Data(bad), Error);
        EXPECT_THROW(tree.Parent(bad), Error);
        EXPECT_THROW(tree.IndexInParent(bad), Error);
        EXPECT_THROW(tree.Children(bad), Error);
        EXPECT_THROW(tree.ChildCount(bad), Error);
        EXPECT_THROW(tree.Child(bad, 0), Error);
        EXPECT_THROW(tree.AddChild(bad), Error);
        EXPECT_THROW(tree.Delete(bad), Error);
        EXPECT_THROW(tree.MoveTo(bad, 0), Error);
        EXPECT_THROW(tree.MoveTo(kept, bad), Error);
        EXPECT_THROW(tree.InvalidateNode(bad), Error);
        EXPECT_THROW(tree.SortChildren(bad, byNothing, true), Error);
    }
    // 0 is the root where a parent is expected, but never a node.
    EXPECT_THROW(tree.Delete(0), Error);
    EXPECT_THROW(tree.MoveTo(0, kept), Error);
    EXPECT_THROW(tree.IndexInParent(0), Error);
    EXPECT_THROW(tree.InvalidateNode(0), Error);
    EXPECT_EQ(tree.Count(), 1u);
    EXPECT_EQ(tree.Children(0), (Handles{kept}));
}

TEST(TNodeTreeTest, AFullCompetitionCanBeClearedAndRefilled) {
    TNodeTree tree;
    TNodeHandle last = 0;
    for (int load = 0; load < 3; ++load) {
        tree.BeginUpdate();
        tree.Clear();
        const TNodeHandle folder = tree.AddChild(0);
        for (int i = 0; i < 5000; ++i) {
            AddWithId(tree, folder, 5000 - i);
        }
        for (int phase = 0; phase < 4; ++phase) {
            const TNodeHandle ph = AddWithId(tree, 0, phase);
            for (int pool = 0; pool < 250; ++pool) {
                const TNodeHandle po = AddWithId(tree, ph, 250 - pool);
                for (int m = 0; m < 6; ++m) {
                    last = AddWithId(tree, po, m);
                }
            }
        }
        tree.Sort([&](TNodeHandle a, TNodeHandle b) { return tree.Data(a).Id - tree.Data(b).Id; });
        tree.EndUpdate();
        EXPECT_EQ(tree.Count(), 1u + 5000u + 4u * (1u + 250u * 7u));
        EXPECT_EQ(tree.Data(tree.Child(folder, 0)).Id, 1);
        EXPECT_EQ(tree.Data(tree.Child(folder, 4999)).Id, 5000);
        EXPECT_EQ(tree.IndexInParent(tree.Child(folder, 1234)), 1234);
    }
    EXPECT_GT(last, 3 * 12000);
}

}  // namespace
}  // namespace tavlor
