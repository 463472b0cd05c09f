#include "FedTestSupport.h"

#include "text/Cp1252.h"
#include "text/Numbers.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

namespace tavlor::fedserver::test {
namespace {

using Lists = FedServerTest;

std::string Cp(std::string_view utf8) {
    return text::Utf8ToCp1252(utf8);
}

TEST_F(Lists, CompetitionListHasTitlesThenFiveFieldsPerCompetition) {
    const TExchange ex = List("3bandes", {{"ACTION", "listecompets"}});
    EXPECT_EQ(ex.Status, 200);
    ASSERT_TRUE(ex.HasData);
    EXPECT_FALSE(ex.HasError);
    const auto records = ex.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0],
              (std::vector<std::string>{"Saison", "Niveau", Cp("Catégorie"), Cp("Compétition"), "No", "Lieu"}));
    for (const auto& r : records) {
        EXPECT_EQ(r.size(), 6u);
    }
    const auto& first = records[1];
    EXPECT_EQ(first[4], "1201");
    EXPECT_EQ(first[0] + " " + first[1] + " " + first[2] + " - " + first[3],
              "2025-2026 Nationale 1 Seniors - Finale de France");
    EXPECT_EQ(records[2][1], "Ligue \xCEle-de-France");
    // Every field and every record carries its terminator.
    EXPECT_EQ(ex.Data.substr(ex.Data.size() - 2), "\b\n");
    EXPECT_NE(ex.Body.find("charset=windows-1252"), std::string::npos);

    // Each discipline lists competitions of its own.
    std::set<std::string> seen;
    for (const char* d : {"3bandes", "cadre", "bande", "libre"}) {
        const auto list = List(d, {{"ACTION", "listecompets"}}).Records();
        ASSERT_GE(list.size(), 2u) << d;
        for (std::size_t i = 1; i < list.size(); ++i) {
            EXPECT_TRUE(seen.insert(list[i][4]).second) << d << " " << list[i][4];
            EXPECT_TRUE(text::ParseInt32(list[i][4])) << list[i][4];
        }
    }
    EXPECT_EQ(seen.count("4242"), 0u);  // the large competition only on demand
}

TEST_F(Lists, BilliardListIsTheThreeSizesWithoutTitle) {
    const auto records = List("cadre", {{"ACTION", "listebillards"}}).Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"310", "Match 3m10"}));
    EXPECT_EQ(records[1][0], "280");
    EXPECT_EQ(records[2][0], "260");
}

TEST_F(Lists, PlayerSearchMatchesNameAndTownIgnoringCase) {
    auto names = [&](const TFields& fields) {
        const TExchange ex = List("libre", fields);
        EXPECT_TRUE(ex.HasData) << ex.Error;
        std::vector<std::string> out;
        const auto records = ex.Records();
        if (records.empty()) {
            ADD_FAILURE() << "no title record";
            return out;
        }
        EXPECT_EQ(records[0], (std::vector<std::string>{"Licence", "Nom", "Club", "Ville"}));
        for (std::size_t i = 1; i < records.size(); ++i) {
            EXPECT_GE(records[i].size(), 3u);
            EXPECT_TRUE(text::ParseInt32(records[i][0]));
            out.push_back(text::Cp1252ToUtf8(records[i][1]));
        }
        return out;
    };
    EXPECT_EQ(names({{"ACTION", "listejoueurs"}, {"NOM", "dupont"}}),
              (std::vector<std::string>{"DUPONT Jean", "DUPONT Jérôme"}));
    // Accented capitals and the oe ligature fold like plain letters.
    EXPECT_EQ(names({{"ACTION", "listejoueurs"}, {"VILLE", Cp("SÈTE")}}),
              (std::vector<std::string>{"GARÇON François", "ROCHÉ Maël", "ROUSSEAU Bruno"}));
    EXPECT_EQ(names({{"ACTION", "listejoueurs"}, {"NOM", Cp("cœur")}}), (std::vector<std::string>{"CŒUR Benoît"}));
    // Both parts must match.
    EXPECT_EQ(names({{"ACTION", "listejoueurs"}, {"NOM", "Jean"}, {"VILLE", "paris"}}),
              (std::vector<std::string>{"PICARD Jean"}));
    EXPECT_TRUE(names({{"ACTION", "listejoueurs"}, {"NOM", "Zzz"}}).empty());

    const TExchange none = List("libre", {{"ACTION", "listejoueurs"}, {"NOM", ""}});
    EXPECT_FALSE(none.HasData);
    EXPECT_TRUE(none.HasError);
    EXPECT_NE(none.Error.find(Cp("Critère de recherche absent")), std::string::npos);
}

TEST_F(Lists, PoolListOfACompetition) {
    const auto records = List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records();
    ASSERT_EQ(records.size(), 6u);
    std::vector<std::string> phases, formulas;
    for (const auto& r : records) {
        ASSERT_EQ(r.size(), 4u);
        EXPECT_TRUE(text::ParseInt32(r[0]));
        phases.push_back(r[2]);
        formulas.push_back(r[3]);
    }
    EXPECT_EQ(phases, (std::vector<std::string>{"1", "1", "1", "2", "2", "3"}));
    EXPECT_EQ(formulas, (std::vector<std::string>{"0", "0", "0", "0", "0", "2"}));
    EXPECT_EQ(records[0][1], "Poule A");
    EXPECT_EQ(records[3][1], "Poule \xC9lite 1");

    // The three formulas all occur among the samples.
    std::set<std::string> all;
    for (const auto& [d, id] : {std::pair{"3bandes", "1202"}, {"cadre", "2201"}, {"bande", "3201"}}) {
        for (const auto& r : List(d, {{"ACTION", "listepoules"}, {"NOCOMPET", id}}).Records()) {
            all.insert(r[3]);
        }
    }
    EXPECT_EQ(all, (std::set<std::string>{"0", "1", "2"}));

    const TExchange unknown = List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "9999"}});
    EXPECT_FALSE(unknown.HasData);
    EXPECT_EQ(unknown.Error, Cp("Compétition inconnue : 9999"));
    // A competition of another discipline is unknown here.
    EXPECT_TRUE(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "2201"}}).HasError);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "12a"}}).Error,
              Cp("Valeur numérique invalide pour NOCOMPET : 12a"));
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}}).Error, "Champ NOCOMPET absent");
    EXPECT_EQ(List("3bandes", {{"ACTION", "listetout"}}).Error, "Action inconnue : listetout");
}

TEST_F(Lists, MatchListHasEighteenFieldsAndMidnightInFrance) {
    std::map<std::string, std::string> phaseOfPool;
    for (const auto& r : List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records()) {
        phaseOfPool[r[0]] = r[2];
    }
    const auto records = List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Records();
    ASSERT_EQ(records.size(), 30u);
    const std::map<std::string, std::string> coef{{"310", "1.0"}, {"280", "0.9"}, {"260", "0.8"}};
    std::map<std::string, std::set<std::string>> poolsOfPlayer;
    std::set<std::string> dates;
    for (const auto& r : records) {
        ASSERT_EQ(r.size(), 18u);
        EXPECT_EQ(r[2], coef.at(r[1]));
        EXPECT_NE(r[4], r[10]);
        EXPECT_EQ(text::StrToInt(r[9]) + text::StrToInt(r[15]), 2);
        EXPECT_EQ(r[17], phaseOfPool.at(r[16]));
        poolsOfPlayer[r[4]].insert(r[16]);
        poolsOfPlayer[r[10]].insert(r[16]);
        dates.insert(r[3]);
    }
    // Winter, the day summer time starts (still UTC+1 at midnight), summer.
    EXPECT_EQ(dates, (std::set<std::string>{"1763161200", "1763247600", "1774738800", "1781301600"}));
    int inSeveralPools = 0;
    for (const auto& [licence, pools] : poolsOfPlayer) {
        inSeveralPools += pools.size() > 1 ? 1 : 0;
    }
    EXPECT_GE(inSeveralPools, 4);

    const auto first = RecordWithId(List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}), "30001");
    ASSERT_EQ(first.size(), 18u);
    EXPECT_EQ(first[5], "DUPONT Jean");
    EXPECT_EQ(first[11], "LEF\xC8VRE H\xE9l\xE8ne");

    // The day summer time ends is still UTC+2 at midnight.
    std::set<std::string> autumn;
    for (const auto& r : List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1202"}}).Records()) {
        autumn.insert(r[3]);
    }
    EXPECT_EQ(autumn, (std::set<std::string>{"1792792800", "1792879200"}));

    // The oe ligature travels as its single Windows-1252 byte.
    const std::string bande = List("bande", {{"ACTION", "listematchs"}, {"NOCOMPET", "3201"}}).Data;
    EXPECT_NE(bande.find("C\x8CUR Beno\xEEt"), std::string::npos);

    // A pool drawn up but not played has no match.
    const auto pools = List("libre", {{"ACTION", "listepoules"}, {"NOCOMPET", "4202"}}).Records();
    ASSERT_EQ(pools.size(), 2u);
    for (const auto& r : List("libre", {{"ACTION", "listematchs"}, {"NOCOMPET", "4202"}}).Records()) {
        EXPECT_NE(r[16], pools[1][0]);
    }
}

class LargeLists : public FedServerTest {
protected:
    LargeLists() : FedServerTest(TFedServerOptions{true}) {}
};

TEST_F(LargeLists, LargeCompetitionIsServedUnderThreeCushion) {
    const auto compets = List("3bandes", {{"ACTION", "listecompets"}}).Records();
    const auto& last = compets.back();
    ASSERT_EQ(last.size(), 6u);
    EXPECT_EQ(last[4], "4242");
    EXPECT_EQ(last[0] + " " + last[1] + " " + last[2] + " - " + last[3],
              Cp("FFB 2026 Championnat de France - Grande compétition"));

    const auto pools = List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "4242"}}).Records();
    EXPECT_EQ(pools.size(), 1000u);
    const auto matches = List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "4242"}}).Records();
    ASSERT_EQ(matches.size(), 20000u);
    std::set<std::string> players;
    std::int64_t first = INT64_MAX;
    for (const auto& r : matches) {
        ASSERT_EQ(r.size(), 18u);
        players.insert(r[4]);
        players.insert(r[10]);
        first = std::min(first, *text::ParseInt64(r[3]));
    }
    EXPECT_EQ(players.size(), 5000u);
    EXPECT_EQ(first, 1767222000);  // 2026-01-01 00:00 in France
    // Its players can be searched.
    const auto found = List("3bandes", {{"ACTION", "listejoueurs"}, {"NOM", "M\xDCLLER"}}).Records();
    EXPECT_GT(found.size(), 1u);
}

}  // namespace
}  // namespace tavlor::fedserver::test
