#pragma once

#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "support/FakeViewHost.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavlor::test {

// What the program holds of the open competition, read back so that two
// ways of opening it can be compared: the controller's fields, every stored
// value of the six competition tables but the tree handles (NODE), row by
// row in insertion order, and the tree, node by node in display order.
struct TCompetImage {
    std::int32_t IdCompet = -1;
    std::string Message, Discipline;
    std::uint8_t Connexion = 0;
    // [table][row] the values of the table's stored fields but NODE, as text
    // with their type ("i:12", "d:0x1.8p+0", "s:ABC", "null").
    std::vector<std::vector<std::vector<std::string>>> Tables;
    std::vector<std::string> TableNames;
    // One line per node: depth, kind, number and label.
    std::vector<std::string> Tree;
    // Rows whose NODE does not name the node of their own element under
    // the node of their parent: none in a sound store.
    std::vector<std::string> BrokenLinks;
};
TCompetImage ImageOf(TCompetition& compet, TdmLocal& dm);

// What the right-hand side shows for one element: the captions, and every
// field's text of every row of the ranking grid and of the match list.
struct TViewImage {
    std::string Element;
    std::string RankingCaption, MatchesCaption;
    std::vector<std::string> Players, Matches;  // one line per row
};
// The views of the tree's elements, in display order, those chosen by `which`.
std::vector<TViewImage> ViewsOf(TdmLocal& dm, TViews& views, TFakeViewHost& host,
                                const std::function<bool(const TElement&)>& which = nullptr);

// The first difference between two images, empty when there is none.
std::string FirstDifference(const TCompetImage& a, const TCompetImage& b);
std::string FirstDifference(const std::vector<TViewImage>& a, const std::vector<TViewImage>& b);

}  // namespace tavlor::test
