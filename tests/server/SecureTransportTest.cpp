// The transport over https: a server that does not speak it, and the
// certificates it refuses, each with its cause in French.
#include "server/HttpTransport.h"
#include "server/ServerFixture.h"
#include "server/TlsServer.h"

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include <fstream>

namespace tavlor {
namespace {

using test::TPemPair;
using test::TTestAuthority;
using test::TTlsServer;

const char* const Refused = "Le certificat du serveur n'est pas valide.\r\n";

// The text of the failed post, or "no failure".
std::string Failure(THttpTransport& http, const std::string& url) {
    try {
        http.Post(url, "ACTION=listecompets&", {});
    } catch (const Error& e) {
        return e.what();
    }
    return "no failure";
}

class SecureTransport : public ::testing::Test {
protected:
    test::TTempDir Dir;
    TTestAuthority Authority;
    THttpTransport Http;

    void SetUp() override {
        const std::string file = Dir.File("autorite.pem");
        std::ofstream(file) << Authority.CertificatePem();
        Http.SetCertificateAuthorities(file);
    }
    static std::string Url(const TTlsServer& server) {
        return "https://127.0.0.1:" + std::to_string(server.Port()) + "/3bandes/execall/getlists.php";
    }
};

TEST_F(SecureTransport, ASoundCertificateOfATrustedAuthorityIsAccepted) {
    TTlsServer server(Authority.Issue({}));
    EXPECT_NE(Http.Post(Url(server), "ACTION=listecompets&", {}).find("<DATAS_TX>ok</DATAS_TX>"), std::string::npos);
    EXPECT_EQ(server.Served(), 1);
}

TEST_F(SecureTransport, ARefusedCertificateNamesItsCause) {
    {
        TTlsServer expired(Authority.Issue({"127.0.0.1", -60, -1}));
        EXPECT_EQ(Failure(Http, Url(expired)),
                  std::string(Refused) + "Il a expiré : vérifiez la date de l'ordinateur.");
    }
    {
        TTlsServer early(Authority.Issue({"127.0.0.1", 2, 60}));
        EXPECT_EQ(Failure(Http, Url(early)),
                  std::string(Refused) + "Il n'est pas encore valide : vérifiez la date de l'ordinateur.");
    }
    {
        TTlsServer selfSigned(TTestAuthority::SelfSigned({}));
        EXPECT_EQ(Failure(Http, Url(selfSigned)),
                  std::string(Refused) + "Il est auto-signé : aucune autorité de certification ne le garantit.");
    }
    const std::string unknown =
        std::string(Refused) + "Il a été délivré par une autorité de certification inconnue de cet ordinateur.";
    TTestAuthority other("Autre autorite");
    {
        TTlsServer alone(other.Issue({}));
        EXPECT_EQ(Failure(Http, Url(alone)), unknown) << "the server sends its certificate alone";
    }
    {
        TTlsServer withChain(other.Issue({}), other.CertificatePem());
        EXPECT_EQ(Failure(Http, Url(withChain)), unknown) << "the server sends the authority too";
    }
    {
        TTlsServer otherName(Authority.Issue({"carambole.example.org"}));
        EXPECT_EQ(Failure(Http, Url(otherName)),
                  std::string(Refused) + "Il a été délivré pour un autre nom que 127.0.0.1.");
    }
    // After the name, libcurl keeps the code of the connection before: the name's refusal still says so.
    {
        TTlsServer expired(Authority.Issue({"127.0.0.1", -60, -1}));
        EXPECT_EQ(Failure(Http, Url(expired)),
                  std::string(Refused) + "Il a expiré : vérifiez la date de l'ordinateur.");
        TTlsServer otherName(Authority.Issue({"carambole.example.org"}));
        EXPECT_EQ(Failure(Http, Url(otherName)),
                  std::string(Refused) + "Il a été délivré pour un autre nom que 127.0.0.1.");
    }
}

// Plain HTTP where https is asked: no socket error, a French sentence, the
// code and the library's words kept for support.
TEST(SecureConnection, AServerThatDoesNotSpeakHttpsIsSaidInFrench) {
    fedserver::TFedServer server;
    server.Start(0);
    THttpTransport http;
    const std::string text =
        Failure(http, "https://127.0.0.1:" + std::to_string(server.Port()) + "/3bandes/execall/getlists.php");
    server.Stop();
    const std::string sentence =
        "La connexion sécurisée (https) avec le serveur a échoué : à cette adresse, le serveur ne parle pas https, "
        "ou il a refusé la version du protocole.\r\nDétail technique (code 35) : ";
    EXPECT_EQ(text.substr(0, sentence.size()), sentence);
    EXPECT_GT(text.size(), sentence.size()) << "the library's detail";
    EXPECT_EQ(text.find("Erreur de socket"), std::string::npos);
}

// What cannot be produced here at will: the codes OpenSSL gives and the
// texts libcurl writes, mapped directly.
TEST(SecureConnection, CodesAndDetailsMapToTheirSentences) {
    const std::string host = "www.example-federation.org";
    EXPECT_EQ(TransportErrorText(CURLE_PEER_FAILED_VERIFICATION, X509_V_ERR_HOSTNAME_MISMATCH, "", 0, host),
              std::string(Refused) + "Il a été délivré pour un autre nom que www.example-federation.org.");
    EXPECT_EQ(TransportErrorText(CURLE_PEER_FAILED_VERIFICATION, X509_V_OK,
                                 "SSL: no alternative certificate subject name matches target host name "
                                 "'www.example-federation.org'",
                                 0, host),
              std::string(Refused) + "Il a été délivré pour un autre nom que www.example-federation.org.");
    EXPECT_EQ(TransportErrorText(CURLE_PEER_FAILED_VERIFICATION, X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT, "", 0, host),
              std::string(Refused) + "Il a été délivré par une autorité de certification inconnue de cet ordinateur.");
    EXPECT_EQ(TransportErrorText(CURLE_PEER_FAILED_VERIFICATION, X509_V_ERR_CERT_REVOKED,
                                 "SSL certificate problem: certificate revoked", 0, host),
              std::string(Refused) + "Détail technique : SSL certificate problem: certificate revoked");
    EXPECT_EQ(TransportErrorText(CURLE_PEER_FAILED_VERIFICATION, X509_V_OK, "", 0, host),
              "Le certificat du serveur n'est pas valide.");
    EXPECT_EQ(TransportErrorText(CURLE_SSL_CONNECT_ERROR, 0, "", 0, host).rfind("La connexion sécurisée (https)", 0),
              0u);
    // The other failures keep their texts.
    EXPECT_EQ(TransportErrorText(CURLE_COULDNT_RESOLVE_HOST, 0, "", 0, host),
              "Erreur de socket # 11001\r\nHôte introuvable.");
    EXPECT_EQ(TransportErrorText(CURLE_SSL_CACERT_BADFILE, 0, "", 0, host),
              "Le certificat du serveur n'est pas valide.");
}

}  // namespace
}  // namespace tavlor
