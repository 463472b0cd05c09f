#include "server/TlsServer.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <stdexcept>

namespace tavlor::test {

namespace {

struct TKeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct TCertFree {
    void operator()(X509* x) const { X509_free(x); }
};
using TKey = std::unique_ptr<EVP_PKEY, TKeyFree>;
using TCert = std::unique_ptr<X509, TCertFree>;

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test certificates: ") + what);
    }
}

TKey NewKey() {
    TKey key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "key");
    return key;
}

void AddExtension(X509* cert, X509V3_CTX& ctx, int nid, const std::string& value) {
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    Check(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

bool IsAddress(const std::string& name) {
    in_addr a{};
    return ::inet_pton(AF_INET, name.c_str(), &a) == 1;
}

// A certificate for subject, valid between now + fromDays and now + toDays;
// issued by issuer (signed with issuerKey), or by itself when issuer is null.
TCert MakeCert(EVP_PKEY* key, const std::string& subject, long fromDays, long toDays, bool authority, X509* issuer,
               EVP_PKEY* issuerKey) {
    static std::atomic<long> serial{1000};
    TCert cert(X509_new());
    Check(cert != nullptr, "certificate");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), fromDays * 86400);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), toDays * 86400);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(subject.c_str()), -1,
                               -1, 0);
    X509_set_issuer_name(cert.get(), issuer != nullptr ? X509_get_subject_name(issuer) : name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer != nullptr ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
    if (authority) {
        AddExtension(cert.get(), ctx, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert.get(), ctx, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert.get(), ctx, NID_subject_alt_name, (IsAddress(subject) ? "IP:" : "DNS:") + subject);
    }
    AddExtension(cert.get(), ctx, NID_subject_key_identifier, "hash");
    Check(X509_sign(cert.get(), issuerKey != nullptr ? issuerKey : key, EVP_sha256()) > 0, "signature");
    return cert;
}

std::string Pem(X509* cert) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<std::size_t>(size));
    BIO_free(bio);
    return pem;
}

std::string Pem(EVP_PKEY* key) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<std::size_t>(size));
    BIO_free(bio);
    return pem;
}

}  // namespace

struct TTestAuthority::TImpl {
    TKey Key;
    TCert Cert;
};

TTestAuthority::TTestAuthority(const std::string& name) : Impl_(std::make_unique<TImpl>()) {
    Impl_->Key = NewKey();
    Impl_->Cert = MakeCert(Impl_->Key.get(), name, -1, 365, true, nullptr, nullptr);
}

TTestAuthority::~TTestAuthority() = default;

std::string TTestAuthority::CertificatePem() const {
    return Pem(Impl_->Cert.get());
}

TPemPair TTestAuthority::Issue(const TServerCert& wanted) const {
    TKey key = NewKey();
    TCert cert =
        MakeCert(key.get(), wanted.Name, wanted.FromDays, wanted.ToDays, false, Impl_->Cert.get(), Impl_->Key.get());
    return {Pem(cert.get()), Pem(key.get())};
}

TPemPair TTestAuthority::SelfSigned(const TServerCert& wanted) {
    TKey key = NewKey();
    TCert cert = MakeCert(key.get(), wanted.Name, wanted.FromDays, wanted.ToDays, false, nullptr, nullptr);
    return {Pem(cert.get()), Pem(key.get())};
}

// ---- the server

struct TTlsServer::TImpl {
    SSL_CTX* Ctx = nullptr;
    ~TImpl() { SSL_CTX_free(Ctx); }
};

TTlsServer::TTlsServer(const TPemPair& server, const std::string& chainPem) : Impl_(std::make_unique<TImpl>()) {
    Impl_->Ctx = SSL_CTX_new(TLS_server_method());
    Check(Impl_->Ctx != nullptr, "context");
    BIO* bio = BIO_new_mem_buf(server.Certificate.data(), static_cast<int>(server.Certificate.size()));
    TCert cert(PEM_read_bio_X509(bio, nullptr, nullptr, nullptr));
    BIO_free(bio);
    bio = BIO_new_mem_buf(server.Key.data(), static_cast<int>(server.Key.size()));
    TKey key(PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr));
    BIO_free(bio);
    Check(cert && key, "server PEM");
    Check(SSL_CTX_use_certificate(Impl_->Ctx, cert.get()) == 1, "server certificate");
    Check(SSL_CTX_use_PrivateKey(Impl_->Ctx, key.get()) == 1, "server key");
    if (!chainPem.empty()) {
        bio = BIO_new_mem_buf(chainPem.data(), static_cast<int>(chainPem.size()));
        while (X509* issuer = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
            SSL_CTX_add0_chain_cert(Impl_->Ctx, issuer);  // owned by the context
        }
        BIO_free(bio);
        ERR_clear_error();  // the end of the PEM text
    }

    // A client that refuses the certificate closes first: writing the alert must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    Listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Check(::bind(Listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0, "bind");
    Check(::listen(Listener_, 8) == 0, "listen");
    socklen_t len = sizeof addr;
    ::getsockname(Listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    Port_ = ntohs(addr.sin_port);
    Thread_ = std::thread([this] { Serve(); });
}

TTlsServer::~TTlsServer() {
    Stop_ = true;
    Thread_.join();
    ::close(Listener_);
}

void TTlsServer::Serve() {
    while (!Stop_) {
        pollfd p{Listener_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        const int s = ::accept(Listener_, nullptr, nullptr);
        if (s < 0) {
            continue;
        }
        timeval wait{5, 0};  // a client that stops answering does not hold the test
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        SSL* ssl = SSL_new(Impl_->Ctx);
        SSL_set_fd(ssl, s);
        if (SSL_accept(ssl) == 1) {
            ++Served_;
            // The request: its head, then as many bytes of body as it announces.
            std::string request;
            char buffer[4096];
            std::size_t wanted = std::string::npos;
            while (request.size() < wanted) {
                const int n = SSL_read(ssl, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                request.append(buffer, static_cast<std::size_t>(n));
                const std::size_t end = request.find("\r\n\r\n");
                if (end != std::string::npos && wanted == std::string::npos) {
                    const std::size_t at = request.find("Content-Length: ");
                    wanted = end + 4 + (at != std::string::npos && at < end ? std::stoul(request.substr(at + 16)) : 0);
                }
            }
            const std::string page = "<html><body><DATAS_TX>ok</DATAS_TX></body></html>";
            const std::string reply =
                "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
                "\r\n\r\n" + page;
            SSL_write(ssl, reply.data(), static_cast<int>(reply.size()));
            SSL_shutdown(ssl);
        }
        SSL_free(ssl);
        ERR_clear_error();
        ::close(s);
    }
}

}  // namespace tavlor::test
