#pragma once

#include "fedserver/FedServer.h"
#include "fedserver/FedWire.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavlor::fedserver::test {

using TFields = std::vector<std::pair<std::string, std::string>>;  // values as Windows-1252 bytes

// What the client takes from a reply page.
struct TExchange {
    int Status = 0;
    std::string Body;
    std::string SetCookie;
    bool HasData = false;
    std::string Data;
    bool HasError = false;
    std::string Error;

    // Records of the data, each a list of field texts.
    std::vector<std::vector<std::string>> Records() const {
        std::vector<std::vector<std::string>> out;
        for (const TDataRecord& r : SplitData(Data)) {
            std::vector<std::string> fields;
            for (const TDataField& f : r.Fields) {
                fields.push_back(f.Bytes);
            }
            out.push_back(std::move(fields));
        }
        return out;
    }
};

// The envelope rule of the client: the first opening tag and the first closing tag.
inline bool Envelope(const std::string& body, const std::string& open, const std::string& close, std::string& text) {
    const std::size_t p1 = body.find(open);
    const std::size_t p2 = body.find(close);
    if (p1 == std::string::npos || p2 == std::string::npos) {
        return false;
    }
    const std::size_t from = p1 + open.size();
    text = p2 > from ? body.substr(from, p2 - from) : std::string();
    return true;
}

// The body the client writes: fields in order, then VTX, each followed by "&".
inline std::string FormBody(const TFields& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        body += name + "=" + EncodeFormValue(value) + "&";
    }
    body += "VTX=" + EncodeFormValue("2.0.3") + "&";
    return body;
}

// A server of its own per test, on a free port.
class FedServerTest : public ::testing::Test {
protected:
    explicit FedServerTest(TFedServerOptions options = {}) : server_(options) { port_ = server_.Start(0); }

    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", port_);
        client.set_read_timeout(10, 0);
        return client;
    }

    TExchange Post(std::string_view discipline, std::string_view script, const TFields& fields,
                   const std::string& cookie = {}) const {
        httplib::Headers headers;
        if (!cookie.empty()) {
            headers.emplace("Cookie", cookie);
        }
        const std::string path = "/" + std::string(discipline) + "/execall/" + std::string(script);
        httplib::Client client = Client();
        const httplib::Result res =
            client.Post(path.c_str(), headers, FormBody(fields), "application/x-www-form-urlencoded");
        TExchange ex;
        if (!res) {
            ADD_FAILURE() << "no reply from " << path;
            return ex;
        }
        ex.Status = res->status;
        ex.Body = res->body;
        ex.SetCookie = res->get_header_value("Set-Cookie");
        ex.HasData = Envelope(ex.Body, "<DATAS_TX>", "</DATAS_TX>", ex.Data);
        ex.HasError = Envelope(ex.Body, "<ERROR_TX>", "</ERROR_TX>", ex.Error);
        return ex;
    }

    TExchange List(std::string_view discipline, TFields fields) const {
        return Post(discipline, "getlists.php", fields);
    }

    // Logs in and answers the "name=value" pair of the session cookie.
    std::string Login(int id = 12, std::string_view password = "carambole") const {
        const TExchange ex =
            Post("3bandes", "logdlg1.php", {{"LOGIN", std::to_string(id)}, {"PASS", Md5Hex(password)}});
        EXPECT_TRUE(ex.HasData) << ex.Error;
        return ex.SetCookie.substr(0, ex.SetCookie.find(';'));
    }

    int SetMode(const std::string& form) const {
        httplib::Client client = Client();
        const httplib::Result res = client.Post("/__control", form, "application/x-www-form-urlencoded");
        return res ? res->status : 0;
    }

    TFedServer server_;
    int port_ = 0;
};

// The record of a list whose first field is `id`, or an empty record.
inline std::vector<std::string> RecordWithId(const TExchange& ex, const std::string& id) {
    for (const auto& r : ex.Records()) {
        if (!r.empty() && r[0] == id) {
            return r;
        }
    }
    return {};
}

}  // namespace tavlor::fedserver::test
