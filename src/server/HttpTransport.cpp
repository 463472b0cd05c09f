#include "server/HttpTransport.h"

#include "server/wwwMessages.h"
#include "text/Error.h"

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace tavlor {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string AddressText(const curl_sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address->addr);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    } else if (address->family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address->addr);
        ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
    }
    return text;
}

std::string UrlPart(const std::string& url, CURLUPart which) {
    CURLU* u = curl_url();
    std::string text;
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* part = nullptr;
        if (curl_url_get(u, which, &part, 0) == CURLUE_OK && part != nullptr) {
            text = part;
            curl_free(part);
        }
    }
    curl_url_cleanup(u);
    return text;
}

std::string HostOf(const std::string& url) {
    return UrlPart(url, CURLUPART_HOST);
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A quoted string's content (backslash escapes resolved), or the text itself.
std::string Unquote(std::string_view s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') {
        return std::string(s);
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '\\' && i + 2 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

// Pieces of s between the separators that stand outside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view s, char separator) {
    std::vector<std::string_view> pieces;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') {
            quoted = !quoted;
        } else if (s[i] == '\\' && quoted && i + 1 < s.size()) {
            ++i;
        } else if (s[i] == separator && !quoted) {
            pieces.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(s.substr(start));
    return pieces;
}

// The default path of a cookie: the request's path up to, not including, its last "/".
std::string DefaultPath(const std::string& path) {
    const std::size_t last = path.rfind('/');
    if (path.empty() || path.front() != '/' || last == 0 || last == std::string::npos) {
        return "/";
    }
    return path.substr(0, last);
}

bool FitsNetscapeLine(std::string_view s) {
    return s.find_first_of("\t\r\n") == std::string_view::npos;
}

// Why a certificate was refused, from the check's code. libcurl checks the
// name itself, after a chain it found sound, and then leaves the code of an
// earlier connection: its text comes first.
std::string CertificateCause(long verifyResult, const std::string& details, const std::string& host) {
    if (details.find("target host name") != std::string::npos) {
        return msg::www::CertificateOtherName(host);
    }
    switch (verifyResult) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return msg::www::CertificateExpired;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return msg::www::CertificateNotYetValid;
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
            return msg::www::CertificateSelfSigned;
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return msg::www::CertificateUnknownAuthority;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return msg::www::CertificateOtherName(host);
        default:
            break;
    }
    return details.empty() ? std::string() : msg::www::TechnicalDetail(details);
}

}  // namespace

std::string TransportErrorText(int curlCode, long verifyResult, const std::string& details, long osError,
                               const std::string& host) {
    const auto code = static_cast<CURLcode>(curlCode);
    const std::string detail = details.empty() ? curl_easy_strerror(code) : details;
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return msg::www::SocketError(11001, msg::www::HostNotFound);
        case CURLE_COULDNT_CONNECT:
            return msg::www::SocketError(osError != 0 ? static_cast<int>(osError) : 10061, msg::www::ConnectionRefused);
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
            return msg::www::ClosedWithoutReply();
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return msg::www::SocketError(osError != 0 ? static_cast<int>(osError) : 10054, msg::www::ConnectionReset);
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_ISSUER_ERROR: {
            const std::string cause = CertificateCause(verifyResult, details, host);
            return cause.empty() ? std::string(msg::www::CertificateRefused)
                                 : std::string(msg::www::CertificateRefused) + "\r\n" + cause;
        }
        case CURLE_SSL_CACERT_BADFILE:
            return msg::www::CertificateRefused;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CIPHER:
            return msg::www::SecureConnectionFailed(curlCode, detail);
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return msg::www::BadAddress;
        case CURLE_OUT_OF_MEMORY:
            return msg::www::NoMemory;
        default:
            return msg::www::SocketError(curlCode, detail);
    }
}

std::vector<std::string> SetCookie2Lines(std::string_view value, const std::string& requestUrl, std::int64_t now) {
    const std::string host = Lower(HostOf(requestUrl));
    const std::string defaultPath = DefaultPath(UrlPart(requestUrl, CURLUPART_PATH));
    std::vector<std::string> lines;
    for (std::string_view cookie : SplitOutsideQuotes(value, ',')) {
        const std::vector<std::string_view> parts = SplitOutsideQuotes(cookie, ';');
        const std::string_view pair = Trim(parts.front());
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos || Trim(pair.substr(0, eq)).empty()) {
            continue;
        }
        const std::string name(Trim(pair.substr(0, eq)));
        const std::string cookieValue(Trim(pair.substr(eq + 1)));  // sent back as received
        std::string domain = host, path = defaultPath;
        bool tailMatch = false, secure = false, dropped = false;
        std::int64_t expires = 0;  // for the run
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const std::string_view attribute = Trim(parts[i]);
            const std::size_t at = attribute.find('=');
            const std::string key = Lower(Trim(attribute.substr(0, at)));
            const std::string text =
                at == std::string_view::npos ? std::string() : Unquote(Trim(attribute.substr(at + 1)));
            if (key == "domain" && !text.empty()) {
                std::string wanted = Lower(text);
                if (wanted.front() != '.') wanted.insert(0, ".");
                // The host must lie within the domain it names.
                const bool within = host.size() > wanted.size() &&
                                    host.compare(host.size() - wanted.size(), wanted.size(), wanted) == 0;
                if (!within && host != wanted.substr(1)) {
                    dropped = true;
                }
                domain = wanted;
                tailMatch = true;
            } else if (key == "path" && !text.empty() && text.front() == '/') {
                path = text;
            } else if (key == "max-age") {
                char* end = nullptr;
                const long long seconds = std::strtoll(text.c_str(), &end, 10);
                if (!text.empty() && end != nullptr && *end == '\0' && seconds >= 0) {
                    expires = seconds == 0 ? 1 : now + std::min<long long>(seconds, INT_MAX);
                }
            } else if (key == "secure") {
                secure = true;
            }
        }
        if (dropped || !FitsNetscapeLine(name) || !FitsNetscapeLine(cookieValue) || !FitsNetscapeLine(path)) {
            continue;
        }
        lines.push_back(domain + "\t" + (tailMatch ? "TRUE" : "FALSE") + "\t" + path + "\t" +
                        (secure ? "TRUE" : "FALSE") + "\t" + std::to_string(expires) + "\t" + name + "\t" +
                        cookieValue);
    }
    return lines;
}

struct THttpTransport::TImpl {
    CURL* Easy = nullptr;
    CURLM* Multi = nullptr;
    bool Busy = false;
    bool Cancelled = false;
    bool Attached = false;                   // the easy handle is in the multi handle
    curl_socket_t Socket = CURL_SOCKET_BAD;  // opened by us, not yet closed
    const THooks* Hooks = nullptr;
    std::string Host;
    std::string Body;
    std::string StatusLine;
    std::string Authorities;            // PEM file trusted instead of the system's; empty: the system's
    std::vector<std::string> Cookies2;  // Set-Cookie2 values of the reply, for the jar
    char ErrorBuffer[CURL_ERROR_SIZE] = {};

    void State(const std::string& text) const {
        if (Hooks != nullptr && Hooks->OnState) {
            Hooks->OnState(text);
        }
    }

    void Detach() {
        if (Attached) {
            curl_multi_remove_handle(Multi, Easy);
            Attached = false;
        }
        // Removed while connecting, the handle closes its socket without
        // calling us back: the two states are told here instead.
        if (Socket != CURL_SOCKET_BAD) {
            Socket = CURL_SOCKET_BAD;
            State(msg::www::Disconnecting);
            State(msg::www::Disconnected);
        }
    }

    static size_t Write(char* data, size_t size, size_t count, void* self) {
        static_cast<TImpl*>(self)->Body.append(data, size * count);
        return size * count;
    }

    static size_t Header(char* data, size_t size, size_t count, void* self) {
        std::string line(data, size * count);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.pop_back();
        }
        auto* impl = static_cast<TImpl*>(self);
        if (line.rfind("HTTP/", 0) == 0) {
            impl->StatusLine = line;
            impl->Cookies2.clear();  // a new reply (after an interim one)
        } else if (line.size() > 12 && Lower(std::string_view(line).substr(0, 12)) == "set-cookie2:") {
            // libcurl keeps Set-Cookie alone: these go into its jar once the reply is in.
            impl->Cookies2.push_back(line.substr(12));
        }
        return size * count;
    }

    static int ResolverStart(void*, void*, void* self) {
        auto* impl = static_cast<TImpl*>(self);
        impl->State(msg::www::Resolving(impl->Host));
        return 0;
    }

    static curl_socket_t OpenSocket(void* self, curlsocktype, curl_sockaddr* address) {
        auto* impl = static_cast<TImpl*>(self);
        impl->State(msg::www::Connecting(AddressText(address)));
        const curl_socket_t s = ::socket(address->family, address->socktype, address->protocol);
        if (s != CURL_SOCKET_BAD) {
            impl->Socket = s;
        }
        return s;
    }

    static int CloseSocket(void* self, curl_socket_t s) {
        auto* impl = static_cast<TImpl*>(self);
        impl->State(msg::www::Disconnecting);
        const int result = ::close(s);
        if (impl->Socket == s) {
            impl->Socket = CURL_SOCKET_BAD;
        }
        impl->State(msg::www::Disconnected);
        return result;
    }

    static int PreRequest(void* self, char*, char*, int, int) {
        static_cast<TImpl*>(self)->State(msg::www::Connected);
        return CURL_PREREQFUNC_OK;
    }
};

THttpTransport::THttpTransport() : Impl_(std::make_unique<TImpl>()) {
    GlobalInit();
    Impl_->Easy = curl_easy_init();
    Impl_->Multi = curl_multi_init();
    if (Impl_->Easy == nullptr || Impl_->Multi == nullptr) {
        throw Error(msg::www::NoMemory);
    }
    // Cookies in memory, kept by this one handle for the whole run.
    curl_easy_setopt(Impl_->Easy, CURLOPT_COOKIEFILE, "");
}

THttpTransport::~THttpTransport() {
    Impl_->Hooks = nullptr;
    Impl_->Detach();
    curl_multi_cleanup(Impl_->Multi);
    curl_easy_cleanup(Impl_->Easy);
}

bool THttpTransport::Busy() const {
    return Impl_->Busy;
}

void THttpTransport::SetCertificateAuthorities(const std::string& pemFile) {
    Impl_->Authorities = pemFile;
}

void THttpTransport::Cancel() {
    if (!Impl_->Busy) {
        return;
    }
    Impl_->Cancelled = true;
    Impl_->Detach();
}

bool THttpTransport::IsWebAddress(const std::string& url) {
    std::string scheme;
    for (const char c : url) {
        if (c == ':') break;
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return (scheme == "http" || scheme == "https") && url.compare(scheme.size(), 3, "://") == 0;
}

std::string THttpTransport::Post(const std::string& url, const std::string& body, const THooks& hooks) {
    TImpl& s = *Impl_;
    if (s.Busy) {
        throw Error(msg::www::AlreadyExchanging);
    }
    // Only the web: an address of a file or of another protocol is never
    // fetched, whatever the settings file holds.
    if (!IsWebAddress(url)) {
        throw Error(msg::www::NotAWebAddress(url));
    }
    CURL* e = s.Easy;
    s.Busy = true;
    s.Cancelled = false;
    s.Hooks = &hooks;
    s.Host = HostOf(url);
    s.Body.clear();
    s.StatusLine.clear();
    s.Cookies2.clear();
    s.ErrorBuffer[0] = '\0';

    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
    headers = curl_slist_append(headers, "Accept: text/html, */*");
    headers = curl_slist_append(headers, "User-Agent: Mozilla/3.0 (compatible; Indy Library)");
    headers = curl_slist_append(headers, "Expect:");
    struct TCleanup {
        TImpl& S;
        curl_slist* Headers;
        ~TCleanup() {
            S.Hooks = nullptr;
            S.Detach();
            curl_slist_free_all(Headers);
            S.Busy = false;
        }
    } cleanup{s, headers};

    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(e, CURLOPT_POST, 1L);
    curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, body.data());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(e, CURLOPT_DNS_CACHE_TIMEOUT, 0L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(INT_MAX));
    curl_easy_setopt(e, CURLOPT_TIMEOUT, 0L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, s.ErrorBuffer);
    if (!s.Authorities.empty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, s.Authorities.c_str());
        curl_easy_setopt(e, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &TImpl::Write);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &s);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &TImpl::Header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &s);
    curl_easy_setopt(e, CURLOPT_RESOLVER_START_FUNCTION, &TImpl::ResolverStart);
    curl_easy_setopt(e, CURLOPT_RESOLVER_START_DATA, &s);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &TImpl::OpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, &s);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &TImpl::CloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, &s);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &TImpl::PreRequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &s);

    curl_multi_add_handle(s.Multi, e);
    s.Attached = true;
    CURLcode result = CURLE_OK;
    while (true) {
        int running = 0;
        curl_multi_perform(s.Multi, &running);
        int queued = 0;
        bool done = false;
        while (CURLMsg* msg = curl_multi_info_read(s.Multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done) {
            break;
        }
        if (hooks.ProcessEvents) {
            hooks.ProcessEvents();
        }
        if (s.Cancelled) {
            throw Cancelled(msg::www::ClosedGracefully);
        }
        curl_multi_poll(s.Multi, nullptr, 0, 20, nullptr);
    }
    // Whatever the status, as libcurl does with Set-Cookie.
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    for (const std::string& value : s.Cookies2) {
        for (const std::string& cookie : SetCookie2Lines(value, url, now)) {
            curl_easy_setopt(e, CURLOPT_COOKIELIST, cookie.c_str());
        }
    }
    if (result != CURLE_OK) {
        long osError = 0;
        curl_easy_getinfo(e, CURLINFO_OS_ERRNO, &osError);
        long verifyResult = X509_V_OK;
        curl_easy_getinfo(e, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
        throw Error(TransportErrorText(result, verifyResult, s.ErrorBuffer, osError, s.Host));
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) {
        // Not followed, but where it leads is worth telling (libcurl resolves a relative one).
        char* location = nullptr;
        curl_easy_getinfo(e, CURLINFO_REDIRECT_URL, &location);
        throw THttpStatusError(s.StatusLine.empty() ? "HTTP " + std::to_string(status) : s.StatusLine, status,
                               location != nullptr ? location : "");
    }
    return std::move(s.Body);
}

}  // namespace tavlor
