#include "model/TableFilter.h"

#include "model/TableData.h"
#include "model/TableMessages.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <cctype>
#include <string>

namespace tavlor {

namespace {

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Recursive descent over the text: or-expression of and-expressions of
// comparisons or parenthesised expressions.
class TFilterParser {
public:
    TFilterParser(std::string_view text, const TTableData& table, TFilterExpr& out)
        : Text_(text), Table_(table), Out_(out) {}

    void Run() {
        SkipSpaces();
        if (Pos_ == Text_.size()) {
            return;  // an empty text lets every row pass
        }
        Out_.Root_ = ParseOr();
        SkipSpaces();
        if (Pos_ != Text_.size()) {
            Fail();
        }
    }

private:
    int ParseOr() {
        int left = ParseAnd();
        while (TakeKeyword("or")) {
            left = Add({TFilterExpr::TOp::Or, -1, 0, left, ParseAnd()});
        }
        return left;
    }

    int ParseAnd() {
        int left = ParseFactor();
        while (TakeKeyword("and")) {
            left = Add({TFilterExpr::TOp::And, -1, 0, left, ParseFactor()});
        }
        return left;
    }

    int ParseFactor() {
        SkipSpaces();
        if (Take('(')) {
            const int inner = ParseOr();
            SkipSpaces();
            if (!Take(')')) {
                Fail();
            }
            return inner;
        }
        const std::string_view name = Identifier();
        if (name.empty() || EqualsNoCase(name, "and") || EqualsNoCase(name, "or")) {
            Fail();
        }
        const TFieldDef* field = Table_.FindField(name);
        if (field == nullptr) {
            throw Error(msg::table::FieldNotFound(Table_.Name(), name));
        }
        if (field->Type != TFieldType::Integer || field->Kind != TFieldKind::Data) {
            throw Error(msg::table::NotAnIntegerField(Table_.Name(), name));
        }
        SkipSpaces();
        TFilterExpr::TOp op;
        if (Take('=')) {
            op = TFilterExpr::TOp::Eq;
        } else if (Take('<') && Take('>')) {
            op = TFilterExpr::TOp::Ne;
        } else {
            Fail();
        }
        SkipSpaces();
        const std::size_t start = Pos_;
        if (Pos_ < Text_.size() && (Text_[Pos_] == '-' || Text_[Pos_] == '+')) {
            ++Pos_;
        }
        while (Pos_ < Text_.size() && std::isdigit(static_cast<unsigned char>(Text_[Pos_]))) {
            ++Pos_;
        }
        const auto literal = text::ParseInt32(Text_.substr(start, Pos_ - start));
        if (!literal) {
            Fail();
        }
        return Add({op, field->StorageIndex, *literal, -1, -1});
    }

    std::string_view Identifier() {
        SkipSpaces();
        const std::size_t start = Pos_;
        if (Pos_ < Text_.size() && IsIdentStart(Text_[Pos_])) {
            while (Pos_ < Text_.size() && IsIdentChar(Text_[Pos_])) {
                ++Pos_;
            }
        }
        return Text_.substr(start, Pos_ - start);
    }

    bool TakeKeyword(std::string_view word) {
        SkipSpaces();
        const std::size_t save = Pos_;
        if (EqualsNoCase(Identifier(), word)) {
            return true;
        }
        Pos_ = save;
        return false;
    }

    bool Take(char c) {
        if (Pos_ < Text_.size() && Text_[Pos_] == c) {
            ++Pos_;
            return true;
        }
        return false;
    }

    void SkipSpaces() {
        while (Pos_ < Text_.size() && std::isspace(static_cast<unsigned char>(Text_[Pos_]))) {
            ++Pos_;
        }
    }

    int Add(TFilterExpr::TNode node) {
        Out_.Nodes_.push_back(node);
        return static_cast<int>(Out_.Nodes_.size()) - 1;
    }

    [[noreturn]] void Fail() { throw Error(msg::table::BadFilter(Table_.Name(), Text_)); }

    std::string_view Text_;
    const TTableData& Table_;
    TFilterExpr& Out_;
    std::size_t Pos_ = 0;
};

TFilterExpr TFilterExpr::Parse(std::string_view text, const TTableData& table) {
    TFilterExpr expr;
    TFilterParser(text, table, expr).Run();
    return expr;
}

bool TFilterExpr::Accepts(const TRow& row) const {
    return Root_ < 0 || Eval(Root_, row);
}

bool TFilterExpr::UsesSlot(int slot) const {
    for (const TNode& n : Nodes_) {
        if (n.Slot == slot) {
            return true;
        }
    }
    return false;
}

bool TFilterExpr::Eval(int node, const TRow& row) const {
    const TNode& n = Nodes_[node];
    switch (n.Op) {
        case TOp::And:
            return Eval(n.Left, row) && Eval(n.Right, row);
        case TOp::Or:
            return Eval(n.Left, row) || Eval(n.Right, row);
        case TOp::Eq:
        case TOp::Ne: {
            const auto* v = std::get_if<std::int32_t>(&row.Values[n.Slot]);
            if (v == nullptr) {
                return false;
            }
            return n.Op == TOp::Eq ? *v == n.Literal : *v != n.Literal;
        }
    }
    return false;
}

bool TFilterExpr::Candidates(TTableData& data, std::vector<TRow*>& out) const {
    return Root_ >= 0 && Collect(Root_, data, out);
}

// A hash index's rows of a key hold exactly its integer values.
bool TFilterExpr::AllPass(int node) const {
    const TNode& n = Nodes_[node];
    return n.Op == TOp::Eq || (n.Op == TOp::Or && AllPass(n.Left) && AllPass(n.Right));
}

bool TFilterExpr::Collect(int node, TTableData& data, std::vector<TRow*>& out) const {
    const TNode& n = Nodes_[node];
    switch (n.Op) {
        case TOp::Eq: {
            THashIndex& index = data.HashIndexFor({n.Slot});
            const TValue literal = n.Literal;
            if (const auto* rows = index.Find(index.KeyOf(&literal))) {
                out.insert(out.end(), rows->begin(), rows->end());
            }
            return true;
        }
        case TOp::Ne:
            return false;
        case TOp::And: {
            std::vector<TRow*> left, right;
            const bool hasLeft = Collect(n.Left, data, left);
            const bool hasRight = Collect(n.Right, data, right);
            if (!hasLeft && !hasRight) {
                return false;
            }
            const auto& smaller = !hasRight || (hasLeft && left.size() <= right.size()) ? left : right;
            out.insert(out.end(), smaller.begin(), smaller.end());
            return true;
        }
        case TOp::Or: {
            const std::size_t mark = out.size();
            if (!Collect(n.Left, data, out) || !Collect(n.Right, data, out)) {
                out.resize(mark);
                return false;
            }
            return true;
        }
    }
    return false;
}

}  // namespace tavlor
