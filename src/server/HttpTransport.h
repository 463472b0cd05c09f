#pragma once

#include "text/Error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavlor {

// The cookies of one Set-Cookie2 header value (one or more, separated by
// commas) as lines of the Netscape cookie-file format, which the transport's
// jar takes. A cookie without Domain belongs to the request's host alone, one
// without Path to the default path of the request (its path up to the last
// "/"); a cookie whose Domain the host is not within is dropped. Max-Age
// counts from now (Unix seconds); 0 removes the cookie; without it the cookie
// lasts the run.
std::vector<std::string> SetCookie2Lines(std::string_view value, const std::string& requestUrl, std::int64_t now);

// A reply whose status is not 2xx. Its text is the status line as received;
// the status and the address a redirection names let the caller say more.
class THttpStatusError : public Error {
public:
    THttpStatusError(const std::string& statusLine, long status, std::string location)
        : Error(statusLine), Status(status), Location(std::move(location)) {}
    long Status;
    std::string Location;  // absolute; empty when the reply names none
};

// The French text of a failed transfer. curlCode is libcurl's result,
// verifyResult the certificate check's (OpenSSL's X509_V_* codes), details
// libcurl's own text, osError the system's error number, host the server's
// name as the address gives it.
std::string TransportErrorText(int curlCode, long verifyResult, const std::string& details, long osError,
                               const std::string& host);

// One HTTP/1.0 form post at a time, over libcurl's multi interface, so that
// the caller's window keeps processing its events while the server is
// awaited. Cookies set by any reply, through Set-Cookie or Set-Cookie2, are
// kept in memory for the whole run and sent back by domain and path. Redirections are not followed, no time-out
// applies, every exchange opens a fresh connection.
class THttpTransport {
public:
    struct THooks {
        std::function<void()> ProcessEvents;                    // between two polls of the connection
        std::function<void(const std::string& state)> OnState;  // "Connecté." and the like
    };

    THttpTransport();
    ~THttpTransport();
    THttpTransport(const THttpTransport&) = delete;
    THttpTransport& operator=(const THttpTransport&) = delete;

    // Posts the body with the form headers and answers the reply's body.
    // Throws tavlor::Error with a French text on a transport failure,
    // THttpStatusError for a status other than 2xx, and tavlor::Cancelled
    // when cancelled. A post asked while one is running (from an event
    // processed meanwhile) is refused.
    std::string Post(const std::string& url, const std::string& body, const THooks& hooks);
    // Whether the address is one the transport fetches: http:// or https://
    // (any case), nothing else (no file, no ftp), also after a redirection.
    static bool IsWebAddress(const std::string& url);
    // Closes the connection at once; the running post then ends with Cancelled.
    void Cancel();
    bool Busy() const;
    // The certificate authorities trusted for https from the next post on,
    // for the rest of the run: a PEM file, instead of the system's ones.
    void SetCertificateAuthorities(const std::string& pemFile);

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl_;
};

}  // namespace tavlor
