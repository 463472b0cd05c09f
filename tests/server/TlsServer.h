#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tavlor::test {

// A server certificate and its key, PEM.
struct TPemPair {
    std::string Certificate;
    std::string Key;
};

// Certificates for the https tests, made in memory: a test authority, the
// server certificates it issues, and certificates that sign themselves.
class TTestAuthority {
public:
    // An authority named name, valid from yesterday for a year.
    explicit TTestAuthority(const std::string& name = "Autorite de test Tavlor");
    ~TTestAuthority();
    TTestAuthority(const TTestAuthority&) = delete;
    TTestAuthority& operator=(const TTestAuthority&) = delete;

    std::string CertificatePem() const;

    struct TServerCert {
        std::string Name = "127.0.0.1";  // subject and alternative name (an IP address or a DNS name)
        long FromDays = -1;              // valid from now plus this many days
        long ToDays = 30;                // to now plus this many days
    };
    TPemPair Issue(const TServerCert& wanted) const;
    // The same, signed by its own key.
    static TPemPair SelfSigned(const TServerCert& wanted);

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl_;
};

// A one-page https server on a free port of 127.0.0.1: each connection whose
// handshake succeeds gets a page with a data envelope holding "ok"; those the
// client refuses are closed.
class TTlsServer {
public:
    // chainPem: certificates sent after the server's own (its issuers).
    TTlsServer(const TPemPair& server, const std::string& chainPem = {});
    ~TTlsServer();
    TTlsServer(const TTlsServer&) = delete;
    TTlsServer& operator=(const TTlsServer&) = delete;

    int Port() const { return Port_; }
    // Connections whose handshake succeeded.
    int Served() const { return Served_; }

private:
    void Serve();

    struct TImpl;
    std::unique_ptr<TImpl> Impl_;
    int Listener_ = -1;
    int Port_ = 0;
    std::atomic<bool> Stop_{false};
    std::atomic<int> Served_{0};
    std::thread Thread_;
};

}  // namespace tavlor::test
