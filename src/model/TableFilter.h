#pragma once

#include "model/TableRow.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavlor {

class TTableData;

// A filter expression parsed once: comparisons of an integer field with an
// integer literal by "=" or "<>", combined with "and" (binding tighter) and
// "or", in either case, with parentheses. A null field passes no comparison.
class TFilterExpr {
public:
    TFilterExpr() = default;
    // Throws tavlor::Error when the text is outside the grammar or names a
    // field the table lacks or that is not an integer field.
    static TFilterExpr Parse(std::string_view text, const TTableData& table);

    bool Empty() const { return Nodes_.empty(); }
    bool Accepts(const TRow& row) const;
    bool UsesSlot(int slot) const;
    // Gathers, through the table's hash indexes, rows among which every row
    // that passes is found (possibly more, possibly repeated). Answers false
    // when only a walk over the whole table can tell.
    bool Candidates(TTableData& data, std::vector<TRow*>& out) const;
    // True when every candidate passes (an equality, or equalities joined by
    // "or"): the candidates need no test.
    bool CandidatesAllPass() const { return Root_ >= 0 && AllPass(Root_); }

private:
    enum class TOp : std::uint8_t { Eq, Ne, And, Or };
    struct TNode {
        TOp Op;
        int Slot = -1;
        std::int32_t Literal = 0;
        int Left = -1, Right = -1;
    };
    friend class TFilterParser;

    bool Eval(int node, const TRow& row) const;
    bool Collect(int node, TTableData& data, std::vector<TRow*>& out) const;
    bool AllPass(int node) const;

    std::vector<TNode> Nodes_;
    int Root_ = -1;
};

}  // namespace tavlor
