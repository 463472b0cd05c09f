#include "model/CompetTables.h"

#include "text/DateTime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlor {
namespace {

struct ShownField {
    std::string Name;
    std::string Label;
    std::string Format;
    bool Visible;
};

std::vector<ShownField> Shown(const TTable& t) {
    std::vector<ShownField> out;
    for (const TFieldDef& f : t.Fields()) {
        out.push_back({f.Name, f.DisplayLabel, f.DisplayFormat, f.Visible});
    }
    return out;
}

bool operator==(const ShownField& a, const ShownField& b) {
    return a.Name == b.Name && a.Label == b.Label && a.Format == b.Format && a.Visible == b.Visible;
}

void PrintTo(const ShownField& f, std::ostream* os) {
    *os << f.Name << " '" << f.Label << "' '" << f.Format << "' " << (f.Visible ? "shown" : "hidden");
}

std::vector<std::string> StoredNames(const TTable& t) {
    std::vector<std::string> names;
    for (int slot = 0; slot < t.Data().StoredFieldCount(); ++slot) {
        names.push_back(t.Data().StoredField(slot).Name);
    }
    return names;
}

TEST(CompetTables, CompetitionTablesAndTheirOrders) {
    TCompetTables t;
    EXPECT_EQ(StoredNames(t.Phases), (std::vector<std::string>{"IDPHASE", "NOMPHASE", "NODE"}));
    EXPECT_EQ(StoredNames(t.Poules), (std::vector<std::string>{"IDPOULE", "NOMPOULE", "IDPHASE", "NODE", "FCLASST"}));
    EXPECT_EQ(StoredNames(t.Inscrits), (std::vector<std::string>{"LICENCE", "NOM", "NODE", "RGA"}));
    EXPECT_EQ(StoredNames(t.Joueurs), (std::vector<std::string>{"IDPHASE", "IDPOULE", "LICENCE", "NODE", "RGA"}));
    EXPECT_EQ(StoredNames(t.Matchs),
              (std::vector<std::string>{"IDPHASE", "IDPOULE", "IDMATCH", "LICENCE1", "PTS1", "REP1", "SER1", "PM1",
                                        "LICENCE2", "PTS2", "REP2", "SER2", "PM2", "DATEMATCH", "BD", "COEFBD"}));
    EXPECT_EQ(StoredNames(t.Billards), (std::vector<std::string>{"TAILLE", "NOMBD"}));
    EXPECT_EQ(t.Inscrits.FieldByName("NOM").Size, 50);
    EXPECT_EQ(t.Billards.FieldByName("NOMBD").Size, 10);
    EXPECT_EQ(t.Matchs.FieldByName("DATEMATCH").Type, TFieldType::DateTime);
    EXPECT_EQ(t.Matchs.FieldByName("COEFBD").Type, TFieldType::Float);
    EXPECT_EQ(t.Phases.IndexFieldNames(), "IDPHASE");
    EXPECT_EQ(t.Poules.IndexName(), "IDXIDPOULE");
    EXPECT_EQ(t.Inscrits.IndexName(), "IDXLI");
    EXPECT_NE(t.Inscrits.Data().FindIndex("IDXNOM"), nullptr);
    EXPECT_EQ(t.Joueurs.IndexName(), "IDPHPO");
    EXPECT_EQ(t.Matchs.IndexName() + t.Matchs.IndexFieldNames(), "") << "matches stay in insertion order";
    EXPECT_EQ(t.Billards.IndexName(), "ParTaille");
    EXPECT_TRUE(t.tmp.Fields().empty());
}

TEST(CompetTables, ShownPlayersInDisplayOrder) {
    TCompetTables t;
    EXPECT_EQ(Shown(t.FiltreJoueurs), (std::vector<ShownField>{
                                          {"CPO", "Classt poule", "", true},
                                          {"CPH", "Classt phase", "", true},
                                          {"CG", "Classt général", "", true},
                                          {"IDPHASE", "", "", false},
                                          {"IDPOULE", "", "", false},
                                          {"NOMPOULE", "Poule", "", true},
                                          {"LICENCE", "Licence", "000000", true},
                                          {"NOM", "Joueur", "", true},
                                          {"NM", "Nbre matchs", "", true},
                                          {"PM", "Pts match", "", true},
                                          {"TV", "Taux victoire", "", true},
                                          {"MG", "Moyenne (3.10)", "0.000", true},
                                          {"PTS", "Points (3.10)", "0.0", true},
                                          {"REP", "Reprises", "", true},
                                          {"SER", "Série", "", true},
                                          {"RGA", "", "", false},
                                          {"MPART", "MPART", "", true},
                                      }));
    EXPECT_EQ(StoredNames(t.FiltreJoueurs),
              (std::vector<std::string>{"IDPHASE", "IDPOULE", "LICENCE", "PTS", "REP", "SER", "PM", "NM", "TV", "MG",
                                        "CPO", "CPH", "CG", "RGA", "MPART"}));
    EXPECT_EQ(StoredNames(t.ClasstGal), StoredNames(t.FiltreJoueurs));
    for (const char* index : {"IDXCPOULES0", "IDXCPOULES1", "IDXCPHASES", "IDXCPHASES2", "IDXCGENERAL", "IDXPHPOLI"}) {
        EXPECT_NE(t.FiltreJoueurs.Data().FindIndex(index), nullptr) << index;
    }
    const TIndexDef& general = *t.FiltreJoueurs.Data().FindIndex("IDXCGENERAL");
    ASSERT_EQ(general.Fields.size(), 3u);
    EXPECT_TRUE(general.Fields[0].Descending);
    EXPECT_FALSE(general.Fields[1].Descending);
    EXPECT_TRUE(general.Fields[2].Descending);
}

TEST(CompetTables, ShownMatchesInDisplayOrder) {
    TCompetTables t;
    EXPECT_EQ(Shown(t.FiltreMatchs), (std::vector<ShownField>{
                                         {"IDPHASE", "No Phase", "", true},
                                         {"IDPOULE", "", "", false},
                                         {"DATEMATCH", "Date match", "dd/mm/yyyy", true},
                                         {"BD", "Billard", "", true},
                                         {"IDMATCH", "", "", false},
                                         {"NOMPOULE", "Poule", "", true},
                                         {"LICENCE1", "Licence J1", "000000", true},
                                         {"NOM1", "Joueur 1", "", true},
                                         {"PTS1", "Pts J1", "", true},
                                         {"REP1", "Rep J1", "", true},
                                         {"SER1", "Ser J1", "", true},
                                         {"PM1", "Pts Match J1", "", true},
                                         {"MOY1", "Moy J1", "0.000", true},
                                         {"LICENCE2", "Licence J2", "000000", true},
                                         {"NOM2", "Joueur 2", "", true},
                                         {"PTS2", "Pts J2", "", true},
                                         {"REP2", "Rep J2", "", true},
                                         {"SER2", "Ser J2", "", true},
                                         {"PM2", "Pts Match J2", "", true},
                                         {"MOY2", "Moy J2", "0.000", true},
                                         {"COEFBD", "Coeff", "", false},
                                         {"NOMBD", "NOMBD", "", true},
                                     }));
    EXPECT_EQ(StoredNames(t.FiltreMatchs), StoredNames(t.Matchs));
    EXPECT_EQ(t.FiltreMatchs.IndexFieldNames(), "IDPHASE;IDPOULE");
}

TEST(CompetTables, LookedUpNamesAndDisplayTexts) {
    TCompetTables t;
    t.Poules.Append();
    t.Poules.SetInteger("IDPOULE", 7);
    t.Poules.SetString("NOMPOULE", "Poule A");
    t.Poules.Post();
    t.Inscrits.Append();
    t.Inscrits.SetInteger("LICENCE", 1234);
    t.Inscrits.SetString("NOM", "Léger Noël");
    t.Inscrits.Post();
    t.Billards.Append();
    t.Billards.SetInteger("TAILLE", 280);
    t.Billards.SetString("NOMBD", "2m80");
    t.Billards.Post();

    TTable& m = t.FiltreMatchs;
    m.Append();
    m.SetInteger("IDPOULE", 7);
    m.SetInteger("LICENCE1", 1234);
    m.SetInteger("LICENCE2", 999);
    m.SetInteger("BD", 280);
    m.SetDateTime("DATEMATCH", text::EncodeDate(2004, 5, 6));
    m.SetFloat("COEFBD", 0.8);
    m.Post();
    EXPECT_EQ(m.AsString("NOMPOULE"), "Poule A");
    EXPECT_EQ(m.AsString("NOM1"), "Léger Noël");
    EXPECT_TRUE(m.IsNull("NOM2"));
    EXPECT_EQ(m.AsString("NOMBD"), "2m80");
    EXPECT_EQ(m.DisplayText("LICENCE1"), "001234");
    EXPECT_EQ(m.DisplayText("DATEMATCH"), "06/05/2004");
    EXPECT_EQ(m.DisplayText("COEFBD"), "0,8");
    EXPECT_EQ(m.DisplayText("PTS1"), "") << "an empty value shows nothing";

    TTable& p = t.FiltreJoueurs;
    p.Append();
    p.SetInteger("LICENCE", 1234);
    p.SetFloat("MG", 1.2345);
    p.SetFloat("PTS", 52.25);
    p.Post();
    EXPECT_EQ(p.DisplayText("MG"), "1,235");
    EXPECT_EQ(p.DisplayText("MG", '.'), "1.235");
    EXPECT_EQ(p.DisplayText("PTS"), "52,3");
    EXPECT_EQ(p.DisplayText("NOM"), "Léger Noël");
}

}  // namespace
}  // namespace tavlor
