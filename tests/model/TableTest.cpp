#include "model/Table.h"

#include "text/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlor {
namespace {

// A pool-membership table as the competition uses it.
std::shared_ptr<TTableData> MakeMembers() {
    return std::make_shared<TTableData>(
        "Joueurs",
        std::vector<TFieldDef>{IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE"),
                               IntegerField("NODE"), IntegerField("RGA")},
        std::vector<TIndexDef>{{"IDPHPO", {{"IDPHASE"}, {"IDPOULE"}}}});
}

void AddMember(TTable& t, int phase, int pool, int licence, int rank) {
    t.Append();
    t.SetInteger("IDPHASE", phase);
    t.SetInteger("IDPOULE", pool);
    t.SetInteger("LICENCE", licence);
    t.SetInteger("RGA", rank);
    t.Post();
}

std::vector<int> Walk(TTable& t, const char* field) {
    std::vector<int> out;
    for (t.First(); !t.Eof(); t.Next()) {
        out.push_back(t.AsInteger(field));
    }
    return out;
}

std::vector<int> WalkBack(TTable& t, const char* field) {
    std::vector<int> out;
    for (t.Last(); !t.Bof(); t.Prior()) {
        out.push_back(t.AsInteger(field));
        if (!t.HasCurrent()) {
            break;
        }
    }
    return out;
}

TEST(TableFields, AbsentFieldIsNoneOrNamedError) {
    TTable t(MakeMembers());
    EXPECT_EQ(t.FindField("NOPE"), nullptr);
    EXPECT_EQ(t.FieldIndex("NOPE"), -1);
    EXPECT_NE(t.FindField("licence"), nullptr) << "names are matched without regard to case";
    try {
        t.AsInteger("RGB");
        FAIL() << "reading an absent field must fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Joueurs: Champ 'RGB' non trouvé");
    }
    EXPECT_THROW(t.FieldByName("X"), Error);
    EXPECT_THROW(TTableData("t", {IntegerField("A"), IntegerField("a")}), Error);
}

TEST(TableFields, NullReadsZeroOrEmptyAndEmptyTableHasNoRow) {
    TTable phases("Phases", {IntegerField("IDPHASE"), StringField("NOMPHASE", 50)});
    phases.SetIndexFieldNames("IDPHASE");
    phases.Last();
    EXPECT_FALSE(phases.HasCurrent());
    EXPECT_TRUE(phases.Eof());
    EXPECT_TRUE(phases.Bof());
    EXPECT_EQ(phases.AsInteger("IDPHASE"), 0);
    EXPECT_EQ(phases.AsString("NOMPHASE"), "");
    EXPECT_TRUE(phases.IsNull("IDPHASE"));

    phases.Append();
    phases.SetInteger("IDPHASE", 3);
    phases.Post();
    EXPECT_TRUE(phases.IsNull("NOMPHASE"));
    EXPECT_EQ(phases.AsString("NOMPHASE"), "");
    EXPECT_EQ(phases.AsFloat("IDPHASE"), 3.0);
    EXPECT_EQ(phases.AsString("IDPHASE"), "3");
}

TEST(TableFields, StringsAreCutToTheirWidthInCharacters) {
    TTable t("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50), StringField("NOMBD", 10)});
    std::string sixty;
    for (int i = 0; i < 30; ++i) {
        sixty += "éa";  // 60 characters, 90 bytes
    }
    t.Append();
    t.SetString("NOM", sixty);
    t.SetString("NOMBD", "Match 3 bandes");
    t.Post();
    std::string fifty;
    for (int i = 0; i < 25; ++i) {
        fifty += "éa";
    }
    EXPECT_EQ(t.AsString("NOM"), fifty);
    EXPECT_EQ(t.AsString("NOMBD"), "Match 3 ba");

    t.Edit();
    t.SetString("NOM", "Łukasz Żółw €");  // what Windows-1252 cannot hold becomes "?"
    t.Post();
    EXPECT_EQ(t.AsString("NOM"), "?ukasz ?ó?w €");
}

// Whole rows appended at once, copied or taken over: each value kept to its
// field's type and width, missing values null, extra ones ignored.
TEST(TableFields, WholeRowsAreKeptToTheirFields) {
    TTable t("t", {IntegerField("N"), StringField("S", 3), FloatField("F")});
    t.AppendRow(std::vector<TValue>{TValue(std::string("12")), TValue(std::string("abcdef")), TValue(2)});
    std::vector<TValue> moved{TValue(7), TValue(std::string("éèêë"))};
    t.AppendRow(std::move(moved));
    t.AppendRow(std::vector<TValue>{TValue(1), TValue(), TValue(1.5), TValue(99)});
    t.First();
    EXPECT_EQ(t.AsInteger("N"), 12);
    EXPECT_EQ(t.AsString("S"), "abc");
    EXPECT_DOUBLE_EQ(t.AsFloat("F"), 2.0);
    t.Next();
    EXPECT_EQ(t.AsString("S"), "éèê") << "cut in characters";
    EXPECT_TRUE(t.IsNull("F"));
    t.Next();
    EXPECT_TRUE(t.IsNull("S"));
    EXPECT_DOUBLE_EQ(t.AsFloat("F"), 1.5);
    EXPECT_EQ(t.RecordCount(), 3);
    t.Append();
    EXPECT_THROW(t.AppendRow(std::vector<TValue>{TValue(1)}), Error) << "already inserting";
}

TEST(TableFields, WritingNeedsEditOrAppend) {
    TTable t(MakeMembers());
    EXPECT_THROW(t.SetInteger("RGA", 1), Error);
    EXPECT_THROW(t.Edit(), Error) << "nothing to edit in an empty table";
    EXPECT_THROW(t.Delete(), Error);
    AddMember(t, 1, 1, 10, 1);
    t.Edit();
    t.SetInteger("RGA", 5);
    EXPECT_EQ(t.AsInteger("RGA"), 5) << "the row being edited reads its new values";
    t.Cancel();
    EXPECT_EQ(t.AsInteger("RGA"), 1);
}

TEST(TableOrder, NamedIndexWithDirectionsAndNulls) {
    TTable t(
        "FiltreJoueurs",
        {IntegerField("IDPOULE"), IntegerField("LICENCE"), IntegerField("PM"), FloatField("MG"), IntegerField("CPO")},
        {{"IDX", {{"IDPOULE", true}, {"PM", true}, {"MG", true}}}});
    auto add = [&](int pool, int licence, std::optional<int> pm, std::optional<double> mg) {
        t.Append();
        t.SetInteger("IDPOULE", pool);
        t.SetInteger("LICENCE", licence);
        if (pm) t.SetInteger("PM", *pm);
        if (mg) t.SetFloat("MG", *mg);
        t.Post();
    };
    add(1, 100, 4, 0.9);
    add(1, 101, 4, 1.1);
    add(1, 102, 2, 2.0);
    add(2, 200, std::nullopt, 1.0);
    add(1, 103, std::nullopt, std::nullopt);
    add(2, 201, 0, 0.5);
    t.SetIndexName("IDX");
    // Descending keys put null after every value.
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{201, 200, 101, 100, 102, 103}));

    t.SetIndexFieldNames("PM;LICENCE");  // ascending: null first
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{103, 200, 201, 102, 100, 101}));
    EXPECT_EQ(WalkBack(t, "LICENCE"), (std::vector<int>{101, 100, 102, 201, 200, 103}));

    t.SetIndexFieldNames("");
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{100, 101, 102, 200, 103, 201})) << "insertion order";
    EXPECT_THROW(t.SetIndexName("NOPE"), Error);
}

TEST(TableOrder, RowsEqualOnEveryKeyKeepInsertionOrder) {
    TTable t(MakeMembers());
    t.SetIndexName("IDPHPO");
    AddMember(t, 2, 5, 1, 1);
    AddMember(t, 1, 3, 2, 1);
    AddMember(t, 2, 5, 3, 1);
    AddMember(t, 1, 3, 4, 1);
    AddMember(t, 2, 5, 5, 1);
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{2, 4, 1, 3, 5}));
    // Moving a row away and back keeps its place among its equals: it was added before 3 and 5.
    ASSERT_TRUE(t.Locate("LICENCE", {1}));
    t.Edit();
    t.SetInteger("IDPHASE", 9);
    t.Post();
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{2, 4, 3, 5, 1}));
    ASSERT_TRUE(t.Locate("LICENCE", {1}));
    t.Edit();
    t.SetInteger("IDPHASE", 2);
    t.Post();
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{2, 4, 1, 3, 5}));
}

TEST(TableOrder, PostedRowTakesItsPlaceAtOnceAndStaysCurrent) {
    TTable t(MakeMembers());
    t.SetIndexName("IDPHPO");
    AddMember(t, 1, 1, 10, 1);
    AddMember(t, 1, 2, 11, 1);
    AddMember(t, 1, 2, 12, 2);
    AddMember(t, 3, 7, 13, 1);
    // Edit phase 1 rows to phase 2 one at a time, finding the next one again
    // after each edit: the loop must end when no row matches any more.
    int edits = 0;
    while (t.Locate("IDPHASE", {1})) {
        t.Edit();
        t.SetInteger("IDPHASE", 2);
        t.Post();
        EXPECT_EQ(t.AsInteger("IDPHASE"), 2);
        ASSERT_LT(++edits, 10);
    }
    EXPECT_EQ(edits, 3);
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{10, 11, 12, 13}));
    // An edit that moves the row before others: Next continues from its new place.
    ASSERT_TRUE(t.Locate("LICENCE", {13}));
    t.Edit();
    t.SetInteger("IDPHASE", 0);
    t.Post();
    t.Next();
    EXPECT_EQ(t.AsInteger("LICENCE"), 10);
}

TEST(TableSearch, LocateOnEmptyAndNotFound) {
    TTable t(MakeMembers());
    EXPECT_FALSE(t.Locate("IDPOULE;LICENCE", {1, 2}));
    EXPECT_FALSE(t.HasCurrent());
    AddMember(t, 1, 1, 10, 1);
    AddMember(t, 1, 2, 11, 1);
    t.First();
    EXPECT_FALSE(t.Locate("LICENCE", {99}));
    EXPECT_EQ(t.AsInteger("LICENCE"), 10) << "not found leaves the current row";
    EXPECT_TRUE(t.Locate("LICENCE", {11}));
    EXPECT_EQ(t.AsInteger("IDPOULE"), 2);
    EXPECT_THROW(t.Locate("LICENCE;IDPOULE", {11}), Error);
    EXPECT_THROW(t.Locate("RGB", {11}), Error);
}

TEST(TableSearch, LocateFindsTheFirstRowInTheCurrentOrder) {
    TTable t(MakeMembers());
    AddMember(t, 2, 8, 50, 3);
    AddMember(t, 1, 7, 50, 2);
    AddMember(t, 1, 6, 50, 1);
    t.SetIndexName("IDPHPO");
    ASSERT_TRUE(t.Locate("LICENCE", {50}));
    EXPECT_EQ(t.AsInteger("IDPOULE"), 6) << "lowest phase, then lowest pool";
    t.SetIndexFieldNames("");
    ASSERT_TRUE(t.Locate("LICENCE", {50}));
    EXPECT_EQ(t.AsInteger("IDPOULE"), 8) << "insertion order";
    t.SetIndexFieldNames("RGA");
    ASSERT_TRUE(t.Locate("IDPHASE", {1}));
    EXPECT_EQ(t.AsInteger("RGA"), 1);
    // Leading keys of the order, listed in another order than the index's.
    t.SetIndexName("IDPHPO");
    ASSERT_TRUE(t.Locate("IDPOULE;IDPHASE", {7, 1}));
    EXPECT_EQ(t.AsInteger("RGA"), 2);
    EXPECT_FALSE(t.Locate("IDPOULE;IDPHASE", {7, 2}));
}

TEST(TableSearch, LocateUnderFilter) {
    TTable t(MakeMembers());
    AddMember(t, 1, 7, 100, 1);
    AddMember(t, 1, 7, 101, 2);
    AddMember(t, 1, 8, 200, 1);
    t.SetFilter("IDPOULE=7");
    t.SetFiltered(true);
    EXPECT_TRUE(t.Locate("IDPOULE;LICENCE", {7, 101}));
    EXPECT_EQ(t.AsInteger("RGA"), 2);
    EXPECT_FALSE(t.Locate("IDPOULE;LICENCE", {8, 200})) << "the row exists but the filter hides it";
    EXPECT_EQ(t.AsInteger("LICENCE"), 101);
    t.SetIndexName("IDPHPO");
    EXPECT_FALSE(t.Locate("IDPHASE;IDPOULE", {1, 8}));
    EXPECT_TRUE(t.Locate("IDPHASE;IDPOULE", {1, 7}));
    EXPECT_EQ(t.AsInteger("LICENCE"), 100);
    t.SetFiltered(false);
    EXPECT_TRUE(t.Locate("IDPOULE;LICENCE", {8, 200}));
}

TEST(TableSearch, FindKeyOnLeadingFields) {
    TTable t("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50), IntegerField("RGA")},
             {{"IDXLI", {{"LICENCE"}}}, {"IDXNOM", {{"NOM"}}}});
    EXPECT_THROW(t.FindKey({TValue(1)}), Error) << "no index is current";
    for (auto [lic, nom] : std::vector<std::pair<int, const char*>>{{30, "Martin"}, {10, "Dupont"}, {20, "Émile"}}) {
        t.Append();
        t.SetInteger("LICENCE", lic);
        t.SetString("NOM", nom);
        t.Post();
    }
    t.SetIndexName("IDXLI");
    EXPECT_TRUE(t.FindKey({TValue(20)}));
    EXPECT_EQ(t.AsString("NOM"), "Émile");
    EXPECT_FALSE(t.FindKey({TValue(25)}));
    EXPECT_EQ(t.AsString("NOM"), "Émile");
    t.SetIndexName("IDXNOM");
    EXPECT_EQ(Walk(t, "LICENCE"), (std::vector<int>{10, 20, 30})) << "accents sort with their letter";
    EXPECT_TRUE(t.FindKey({TValue(std::string("Martin"))}));
    EXPECT_EQ(t.AsInteger("LICENCE"), 30);

    TTable m(MakeMembers());
    AddMember(m, 2, 4, 1, 1);
    AddMember(m, 1, 5, 2, 1);
    AddMember(m, 1, 3, 3, 1);
    m.SetIndexName("IDPHPO");
    EXPECT_TRUE(m.FindKey({TValue(1)}));
    EXPECT_EQ(m.AsInteger("LICENCE"), 3) << "first row of phase 1 in the index";
    EXPECT_TRUE(m.FindKey({TValue(1), TValue(5)}));
    EXPECT_EQ(m.AsInteger("LICENCE"), 2);
    EXPECT_THROW(m.FindKey({TValue(1), TValue(5), TValue(0)}), Error);
}

TEST(TableFilter, GrammarAndSelection) {
    TTable t("Matchs", {IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE1"),
                        IntegerField("LICENCE2"), IntegerField("IDMATCH")});
    struct M {
        int ph, po, l1, l2, id;
    };
    for (M m : {M{1, 7, 10, 11, 1}, M{1, 7, 12, 10, 2}, M{1, 8, 13, 14, 3}, M{2, 9, 10, 13, 4}, M{2, 9, -5, 14, 5}}) {
        t.Append();
        t.SetInteger("IDPHASE", m.ph);
        t.SetInteger("IDPOULE", m.po);
        t.SetInteger("LICENCE1", m.l1);
        t.SetInteger("LICENCE2", m.l2);
        t.SetInteger("IDMATCH", m.id);
        t.Post();
    }
    t.Append();
    t.SetInteger("IDMATCH", 6);  // every other field null
    t.Post();
    auto ids = [&](const char* filter) {
        t.SetFilter(filter);
        t.SetFiltered(true);
        auto out = Walk(t, "IDMATCH");
        EXPECT_EQ(static_cast<int>(out.size()), t.RecordCount()) << filter;
        return out;
    };
    EXPECT_EQ(ids("IDPHASE=1"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ids("IDPOULE=9"), (std::vector<int>{4, 5}));
    EXPECT_EQ(ids("LICENCE1=10 or LICENCE2=10"), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(ids("IDPOULE=7 and (LICENCE1=10 or LICENCE2=10)"), (std::vector<int>{1, 2}));
    EXPECT_EQ(ids("IDPOULE=7 AND (LICENCE1=12 OR LICENCE2=12)"), (std::vector<int>{2}));
    EXPECT_EQ(ids("IDPOULE=7 and LICENCE1=10 or LICENCE2=14"), (std::vector<int>{1, 3, 5})) << "and binds tighter";
    EXPECT_EQ(ids("LICENCE1<>10"), (std::vector<int>{2, 3, 5})) << "a null field passes no comparison";
    EXPECT_EQ(ids("LICENCE1=-5"), (std::vector<int>{5}));
    EXPECT_EQ(ids("  IDPHASE = 2 "), (std::vector<int>{4, 5}));
    EXPECT_EQ(ids(""), (std::vector<int>{1, 2, 3, 4, 5, 6})) << "an empty filter lets everything pass";
    EXPECT_EQ(ids("IDPHASE=3"), (std::vector<int>{}));
    EXPECT_FALSE(t.HasCurrent());
    EXPECT_TRUE(t.Eof() && t.Bof());
    t.SetFilter("IDPHASE=1");
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 6) << "the switch is off";

    for (const char* bad : {"IDPHASE", "IDPHASE=", "IDPHASE=x", "IDPHASE=1 and", "(IDPHASE=1", "IDPHASE=1)",
                            "IDPHASE>1", "IDPHASE=1 xor IDPOULE=2", "=1", "IDPHASE=99999999999"}) {
        EXPECT_THROW(t.SetFilter(bad), Error) << bad;
    }
    EXPECT_THROW(t.SetFilter("NOPE=1"), Error);
}

TEST(TableFilter, ChangedRowsStayInTheTableEvenWhenTheyNoLongerPass) {
    TTable t(MakeMembers());
    AddMember(t, 1, 7, 100, 1);
    AddMember(t, 1, 7, 101, 2);
    AddMember(t, 1, 7, 102, 3);
    t.SetFilter("IDPOULE=7");
    t.SetFiltered(true);
    t.First();
    t.Next();
    t.Edit();
    t.SetInteger("IDPOULE", 8);
    t.Post();
    EXPECT_EQ(t.AsInteger("LICENCE"), 101) << "the edited row stays current";
    t.Next();
    EXPECT_EQ(t.AsInteger("LICENCE"), 102) << "and the walk goes on after it";
    EXPECT_EQ(t.RecordCount(), 2);
    t.Append();
    t.SetInteger("IDPOULE", 9);
    t.SetInteger("LICENCE", 103);
    t.Post();
    EXPECT_EQ(t.AsInteger("LICENCE"), 103);
    EXPECT_EQ(t.RecordCount(), 2);
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 4);
}

TEST(TableCursors, ClonesShareRowsButNotPositionFilterOrOrder) {
    TTable members(MakeMembers());
    AddMember(members, 1, 7, 100, 1);
    AddMember(members, 1, 7, 101, 2);
    AddMember(members, 1, 8, 200, 1);
    auto clone = members.Clone();
    clone->SetFilter("IDPOULE=7");
    clone->SetFiltered(true);
    EXPECT_EQ(clone->RecordCount(), 2);
    EXPECT_EQ(members.RecordCount(), 3);

    ASSERT_TRUE(members.Locate("LICENCE", {101}));
    members.Edit();
    members.SetInteger("RGA", 9);
    members.Post();
    ASSERT_TRUE(clone->Locate("LICENCE", {101}));
    EXPECT_EQ(clone->AsInteger("RGA"), 9) << "a clone sees what the first cursor edits";

    ASSERT_TRUE(members.Locate("LICENCE", {200}));
    members.Edit();
    members.SetInteger("IDPOULE", 7);
    members.Post();
    EXPECT_EQ(clone->RecordCount(), 3) << "a row edited into the clone's filter appears there";
    AddMember(members, 1, 7, 300, 4);
    EXPECT_EQ(Walk(*clone, "LICENCE"), (std::vector<int>{100, 101, 200, 300}));

    clone->SetIndexFieldNames("RGA");
    EXPECT_EQ(Walk(*clone, "LICENCE"), (std::vector<int>{100, 200, 300, 101}));
    EXPECT_EQ(Walk(members, "LICENCE"), (std::vector<int>{100, 101, 200, 300}));

    // Deleting through one cursor moves the other off the deleted row.
    ASSERT_TRUE(clone->Locate("LICENCE", {200}));
    ASSERT_TRUE(members.Locate("LICENCE", {200}));
    members.Delete();
    EXPECT_EQ(clone->AsInteger("LICENCE"), 300);
    EXPECT_EQ(members.AsInteger("LICENCE"), 300);
    EXPECT_EQ(clone->RecordCount(), 3);
}

TEST(TableChanges, DeleteMakesTheNextRowCurrent) {
    TTable t(MakeMembers());
    for (int i = 1; i <= 4; ++i) {
        AddMember(t, 1, 1, i, i);
    }
    ASSERT_TRUE(t.Locate("LICENCE", {2}));
    t.Delete();
    EXPECT_EQ(t.AsInteger("LICENCE"), 3);
    EXPECT_FALSE(t.Eof());
    t.Last();
    t.Delete();
    EXPECT_EQ(t.AsInteger("LICENCE"), 3) << "after the last row, the new last row";
    EXPECT_TRUE(t.Eof());
    int deletes = 0;
    for (t.First(); !t.Eof() && deletes < 10; ++deletes) {
        t.Delete();
    }
    EXPECT_EQ(deletes, 2);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_FALSE(t.HasCurrent());
}

TEST(TableChanges, DeletingEveryFilteredRow) {
    TTable t(MakeMembers());
    for (int i = 1; i <= 6; ++i) {
        AddMember(t, 1, 1, i % 3 == 0 ? 3 : i, i);
    }
    {
        TFilterScope scope(t, "LICENCE<>3");
        t.First();
        while (!t.Eof()) {
            t.Delete();
        }
        EXPECT_EQ(t.RecordCount(), 0);
    }
    EXPECT_FALSE(t.Filtered());
    EXPECT_EQ(t.Filter(), "");
    EXPECT_EQ(Walk(t, "RGA"), (std::vector<int>{3, 6}));
}

TEST(TableChanges, EmptyKeepsStructureAndResetsEveryCursor) {
    TTable t(MakeMembers());
    t.SetIndexName("IDPHPO");
    AddMember(t, 1, 1, 1, 1);
    auto clone = t.Clone();
    t.EmptyTable();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_FALSE(clone->HasCurrent());
    EXPECT_EQ(t.IndexName(), "IDPHPO");
    AddMember(t, 2, 2, 2, 2);
    EXPECT_EQ(clone->RecordCount(), 1);
    EXPECT_TRUE(clone->FindKey({TValue(2)}));
}

TEST(TableChanges, BookmarksSurviveReordering) {
    TTable t(MakeMembers());
    AddMember(t, 1, 1, 1, 1);
    AddMember(t, 1, 1, 2, 2);
    const TBookmark mark = t.Bookmark();
    t.SetIndexFieldNames("RGA");
    t.First();
    ASSERT_TRUE(t.GotoBookmark(mark));
    EXPECT_EQ(t.AsInteger("LICENCE"), 2);
    t.Delete();
    EXPECT_FALSE(t.GotoBookmark(mark));
}

class CountingListener : public ITableListener {
public:
    int Changes = 0;
    int FieldChanges = 0;
    void TableChanged(const TTableData&) override { ++Changes; }
    void FieldsChanged(const TTableData&) override { ++FieldChanges; }
};

TEST(TableChanges, RowsAppendedTogetherAreSeenAsIfAppendedOneByOne) {
    // The same rows through AppendRow and through AppendRows, onto tables
    // that already hold rows (taken one by one into the order) and onto
    // empty ones (the order sorted once): every cursor sees the same.
    auto one = MakeMembers();
    auto bulk = MakeMembers();
    TTable a(one), b(bulk);
    TTable filteredA(one), filteredB(bulk);
    for (TTable* t : {&a, &b}) {
        t->SetIndexName("IDPHPO");
        for (int i = 0; i < 10; ++i) {
            AddMember(*t, 2 - i % 2, 20 - i % 3 * 5, 100 + i, 1);
        }
    }
    for (TTable* t : {&filteredA, &filteredB}) {
        t->SetIndexFieldNames("LICENCE");
        t->SetFilter("IDPOULE=10");
        t->SetFiltered(true);
        t->First();  // its visible rows are known before the rows come
    }
    EXPECT_EQ(one->FindFirst(2, TValue(std::int32_t{5})), nullptr);  // a hash index on LICENCE exists
    EXPECT_EQ(bulk->FindFirst(2, TValue(std::int32_t{5})), nullptr);
    for (int round = 0; round < 2; ++round) {
        std::vector<std::vector<TValue>> rows;
        for (int i = 0; i < 6; ++i) {
            // Phases and pools out of order, an integer given as a float, a short row.
            rows.push_back(
                {std::int32_t{1 + i % 2}, std::int32_t{10 + i % 3 * 5}, std::int32_t{5 + i}, TValue(), 2.6 + i});
        }
        rows.push_back({std::int32_t{1}});
        for (const auto& row : rows) {
            a.AppendRow(row);
        }
        b.AppendRows(rows);
        EXPECT_EQ(a.AsInteger("LICENCE"), b.AsInteger("LICENCE")) << "the last row is current";
        EXPECT_FALSE(b.Eof());
        EXPECT_EQ(Walk(a, "LICENCE"), Walk(b, "LICENCE"));
        EXPECT_EQ(Walk(a, "RGA"), Walk(b, "RGA"));
        EXPECT_EQ(Walk(filteredA, "LICENCE"), Walk(filteredB, "LICENCE"));
        EXPECT_EQ(WalkBack(b, "LICENCE"), WalkBack(a, "LICENCE"));
        for (int licence : {5, 8, 10}) {
            const TRow* ra = one->FindFirst(2, TValue(std::int32_t{licence}));
            const TRow* rb = bulk->FindFirst(2, TValue(std::int32_t{licence}));
            ASSERT_NE(rb, nullptr);
            EXPECT_EQ(ra->Values, rb->Values);
        }
        a.EmptyTable();
        b.EmptyTable();
    }
    std::vector<std::vector<TValue>> none;
    b.AppendRows(none);
    EXPECT_TRUE(b.Eof() && b.Bof());

    // A fill that fails adds nothing.
    EXPECT_THROW(b.AppendRows(3,
                              [](std::size_t i, std::vector<TValue>& values) {
                                  values.assign(values.size(), TValue(std::int32_t{1}));
                                  if (i == 2) {
                                      throw Error("stop");
                                  }
                              }),
                 Error);
    EXPECT_EQ(b.RecordCount(), 0);
}

TEST(TableViews, NotificationsAreSuspendedWhileRefilling) {
    TTable t(MakeMembers());
    CountingListener listener;
    t.Data().AddListener(&listener);
    AddMember(t, 1, 1, 1, 1);
    EXPECT_EQ(listener.Changes, 1);
    {
        TControlsDisabled outer(t);
        t.EmptyTable();
        for (int i = 0; i < 50; ++i) {
            AddMember(t, 1, 1, i, i);
        }
        {
            TControlsDisabled inner(t);
            t.Data().SetFieldVisible("RGA", false);
        }
        EXPECT_EQ(listener.Changes, 1) << "nothing is told while suspended, also after an inner resume";
    }
    EXPECT_EQ(listener.Changes, 2);
    EXPECT_EQ(listener.FieldChanges, 1);
    EXPECT_FALSE(t.FieldByName("RGA").Visible);
    { TControlsDisabled idle(t); }
    EXPECT_EQ(listener.Changes, 2) << "a suspension without change tells nothing";
    t.Data().RemoveListener(&listener);
}

TEST(TableFieldKinds, LookedUpAndCalculatedFields) {
    auto pools = std::make_shared<TTableData>(
        "Poules", std::vector<TFieldDef>{IntegerField("IDPOULE"), StringField("NOMPOULE", 50)});
    TTable poolCursor(pools);
    poolCursor.Append();
    poolCursor.SetInteger("IDPOULE", 7);
    poolCursor.SetString("NOMPOULE", "Poule A");
    poolCursor.Post();

    TFieldDef lookup = StringField("NOMPOULE", 50, "Poule");
    lookup.Kind = TFieldKind::Lookup;
    lookup.Lookup = {pools, "IDPOULE", "IDPOULE", "NOMPOULE"};
    TFieldDef moy = FloatField("MOY1", "Moy J1");
    moy.Kind = TFieldKind::Calculated;
    TTable matches("FiltreMatchs", {IntegerField("IDPOULE"), IntegerField("PTS1"), IntegerField("REP1"), lookup, moy});
    int calls = 0;
    matches.Data().SetCalcHandler([&](TTable& row) {
        ++calls;
        const int rep = row.AsInteger("REP1");
        row.SetFloat("MOY1", rep > 0 ? static_cast<double>(row.AsInteger("PTS1")) / rep : 0.0);
    });
    auto add = [&](int pool, int pts, int rep) {
        matches.Append();
        matches.SetInteger("IDPOULE", pool);
        matches.SetInteger("PTS1", pts);
        matches.SetInteger("REP1", rep);
        matches.Post();
    };
    add(7, 30, 24);
    add(8, 10, 0);
    matches.First();
    EXPECT_EQ(matches.AsString("NOMPOULE"), "Poule A");
    EXPECT_DOUBLE_EQ(matches.AsFloat("MOY1"), 1.25);
    EXPECT_DOUBLE_EQ(matches.AsFloat("MOY1"), 1.25);
    EXPECT_EQ(calls, 1) << "computed once for a row";
    matches.Next();
    EXPECT_TRUE(matches.IsNull("NOMPOULE")) << "no pool 8: null";
    EXPECT_DOUBLE_EQ(matches.AsFloat("MOY1"), 0.0);
    EXPECT_EQ(calls, 2);

    poolCursor.Append();
    poolCursor.SetInteger("IDPOULE", 8);
    poolCursor.SetString("NOMPOULE", "Poule B");
    poolCursor.Post();
    EXPECT_EQ(matches.AsString("NOMPOULE"), "Poule B") << "read again on each access";
    EXPECT_THROW(matches.SetFloat("MOY1", 2.0), Error);
    matches.Edit();
    EXPECT_THROW(matches.SetString("NOMPOULE", "x"), Error);
    matches.SetInteger("REP1", 5);
    EXPECT_DOUBLE_EQ(matches.AsFloat("MOY1"), 2.0) << "the row being edited is calculated from its new values";
    matches.Post();
}

TEST(TableStructure, ReplacingTheStructureEmptiesAndResets) {
    TTable tmp("tmp", {});
    EXPECT_TRUE(tmp.Fields().empty());
    tmp.Data().SetStructure({IntegerField("LICENCE"), StringField("NOM", 50)});
    tmp.Append();
    tmp.SetInteger("LICENCE", 5);
    tmp.Post();
    tmp.SetIndexFieldNames("LICENCE");
    tmp.Data().SetStructure({StringField("NOM", 50)});
    EXPECT_EQ(tmp.RecordCount(), 0);
    EXPECT_EQ(tmp.IndexFieldNames(), "");
    try {
        tmp.AsInteger("LICENCE");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "tmp: Champ 'LICENCE' non trouvé");
    }
}

}  // namespace
}  // namespace tavlor
