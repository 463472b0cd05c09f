#pragma once

#include "model/Communs.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavlor {

// Readable records in GoogleTest failure messages.
void PrintTo(const TParamTable& record, std::ostream* os);
void PrintTo(const TParamMatch& match, std::ostream* os);

}  // namespace tavlor

namespace tavlor::test {

// One call seen by the recorder.
struct TRecordedCall {
    // "server:AddPoule", "store:UpdatePoule", "hook:OnClear", "notify:OnMessageChange"...
    std::string Name;
    std::optional<TParamTable> Table;  // the record as the handler received it
    std::optional<TParamMatch> Match;
    std::string LastError;  // the controller's LastError when the call began
    // Notifications: the value they follow ("-1", the message, the login).
    // OnAddBillard: "size|label".
    std::string Detail;
};

// How one handler behaves when called; every part is optional. In this order:
// the record is changed, an error is thrown, LastError is written, the answer is given.
struct THandlerBehaviour {
    std::function<void(TParamTable&)> EditTable;
    std::function<void(TParamMatch&)> EditMatch;
    std::optional<std::string> ErrorText;  // throws tavlor::Error with this text
    std::optional<std::string> LastError;  // replaces the controller's LastError
    bool Answer = true;
};

// Installs recording handlers, hooks and notifications into a TCompetition.
// By default every handler answers true and changes nothing. The recorder must
// outlive every call made through the controller it was installed into.
class TRecordingHandlers {
public:
    explicit TRecordingHandlers(TCompetition& compet);
    TRecordingHandlers(const TRecordingHandlers&) = delete;
    TRecordingHandlers& operator=(const TRecordingHandlers&) = delete;

    void InstallStore();
    // With askCanModify, each server handler first asks CanModify and answers
    // false when refused, without running its behaviour, as the real server link does.
    void InstallServer(bool askCanModify = false);
    void InstallHooks();          // OnClear, OnAfterLoad, OnAddBillard, OnShowLogin, OnListJoueurs
    void InstallNotifications();  // OnIdCompetChange, OnMessageChange, OnLoginChange
    void InstallAll();            // all of the above, server without CanModify

    // The behaviour of a handler by its recorded name, e.g. "server:AddPoule".
    THandlerBehaviour& Behaviour(const std::string& name);
    // Answers false with this reason in LastError.
    void Refuse(const std::string& name, const std::string& reason);
    // Throws tavlor::Error with this text.
    void Throw(const std::string& name, const std::string& text);
    // Writes the number a server gives into Id (pools) or IdMatch and CoefBd (matches).
    void WriteId(const std::string& name, std::int32_t id);
    void WriteMatch(const std::string& name, std::int32_t idMatch, double coefBd);

    const std::vector<TRecordedCall>& Calls() const { return FCalls; }
    std::vector<std::string> Names() const;
    // The i-th call; throws std::out_of_range (a test failure, not a crash) when there were fewer.
    const TRecordedCall& CallAt(std::size_t i) const;
    // The record received by the i-th call; fails the test when it had none of that kind.
    const TParamTable& TableAt(std::size_t i) const;
    const TParamMatch& MatchAt(std::size_t i) const;
    void ClearCalls() { FCalls.clear(); }

private:
    TTableHandler TableHandler(std::string name, bool server);
    TMatchHandler MatchHandler(std::string name, bool server);
    bool Record(const std::string& name, bool server, TParamTable* table, TParamMatch* match);

    TCompetition& FCompet;
    bool FServerAsksCanModify = false;
    std::map<std::string, THandlerBehaviour> FBehaviours;
    std::vector<TRecordedCall> FCalls;
};

}  // namespace tavlor::test
