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
    EXPECT_EQ(Compet.Connexion, TConnexion::Internet);
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
        EXPECT_EQ(Dm.GetNomElement({NodePhase, phase, -1}), "Phase " + std::to_string(phase));
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
        EXPECT_STREQ(e.what(),
                     "Index de liste hors limites (17)\r\n"
                     "La ligne 1 de la liste des matchs envoyée par le serveur est incomplète.");
    }
    EXPECT_FALSE(Compet.Chargement) << "the after-load step ran";
    EXPECT_EQ(Dm.Tables.Poules.RecordCount(), 0) << "the part loaded is dropped";
    EXPECT_EQ(Compet.IdCompet(), -1);

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

// A record short of fields: the index error, then the list and the line.
TEST_F(Download, ARecordShortOfFieldsNamesItsListAndLine) {
    struct TCase {
        const char* Action;
        int Record;
        const char* Text;
    };
    for (const TCase& c : {
             TCase{"listebillards", 2,
                   "Index de liste hors limites (1)\r\n"
                   "La ligne 2 de la liste des billards envoyée par le serveur est incomplète."},
             TCase{"listepoules", 3,
                   "Index de liste hors limites (3)\r\n"
                   "La ligne 3 de la liste des poules envoyée par le serveur est incomplète."},
             TCase{"listematchs", 5,
                   "Index de liste hors limites (17)\r\n"
                   "La ligne 5 de la liste des matchs envoyée par le serveur est incomplète."},
         }) {
        SCOPED_TRACE(c.Action);
        fedserver::TMisbehaviour m;
        m.Mode = fedserver::TMode::Malformed;
        m.Action = c.Action;
        m.Record = c.Record;
        m.Count = 1;
        Server.SetMisbehaviour(m);
        try {
            LoadFirst();
            ADD_FAILURE() << "reported as a success";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.Text);
        }
        EXPECT_EQ(Compet.IdCompet(), -1);
    }
    // Taken record by record, as the download does, the index error stays alone.
    std::vector<std::string> shortPool = {"101", "Poule A", "1"};
    try {
        Www.AddPouleRecord(shortPool);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Index de liste hors limites (3)");
    }
}

// A pool or match list that fails is reported as the other lists are, and
// the download stops there: incomplete.
TEST_F(Download, APoolOrMatchListThatFailsIsReported) {
    struct TCase {
        const char* Action;
        fedserver::TMode Mode;
        const char* Message;
    };
    const std::string simulated = "Erreur simulée par le serveur de test";
    for (const TCase& c : {
             TCase{"listepoules", fedserver::TMode::DataError, "erreur en chargement des poules : "},
             TCase{"listepoules", fedserver::TMode::NoEnvelope, "chargement poules : aucune réponse du serveur"},
             TCase{"listematchs", fedserver::TMode::DataError, "erreur en chargement des matchs : "},
             TCase{"listematchs", fedserver::TMode::NoEnvelope, "chargement matchs : aucune réponse du serveur"},
         }) {
        SCOPED_TRACE(std::string(c.Action) + " " + c.Message);
        fedserver::TMisbehaviour m;
        m.Mode = c.Mode;
        m.Action = c.Action;
        m.Count = 1;
        Server.SetMisbehaviour(m);
        try {
            LoadFirst();
            ADD_FAILURE() << "reported as a success";
        } catch (const Error& e) {
            const std::string expected =
                std::string(c.Message) + (c.Mode == fedserver::TMode::DataError ? simulated : std::string());
            EXPECT_EQ(e.what(), expected);
        }
        EXPECT_EQ(Compet.IdCompet(), -1);
        EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 0);
        EXPECT_FALSE(Compet.Chargement);
    }
    EXPECT_TRUE(Boxes.Errors.empty()) << "told once, by the failure itself";
}

// An empty list sent as data is a competition without pools or matches yet:
// the download is whole.
TEST_F(Download, AnEmptyMatchListIsACompleteDownload) {
    Www.SetBaseUrl(Server.BaseUrl("libre"));
    const sample::TSampleCompetition& autumn = Served(3, 1);
    Www.LoadCompet(autumn.Id, autumn.Title);
    Login();
    for (const auto& m : autumn.Matches) {
        ASSERT_TRUE(Compet.DelMatch(m.IdMatch)) << Compet.LastError;
    }
    Www.LoadCompet(autumn.Id, autumn.Title);
    EXPECT_EQ(Compet.IdCompet(), autumn.Id);
    EXPECT_FALSE(Dm.PartialLoad());
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 0);
    EXPECT_EQ(Dm.Tables.Poules.RecordCount(), static_cast<int>(autumn.Pools.size()));
    EXPECT_TRUE(Boxes.Errors.empty());
}

// After a download that did not complete, no competition is open: nothing can
// reach the server under the number of the competition left, and every
// change is refused with its reason rather than made in tables that would
// never be saved.
TEST_F(Download, AfterAnIncompleteDownloadNoCompetitionIsOpen) {
    std::vector<std::int32_t> notified;
    Compet.OnIdCompetChange = [&](TCompetition& c) { notified.push_back(c.IdCompet()); };
    for (fedserver::TMode mode : {fedserver::TMode::Drop, fedserver::TMode::Malformed, fedserver::TMode::Status,
                                  fedserver::TMode::NonNumeric}) {
        Server.SetMisbehaviour({});
        LoadFirst();
        Login();
        notified.clear();
        fedserver::TMisbehaviour m;
        m.Mode = mode;
        m.Field = 4;
        m.Action = "listematchs";
        Server.SetMisbehaviour(m);
        EXPECT_THROW(Www.LoadCompet(Served(0, 1).Id, "Coupe régionale"), Error);
        Server.SetMisbehaviour({});
        EXPECT_EQ(notified, (std::vector<std::int32_t>{-1})) << "the window follows";
        EXPECT_EQ(Compet.IdCompet(), -1);
        EXPECT_EQ(Compet.Message(), "Chargez une compétition");
        EXPECT_EQ(Compet.Connexion, TConnexion::None);
        EXPECT_EQ(Compet.Login(), "") << "no identification without a connection";
        EXPECT_EQ(Dm.Tables.Poules.RecordCount(), 0);
        EXPECT_EQ(Dm.Tables.Inscrits.RecordCount(), 0);
        EXPECT_EQ(Dm.Tables.Joueurs.RecordCount(), 0);
        EXPECT_EQ(Dm.Tree.Count(), 1u) << "the registrants folder alone";

        const std::size_t requests = Server.Requests().size();
        EXPECT_FALSE(Compet.AddPoule(1, 0, "Poule ajoutée"));
        EXPECT_EQ(Compet.LastError, "Aucune base connectée");
        TParamMatch match;
        match.IdPoule = Served().Pools.front().IdPoule;
        match.IdPhase = Served().Pools.front().Phase;
        match.Licence1 = Served().Matches.front().Licence1;
        match.Licence2 = Served().Matches.front().Licence2;
        EXPECT_FALSE(Compet.AddMatch(match));
        EXPECT_EQ(Compet.LastError, "Aucune base connectée");
        EXPECT_FALSE(Compet.EditPoule(match.IdPoule, "Renommée"));
        EXPECT_FALSE(Compet.DelMatch(Served().Matches.front().IdMatch));
        EXPECT_EQ(Server.Requests().size(), requests) << "nothing sent to the server";
    }
    // A whole download opens the competition again.
    LoadFirst();
    EXPECT_EQ(Compet.IdCompet(), Served().Id);
    EXPECT_EQ(Compet.Connexion, TConnexion::Internet);
    EXPECT_FALSE(Dm.PartialLoad());
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
    EXPECT_EQ(Compet.IdCompet(), -1) << "no competition open";
    EXPECT_TRUE(Dm.PartialLoad());
    EXPECT_FALSE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {987654})) << "not mixed into the tables";
    Dm.SaveSnapshot();  // as at program end
    EXPECT_EQ(ReadWholeFile(registrants), written);
    // Even were the controller to name the competition left, the empty tables are never written over it.
    Compet.SetIdCompet(Served().Id);
    Dm.SaveSnapshot();
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
