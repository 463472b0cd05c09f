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

// What the user sees and works with: it must come through a failed download
// unchanged.
struct TOpenState {
    std::int32_t IdCompet;
    std::string Message, Login, Discipline, BaseUrl;
    TConnexion Connexion;
    int Poules, Inscrits, Joueurs, Matchs, Phases;
    std::size_t TreeNodes;
    bool operator==(const TOpenState&) const = default;
};

// A download refused, cut, malformed or holding a bad number leaves the
// competition open as it was: its tables, tree, identification, address, and
// its changes still reach its own server.
TEST_F(Download, AFailedDownloadLeavesTheCompetitionOpenAsItWas) {
    const auto state = [&] {
        return TOpenState{Compet.IdCompet(),
                          Compet.Message(),
                          Compet.Login(),
                          Compet.Discipline(),
                          Www.BaseUrl(),
                          Compet.Connexion,
                          Dm.Tables.Poules.RecordCount(),
                          Dm.Tables.Inscrits.RecordCount(),
                          Dm.Tables.Joueurs.RecordCount(),
                          Dm.Tables.Matchs.RecordCount(),
                          Dm.Tables.Phases.RecordCount(),
                          Dm.Tree.Count()};
    };
    LoadFirst();
    Login();
    ASSERT_TRUE(Compet.AddInscrit(987654, -1, "AJOUTÉ À la main"));
    const TOpenState before = state();
    std::vector<std::int32_t> notified;
    Compet.OnIdCompetChange = [&](TCompetition& c) { notified.push_back(c.IdCompet()); };
    for (const char* list : {"listebillards", "listepoules", "listematchs"}) {
        for (fedserver::TMode mode : {fedserver::TMode::Drop, fedserver::TMode::Malformed, fedserver::TMode::Status,
                                      fedserver::TMode::NonNumeric}) {
            if (std::string(list) == "listebillards" && mode != fedserver::TMode::Drop &&
                mode != fedserver::TMode::Status) {
                continue;  // a billiard list's own errors are told and the download goes on
            }
            SCOPED_TRACE(std::string(list) + " " + std::to_string(static_cast<int>(mode)));
            fedserver::TMisbehaviour m;
            m.Mode = mode;
            m.Field = std::string(list) == "listepoules" ? 0 : 4;  // a number of each list
            m.Action = list;
            Server.SetMisbehaviour(m);
            EXPECT_THROW(Www.LoadCompet(Server.BaseUrl("3bandes"), Served(0, 1).Id, "Coupe régionale"), Error);
            Server.SetMisbehaviour({});
            EXPECT_TRUE(notified.empty()) << "the window has nothing to follow";
            EXPECT_TRUE(state() == before);
            EXPECT_TRUE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {987654})) << "a change in memory kept";
            EXPECT_FALSE(Dm.PartialLoad());
        }
    }
    // An address where nobody answers: the same.
    EXPECT_THROW(Www.LoadCompet("http://127.0.0.1:9/3bandes", Served().Id, "Ailleurs"), Error);
    EXPECT_TRUE(state() == before);
    // The competition open still works with its server.
    const std::size_t requests = Server.Requests().size();
    ASSERT_TRUE(Compet.AddPoule(Served().Pools.front().Phase, 0, "Poule ajoutée")) << Compet.LastError;
    ASSERT_EQ(Server.Requests().size(), requests + 1);
    EXPECT_EQ(Server.Requests().back().Target, "/3bandes/execall/upd_poule.php");
    // A whole download replaces it.
    Www.LoadCompet(Served(0, 1).Id, "Coupe régionale");
    EXPECT_EQ(Compet.IdCompet(), Served(0, 1).Id);
    EXPECT_EQ(notified, (std::vector<std::int32_t>{Served(0, 1).Id}));
}

// A download that fails never writes a snapshot: the one of the competition
// left is written only when a whole one replaces it.
TEST_F(Download, AFailedDownloadNeverOverwritesTheSnapshotOfTheCompetitionLeft) {
    LoadFirst();
    ASSERT_TRUE(Compet.AddInscrit(987654, -1, "AJOUTÉ À la main"));
    const std::string registrants = Dm.SnapshotPath("Inscrits");
    EXPECT_FALSE(FileExists(registrants));

    fedserver::TMisbehaviour m;
    m.Mode = fedserver::TMode::Drop;
    m.Action = "listematchs";
    Server.SetMisbehaviour(m);
    EXPECT_THROW(Www.LoadCompet(Served(0, 1).Id, "Autre"), Error);
    EXPECT_FALSE(FileExists(registrants)) << "nothing left, nothing written";
    EXPECT_EQ(Compet.IdCompet(), Served().Id);

    // Leaving it for another one writes it; coming back finds it.
    Server.SetMisbehaviour({});
    Www.LoadCompet(Served(0, 1).Id, "Autre");
    EXPECT_NE(ReadWholeFile(registrants).find("987654"), std::string::npos);
    LoadFirst();
    EXPECT_TRUE(Dm.Tables.Inscrits.Data().Lookup("LICENCE", {987654}));
}

// A list asked of another address leaves the competition open with its own
// server, and so does a download from an address that fails; the address of
// a download that completes becomes the competition's.
TEST_F(Download, ListsAndDownloadsWorkOnTheAddressAskedAndTheOpenCompetitionKeepsItsOwn) {
    LoadFirst();
    Login();
    const std::string own = Server.BaseUrl("3bandes");
    ASSERT_EQ(Www.BaseUrl(), own);
    TTextGrid grid;
    Www.ListCompets(Server.BaseUrl("cadre") + "/", grid);
    EXPECT_EQ(Server.Requests().back().Target, "/cadre/execall/getlists.php");
    const std::string& cadre = Served(1, 0).Title;
    EXPECT_EQ(grid.Cell(3, 1), cadre.substr(cadre.rfind(" - ") + 3));
    EXPECT_EQ(Www.BaseUrl(), own);
    EXPECT_THROW(Www.ListCompets("http://127.0.0.1:9/3bandes", grid), Error);
    EXPECT_EQ(Www.BaseUrl(), own);
    ASSERT_TRUE(Compet.AddPoule(Served().Pools.front().Phase, 0, "Toujours ici")) << Compet.LastError;
    EXPECT_EQ(Server.Requests().back().Target, "/3bandes/execall/upd_poule.php");

    Www.LoadCompet(Server.BaseUrl("cadre"), Served(1, 0).Id, Served(1, 0).Title);
    EXPECT_EQ(Www.BaseUrl(), Server.BaseUrl("cadre"));
    EXPECT_EQ(Compet.Discipline(), "Cadre");
}

// Only http and https: a file or another protocol is never fetched, also
// when the settings file names one.
TEST_F(Download, OnlyWebAddressesAreFetched) {
    TTextGrid grid;
    const std::size_t requests = Server.Requests().size();
    for (const std::string url : {"file:///etc/hostname", "ftp://127.0.0.1/3bandes", "FILE:///etc", "/3bandes",
                                  "gopher://127.0.0.1:70", "httpx://127.0.0.1"}) {
        SCOPED_TRACE(url);
        try {
            Www.ListCompets(url, grid);
            ADD_FAILURE() << "fetched";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Adresse refusée : " + url +
                          "\r\nSeules les adresses du serveur de la fédération en http:// ou https:// sont utilisées.");
        }
    }
    EXPECT_EQ(Server.Requests().size(), requests);
    EXPECT_TRUE(THttpTransport::IsWebAddress("HTTPS://example.org/3bandes"));
    EXPECT_TRUE(THttpTransport::IsWebAddress(Server.BaseUrl("3bandes")));
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
