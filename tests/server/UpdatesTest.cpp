// Login and the server side of pool and match changes, end to end with the
// real store behind the controller.
#include "server/HttpTransport.h"
#include "server/ServerFixture.h"
#include "server/md5.h"
#include "text/DateTime.h"
#include "text/Error.h"

namespace tavlor {
namespace {

class Updates : public test::TServerFixture {
protected:
    void SetUp() override {
        TServerFixture::SetUp();
        Www.LoadCompet(Served().Id, "Finale");
    }
    std::int32_t FirstPool() const { return Served().Pools.front().IdPoule; }
    std::size_t Sent() const { return Server.Requests().size(); }
};

TEST_F(Updates, LoginChecksTheIdentifierAndSendsTheDigest) {
    const std::size_t before = Sent();
    for (const char* bad : {"abc", "0", ""}) {
        Www.Login(bad, "x");
        EXPECT_EQ(Boxes.Errors.back(), "L'identifiant de connexion doit être numérique");
    }
    EXPECT_EQ(Sent(), before) << "refused before any request";
    EXPECT_EQ(Window.PasswordCleared, 0);

    Www.Login("12", "");
    EXPECT_EQ(LastBody(), "LOGIN=12&PASS=" + Md5Hex("") + "&VTX=2%2E0%2E3&");
    EXPECT_EQ(Boxes.Errors.back().empty(), false) << "wrong password: the server's text";
    EXPECT_EQ(Compet.Login(), "");
    EXPECT_EQ(Window.PasswordCleared, 1) << "emptied also when the server refused";
    EXPECT_FALSE(Window.Visible);

    Login();
    EXPECT_EQ(LastBody(), "LOGIN=12&PASS=" + Md5Hex("carambole") + "&VTX=2%2E0%2E3&");
    // The session cookie goes back with the next requests.
    Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_NE(LastRaw().find("\r\nCookie: PHPSESSID="), std::string::npos);

    Www.ShowLogin();
    EXPECT_EQ(Window.LoginShown, 1);
    Compet.ShowLogin();
    EXPECT_EQ(Window.LoginShown, 2) << "the controller's hook reaches the login panel";
}

// A session cookie set through Set-Cookie2 is kept like any other: for the
// request's host and default path.
TEST_F(Updates, ASessionSetThroughSetCookie2IsSentBack) {
    Misbehave(fedserver::TMode::SetCookie2, 1, "logdlg1.php");
    Login();
    EXPECT_NE(Server.Requests().back().Raw.find("/3bandes/execall/logdlg1.php"), std::string::npos);
    std::int32_t pool = -1;
    ASSERT_TRUE(Compet.AddPoule(1, 0, "Poule du jeton", &pool)) << Compet.LastError;
    EXPECT_NE(LastRaw().find("\r\nCookie: PHPSESSID=\""), std::string::npos) << LastRaw();
    EXPECT_TRUE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {pool}));
    // Outside the default path (/3bandes/execall) the cookie is not sent.
    Www.SetBaseUrl(Server.BaseUrl("cadre"));
    Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_EQ(LastRaw().find("\r\nCookie:"), std::string::npos) << LastRaw();
}

TEST(SetCookie2, CookiesAsTheJarTakesThem) {
    const std::string url = "http://www.example.com:8080/3bandes/execall/logdlg1.php";
    using V = std::vector<std::string>;
    EXPECT_EQ(SetCookie2Lines(" PHPSESSID=\"abc\"; Version=\"1\"", url, 1000),
              (V{"www.example.com\tFALSE\t/3bandes/execall\tFALSE\t0\tPHPSESSID\t\"abc\""}));
    // Several cookies, a comma inside quotes, a path, a lifetime, a removal.
    EXPECT_EQ(SetCookie2Lines("a=1; Port=\"80,8080\"; Version=1, b=\"x;y\"; PATH=\"/x\"; Max-Age=60, c=3; max-age=0",
                              url, 1000),
              (V{"www.example.com\tFALSE\t/3bandes/execall\tFALSE\t0\ta\t1",
                 "www.example.com\tFALSE\t/x\tFALSE\t1060\tb\t\"x;y\"",
                 "www.example.com\tFALSE\t/3bandes/execall\tFALSE\t1\tc\t3"}));
    // A domain the host lies within; one it does not is refused.
    EXPECT_EQ(SetCookie2Lines("d=4; Domain=\"Example.com\"; Secure; Version=1", url, 0),
              (V{".example.com\tTRUE\t/3bandes/execall\tTRUE\t0\td\t4"}));
    EXPECT_EQ(SetCookie2Lines("e=5; Domain=.other.org; Version=1", url, 0), V{});
    // Default paths of short request paths; pieces that are no cookie.
    EXPECT_EQ(SetCookie2Lines("f=6", "http://h/", 0), (V{"h\tFALSE\t/\tFALSE\t0\tf\t6"}));
    EXPECT_EQ(SetCookie2Lines("g=7; Path=relative", "http://h/a", 0), (V{"h\tFALSE\t/\tFALSE\t0\tg\t7"}));
    EXPECT_EQ(SetCookie2Lines("novalue, =8, h=9\tx", url, 0), V{});
}

TEST_F(Updates, WithoutIdentificationNothingIsSent) {
    const std::size_t before = Sent();
    EXPECT_FALSE(Compet.EditPoule(FirstPool(), "Nouveau nom"));
    EXPECT_EQ(Compet.LastError, "Identification nécessaire pour modifier la base sur serveur internet");
    TParamMatch m;
    m.IdMatch = Served().Matches.front().IdMatch;
    EXPECT_FALSE(Compet.DelMatch(m.IdMatch));
    EXPECT_EQ(Sent(), before);
    // The check of identification comes before the number checks.
    TParamTable p;
    p.Id = -5;
    EXPECT_FALSE(Www.WwwDelPoule(p));
}

TEST_F(Updates, PoolsThroughServerAndStore) {
    Login();
    std::int32_t id = -1;
    ASSERT_TRUE(Compet.AddPoule(2, 1, "", &id)) << Compet.LastError;
    EXPECT_NE(LastBody().find("NOMPOULE=%3F&PHASE=2&FCLASST=1&"), std::string::npos) << LastBody();
    EXPECT_EQ(LastBody().rfind("ACTION=ajouter&IDCOMPETITION=" + std::to_string(Served().Id) + "&", 0), 0u);
    EXPECT_EQ(Dm.GetNomElement({NodePool, id, -1}), "?");

    ASSERT_TRUE(Compet.EditPoule(id, "Poule É"));
    EXPECT_EQ(LastBody(), "ACTION=modifier&IDPOULE=" + std::to_string(id) + "&NOMPOULE=Poule+%C9&VTX=2%2E0%2E3&");
    EXPECT_EQ(Dm.GetNomElement({NodePool, id, -1}), "Poule É");
    ASSERT_TRUE(Compet.SetFClasstPoule(id, 0));
    EXPECT_EQ(LastBody(), "ACTION=modifier&IDPOULE=" + std::to_string(id) + "&FCLASST=0&VTX=2%2E0%2E3&");
    ASSERT_TRUE(Compet.MovePoule(id, 1)) << Compet.LastError;
    EXPECT_EQ(LastBody(), "ACTION=modifier&IDPOULE=" + std::to_string(id) + "&PHASE=1&VTX=2%2E0%2E3&");

    // The server keeps the change: the next pool list has it.
    const TReply pools =
        Www.PostForm("/getlists.php", {"ACTION=listepoules", "NOCOMPET=" + std::to_string(Served().Id)});
    EXPECT_NE(pools.Data.find(std::to_string(id) + "\bPoule É\b1\b0\b"), std::string::npos);

    // Memory refuses (a member added by hand), the server had deleted it: the desync text alone.
    ASSERT_TRUE(Compet.AddInscrit(111, -1, "Seul"));
    ASSERT_TRUE(Compet.AddJoueur(111, -1, id));
    EXPECT_FALSE(Compet.DelPoule(id));
    EXPECT_EQ(Compet.LastError, "Serveur désynchronisé, rechargez la compétition");

    // The server refuses: its text, nothing changes in memory.
    EXPECT_FALSE(Compet.DelPoule(FirstPool()));
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;
    EXPECT_TRUE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {FirstPool()}));

    // A change record with nothing to change.
    TParamTable nothing;
    nothing.Id = FirstPool();
    const std::size_t before = Sent();
    try {
        Www.WwwEditPoule(nothing);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "paramètres de modification poule absents");
    }
    TParamTable illegal;
    illegal.IdParent = -3;
    try {
        Www.WwwAddPoule(illegal);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "No de phase : -3 illégal\r\nAjout de poule sur serveurt impossible");
    }
    EXPECT_EQ(Sent(), before);
}

TEST_F(Updates, MatchesThroughServerAndStore) {
    Login();
    const sample::TSampleMatch& played = Served().Matches.front();
    TParamMatch m;
    m.IdPoule = played.IdPoule;
    m.IdPhase = played.IdPhase;
    m.Licence1 = played.Licence2;
    m.Licence2 = played.Licence1;
    m.Pts1 = 30;
    m.Rep1 = 25;
    m.Ser1 = 6;
    m.Pm1 = 2;
    m.Pts2 = 21;
    m.Rep2 = 25;
    m.Ser2 = 4;
    m.Pm2 = 0;
    m.Bd = 260;
    m.DateMatch = text::EncodeDate(2004, 5, 6);
    ASSERT_TRUE(Compet.AddMatch(m)) << Compet.LastError;
    const std::string l1 = std::to_string(m.Licence1), l2 = std::to_string(m.Licence2),
                      pool = std::to_string(m.IdPoule);
    EXPECT_EQ(LastBody(), "ACTION=ajouter&ID1=" + l1 + "&PTS1=30&REP1=25&SER1=6&PTMATCH1=2&ID2=" + l2 +
                              "&PTS2=21&REP2=25&SER2=4&PTMATCH2=0&DATEMATCH=2004%2D05%2D06&IDPOULE=" + pool +
                              "&BD=260&VTX=2%2E0%2E3&");
    EXPECT_EQ(LastRaw().substr(0, LastRaw().find("\r\n")), "POST /3bandes/execall/upd_match.php HTTP/1.0");
    EXPECT_GT(m.IdMatch, 0);
    EXPECT_DOUBLE_EQ(m.CoefBd, 0.8) << "the server's coefficient of the 2.60 table";
    EXPECT_NE(LastBody().find("&DATEMATCH=2004%2D05%2D06&IDPOULE=" + std::to_string(m.IdPoule) + "&BD=260&"),
              std::string::npos);
    EXPECT_EQ(LastBody().find("IDMATCH"), std::string::npos) << "the server gives the number";
    const TRowView row = Dm.Tables.Matchs.Data().Lookup("IDMATCH", {m.IdMatch});
    ASSERT_TRUE(row);
    EXPECT_DOUBLE_EQ(row.AsFloat("COEFBD"), 0.8);

    m.Pts2 = 25;
    m.Bd = 310;
    ASSERT_TRUE(Compet.EditMatch(m)) << Compet.LastError;
    EXPECT_EQ(LastBody().rfind("ACTION=modifier&IDMATCH=" + std::to_string(m.IdMatch) + "&ID1=", 0), 0u);
    EXPECT_DOUBLE_EQ(m.CoefBd, 1.0);
    EXPECT_EQ(Dm.Tables.Matchs.Data().Lookup("IDMATCH", {m.IdMatch}).AsInteger("PTS2"), 25);

    ASSERT_TRUE(Compet.DelMatch(m.IdMatch));
    EXPECT_EQ(LastBody(), "ACTION=supprimer&IDMATCH=" + std::to_string(m.IdMatch) + "&VTX=2%2E0%2E3&");
    EXPECT_FALSE(Dm.Tables.Matchs.Data().Lookup("IDMATCH", {m.IdMatch}));

    // A reply with a field too few: nothing is stored.
    fedserver::TMisbehaviour bad;
    bad.Mode = fedserver::TMode::Malformed;
    bad.Script = "upd_match.php";
    bad.Count = 1;
    Server.SetMisbehaviour(bad);
    const int matches = Dm.Tables.Matchs.RecordCount();
    TParamMatch again = m;
    again.IdMatch = -1;
    EXPECT_FALSE(Compet.AddMatch(again));
    EXPECT_EQ(Compet.LastError, "mauvaise réponse du serveur, rechargez la compétition");
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), matches);

    // A negative licence goes with its minus sign; the server refuses the unknown pool.
    TParamMatch unknown = m;
    unknown.Licence1 = -7;
    unknown.IdPoule = 999999;
    EXPECT_FALSE(Compet.AddMatch(unknown));
    EXPECT_NE(LastBody().find("ID1=%2D7&"), std::string::npos);
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;

    // Server accepts, memory refuses: the number already known in memory.
    Misbehave(fedserver::TMode::NoEnvelope, 1, "upd_match.php");
    EXPECT_FALSE(Compet.DelMatch(played.IdMatch));
    EXPECT_EQ(Compet.LastError, "aucune réponse de serveur");
}

TEST_F(Updates, EveryHandlerReportsTheServersRefusal) {
    Login();
    const std::size_t pools = static_cast<std::size_t>(Dm.Tables.Poules.RecordCount());
    EXPECT_FALSE(Compet.AddPoule(1, 0, std::string(60, 'x')));  // longer than the server takes
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;
    EXPECT_EQ(static_cast<std::size_t>(Dm.Tables.Poules.RecordCount()), pools) << "memory unchanged";
    EXPECT_FALSE(Compet.EditPoule(987654, "Inconnue"));
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;
    TParamMatch m;
    m.IdMatch = 987654;
    m.IdPoule = FirstPool();
    EXPECT_FALSE(Compet.EditMatch(m));
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;
    EXPECT_FALSE(Compet.DelMatch(987654));
    EXPECT_EQ(Compet.LastError.rfind("erreur serveur : ", 0), 0u) << Compet.LastError;
    // No envelope at all: each handler's own text.
    Misbehave(fedserver::TMode::NoEnvelope, 1, "upd_poule.php");
    EXPECT_FALSE(Compet.EditPoule(FirstPool(), "Autre"));
    EXPECT_EQ(Compet.LastError, "aucune réponse serveur");
    Misbehave(fedserver::TMode::NoEnvelope, 1, "upd_poule.php");
    EXPECT_FALSE(Compet.AddPoule(1, 0, "Nouvelle"));
    EXPECT_EQ(Compet.LastError, "aucune réponse de serveur");
}

TEST_F(Updates, ThePoolSummaryOpensInTheBrowser) {
    Www.OpenPrintPoules(FirstPool());
    ASSERT_EQ(Shell.Urls.size(), 1u);
    EXPECT_EQ(Shell.Urls[0],
              Server.BaseUrl("3bandes") + "/ranking/printpoules.php?param1=" + std::to_string(FirstPool()));
    EXPECT_TRUE(Window.Progress.empty() || Window.Progress.back().find("poule") == std::string::npos);
}

}  // namespace
}  // namespace tavlor
