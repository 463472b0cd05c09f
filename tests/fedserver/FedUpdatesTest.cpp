#include "FedTestSupport.h"

#include "text/Cp1252.h"
#include "text/Numbers.h"

namespace tavlor::fedserver::test {
namespace {

using Updates = FedServerTest;

std::string Cp(std::string_view utf8) {
    return text::Utf8ToCp1252(utf8);
}

TFields MatchFields(const std::string& pool, const std::string& bd = "280", const std::string& id1 = "10234",
                    const std::string& id2 = "10871") {
    return {{"ID1", id1},
            {"PTS1", "30"},
            {"REP1", "20"},
            {"SER1", "5"},
            {"PTMATCH1", "2"},
            {"ID2", id2},
            {"PTS2", "12"},
            {"REP2", "20"},
            {"SER2", "3"},
            {"PTMATCH2", "0"},
            {"DATEMATCH", "2026-03-30"},
            {"IDPOULE", pool},
            {"BD", bd}};
}

TFields With(std::initializer_list<std::pair<std::string, std::string>> head, const TFields& tail) {
    TFields out(head.begin(), head.end());
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

TFields Replace(TFields fields, const std::string& name, const std::string& value) {
    for (auto& [n, v] : fields) {
        if (n == name) {
            v = value;
        }
    }
    return fields;
}

TFields Without(TFields fields, const std::string& name) {
    std::erase_if(fields, [&](const auto& f) { return f.first == name; });
    return fields;
}

TEST_F(Updates, LoginChecksTheDigestOfTheWindows1252Password) {
    const TExchange ok = Post("cadre", "logdlg1.php", {{"LOGIN", "12"}, {"PASS", Md5Hex("carambole")}});
    ASSERT_TRUE(ok.HasData);
    EXPECT_FALSE(ok.HasError);
    EXPECT_EQ(ok.Data, "Jean Dupont (12)");
    EXPECT_EQ(ok.SetCookie.rfind("PHPSESSID=", 0), 0u) << ok.SetCookie;
    EXPECT_NE(ok.SetCookie.find("; Path=/"), std::string::npos);

    const TExchange accented = Post("3bandes", "logdlg1.php", {{"LOGIN", "34"}, {"PASS", Md5Hex(Cp("Académie"))}});
    EXPECT_EQ(accented.Data, Cp("Hélène Lefèvre (34)"));
    const TExchange utf8 = Post("3bandes", "logdlg1.php", {{"LOGIN", "34"}, {"PASS", Md5Hex("Académie")}});
    EXPECT_FALSE(utf8.HasData);
    EXPECT_EQ(utf8.Error, "Identifiant ou mot de passe incorrect");
    EXPECT_TRUE(utf8.SetCookie.empty());

    EXPECT_EQ(Post("3bandes", "logdlg1.php", {{"LOGIN", "56"}, {"PASS", Md5Hex("")}}).Data, Cp("François Garçon (56)"));
    // An upper-case digest is another text.
    std::string upper = Md5Hex("carambole");
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_TRUE(Post("3bandes", "logdlg1.php", {{"LOGIN", "12"}, {"PASS", upper}}).HasError);
    EXPECT_TRUE(Post("3bandes", "logdlg1.php", {{"LOGIN", "13"}, {"PASS", Md5Hex("carambole")}}).HasError);
    EXPECT_TRUE(Post("3bandes", "logdlg1.php", {{"LOGIN", "12"}}).HasError);
    EXPECT_EQ(Post("3bandes", "logdlg1.php", {{"LOGIN", "abc"}, {"PASS", Md5Hex("")}}).Error,
              Cp("L'identifiant doit être numérique"));
}

TEST_F(Updates, ChangesAreRefusedWithoutASession) {
    const std::string refused = Cp("Identification nécessaire : connectez-vous avant de modifier la base");
    const TFields pool{
        {"ACTION", "ajouter"}, {"IDCOMPETITION", "1201"}, {"NOMPOULE", "Poule Z"}, {"PHASE", "1"}, {"FCLASST", "0"}};
    EXPECT_EQ(Post("3bandes", "upd_poule.php", pool).Error, refused);
    EXPECT_EQ(Post("3bandes", "upd_poule.php", pool, "PHPSESSID=0123456789abcdef0123456789abcdef").Error, refused);
    EXPECT_EQ(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", "30001"}}).Error, refused);
    EXPECT_EQ(Post("3bandes", "upd_match.php", With({{"ACTION", "ajouter"}}, MatchFields("101"))).Error, refused);
    // Nothing changed.
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records().size(), 6u);
    EXPECT_EQ(RecordWithId(List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}), "30001").size(), 18u);

    // The session cookie works among other cookies and for every discipline.
    const std::string cookie = "lang=fr; " + Login() + "; theme=sombre";
    EXPECT_TRUE(Post("3bandes", "upd_poule.php", pool, cookie).HasData);
}

TEST_F(Updates, PoolAddedChangedAndDeletedIsSeenByTheNextList) {
    const std::string cookie = Login();
    auto pools = [&] { return List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}); };

    const TExchange added = Post("3bandes", "upd_poule.php",
                                 {{"ACTION", "ajouter"},
                                  {"IDCOMPETITION", "1201"},
                                  {"NOMPOULE", Cp("Barrage Cœur & Âme")},
                                  {"PHASE", "2"},
                                  {"FCLASST", "1"}},
                                 cookie);
    ASSERT_TRUE(added.HasData) << added.Error;
    const std::optional<std::int32_t> id = text::ParseInt32(added.Data);
    ASSERT_TRUE(id) << added.Data;  // a bare number, no separator
    const std::string pool = added.Data;
    EXPECT_EQ(RecordWithId(pools(), pool), (std::vector<std::string>{pool, Cp("Barrage Cœur & Âme"), "2", "1"}));
    EXPECT_EQ(pools().Records().back()[0], pool);

    auto modify = [&](const std::string& name, const std::string& value) {
        return Post("3bandes", "upd_poule.php", {{"ACTION", "modifier"}, {"IDPOULE", pool}, {name, value}}, cookie);
    };
    EXPECT_TRUE(modify("NOMPOULE", "Poule Z").HasData);
    EXPECT_TRUE(modify("PHASE", "0").HasData);
    EXPECT_TRUE(modify("FCLASST", "2").HasData);
    EXPECT_EQ(RecordWithId(pools(), pool), (std::vector<std::string>{pool, "Poule Z", "0", "2"}));

    EXPECT_EQ(Post("3bandes", "upd_poule.php", {{"ACTION", "modifier"}, {"IDPOULE", pool}}, cookie).Error,
              Cp("Aucune modification de poule demandée"));
    EXPECT_EQ(Post("3bandes", "upd_poule.php",
                   {{"ACTION", "modifier"}, {"IDPOULE", pool}, {"NOMPOULE", "X"}, {"FCLASST", "0"}}, cookie)
                  .Error,
              Cp("Une seule modification de poule par requête"));
    EXPECT_EQ(modify("FCLASST", "3").Error, "Formule de classement inconnue : 3");
    EXPECT_EQ(modify("PHASE", "-1").Error, Cp("Valeur négative interdite pour PHASE : -1"));
    EXPECT_EQ(modify("NOMPOULE", "").Error, "Le nom de la poule est vide");
    EXPECT_EQ(modify("NOMPOULE", std::string(41, 'x')).Error, Cp("Nom de poule trop long (40 caractères au plus)"));
    EXPECT_EQ(RecordWithId(pools(), pool)[1], "Poule Z");

    EXPECT_TRUE(Post("3bandes", "upd_poule.php", {{"ACTION", "supprimer"}, {"IDPOULE", pool}}, cookie).HasData);
    EXPECT_TRUE(RecordWithId(pools(), pool).empty());
    EXPECT_EQ(Post("3bandes", "upd_poule.php", {{"ACTION", "supprimer"}, {"IDPOULE", pool}}, cookie).Error,
              "Poule inconnue : " + pool);

    // A pool with matches stays; a pool of another discipline is unknown here.
    EXPECT_EQ(Post("3bandes", "upd_poule.php", {{"ACTION", "supprimer"}, {"IDPOULE", "101"}}, cookie).Error,
              "Suppression impossible : la poule 101 contient des matchs");
    EXPECT_EQ(RecordWithId(pools(), "101").size(), 4u);
    const std::string cadrePool = List("cadre", {{"ACTION", "listepoules"}, {"NOCOMPET", "2201"}}).Records()[0][0];
    EXPECT_EQ(
        Post("3bandes", "upd_poule.php", {{"ACTION", "modifier"}, {"IDPOULE", cadrePool}, {"FCLASST", "1"}}, cookie)
            .Error,
        "Poule inconnue : " + cadrePool);
}

TEST_F(Updates, PoolAddIsValidated) {
    const std::string cookie = Login();
    const TFields good{
        {"ACTION", "ajouter"}, {"IDCOMPETITION", "1201"}, {"NOMPOULE", "Poule Z"}, {"PHASE", "1"}, {"FCLASST", "0"}};
    auto error = [&](const TFields& f) { return Post("3bandes", "upd_poule.php", f, cookie).Error; };
    EXPECT_EQ(error(Replace(good, "IDCOMPETITION", "2201")), Cp("Compétition inconnue : 2201"));
    EXPECT_EQ(error(Replace(good, "FCLASST", "-1")), "Formule de classement inconnue : -1");
    EXPECT_EQ(error(Replace(good, "PHASE", "un")), Cp("Valeur numérique invalide pour PHASE : un"));
    EXPECT_EQ(error(Without(good, "NOMPOULE")), "Champ NOMPOULE absent");
    EXPECT_EQ(error(Replace(good, "ACTION", "renommer")), "Action inconnue : renommer");
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records().size(), 6u);

    // Numbers keep growing: two adds give two new numbers.
    const std::string a = Post("3bandes", "upd_poule.php", good, cookie).Data;
    const std::string b = Post("3bandes", "upd_poule.php", good, cookie).Data;
    EXPECT_EQ(text::StrToInt(b), text::StrToInt(a) + 1);
}

TEST_F(Updates, MatchAddedModifiedAndDeletedIsSeenByTheNextList) {
    const std::string cookie = Login();
    auto matches = [&] { return List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}); };

    const TExchange added = Post("3bandes", "upd_match.php", With({{"ACTION", "ajouter"}}, MatchFields("101")), cookie);
    ASSERT_TRUE(added.HasData) << added.Error;
    const auto reply = added.Records();
    ASSERT_EQ(reply.size(), 1u);
    ASSERT_EQ(reply[0].size(), 2u);  // coefficient, then the new number, each followed by byte 8
    EXPECT_EQ(added.Data, "0.9\b" + reply[0][1] + "\b");
    const std::string id = reply[0][1];

    EXPECT_EQ(RecordWithId(matches(), id),
              (std::vector<std::string>{id, "280", "0.9", "1774821600", "10234", "DUPONT Jean", "30", "20", "5", "2",
                                        "10871", "LEF\xC8VRE H\xE9l\xE8ne", "12", "20", "3", "0", "101", "1"}));

    // Moved to another pool of the competition, on another table, with a player from the roster.
    const TFields changed =
        Replace(Replace(Replace(MatchFields("104", "260"), "ID2", "24417"), "PTMATCH1", "1"), "PTMATCH2", "1");
    const TExchange modified =
        Post("3bandes", "upd_match.php", With({{"ACTION", "modifier"}, {"IDMATCH", id}}, changed), cookie);
    ASSERT_TRUE(modified.HasData) << modified.Error;
    EXPECT_EQ(modified.Data, "0.8\b");
    const auto after = RecordWithId(matches(), id);
    ASSERT_EQ(after.size(), 18u);
    EXPECT_EQ(after[1], "260");
    EXPECT_EQ(after[2], "0.8");
    EXPECT_EQ(after[10], "24417");
    EXPECT_EQ(after[11], "\xC9TIENNE Rapha\xEBl");
    EXPECT_EQ(after[9], "1");
    EXPECT_EQ(after[16], "104");
    EXPECT_EQ(after[17], "2");

    // An unknown licence is taken, its name unknown.
    ASSERT_TRUE(Post("3bandes", "upd_match.php",
                     With({{"ACTION", "modifier"}, {"IDMATCH", id}}, Replace(changed, "ID1", "-7")), cookie)
                    .HasData);
    EXPECT_EQ(RecordWithId(matches(), id)[5], "?");

    EXPECT_TRUE(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", id}}, cookie).HasData);
    EXPECT_TRUE(RecordWithId(matches(), id).empty());
    EXPECT_EQ(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", id}}, cookie).Error,
              "Match inconnu : " + id);

    // A sample match can be deleted, and then its pool too once empty.
    EXPECT_EQ(matches().Records().size(), 30u);
    for (const auto& r : matches().Records()) {
        if (r[16] == "106") {
            ASSERT_TRUE(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", r[0]}}, cookie).HasData);
        }
    }
    EXPECT_EQ(matches().Records().size(), 24u);
    EXPECT_TRUE(Post("3bandes", "upd_poule.php", {{"ACTION", "supprimer"}, {"IDPOULE", "106"}}, cookie).HasData);
}

TEST_F(Updates, MatchFieldsAreValidated) {
    const std::string cookie = Login();
    const TFields good = With({{"ACTION", "ajouter"}}, MatchFields("101"));
    auto error = [&](const TFields& f) {
        return text::Cp1252ToUtf8(Post("3bandes", "upd_match.php", f, cookie).Error);
    };
    EXPECT_EQ(error(Replace(good, "ID2", "10234")), "Les deux joueurs du match sont identiques (licence 10234)");
    EXPECT_EQ(error(Replace(good, "DATEMATCH", "2026-02-30")), "Date de match invalide : 2026-02-30");
    EXPECT_EQ(error(Replace(good, "DATEMATCH", "30/03/2026")), "Date de match invalide : 30/03/2026");
    EXPECT_EQ(error(Replace(good, "IDPOULE", "9999")), "Poule inconnue : 9999");
    EXPECT_EQ(error(Replace(good, "BD", "300")), "Taille de billard inconnue : 300");
    EXPECT_EQ(error(Replace(good, "PTMATCH2", "2")), "Points de match incohérents : 2 et 2");
    EXPECT_EQ(error(Replace(good, "PTS2", "-3")), "Valeur négative interdite pour PTS2 : -3");
    EXPECT_EQ(error(Replace(good, "REP1", "1.5")), "Valeur numérique invalide pour REP1 : 1.5");
    EXPECT_EQ(error(Without(good, "BD")), "Champ BD absent");
    // A pool of another discipline is unknown here.
    EXPECT_EQ(error(Replace(good, "IDPOULE",
                            List("libre", {{"ACTION", "listepoules"}, {"NOCOMPET", "4201"}}).Records()[0][0])),
              "Poule inconnue : " + List("libre", {{"ACTION", "listepoules"}, {"NOCOMPET", "4201"}}).Records()[0][0]);

    // A modification names an existing match and stays in its competition.
    const std::string otherCompetitionPool =
        List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1202"}}).Records()[0][0];
    EXPECT_EQ(error(With({{"ACTION", "modifier"}, {"IDMATCH", "30001"}}, MatchFields(otherCompetitionPool))),
              "La poule " + otherCompetitionPool + " n'appartient pas à la compétition du match");
    EXPECT_EQ(error(With({{"ACTION", "modifier"}, {"IDMATCH", "1"}}, MatchFields("101"))), "Match inconnu : 1");
    EXPECT_EQ(error({{"ACTION", "supprimer"}, {"IDMATCH", "x"}}), "Valeur numérique invalide pour IDMATCH : x");

    EXPECT_EQ(List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Records().size(), 30u);
}

TEST_F(Updates, ResetRestoresTheSamplesAndEndsTheSessions) {
    const std::string cookie = Login();
    ASSERT_TRUE(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", "30001"}}, cookie).HasData);
    const std::string before = List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Data;

    httplib::Client client = Client();
    const auto res = client.Post("/__reset", "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);

    const std::string after = List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Data;
    EXPECT_NE(after, before);
    EXPECT_EQ(RecordWithId(List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}), "30001").size(), 18u);
    EXPECT_TRUE(Post("3bandes", "upd_match.php", {{"ACTION", "supprimer"}, {"IDMATCH", "30001"}}, cookie).HasError);
}

}  // namespace
}  // namespace tavlor::fedserver::test
