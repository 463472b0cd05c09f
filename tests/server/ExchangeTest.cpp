// The form exchange against the stand-in server: bytes on the wire, cookies,
// statuses, envelopes, cancel and the connection window.
#include "server/FormEncoding.h"
#include "server/ServerFixture.h"
#include "text/Error.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>

namespace tavlor {
namespace {

using test::TServerFixture;

std::vector<std::string> HeaderNames(const std::string& raw) {
    std::vector<std::string> names;
    std::size_t start = raw.find("\r\n") + 2;
    while (true) {
        const std::size_t end = raw.find("\r\n", start);
        if (end == std::string::npos || end == start) {
            return names;
        }
        const std::string line = raw.substr(start, end - start);
        names.push_back(line.substr(0, line.find(':')));
        start = end + 2;
    }
}

class Exchange : public TServerFixture {};

TEST_F(Exchange, TheCompetitionListRequestByteForByte) {
    TTextGrid grid;
    Www.ListCompets(grid);
    const std::string raw = LastRaw();
    EXPECT_EQ(raw.substr(0, raw.find("\r\n")), "POST /3bandes/execall/getlists.php HTTP/1.0");
    auto names = HeaderNames(raw);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Content-Length", "Content-Type", "Host", "User-Agent"}));
    EXPECT_NE(raw.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
    EXPECT_NE(raw.find("\r\nAccept: text/html, */*\r\n"), std::string::npos);
    EXPECT_NE(raw.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
    EXPECT_EQ(LastBody(), "ACTION=listecompets&VTX=2%2E0%2E3&");
    // The list: a title row, then one row per competition.
    EXPECT_EQ(grid.RowCount(), static_cast<int>(Federation.Disciplines[0].Competitions.size()) + 1);
    EXPECT_EQ(grid.Cell(3, 1), Federation.Disciplines[0].Competitions[0].Nom);
    EXPECT_EQ(grid.Cell(4, 1), std::to_string(Served().Id));
    EXPECT_TRUE(Boxes.Errors.empty());
    // The window: shown for the exchange, closed after it, status lines on the way.
    EXPECT_EQ(Window.Progress.back(), "Interrogation du serveur pour liste des compétitions ...");
    EXPECT_EQ(Window.Shown, 1);
    EXPECT_FALSE(Window.Visible);
    ASSERT_FALSE(Window.Status.empty());
    EXPECT_NE(std::find(Window.Status.begin(), Window.Status.end(), "statut = Connexion à 127.0.0.1."),
              Window.Status.end());
    EXPECT_NE(std::find(Window.Status.begin(), Window.Status.end(), "statut = Connecté."), Window.Status.end());
    EXPECT_EQ(Window.Status.back(), "statut = Déconnecté.");
}

TEST_F(Exchange, ANameIsResolvedFirst) {
    Www.SetBaseUrl("http://localhost:" + std::to_string(Server.Port()) + "/3bandes");
    TTextGrid grid;
    Www.ListCompets(grid);
    EXPECT_EQ(Window.Status.front(), "statut = Résolution du nom d'hôte localhost.");
}

TEST_F(Exchange, StatusesOtherThanSuccessFailWithTheirStatusLine) {
    Misbehave(fedserver::TMode::Status);
    try {
        Www.PostForm("/getlists.php", {"ACTION=listecompets"});
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "HTTP/1.1 404 Not Found\r\n"
                     "Le serveur de la fédération a refusé la demande : l'adresse de la discipline est probablement "
                     "fausse.");
    }
    EXPECT_FALSE(Window.Visible) << "the window closes in every case";
    Misbehave(fedserver::TMode::Redirect);
    try {
        Www.PostForm("/getlists.php", {"ACTION=listecompets"});
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 20), "HTTP/1.1 302 Found\r\n") << "redirections are not followed";
    }
    EXPECT_EQ(Server.Requests().size(), 2u);
}

// The status line stays as received; a plain sentence follows it.
TEST_F(Exchange, AStatusSaysWhatItMeansForTheVolunteer) {
    const auto failure = [&] {
        try {
            Www.PostForm("/getlists.php", {"ACTION=listecompets"});
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    fedserver::TMisbehaviour m;
    m.Count = 1;
    m.Mode = fedserver::TMode::Status;
    m.Status = 500;
    Server.SetMisbehaviour(m);
    EXPECT_EQ(failure(),
              "HTTP/1.1 500 Internal Server Error\r\n"
              "Le serveur de la fédération a rencontré une panne. Réessayez plus tard.");
    m.Status = 503;
    Server.SetMisbehaviour(m);
    EXPECT_EQ(failure(),
              "HTTP/1.1 503 Service Unavailable\r\n"
              "Le serveur de la fédération a rencontré une panne. Réessayez plus tard.");
    m.Status = 403;
    Server.SetMisbehaviour(m);
    EXPECT_EQ(failure(),
              "HTTP/1.1 403 Forbidden\r\n"
              "Le serveur de la fédération a refusé la demande : l'adresse de la discipline est probablement fausse.");

    // A move to https: the new address as the address box holds it.
    m.Mode = fedserver::TMode::Redirect;
    m.Status = 301;
    m.Location = "https://carambole.example.org/3bandes/execall/getlists.php";
    Server.SetMisbehaviour(m);
    EXPECT_EQ(failure(),
              "HTTP/1.1 301 Moved Permanently\r\n"
              "L'adresse du serveur de la fédération a changé.\r\n"
              "Nouvelle adresse : https://carambole.example.org/3bandes");
    // Elsewhere: the address as given, made whole.
    m.Status = 302;
    m.Location.clear();
    Server.SetMisbehaviour(m);
    EXPECT_EQ(failure(),
              "HTTP/1.1 302 Found\r\n"
              "L'adresse du serveur de la fédération a changé.\r\n"
              "Nouvelle adresse : http://127.0.0.1:" +
                  std::to_string(Server.Port()) + "/3bandes/execall/indisponible.php");
    EXPECT_EQ(Server.Requests().size(), 5u) << "redirections are not followed";
}

// A connection closed before the reply reads like a success: the text says
// what it may mean for a change sent.
TEST_F(Exchange, AConnectionDroppedBeforeTheReplySaysTheChangeMayBeLost) {
    Misbehave(fedserver::TMode::Drop);
    try {
        Www.PostForm("/upd_match.php", {"ACTION=supprimer", "IDMATCH=30001"});
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(
            e.what(),
            "La connexion s'est terminée proprement.\r\n"
            "Le serveur a interrompu l'échange avant d'avoir répondu : une modification envoyée n'a peut-être pas "
            "été enregistrée. Rechargez la compétition pour voir ce que le serveur contient.");
        EXPECT_EQ(dynamic_cast<const Cancelled*>(&e), nullptr) << "shown: not the user's cancel";
    }
    EXPECT_FALSE(Window.Visible);
}

TEST_F(Exchange, EnvelopeCasesAndNothingKeptFromAFailure) {
    const TReply normal = Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_TRUE(normal.HasData);
    EXPECT_FALSE(normal.HasError);
    EXPECT_FALSE(normal.Data.empty());
    Misbehave(fedserver::TMode::NoEnvelope);
    const TReply none = Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_FALSE(none.HasData);
    EXPECT_FALSE(none.HasError);
    EXPECT_EQ(none.Data, "");
    Misbehave(fedserver::TMode::DataError);
    const TReply both = Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_TRUE(both.HasData);
    EXPECT_TRUE(both.HasError);
    EXPECT_FALSE(both.Error.empty());
    // A failed exchange answers nothing; the next one has its own reply whole.
    Misbehave(fedserver::TMode::Drop);
    EXPECT_THROW(Www.PostForm("/getlists.php", {"ACTION=listebillards"}), Error);
    const TReply again = Www.PostForm("/getlists.php", {"ACTION=listebillards"});
    EXPECT_TRUE(again.HasData);
    EXPECT_FALSE(again.HasError);
    EXPECT_EQ(again.Data, normal.Data);
    EXPECT_EQ(again.Error, "");
    // A billiard list holding both envelopes adds the billiards and shows the error.
    Misbehave(fedserver::TMode::DataError);
    Www.LoadBillards();
    EXPECT_EQ(Dm.Tables.Billards.RecordCount(), 3);
    ASSERT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_EQ(Boxes.Errors[0].rfind("erreur en chargement des billards : ", 0), 0u);
    Misbehave(fedserver::TMode::NoEnvelope);
    Www.LoadBillards();
    EXPECT_EQ(Boxes.Errors.back(), "chargement billards : aucune réponse du serveur");
}

TEST_F(Exchange, CancelDuringASlowReply) {
    fedserver::TMisbehaviour slow;
    slow.Mode = fedserver::TMode::Delay;
    slow.DelayMs = 5000;
    slow.Count = 1;
    Server.SetMisbehaviour(slow);
    Window.OnEvents = [&] {
        if (Window.EventRounds == 5) {
            Www.CancelExchange();
        }
    };
    const auto start = std::chrono::steady_clock::now();
    try {
        Www.PostForm("/getlists.php", {"ACTION=listecompets"});
        FAIL();
    } catch (const Cancelled& e) {
        // Told apart from a failure, so that the command ends without a second box.
        EXPECT_STREQ(e.what(), "La connexion s'est terminée proprement.");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << "ended at once";
    EXPECT_EQ(Boxes.Informations, (std::vector<std::string>{"Connexion annulée"}));
    EXPECT_TRUE(Boxes.Errors.empty());
    EXPECT_FALSE(Window.Visible);
    EXPECT_EQ(Window.Status.back(), "statut = Déconnecté.");
}

TEST_F(Exchange, CancelWhileConnecting) {
    // A listener whose queue is full: connecting hangs until cancelled.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 8; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers.push_back(s);
    }
    Www.SetBaseUrl("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/3bandes");
    Window.OnEvents = [&] {
        if (Window.EventRounds == 10) {
            Www.CancelExchange();
        }
    };
    EXPECT_THROW(Www.PostForm("/getlists.php", {"ACTION=listecompets"}), Cancelled);
    EXPECT_EQ(Boxes.Informations, (std::vector<std::string>{"Connexion annulée"}));
    EXPECT_TRUE(Boxes.Errors.empty());
    EXPECT_EQ(Window.Status.back(), "statut = Déconnecté.");
    EXPECT_EQ(Window.Status.end()[-2], "statut = Déconnexion.");
    for (int s : fillers) ::close(s);
    ::close(listener);
}

TEST_F(Exchange, ASecondExchangeFromAnEventIsRefused) {
    std::string refused;
    Window.OnEvents = [&] {
        if (refused.empty()) {
            try {
                Www.PostForm("/getlists.php", {"ACTION=listebillards"});
                refused = "nested!";
            } catch (const Error& e) {
                refused = e.what();
            }
        }
    };
    Misbehave(fedserver::TMode::Delay);
    fedserver::TMisbehaviour slow;
    slow.Mode = fedserver::TMode::Delay;
    slow.DelayMs = 300;
    slow.Count = 1;
    Server.SetMisbehaviour(slow);
    const TReply reply = Www.PostForm("/getlists.php", {"ACTION=listecompets"});
    EXPECT_EQ(refused, "Un échange avec le serveur est déjà en cours, attendez sa fin");
    EXPECT_TRUE(reply.HasData) << "the first exchange completes";
    EXPECT_EQ(Server.Requests().size(), 1u);
}

// A command refused while another waits leaves the window as the first set it.
TEST_F(Exchange, ARefusedCommandLeavesTheProgressLineOfTheWaitingOne) {
    std::vector<std::string> refusals;
    std::size_t progressLines = 0, shown = 0;
    Www.LoadCompet(Served().Id, "Finale");
    const int matches = Dm.Tables.Matchs.RecordCount();
    ASSERT_GT(matches, 0);
    Window.Progress.clear();
    Window.Shown = 0;
    Server.ClearRequests();
    fedserver::TMisbehaviour slow;
    slow.Mode = fedserver::TMode::Delay;
    slow.DelayMs = 300;
    slow.Count = 1;
    Server.SetMisbehaviour(slow);
    // The first round of events while the billiards are awaited tries three more commands.
    Window.OnEvents = [&] {
        if (!refusals.empty()) return;
        progressLines = Window.Progress.size();
        shown = Window.Shown;
        TTextGrid grid;
        for (const auto& command : std::vector<std::function<void()>>{
                 [&] { Www.ListCompets(grid); },
                 [&] { Www.LoadCompet(Served().Id, "Autre"); },
                 [&] { Www.Login("12", "carambole"); },
             }) {
            try {
                command();
                refusals.push_back("accepted");
            } catch (const Error& e) {
                refusals.push_back(e.what());
            }
        }
    };
    Www.LoadBillards();
    const std::string refused = "Un échange avec le serveur est déjà en cours, attendez sa fin";
    EXPECT_EQ(refusals, (std::vector<std::string>{refused, refused, refused}));
    EXPECT_EQ(Window.Progress, (std::vector<std::string>{"Interrogation du serveur pour liste des billards ..."}));
    EXPECT_EQ(progressLines, 1u);
    EXPECT_EQ(Window.Shown, shown);
    EXPECT_EQ(Compet.IdCompet(), Served().Id) << "the refused download touched nothing";
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), matches);
    EXPECT_FALSE(Compet.Chargement);
    EXPECT_EQ(Server.Requests().size(), 1u);
}

TEST_F(Exchange, ARefusedConnectionRaisesTheTransportError) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);  // nobody listens there any more
    Www.SetBaseUrl("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/3bandes");
    try {
        Www.PostForm("/getlists.php", {"ACTION=listecompets"});
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Erreur de socket # ", 0), 0u) << e.what();
    }
    EXPECT_FALSE(Window.Visible);
}

}  // namespace
}  // namespace tavlor
