#include "support/CompetitionImage.h"

#include "text/Numbers.h"

#include <cstdio>

namespace tavlor::test {

namespace {

std::string ValueText(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) return "i:" + text::IntToStr(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "d:%a", *d);  // exact, sign of zero included
        return buffer;
    }
    if (const auto* s = std::get_if<std::string>(&v)) return "s:" + *s;
    return "null";
}

std::string ElementText(const TElement& e) {
    return text::IntToStr(e.Kind) + "/" + text::IntToStr(e.Id) + "/" + text::IntToStr(e.IdParent);
}

void WalkTree(TNodeTree& tree, TNodeHandle parent, int depth, const std::function<void(TNodeHandle, int)>& visit) {
    for (TNodeHandle node : tree.Children(parent)) {
        visit(node, depth);
        WalkTree(tree, node, depth + 1, visit);
    }
}

// Every row of a table keeping its element's node: the node exists, is of the
// element's kind and number, and hangs under the node the parent row keeps.
void CheckLinks(TdmLocal& dm, TTable& table, TNodeKind kind, const char* idField, const char* parentTable,
                const char* parentField, std::vector<std::string>& broken) {
    TTableData& data = table.Data();
    const int node = data.FieldByName("NODE").StorageIndex;
    const int id = data.FieldByName(idField).StorageIndex;
    const int parent = parentField != nullptr ? data.FieldByName(parentField).StorageIndex : -1;
    for (const TRow* row : data.RowsInInsertionOrder()) {
        const TNodeHandle handle = ValueAsInteger(row->Values[node]);
        const std::string where = table.Name() + " " + ValueText(row->Values[id]);
        if (!dm.Tree.Exists(handle) || dm.Tree.Data(handle).Kind != kind ||
            dm.Tree.Data(handle).Id != ValueAsInteger(row->Values[id])) {
            broken.push_back(where + ": node " + text::IntToStr(handle));
            continue;
        }
        TNodeHandle expectedParent = kind == NodeRegistrant ? dm.RegistrantsNode : 0;
        if (parent >= 0) {
            const bool pool = std::string(parentTable) == "Poules";
            TTableData& owners = pool ? dm.Tables.Poules.Data() : dm.Tables.Phases.Data();
            const TRowView owner = owners.Lookup(pool ? "IDPOULE" : "IDPHASE", {ValueAsInteger(row->Values[parent])});
            expectedParent = owner ? owner.AsInteger("NODE") : -1;
        }
        if (dm.Tree.Parent(handle) != expectedParent) broken.push_back(where + ": parent node");
    }
}

std::vector<std::string> GridLines(TTable& table) {
    std::vector<std::string> lines;
    for (table.First(); !table.Eof(); table.Next()) {
        std::string line;
        for (const TFieldDef& f : table.Fields()) {
            line += table.DisplayText(f.Name) + "|";
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

TCompetImage ImageOf(TCompetition& compet, TdmLocal& dm) {
    TCompetImage image;
    image.IdCompet = compet.IdCompet();
    image.Message = compet.Message();
    image.Discipline = compet.Discipline();
    image.Connexion = static_cast<std::uint8_t>(compet.Connexion);
    TCompetTables& t = dm.Tables;
    for (TTable* table : {&t.Billards, &t.Phases, &t.Poules, &t.Inscrits, &t.Joueurs, &t.Matchs}) {
        TTableData& data = table->Data();
        image.TableNames.push_back(table->Name());
        auto& rows = image.Tables.emplace_back();
        for (const TRow* row : data.RowsInInsertionOrder()) {
            auto& values = rows.emplace_back();
            for (int slot = 0; slot < data.StoredFieldCount(); ++slot) {
                if (data.StoredField(slot).Name == "NODE") continue;
                values.push_back(data.StoredField(slot).Name + "=" + ValueText(row->Values[slot]));
            }
        }
    }
    WalkTree(dm.Tree, 0, 0, [&](TNodeHandle node, int depth) {
        image.Tree.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + ElementText(dm.ElementOf(node)) +
                             " " + dm.GetNomElement(dm.ElementOf(node)));
    });
    CheckLinks(dm, t.Phases, NodePhase, "IDPHASE", nullptr, nullptr, image.BrokenLinks);
    CheckLinks(dm, t.Poules, NodePool, "IDPOULE", "Phases", "IDPHASE", image.BrokenLinks);
    CheckLinks(dm, t.Inscrits, NodeRegistrant, "LICENCE", nullptr, nullptr, image.BrokenLinks);
    CheckLinks(dm, t.Joueurs, NodeMember, "LICENCE", "Poules", "IDPOULE", image.BrokenLinks);
    return image;
}

std::vector<TViewImage> ViewsOf(TdmLocal& dm, TViews& views, TFakeViewHost& host,
                                const std::function<bool(const TElement&)>& which) {
    std::vector<TViewImage> images;
    WalkTree(dm.Tree, 0, 0, [&](TNodeHandle node, int) {
        const TElement element = dm.ElementOf(node);
        if (which && !which(element)) return;
        views.RefreshFiltres(element);
        TViewImage& image = images.emplace_back();
        image.Element = ElementText(element);
        image.RankingCaption = host.RankingCaption;
        image.MatchesCaption = host.MatchesCaption;
        image.Players = GridLines(dm.Tables.FiltreJoueurs);
        image.Matches = GridLines(dm.Tables.FiltreMatchs);
    });
    return images;
}

namespace {

std::string Lines(const std::vector<std::string>& a, const std::vector<std::string>& b, const std::string& what) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i])
            return what + " line " + text::IntToStr(static_cast<std::int64_t>(i)) + ": " + a[i] + " / " + b[i];
    }
    if (a.size() != b.size()) {
        return what + ": " + text::IntToStr(static_cast<std::int64_t>(a.size())) + " lines / " +
               text::IntToStr(static_cast<std::int64_t>(b.size()));
    }
    return {};
}

}  // namespace

std::string FirstDifference(const TCompetImage& a, const TCompetImage& b) {
    if (a.IdCompet != b.IdCompet) return "IdCompet";
    if (a.Message != b.Message) return "Message: " + a.Message + " / " + b.Message;
    if (a.Discipline != b.Discipline) return "Discipline: " + a.Discipline + " / " + b.Discipline;
    if (a.TableNames != b.TableNames || a.Tables.size() != b.Tables.size()) return "tables";
    for (std::size_t t = 0; t < a.Tables.size(); ++t) {
        const auto& ra = a.Tables[t];
        const auto& rb = b.Tables[t];
        for (std::size_t r = 0; r < ra.size() && r < rb.size(); ++r) {
            if (const std::string d =
                    Lines(ra[r], rb[r], a.TableNames[t] + " row " + text::IntToStr(static_cast<std::int64_t>(r)));
                !d.empty()) {
                return d;
            }
        }
        if (ra.size() != rb.size()) {
            return a.TableNames[t] + ": " + text::IntToStr(static_cast<std::int64_t>(ra.size())) + " rows / " +
                   text::IntToStr(static_cast<std::int64_t>(rb.size()));
        }
    }
    if (const std::string d = Lines(a.Tree, b.Tree, "tree"); !d.empty()) return d;
    return Lines(a.BrokenLinks, b.BrokenLinks, "tree links");
}

std::string FirstDifference(const std::vector<TViewImage>& a, const std::vector<TViewImage>& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const TViewImage& x = a[i];
        const TViewImage& y = b[i];
        if (x.Element != y.Element) return "element " + x.Element + " / " + y.Element;
        if (x.RankingCaption != y.RankingCaption || x.MatchesCaption != y.MatchesCaption) {
            return "captions of " + x.Element;
        }
        if (const std::string d = Lines(x.Players, y.Players, "ranking of " + x.Element); !d.empty()) return d;
        if (const std::string d = Lines(x.Matches, y.Matches, "matches of " + x.Element); !d.empty()) return d;
    }
    if (a.size() != b.size()) return "number of views";
    return {};
}

}  // namespace tavlor::test
