// The download of a competition from the stand-in server, table by table.
#include "model/Files.h"
#include "server/ServerFixture.h"
#include "text/DateTime.h"
#include "text/Error.h"

#include <set>

namespace tavlor {
namespace {

class Download : public test::TServerFixture {
protected:
    void LoadFirst() { Www.LoadCompet(Served().Id, "2025-2026 Nationale 1 Seniors - Finale de France"); }
};

TEST_F(Download, EveryTableAsTheServerHasIt) {
    const sample::TSampleCompetition& c = Served();
    LoadFirst();
    EXPECT_FALSE(Compet.Chargement);
    EXPECT_EQ(Compet.Connexion, 2);
    EXPECT_EQ(Compet.IdCompet(), c.Id);
    EXPECT_EQ(Compet.Discipline(), "3Bandes");
    EXPECT_EQ(Compet.Message(), "2025-2026 Nationale 1 Seniors - Finale de France (3Bandes)");

    EXPECT_EQ(Dm.Tables.Billards.RecordCount(), static_cast<int>(Federation.Billards.size()));
    for (const auto& b : Federation.Billards) {
        EXPECT_EQ(Dm.Tables.Billards.Data().Lookup("TAILLE", {b.Taille}).AsString("NOMBD"), b.Nom);
    }
    std::set<std::int32_t> phases;
    for (const auto& p : c.Pools) {
        const TRowView pool = Dm.Tables.Poules.Data().Lookup("IDPOULE", {p.IdPoule});
        ASSERT_TRUE(pool) << p.IdPoule;
        EXPECT_EQ(pool.AsString("NOMPOULE"), p.Nom);
        EXPECT_EQ(pool.AsInteger("IDPHASE"), p.Phase);
        EXPECT_EQ(pool.AsInteger("FCLASST"), p.Formula);
        phases.insert(p.Phase);
    }
    EXPECT_EQ(Dm.Tables.Poules.RecordCount(), static_cast<int>(c.Pools.size()));
    EXPECT_EQ(Dm.Tables.Phases.RecordCount(), static_cast<int>(phases.size()));
    for (std::int32_t phase : phases) {
        EXPECT_EQ(Dm.GetNomElement(NodePhase, phase, -1), "Phase " + std::to_string(phase));
    }

    // Registrants by first appearance, memberships, and every field of every match.
    std::map<std::int32_t, int> firstSeen;
    std::set<std::pair<std::int32_t, std::int32_t>> members;
    for (const auto& m : c.Matches) {
        for (auto [licence, name] : {std::pair{m.Licence1, m.Nom1}, std::pair{m.Licence2, m.Nom2}}) {
            if (firstSeen.emplace(licence, static_cast<int>(firstSeen.size()) + 1).second) {
                EXPECT_EQ(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {licence}).AsString("NOM"), name);
            }
            members.insert({m.IdPoule, licence});
        }
        const TRowView row = Dm.Tables.Matchs.Data().Lookup("IDMATCH", {m.IdMatch});
        ASSERT_TRUE(row) << m.IdMatch;
        EXPECT_EQ(row.AsInteger("IDPOULE"), m.IdPoule);
        EXPECT_EQ(row.AsInteger("IDPHASE"), m.IdPhase);
        EXPECT_EQ(row.AsInteger("LICENCE1"), m.Licence1);
        EXPECT_EQ(row.AsInteger("PTS1"), m.Pts1);
        EXPECT_EQ(row.AsInteger("REP2"), m.Rep2);
        EXPECT_EQ(row.AsInteger("SER2"), m.Ser2);
        EXPECT_EQ(row.AsInteger("PM2"), m.Pm2);
        EXPECT_EQ(row.AsInteger("BD"), m.Bd);
        EXPECT_DOUBLE_EQ(row.AsFloat("COEFBD"), m.CoefBd);
        // Seconds of local midnight in France plus one day: the match's own day.
        EXPECT_DOUBLE_EQ(row.AsFloat("DATEMATCH"), text::UnixEpochDays + m.DateSeconds / 86400.0 + 1);
        const std::int64_t localDay = (m.DateSeconds + 7200) / 86400;
        EXPECT_EQ(text::FormatDateDMY(row.AsFloat("DATEMATCH")),
                  text::FormatDateDMY(text::UnixEpochDays + static_cast<double>(localDay)));
    }
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), static_cast<int>(c.Matches.size()));
    for (const auto& [licence, rank] : firstSeen) {
        EXPECT_EQ(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {licence}).AsInteger("RGA"), rank);
    }
    EXPECT_EQ(Dm.Tables.Joueurs.RecordCount(), static_cast<int>(members.size()));
    EXPECT_EQ(Dm.Tree.Data(Dm.Tree.FirstTopLevel()).Kind, NodeRegistrants);
    // The server handlers are in place after the download.
    EXPECT_TRUE(static_cast<bool>(Compet.Server.AddPoule));
    EXPECT_TRUE(static_cast<bool>(Compet.OnShowLogin));
}

TEST_F(Download, TheThreeRequestsOfADownloadByteForByte) {
    Server.ClearRequests();
    LoadFirst();
    const auto log = Server.Requests();
    ASSERT_EQ(log.size(), 3u);
    const std::string id = std::to_string(Served().Id);
    const std::vector<std::string> bodies = {"ACTION=listebillards&VTX=2%2E0%2E3&",
                                             "ACTION=listepoules&NOCOMPET=" + id + "&VTX=2%2E0%2E3&",
                                             "ACTION=listematchs&NOCOMPET=" + id + "&VTX=2%2E0%2E3&"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(log[i].Raw.substr(0, log[i].Raw.find("\r\n")), "POST /3bandes/execall/getlists.php HTTP/1.0");
        EXPECT_EQ(log[i].Body, bodies[i]);
        EXPECT_EQ(log[i].Raw.substr(log[i].Raw.size() - bodies[i].size()), bodies[i]) << "the body ends the request";
    }
    EXPECT_EQ(Window.Progress, (std::vector<std::string>{"Interrogation du serveur pour liste des billards ...",
                                                          "Interrogation du serveur : liste des poules ...",
                                                          "Interrogation du serveur : liste des matchs ..."}));
}

TEST_F(Download, TheDisciplineComesFromTheAddressAndNamesTheTitleOnce) {
    LoadFirst();
    Www.LoadCompet(Served().Id, Compet.Message());  // reload
    EXPECT_EQ(Compet.Message(), "2025-2026 Nationale 1 Seniors - Finale de France (3Bandes)");

    Www.SetBaseUrl(Server.BaseUrl("cadre"));
    Www.LoadCompet(Served(1).Id, "Cadre");
    EXPECT_EQ(Compet.Discipline(), "Cadre");
    Www.SetBaseUrl(Server.BaseUrl("bande"));
    Www.LoadCompet(Served(2).Id, "Bande");
    EXPECT_EQ(Compet.Discipline(), "Bande") << "bande without 3: Bande";

    TCompetition fresh;
    TdmLocal dm(fresh);
    test::TFakeConnectionWindow window;
    TwwwFrm www(fresh, window, Boxes, Shell);
    www.SetBaseUrl("http://127.0.0.1:" + std::to_string(Server.Port()) + "/3bandes/../autre");
    EXPECT_THROW(www.LoadCompet(1201, "Sans discipline"), Error) << "no such discipline on the server";
}

TEST_F(Download, TheLoginSurvivesAnotherInternetCompetitionOnly) {
    LoadFirst();
    Login();
    Www.LoadCompet(Served(0, 1).Id, "Autre");
    EXPECT_EQ(Compet.Login(), "Jean Dupont (12)");
    TCompetition fresh;
    TdmLocal dm(fresh);
    fresh.SetLogin("quelqu'un");
    TwwwFrm www(fresh, Window, Boxes, Shell);
    www.SetBaseUrl(Server.BaseUrl("3bandes"));
    www.LoadCompet(Served().Id, "X");
    EXPECT_EQ(fresh.Login(), "") << "loaded after a non-internet state";
}

TEST_F(Download, BrokenRecordsStopTheDownloadButEndTheLoad) {
    fedserver::TMisbehaviour m;
    m.Mode = fedserver::TMode::Malformed;
    m.Action = "listematchs";
    Server.SetMisbehaviour(m);
    try {
        LoadFirst();
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Index de liste hors limites (17)");
    }
    EXPECT_FALSE(Compet.Chargement) << "the after-load step ran";
    EXPECT_GT(Dm.Tables.Poules.RecordCount(), 0) << "what was added before stays";

    m.Mode = fedserver::TMode::NonNumeric;
    m.Field = 6;
    Server.SetMisbehaviour(m);
    try {
        LoadFirst();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("n'est pas une valeur entière correcte"), std::string::npos) << e.what();
    }
    m.Field = 2;
    Server.SetMisbehaviour(m);
    try {
        LoadFirst();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("n'est pas une valeur en virgule flottante correcte"), std::string::npos)
            << e.what();
    }
}

TEST_F(Download, AMissingPoolListIsNotReportedButTheMatchesThenFail) {
    fedserver::TMisbehaviour m;
    m.Mode = fedserver::TMode::NoEnvelope;
    m.Action = "listepoules";
    Server.SetMisbehaviour(m);
    try {
        LoadFirst();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Ajout joueur impossible"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(Boxes.Errors.empty());
}

// A download that fails half-way must never let a snapshot be written with
// another competition's rows, nor mix them into the partial tables.
TEST_F(Download, AFailedDownloadNeverOverwritesTheSnapshotOfTheCompetitionLeft) {
    LoadFirst();
    ASSERT_TRUE(Compet.AddInscrit(987654, -1, "AJOUTÉ À la main"));
    const std::string registrants = Dm.SnapshotPath("Inscrits");

    fedserver::TMisbehaviour m;
    m.Mode = fedserver::TMode::Drop;
    m.Action = "listematchs";
    Server.SetMisbehaviour(m);
    EXPECT_THROW(Www.LoadCompet(Served(0, 1).Id, "Autre"), Error);
    const std::string written = ReadWholeFile(registrants);  // written when the first was left
    EXPECT_NE(written.find("987654"), std::string::npos);
    EXPECT_EQ(Compet.IdCompet(), Served().Id) << "the controller still names the competition left";
    EXPECT_TRUE(Dm.PartialLoad());
    EXPECT_FALSE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {987654})) << "not mixed into the partial tables";
    Dm.SaveSnapshot();  // as at program end
    EXPECT_EQ(ReadWholeFile(registrants), written);

    // The next whole download of the first competition finds its snapshot intact.
    Server.SetMisbehaviour({});
    LoadFirst();
    EXPECT_FALSE(Dm.PartialLoad());
    EXPECT_TRUE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {987654}));
}

TEST_F(Download, CompetitionAndPlayerLists) {
    TTextGrid grid;
    Www.ListCompets(grid);
    EXPECT_EQ(grid.Cell(0, 1) + " " + grid.Cell(1, 1) + " " + grid.Cell(2, 1) + " - " + grid.Cell(3, 1),
              "2025-2026 Nationale 1 Seniors - Finale de France");
    Misbehave(fedserver::TMode::DataError);
    TTextGrid kept;
    kept.SetCell(0, 0, "avant");
    Www.ListCompets(kept);
    EXPECT_EQ(kept.Cell(0, 0), "avant") << "an error leaves the grid";
    EXPECT_EQ(Boxes.Errors.back().rfind("erreur en chargement compétitions : ", 0), 0u);
    Misbehave(fedserver::TMode::NoEnvelope);
    Www.ListCompets(kept);
    EXPECT_EQ(Boxes.Errors.back(), "chargement compétitions : aucune réponse du serveur");

    TTextGrid search;
    search.SetCell(0, 0, "Du");
    search.SetCell(1, 0, "Paris");
    Www.ListJoueurs(search);
    EXPECT_EQ(LastBody(), "ACTION=listejoueurs&VILLE=Paris&VTX=2%2E0%2E3&");
    search = TTextGrid();
    search.SetCell(0, 0, "Dupont");
    Www.ListJoueurs(search);
    EXPECT_EQ(LastBody(), "ACTION=listejoueurs&NOM=Dupont&VTX=2%2E0%2E3&");
    EXPECT_GE(search.RowCount(), 2);
    EXPECT_EQ(search.Cell(0, 0), "Licence") << "the title record";
    const std::size_t sent = Server.Requests().size();
    TTextGrid tooShort;
    tooShort.SetCell(0, 0, "Du");
    tooShort.SetCell(1, 0, "Pa");
    try {
        Www.ListJoueurs(tooShort);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "vous devez spécidier au moins un paramètre sur 3 caractères minimum");
    }
    EXPECT_EQ(Server.Requests().size(), sent) << "nothing sent";
}

}  // namespace
}  // namespace tavlor
