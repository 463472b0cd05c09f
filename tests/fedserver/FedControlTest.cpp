#include "FedTestSupport.h"

#include "text/Cp1252.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavlor::fedserver::test {
namespace {

using Control = FedServerTest;

std::string Cp(std::string_view utf8) {
    return text::Utf8ToCp1252(utf8);
}

// Sends bytes as they are on a fresh connection and reads until the server closes.
std::string RawExchange(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        char buf[4096];
        ssize_t n;
        while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) {
            reply.append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return reply;
}

std::string Get(const httplib::Client& constClient, const std::string& path, int* status = nullptr) {
    httplib::Client& client = const_cast<httplib::Client&>(constClient);
    const auto res = client.Get(path.c_str());
    if (status != nullptr) {
        *status = res ? res->status : 0;
    }
    return res ? res->body : std::string();
}

TEST_F(Control, RequestLogHoldsTheExactBytesReceived) {
    const std::string body = "ACTION=listejoueurs&NOM=Gar%E7on&VTX=2%2E0%2E3&";
    const std::string request =
        "POST /libre/execall/getlists.php HTTP/1.0\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n"
        "Accept: text/html, */*\r\n"
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
        "Host: 127.0.0.1\r\n"
        "Content-Length: " +
        std::to_string(body.size()) +
        "\r\n"
        "\r\n" +
        body;
    const std::string reply = RawExchange(port_, request);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("GAR\xC7ON Fran\xE7ois"), std::string::npos);
    EXPECT_NE(reply.find("Content-Type: text/html; charset=windows-1252"), std::string::npos);

    const std::vector<TLoggedRequest> log = server_.Requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Raw, request);  // header order and case included
    EXPECT_EQ(log[0].Method, "POST");
    EXPECT_EQ(log[0].Target, "/libre/execall/getlists.php");
    EXPECT_EQ(log[0].Body, body);

    // Over HTTP: the last request alone, and the framed list. Control requests are not logged.
    httplib::Client client = Client();
    EXPECT_EQ(Get(client, "/__requests/last"), request);
    EXPECT_EQ(SetMode("mode=normal"), 200);
    List("cadre", {{"ACTION", "listebillards"}});
    const std::string all = Get(client, "/__requests");
    std::istringstream in(all);
    std::string word;
    std::size_t count = 0;
    in >> word >> count;
    EXPECT_EQ(word, "count");
    ASSERT_EQ(count, 2u);
    std::vector<std::string> raws;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t seq = 0;
        std::size_t length = 0;
        in >> word >> seq >> length;
        EXPECT_EQ(word, "request");
        EXPECT_EQ(seq, i + 1);
        in.get();  // the line feed after the length
        std::string raw(length, '\0');
        in.read(raw.data(), static_cast<std::streamsize>(length));
        raws.push_back(raw);
        in.get();
    }
    EXPECT_EQ(raws[0], request);
    EXPECT_EQ(raws[1].rfind("POST /cadre/execall/getlists.php HTTP/1.1\r\n", 0), 0u);
    EXPECT_TRUE(raws[1].ends_with("\r\n\r\nACTION=listebillards&VTX=2%2E0%2E3&")) << raws[1];

    // Pages, unknown paths and bad methods are logged too; clearing empties the log.
    Get(client, "/cadre/ranking/printpoules.php?param1=110");
    Get(client, "/cadre/execall/getlists.php");
    EXPECT_EQ(server_.Requests().size(), 4u);
    EXPECT_EQ(server_.Requests().back().Target, "/cadre/execall/getlists.php");
    EXPECT_EQ(server_.Requests()[2].Target, "/cadre/ranking/printpoules.php?param1=110");
    ASSERT_TRUE(client.Post("/__requests/clear", "", "text/plain"));
    int status = 0;
    Get(client, "/__requests/last", &status);
    EXPECT_EQ(status, 404);
    EXPECT_EQ(Get(client, "/__requests"), "count 0\n");
}

TEST_F(Control, DelayAnswersLateForTheCountedRequestsOnly) {
    ASSERT_EQ(SetMode("mode=delay&ms=700&count=1"), 200);
    auto timed = [&] {
        const auto start = std::chrono::steady_clock::now();
        const TExchange ex = List("3bandes", {{"ACTION", "listebillards"}});
        EXPECT_TRUE(ex.HasData);
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_GE(timed(), std::chrono::milliseconds(700));
    EXPECT_LT(timed(), std::chrono::milliseconds(600));
}

TEST_F(Control, DropClosesTheConnectionWithoutProcessing) {
    const std::string cookie = Login();
    ASSERT_EQ(SetMode("mode=drop&count=1&script=upd_poule.php"), 200);
    // Requests to other scripts are not counted.
    EXPECT_TRUE(List("3bandes", {{"ACTION", "listebillards"}}).HasData);

    httplib::Client client = Client();
    httplib::Headers headers{{"Cookie", cookie}};
    const TFields add{
        {"ACTION", "ajouter"}, {"IDCOMPETITION", "1201"}, {"NOMPOULE", "Poule Z"}, {"PHASE", "1"}, {"FCLASST", "0"}};
    const auto res =
        client.Post("/3bandes/execall/upd_poule.php", headers, FormBody(add), "application/x-www-form-urlencoded");
    EXPECT_FALSE(res);
    // The request was logged, not processed.
    EXPECT_EQ(server_.Requests().back().Target, "/3bandes/execall/upd_poule.php");
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records().size(), 6u);
    // The count is spent.
    EXPECT_TRUE(Post("3bandes", "upd_poule.php", add, cookie).HasData);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records().size(), 7u);
}

TEST_F(Control, StatusAndRedirectionAnswerWithoutProcessing) {
    httplib::Client client = Client();
    const std::string body = FormBody({{"ACTION", "listecompets"}});
    ASSERT_EQ(SetMode("mode=status404&count=1"), 200);
    auto res = client.Post("/bande/execall/getlists.php", body, "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    EXPECT_EQ(res->body.find("DATAS_TX"), std::string::npos);

    ASSERT_EQ(SetMode("mode=status&code=503&count=1"), 200);
    res = client.Post("/bande/execall/getlists.php", body, "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 503);

    ASSERT_EQ(SetMode("mode=redirect302"), 200);
    for (int i = 0; i < 2; ++i) {  // no count: until changed
        res = client.Post("/bande/execall/getlists.php", body, "application/x-www-form-urlencoded");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 302);
        EXPECT_EQ(res->get_header_value("Location"), "/bande/execall/indisponible.php");
    }
    // A permanent move to an address of the test's choosing.
    ASSERT_EQ(SetMode("mode=redirect301&location=https%3A%2F%2Fexample.org%2Fbande%2Fexecall%2Fgetlists.php&count=1"),
              200);
    res = client.Post("/bande/execall/getlists.php", body, "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 301);
    EXPECT_EQ(res->get_header_value("Location"), "https://example.org/bande/execall/getlists.php");
    ASSERT_EQ(SetMode("mode=normal"), 200);
    EXPECT_EQ(List("bande", {{"ACTION", "listecompets"}}).Status, 200);

    EXPECT_EQ(SetMode("mode=explode"), 400);
    EXPECT_EQ(SetMode("mode=delay&ms=-1"), 400);
    EXPECT_EQ(SetMode("ms=10"), 400);
}

TEST_F(Control, MalformedAndNonNumericSpoilTheDataRecords) {
    ASSERT_EQ(SetMode("mode=malformed"), 200);
    const auto compets = List("3bandes", {{"ACTION", "listecompets"}}).Records();
    EXPECT_EQ(compets[0].size(), 6u);  // titles untouched
    EXPECT_EQ(compets[1].size(), 5u);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listebillards"}}).Records()[0].size(), 1u);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listepoules"}, {"NOCOMPET", "1201"}}).Records()[0].size(), 3u);
    for (const auto& r : List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Records()) {
        EXPECT_EQ(r.size(), 17u);
    }
    // An update reply with a field too few; the change itself was made.
    const std::string cookie = Login();
    const TFields match{{"ID1", "10234"},
                        {"PTS1", "30"},
                        {"REP1", "20"},
                        {"SER1", "5"},
                        {"PTMATCH1", "2"},
                        {"ID2", "10871"},
                        {"PTS2", "12"},
                        {"REP2", "20"},
                        {"SER2", "3"},
                        {"PTMATCH2", "0"},
                        {"DATEMATCH", "2026-03-30"},
                        {"IDPOULE", "101"},
                        {"BD", "310"}};
    TFields add{{"ACTION", "ajouter"}};
    add.insert(add.end(), match.begin(), match.end());
    EXPECT_EQ(Post("3bandes", "upd_match.php", add, cookie).Data, "1.0\b");
    ASSERT_EQ(SetMode("mode=normal"), 200);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Records().size(), 31u);

    ASSERT_EQ(SetMode("mode=nonnumeric&field=2&action=listematchs"), 200);
    for (const auto& r : List("3bandes", {{"ACTION", "listematchs"}, {"NOCOMPET", "1201"}}).Records()) {
        ASSERT_EQ(r.size(), 18u);
        EXPECT_TRUE(r[2] == "1.0x" || r[2] == "0.9x" || r[2] == "0.8x") << r[2];
    }
    EXPECT_EQ(List("3bandes", {{"ACTION", "listebillards"}}).Records()[0][0], "310");  // other actions untouched
    ASSERT_EQ(SetMode("mode=nonnumeric"), 200);
    EXPECT_EQ(List("3bandes", {{"ACTION", "listebillards"}}).Records()[0][0], "310x");
}

TEST_F(Control, EnvelopesCanBeWithheldOrDoubled) {
    ASSERT_EQ(SetMode("mode=noenvelope&count=1"), 200);
    const TExchange none = List("libre", {{"ACTION", "listebillards"}});
    EXPECT_EQ(none.Status, 200);
    EXPECT_FALSE(none.HasData);
    EXPECT_FALSE(none.HasError);

    ASSERT_EQ(SetMode("mode=dataerror&count=2"), 200);
    const TExchange both = List("libre", {{"ACTION", "listebillards"}});
    EXPECT_TRUE(both.HasData);
    EXPECT_EQ(both.Records().size(), 3u);
    EXPECT_TRUE(both.HasError);
    EXPECT_EQ(both.Error, Cp("Erreur simulée par le serveur de test"));
    // An error reply gets an empty data envelope beside it.
    const TExchange error = List("libre", {{"ACTION", "listepoules"}, {"NOCOMPET", "1"}});
    EXPECT_TRUE(error.HasData);
    EXPECT_EQ(error.Data, "");
    EXPECT_EQ(error.Error, Cp("Compétition inconnue : 1"));
    // The count is spent.
    const TExchange normal = List("libre", {{"ACTION", "listebillards"}});
    EXPECT_TRUE(normal.HasData);
    EXPECT_FALSE(normal.HasError);
}

TEST_F(Control, PoolSummaryPageShowsMembersAndMatchesEscaped) {
    httplib::Client client = Client();
    const auto res = client.Get("/3bandes/ranking/printpoules.php?param1=101");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=windows-1252");
    const std::string& page = res->body;
    EXPECT_NE(page.find("Synth\xE8se de poule"), std::string::npos);
    EXPECT_NE(page.find("2025-2026 Nationale 1 Seniors - Finale de France"), std::string::npos);
    for (const char* name : {"DUPONT Jean", "LEF\xC8VRE H\xE9l\xE8ne", "GAR\xC7ON Fran\xE7ois", "C\x8CUR Beno\xEEt"}) {
        EXPECT_NE(page.find(name), std::string::npos) << name;
    }
    for (const char* match : {"<td>30001</td>", "<td>30006</td>", "15/11/2025"}) {
        EXPECT_NE(page.find(match), std::string::npos) << match;
    }
    EXPECT_EQ(page.find("<td>30007</td>"), std::string::npos);  // a match of another pool
    EXPECT_EQ(page.find("DATAS_TX"), std::string::npos);

    // Names are escaped.
    const std::string cookie = Login();
    ASSERT_TRUE(Post("3bandes", "upd_poule.php",
                     {{"ACTION", "modifier"}, {"IDPOULE", "101"}, {"NOMPOULE", "<b>A & B</b>"}}, cookie)
                    .HasData);
    const std::string renamed = Get(client, "/3bandes/ranking/printpoules.php?param1=101");
    EXPECT_NE(renamed.find("&lt;b&gt;A &amp; B&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(renamed.find("<b>A"), std::string::npos);

    // A pool not played yet; an unknown pool; a pool of another discipline.
    const std::string empty =
        Get(client, "/libre/ranking/printpoules.php?param1=" +
                        List("libre", {{"ACTION", "listepoules"}, {"NOCOMPET", "4202"}}).Records()[1][0]);
    EXPECT_NE(empty.find("Aucun match jou\xE9"), std::string::npos);
    int status = 0;
    Get(client, "/libre/ranking/printpoules.php?param1=99999", &status);
    EXPECT_EQ(status, 404);
    Get(client, "/libre/ranking/printpoules.php?param1=101", &status);
    EXPECT_EQ(status, 404);
    Get(client, "/libre/ranking/printpoules.php?param1=abc", &status);
    EXPECT_EQ(status, 404);
}

// The executable, as the demo and the client's tests start it.
TEST(FedServerProgram, PrintsItsPortAndListensOnLoopbackOnly) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(TAVLOR_FEDSERVER_EXE, TAVLOR_FEDSERVER_EXE, "--port", "0", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    ::close(out[0]);
    ASSERT_EQ(line.rfind("port ", 0), 0u) << line;
    const int port = text::StrToInt(line.substr(5));
    ASSERT_GT(port, 0);

    httplib::Client client("127.0.0.1", port);
    const auto res = client.Post("/cadre/execall/getlists.php", FormBody({{"ACTION", "listebillards"}}),
                                 "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<DATAS_TX>310\b"), std::string::npos);

    // The listening socket is bound to 127.0.0.1 (0100007F in /proc/net/tcp), state LISTEN (0A).
    std::ifstream tcp("/proc/net/tcp");
    std::string entry, local, remote, state;
    bool found = false;
    char portHex[8];
    std::snprintf(portHex, sizeof portHex, "%04X", port);
    std::getline(tcp, entry);
    while (tcp >> entry >> local >> remote >> state) {
        std::getline(tcp, entry);
        if (state == "0A" && local.substr(local.find(':') + 1) == portHex) {
            EXPECT_EQ(local.substr(0, local.find(':')), "0100007F");
            found = true;
        }
    }
    EXPECT_TRUE(found);

    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(FedServerProgram, RefusesABusyPortAndBadArguments) {
    TFedServer first;
    const int port = first.Start(0);
    TFedServer second;
    EXPECT_THROW(second.Start(port), Error);

    const std::string exe = TAVLOR_FEDSERVER_EXE;
    EXPECT_NE(std::system((exe + " --port 70000 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((exe + " --verbose 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((exe + " 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((exe + " --port " + std::to_string(port) + " 2>/dev/null").c_str()), 0);
}

}  // namespace
}  // namespace tavlor::fedserver::test
