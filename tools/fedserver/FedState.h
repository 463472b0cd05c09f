#pragma once

#include "fedserver/FedData.h"
#include "fedserver/FedWire.h"

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>

// What the federation's scripts do, without HTTP: the lists, the login with its
// sessions, the pool and match updates, and the pool summary page. Not thread
// safe; the server serialises the calls.
namespace tavlor::fedserver {

inline constexpr std::string_view kSessionCookie = "PHPSESSID";

struct TPage {
    int Status = 200;
    std::string Body;  // Windows-1252 HTML
};

class TFedState {
public:
    explicit TFedState(bool large);

    // Back to the sample data; every session ends.
    void Reset();

    // One post to /<discipline>/execall/<script>; cookies is the request's
    // Cookie header (several joined by "; ").
    TReply Handle(std::string_view discipline, std::string_view script, const TForm& form, std::string_view cookies);

    // /<discipline>/ranking/printpoules.php?param1=<pool>
    TPage PrintPoules(std::string_view discipline, std::string_view param1) const;

    const TFederation& Federation() const { return data_; }

private:
    struct TPoolRef {
        TServedCompetition* Competition = nullptr;
        sample::TSamplePool* Pool = nullptr;
    };
    struct TMatchRef {
        TServedCompetition* Competition = nullptr;
        std::size_t Index = 0;
    };

    TDiscipline* FindDiscipline(std::string_view path);
    const TDiscipline* FindDiscipline(std::string_view path) const;
    TPoolRef FindPool(TDiscipline& d, std::int32_t id);
    TMatchRef FindMatch(TDiscipline& d, std::int32_t id);

    TReply GetLists(TDiscipline& d, const TForm& form) const;
    TReply Login(const TForm& form);
    TReply UpdPoule(TDiscipline& d, const TForm& form);
    TReply UpdMatch(TDiscipline& d, const TForm& form);
    bool Identified(std::string_view cookies) const;
    std::string NameOf(const TServedCompetition& c, std::int32_t licence) const;

    bool large_;
    TFederation data_;
    std::map<std::string, std::int32_t> sessions_;  // session id -> user
    std::int32_t nextPool_ = 1;
    std::int32_t nextMatch_ = 1;
    std::mt19937_64 random_;
};

}  // namespace tavlor::fedserver
