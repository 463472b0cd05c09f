#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The stand-in federation server: HTTP on 127.0.0.1 only, the four disciplines
// under /3bandes, /cadre, /bande and /libre, plus a control side that only the
// tests use (misbehaviour modes, reset, request log).
namespace tavlor::fedserver {

struct TFedServerOptions {
    bool Large = false;  // also serve the large competition under /3bandes
};

// How the next requests are mistreated.
enum class TMode {
    Normal,
    Delay,       // processed, then answered after DelayMs
    Drop,        // read, not processed, connection closed without a reply
    Status,      // not processed, answered with status Status (404 by default)
    Redirect,    // not processed, answered 302 (or Status when 3xx) with a Location
    Malformed,   // processed; every data record but the titles loses its last field
    NonNumeric,  // processed; field Field of every data record but the titles gets an "x"
    NoEnvelope,  // processed; the page carries neither envelope
    DataError,   // processed; the page carries both envelopes
    TitlesOnly,  // processed; a list keeps its title records alone
    EmptyField,  // processed; field Field of every data record but the titles is emptied
    SetCookie2,  // processed; the reply's cookies are set through Set-Cookie2 (quoted value, no Path)
};

struct TMisbehaviour {
    TMode Mode = TMode::Normal;
    int DelayMs = 2000;
    int Status = 404;
    int Field = 0;
    int Record = 0;      // Malformed: only this data record (from 1, titles not counted); 0: every one
    int Count = 0;       // the next Count matching requests, then normal; 0 = until changed
    std::string Script;  // only requests to this script ("getlists.php", "printpoules.php", ...)
    std::string Action;  // only requests whose ACTION field is this
    // Where a redirection leads; empty: /<discipline>/execall/indisponible.php
    std::string Location;
};

// One request as received: Raw is every byte read from the connection for it
// (request line, headers, blank line, body).
struct TLoggedRequest {
    std::uint64_t Seq = 0;
    std::string Method;
    std::string Target;
    std::string Body;
    std::string Raw;
};

class TFedServer {
public:
    explicit TFedServer(TFedServerOptions options = {});
    ~TFedServer();
    TFedServer(const TFedServer&) = delete;
    TFedServer& operator=(const TFedServer&) = delete;

    // Binds 127.0.0.1:port (0: a free port) and serves on a thread of its own.
    // Answers the port; throws tavlor::Error when it cannot listen.
    int Start(int port = 0);
    void Stop();
    int Port() const;
    // "http://127.0.0.1:<port>/<discipline>"
    std::string BaseUrl(std::string_view discipline) const;

    // Sample data back, sessions ended, normal mode, log emptied.
    void Reset();
    void SetMisbehaviour(const TMisbehaviour& misbehaviour);
    // Oldest first; the last kLogCapacity requests outside the control side.
    std::vector<TLoggedRequest> Requests() const;
    void ClearRequests();

    static constexpr std::size_t kLogCapacity = 1000;

private:
    class TImpl;
    std::unique_ptr<TImpl> impl_;
};

// Reads a control form (mode=delay&ms=2000&count=1&script=...&action=...) into
// a misbehaviour; false with the reason when a field is wrong.
bool ParseMisbehaviour(std::string_view body, TMisbehaviour& out, std::string& reason);

}  // namespace tavlor::fedserver
