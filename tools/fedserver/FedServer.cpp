#include "fedserver/FedServer.h"

#include "fedserver/FedServerMessages.h"
#include "fedserver/FedState.h"
#include "fedserver/FedWire.h"
#include "text/Cp1252.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace tavlor::fedserver {

namespace {

constexpr const char* kHtml = "text/html; charset=windows-1252";
constexpr const char* kPlain = "text/plain; charset=utf-8";
constexpr int kSocketTimeoutMs = 5000;

// What one connection carries besides the request: every byte httplib read,
// so that the log holds exactly what the client sent, and whether the reply is
// to be withheld.
struct TConnection {
    std::string Raw;
    bool Drop = false;
    bool Logged = false;
};

// The connection being served on this worker thread; httplib runs the
// handlers on the thread that reads the request.
thread_local TConnection* tConnection = nullptr;

bool WaitFor(int fd, short events) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, kSocketTimeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0;
}

void Address(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int r = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len)
                       : ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    if (r != 0 || addr.ss_family != AF_INET) {
        return;
    }
    const auto* in = reinterpret_cast<const sockaddr_in*>(&addr);
    char buf[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf);
    ip = buf;
    port = ntohs(in->sin_port);
}

// A socket stream that records what it hands to httplib.
class TRecordingStream final : public httplib::Stream {
public:
    TRecordingStream(int fd, TConnection& connection) : fd_(fd), connection_(connection) {}

    bool is_readable() const override { return off_ < len_ || WaitFor(fd_, POLLIN); }
    bool is_writable() const override { return !connection_.Drop && WaitFor(fd_, POLLOUT); }

    ssize_t read(char* ptr, size_t size) override {
        if (off_ == len_) {
            if (!WaitFor(fd_, POLLIN)) {
                return -1;
            }
            ssize_t n;
            do {
                n = ::recv(fd_, buffer_, sizeof buffer_, 0);
            } while (n < 0 && errno == EINTR);
            if (n <= 0) {
                return n;
            }
            off_ = 0;
            len_ = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min(size, len_ - off_);
        std::memcpy(ptr, buffer_ + off_, n);
        connection_.Raw.append(ptr, n);
        off_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (connection_.Drop) {
            return -1;
        }
        std::size_t sent = 0;
        while (sent < size) {
            if (!WaitFor(fd_, POLLOUT)) {
                return -1;
            }
            const ssize_t n = ::send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return -1;
            }
            sent += static_cast<std::size_t>(n);
        }
        return static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(fd_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { Address(fd_, false, ip, port); }
    socket_t socket() const override { return fd_; }

private:
    int fd_;
    TConnection& connection_;
    char buffer_[4096];
    std::size_t off_ = 0;
    std::size_t len_ = 0;
};

// One request per connection, as the client's HTTP/1.0 posts are, each read
// through the recording stream.
class THttpServer final : public httplib::Server {
private:
    bool process_and_close_socket(socket_t sock) override {
        TConnection connection;
        tConnection = &connection;
        bool ok = false;
        {
            TRecordingStream stream(sock, connection);
            bool closed = false;
            ok = process_request(stream, true, closed, nullptr);
        }
        tConnection = nullptr;
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return ok;
    }
};

std::optional<TMode> ModeNamed(std::string_view name, int& status) {
    if (name == "normal") return TMode::Normal;
    if (name == "delay") return TMode::Delay;
    if (name == "drop") return TMode::Drop;
    if (name == "status") return TMode::Status;
    if (name == "status404") {
        status = 404;
        return TMode::Status;
    }
    if (name == "status500") {
        status = 500;
        return TMode::Status;
    }
    if (name == "redirect" || name == "redirect302") return TMode::Redirect;
    if (name == "redirect301") {
        status = 301;
        return TMode::Redirect;
    }
    if (name == "malformed") return TMode::Malformed;
    if (name == "nonnumeric") return TMode::NonNumeric;
    if (name == "noenvelope") return TMode::NoEnvelope;
    if (name == "dataerror") return TMode::DataError;
    if (name == "titlesonly") return TMode::TitlesOnly;
    if (name == "emptyfield") return TMode::EmptyField;
    if (name == "setcookie2") return TMode::SetCookie2;
    return std::nullopt;
}

// The cookie "NAME=value; Path=/" in the other header's form: the value
// quoted, a version, no path (the client then takes the request's default path).
std::string Cookie2(const std::string& cookie) {
    const std::string pair = cookie.substr(0, cookie.find(';'));
    const std::size_t eq = pair.find('=');
    return pair.substr(0, eq) + "=\"" + pair.substr(eq + 1) + "\"; Version=\"1\"";
}

std::string CookieHeader(const httplib::Request& req) {
    std::string cookies;
    const std::size_t n = req.get_header_value_count("Cookie");
    for (std::size_t i = 0; i < n; ++i) {
        if (!cookies.empty()) {
            cookies += "; ";
        }
        cookies += req.get_header_value("Cookie", i);
    }
    return cookies;
}

}  // namespace

bool ParseMisbehaviour(std::string_view body, TMisbehaviour& out, std::string& reason) {
    const std::optional<TForm> form = DecodeForm(body);
    if (!form) {
        reason = "broken form";
        return false;
    }
    TMisbehaviour m;
    const std::string* mode = FindField(*form, "mode");
    if (mode == nullptr) {
        reason = "mode missing";
        return false;
    }
    const std::optional<TMode> named = ModeNamed(*mode, m.Status);
    if (!named) {
        reason = "unknown mode: " + *mode;
        return false;
    }
    m.Mode = *named;
    struct TNumber {
        const char* Name;
        int* Target;
        int Low, High;
    };
    for (const TNumber& n : {TNumber{"ms", &m.DelayMs, 0, 600000}, TNumber{"code", &m.Status, 100, 599},
                             TNumber{"count", &m.Count, 0, 1000000}, TNumber{"field", &m.Field, 0, 100},
                             TNumber{"record", &m.Record, 0, 1000000}}) {
        if (const std::string* v = FindField(*form, n.Name)) {
            const std::optional<std::int32_t> value = text::ParseInt32(*v);
            if (!value || *value < n.Low || *value > n.High) {
                reason = std::string("bad ") + n.Name + ": " + *v;
                return false;
            }
            *n.Target = *value;
        }
    }
    if (const std::string* v = FindField(*form, "script")) {
        m.Script = *v;
    }
    if (const std::string* v = FindField(*form, "action")) {
        m.Action = *v;
    }
    if (const std::string* v = FindField(*form, "location")) {
        m.Location = *v;
    }
    out = m;
    return true;
}

class TFedServer::TImpl {
public:
    explicit TImpl(TFedServerOptions options) : state_(options.Large) { Routes(); }

    ~TImpl() { Stop(); }

    int Start(int port) {
        if (thread_.joinable()) {
            return port_;
        }
        server_.set_socket_options([](socket_t sock) {
            // Not SO_REUSEPORT: a port already taken must be refused.
            int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        if (port == 0) {
            port_ = server_.bind_to_any_port("127.0.0.1");
        } else {
            port_ = server_.bind_to_port("127.0.0.1", port) ? port : -1;
        }
        if (port_ <= 0) {
            throw Error(msg::fedserver::CannotListen(text::IntToStr(port)));
        }
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // The listening loop marks itself running when it starts: a stop asked
        // before that would be overridden and the thread never end.
        while (!server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return port_;
    }

    void Stop() {
        {
            std::lock_guard lock(waitMutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            server_.stop();
            thread_.join();
        }
    }

    int Port() const { return port_; }

    void Reset() {
        std::lock_guard lock(mutex_);
        state_.Reset();
        misbehaviour_ = {};
        log_.clear();
    }

    void SetMisbehaviour(const TMisbehaviour& m) {
        std::lock_guard lock(mutex_);
        misbehaviour_ = m;
    }

    std::vector<TLoggedRequest> Requests() const {
        std::lock_guard lock(mutex_);
        return {log_.begin(), log_.end()};
    }

    void ClearRequests() {
        std::lock_guard lock(mutex_);
        log_.clear();
    }

private:
    void Routes() {
        server_.Post(R"(/(3bandes|cadre|bande|libre)/execall/(getlists|logdlg1|upd_poule|upd_match)\.php)",
                     [this](const httplib::Request& req, httplib::Response& res) { Script(req, res); });
        server_.Get(R"(/(3bandes|cadre|bande|libre)/ranking/printpoules\.php)",
                    [this](const httplib::Request& req, httplib::Response& res) { PrintPoules(req, res); });
        server_.Get("/", [this](const httplib::Request& req, httplib::Response& res) { Index(req, res); });

        server_.Post("/__control", [this](const httplib::Request& req, httplib::Response& res) {
            TMisbehaviour m;
            std::string reason;
            if (!ParseMisbehaviour(req.body, m, reason)) {
                res.status = 400;
                res.set_content(reason + "\n", kPlain);
                return;
            }
            SetMisbehaviour(m);
            res.set_content("ok\n", kPlain);
        });
        server_.Post("/__reset", [this](const httplib::Request&, httplib::Response& res) {
            Reset();
            res.set_content("ok\n", kPlain);
        });
        server_.Get("/__requests", [this](const httplib::Request&, httplib::Response& res) {
            const std::vector<TLoggedRequest> all = Requests();
            std::string out = "count " + text::IntToStr(static_cast<std::int64_t>(all.size())) + "\n";
            for (const TLoggedRequest& r : all) {
                out += "request " + text::IntToStr(static_cast<std::int64_t>(r.Seq)) + " " +
                       text::IntToStr(static_cast<std::int64_t>(r.Raw.size())) + "\n" + r.Raw + "\n";
            }
            res.set_content(out, "application/octet-stream");
        });
        server_.Get("/__requests/last", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            if (log_.empty()) {
                res.status = 404;
                res.set_content("no request\n", kPlain);
                return;
            }
            res.set_content(log_.back().Raw, "application/octet-stream");
        });
        server_.Post("/__requests/clear", [this](const httplib::Request&, httplib::Response& res) {
            ClearRequests();
            res.set_content("ok\n", kPlain);
        });

        server_.set_error_handler(
            httplib::Server::HandlerWithResponse([this](const httplib::Request& req, httplib::Response& res) {
                Record(req);
                if (res.body.empty()) {
                    res.set_content("<html><body><h1>" + text::IntToStr(res.status) + "</h1></body></html>\r\n", kHtml);
                }
                return httplib::Server::HandlerResponse::Handled;
            }));
        server_.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            std::string what = "?";
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            res.status = 500;
            res.set_content(
                "<html><body><h1>500</h1><p>" + text::Utf8ToCp1252(HtmlEscape(what)) + "</p></body></html>\r\n", kHtml);
        });
    }

    // Logs every request outside the control side, once.
    void Record(const httplib::Request& req) {
        TConnection* c = tConnection;
        if (c != nullptr) {
            if (c->Logged) {
                return;
            }
            c->Logged = true;
        }
        if (req.path.rfind("/__", 0) == 0) {
            return;
        }
        std::lock_guard lock(mutex_);
        log_.push_back({++seq_, req.method, req.target, req.body, c != nullptr ? c->Raw : std::string()});
        while (log_.size() > kLogCapacity) {
            log_.pop_front();
        }
    }

    // The misbehaviour that applies to this request, counting it down.
    TMisbehaviour Take(std::string_view script, std::string_view action) {
        std::lock_guard lock(mutex_);
        const TMisbehaviour& m = misbehaviour_;
        if (m.Mode == TMode::Normal || (!m.Script.empty() && m.Script != script) ||
            (!m.Action.empty() && m.Action != action)) {
            return {};
        }
        TMisbehaviour now = m;
        if (misbehaviour_.Count > 0 && --misbehaviour_.Count == 0) {
            misbehaviour_ = {};
        }
        return now;
    }

    // Status, redirection and drop answer before the script runs; true when
    // one of them did.
    bool Intercept(const TMisbehaviour& m, const httplib::Request& req, httplib::Response& res) {
        switch (m.Mode) {
            case TMode::Drop:
                if (tConnection != nullptr) {
                    tConnection->Drop = true;
                }
                res.status = 500;
                return true;
            case TMode::Status:
                res.status = m.Status;
                res.set_content("<html><body><h1>" + text::IntToStr(m.Status) + "</h1></body></html>\r\n", kHtml);
                return true;
            case TMode::Redirect:
                res.set_redirect(
                    m.Location.empty() ? "/" + req.matches[1].str() + "/execall/indisponible.php" : m.Location,
                    m.Status >= 300 && m.Status <= 399 ? m.Status : 302);
                return true;
            default:
                return false;
        }
    }

    void Delay(const TMisbehaviour& m) {
        if (m.Mode != TMode::Delay) {
            return;
        }
        std::unique_lock lock(waitMutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(m.DelayMs), [this] { return stopping_; });
    }

    void Script(const httplib::Request& req, httplib::Response& res) {
        Record(req);
        const std::string discipline = req.matches[1].str();
        const std::string script = req.matches[2].str() + ".php";
        const std::optional<TForm> form = DecodeForm(req.body);
        const std::string* action = form ? FindField(*form, "ACTION") : nullptr;
        const TMisbehaviour m = Take(script, action != nullptr ? std::string_view(*action) : std::string_view());
        if (Intercept(m, req, res)) {
            return;
        }
        TReply reply;
        if (!form) {
            reply = ErrorReply(msg::fedserver::BadRequest);
        } else {
            std::lock_guard lock(mutex_);
            reply = state_.Handle(discipline, script, *form, CookieHeader(req));
        }
        switch (m.Mode) {
            case TMode::Malformed:
                reply.Data = DropLastFields(reply.Data, reply.TitleRecords, m.Record);
                break;
            case TMode::NonNumeric:
                reply.Data = SpoilField(reply.Data, reply.TitleRecords, m.Field);
                break;
            case TMode::NoEnvelope:
                reply.HasData = reply.HasError = false;
                break;
            case TMode::TitlesOnly:
                reply.Data = KeepTitles(reply.Data, reply.TitleRecords);
                break;
            case TMode::EmptyField:
                reply.Data = EmptyField(reply.Data, reply.TitleRecords, m.Field);
                break;
            case TMode::DataError:
                if (!reply.HasError) {
                    reply.HasError = true;
                    reply.Error = text::Utf8ToCp1252(msg::fedserver::SimulatedError);
                }
                reply.HasData = true;
                break;
            default:
                break;
        }
        for (const std::string& cookie : reply.SetCookies) {
            if (m.Mode == TMode::SetCookie2) {
                res.set_header("Set-Cookie2", Cookie2(cookie));
            } else {
                res.set_header("Set-Cookie", cookie);
            }
        }
        res.set_content(EnvelopePage(reply), kHtml);
        Delay(m);
    }

    void PrintPoules(const httplib::Request& req, httplib::Response& res) {
        Record(req);
        const TMisbehaviour m = Take("printpoules.php", {});
        if (Intercept(m, req, res)) {
            return;
        }
        TPage page;
        {
            std::lock_guard lock(mutex_);
            page = state_.PrintPoules(req.matches[1].str(), req.get_param_value("param1"));
        }
        res.status = page.Status;
        res.set_content(page.Body, kHtml);
        Delay(m);
    }

    void Index(const httplib::Request& req, httplib::Response& res) {
        Record(req);
        std::string html =
            "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
            "charset=windows-1252\">\r\n<title>FFB</title>\r\n</head>\r\n<body>\r\n<ul>\r\n";
        std::lock_guard lock(mutex_);
        for (const TDiscipline& d : state_.Federation().Disciplines) {
            html += "<li>/" + d.Path + "<ul>\r\n";
            for (const TServedCompetition& c : d.Competitions) {
                html += "<li>" + text::IntToStr(c.Data.Id) + " " + HtmlEscape(c.Data.Title) + "</li>\r\n";
            }
            html += "</ul></li>\r\n";
        }
        html += "</ul>\r\n</body>\r\n</html>\r\n";
        res.set_content(text::Utf8ToCp1252(html), kHtml);
    }

    THttpServer server_;
    std::thread thread_;
    int port_ = -1;

    mutable std::mutex mutex_;  // state, misbehaviour and log
    TFedState state_;
    TMisbehaviour misbehaviour_;
    std::deque<TLoggedRequest> log_;
    std::uint64_t seq_ = 0;

    std::mutex waitMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

TFedServer::TFedServer(TFedServerOptions options) : impl_(std::make_unique<TImpl>(options)) {}

TFedServer::~TFedServer() = default;

int TFedServer::Start(int port) {
    return impl_->Start(port);
}

void TFedServer::Stop() {
    impl_->Stop();
}

int TFedServer::Port() const {
    return impl_->Port();
}

std::string TFedServer::BaseUrl(std::string_view discipline) const {
    return "http://127.0.0.1:" + text::IntToStr(impl_->Port()) + "/" + std::string(discipline);
}

void TFedServer::Reset() {
    impl_->Reset();
}

void TFedServer::SetMisbehaviour(const TMisbehaviour& misbehaviour) {
    impl_->SetMisbehaviour(misbehaviour);
}

std::vector<TLoggedRequest> TFedServer::Requests() const {
    return impl_->Requests();
}

void TFedServer::ClearRequests() {
    impl_->ClearRequests();
}

}  // namespace tavlor::fedserver
