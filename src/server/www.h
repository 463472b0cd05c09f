#pragma once

#include "model/Communs.h"
#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "model/TextGrid.h"
#include "server/ConnectionWindow.h"
#include "server/HttpTransport.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavlor {

// What the server answered to one form: the two envelopes of the reply, UTF-8.
struct TReply {
    bool HasData = false;
    std::string Data;
    bool HasError = false;
    std::string Error;
};

// The link with the federation server: the form exchange, the lists and the
// download of a competition, the login and the server side of pool and match
// changes. The window it drives is the connection window port.
class TwwwFrm {
public:
    TwwwFrm(TCompetition& compet, IConnectionWindow& window, IMessageBoxes& boxes, IDesktopShell& shell);
    TwwwFrm(const TwwwFrm&) = delete;
    TwwwFrm& operator=(const TwwwFrm&) = delete;

    // ---- the exchange
    // The address of the open competition's server (a discipline's address):
    // its updates, its reload, its pool summaries and the player search go
    // there. A list or a download asked of another address does not change
    // it; a download that completes makes its address this one.
    // One trailing "/" or "\" is removed; an empty text is kept.
    void SetBaseUrl(const std::string& url);
    const std::string& BaseUrl() const { return BaseUrl_; }
    static std::string WithoutTrailingSlash(std::string url);
    // Posts the fields ("NAME=value", UTF-8) and the version field to
    // the address of the request under way (BaseUrl outside a list or a
    // download asked of another address) + "/execall" + script, then returns
    // the two envelopes of the reply.
    // Throws tavlor::Error when no reply could be had (transport, status, cancel).
    TReply PostForm(const std::string& script, std::vector<std::string> fields);
    // The user's decimal mark; "." and "," are both read by ParseDecimal.
    char DecimalMark = ',';
    double ParseDecimal(const std::string& text) const;
    // The reply's data into the grid, one record per row, one field per column;
    // false, the grid untouched, when the reply carries no data.
    static bool FillGrid(const TReply& reply, TTextGrid& grid);
    // Each change of connection state: "statut = " and its text.
    void ShowConnectionState(const std::string& state);
    // The user's cancel: closes the connection at once, tells the user, closes the window.
    void CancelExchange();

    // ---- lists and download
    void ListCompets(TTextGrid& grid);
    // The competitions of the server at url; the open competition keeps its address.
    void ListCompets(const std::string& url, TTextGrid& grid);
    void ListJoueurs(TTextGrid& grid);
    void LoadBillards();
    void LoadPoules(std::int32_t competition);
    void LoadMatchs(std::int32_t competition);
    // The whole download of a competition from the server at url (BaseUrl
    // without it). Every list is fetched and read before anything of the
    // competition open changes: a download refused, cancelled, cut or
    // malformed leaves the program as it was (tables, tree, connection,
    // identification, address) and its error reaches the caller. Once every
    // list is in, the competition open is replaced and its address becomes
    // url; the after-load step (the snapshot merge) runs then, and its
    // failure reaches the caller with the new competition open.
    void LoadCompet(std::int32_t competition, const std::string& title);
    void LoadCompet(const std::string& url, std::int32_t competition, const std::string& title);
    // How many downloads replaced the competition open: one that fails in its
    // after-load step has still opened its competition, which the window must
    // then show.
    int CompetitionsOpened() const { return Opened_; }
    // Told with the server's address once a download has completed, its
    // after-load step included (the local base keeps a copy).
    std::function<void(const std::string& address)> OnLoaded;
    // One record of the match list: the match and the two players' names;
    // raises the index error of a record short of fields, or a conversion error.
    struct TMatchRecord {
        TParamMatch Match;
        std::string Nom1, Nom2;
    };
    TMatchRecord ParseMatchRecord(std::vector<std::string>& fields) const;
    // What the download does with one record of each list: a billiard, a pool
    // (with its phase), a match (with its two players, registered and placed).
    // A record short of fields or holding a bad number raises the error that
    // stops its list.
    void AddBillardRecord(const std::vector<std::string>& fields);
    void AddPouleRecord(std::vector<std::string>& fields);
    void AddMatchRecord(std::vector<std::string>& fields);
    // A match read into the store: both players registered and placed in the
    // match's pool (each when not yet), then the match.
    static void StoreMatchRecord(TCompetition& compet, TMatchRecord record);
    // The records of a data text, each cut into fields.
    static std::vector<std::vector<std::string>> SplitRecords(const std::string& data);

    // ---- login and updates
    void InstallServerHandlers();
    void ShowLogin();
    // The login request: a numeric identifier, the MD5 of the password.
    void Login(const std::string& identifier, const std::string& password);
    bool WwwAddPoule(TParamTable& p);
    bool WwwEditPoule(TParamTable& p);
    bool WwwDelPoule(TParamTable& p);
    bool WwwAddMatch(TParamMatch& m);
    bool WwwEditMatch(TParamMatch& m);
    bool WwwDelMatch(TParamMatch& m);
    void OpenPrintPoules(std::int32_t pool);
    // The same page of the server at that address.
    void OpenPrintPoules(const std::string& address, std::int32_t pool);

private:
    // A downloaded competition, read whole before it replaces the open one.
    struct TDownload {
        std::vector<std::pair<std::int32_t, std::string>> Billards;
        std::vector<std::pair<TParamTable, TParamTable>> Poules;  // phase, pool
        std::vector<TMatchRecord> Matchs;
    };
    TDownload FetchCompet(std::int32_t competition);
    std::vector<std::pair<std::int32_t, std::string>> FetchBillards();
    std::vector<std::pair<TParamTable, TParamTable>> FetchPoules(std::int32_t competition);
    std::vector<TMatchRecord> FetchMatchs(std::int32_t competition);
    static std::pair<TParamTable, TParamTable> ParsePouleRecord(std::vector<std::string>& fields);
    void StoreDownload(TDownload& download);
    // The address of the requests while a list or a download asked of
    // another address runs.
    class TRequestTo;
    std::optional<std::string> RequestBase_;
    int Opened_ = 0;
    // Refuses a command while another exchange waits, before anything of the
    // connection window changes; then shows the command's progress line.
    void StartExchange(const std::string& progress);
    static std::vector<std::vector<std::string>> ListRecords(const TReply& reply);
    // The records of a list the download cannot do without: a server error
    // or a missing reply stops the download with its text.
    static std::vector<std::vector<std::string>> RequiredRecords(const TReply& reply, const std::string& errorPrefix,
                                                                 const std::string& noReply);
    // A grid list's reply: the server's error, the rows, or the no-reply text.
    void ShowList(const TReply& reply, TTextGrid& grid, const std::string& errorPrefix, const std::string& noReply);
    bool ServerAnswer(const TReply& reply, const std::string& noReply);
    std::vector<std::string> MatchFields(const TParamMatch& m) const;

    TCompetition& Compet_;
    IConnectionWindow& Window_;
    IMessageBoxes& Boxes_;
    IDesktopShell& Shell_;
    THttpTransport Http_;
    std::string BaseUrl_;
    std::string Version_;
};

}  // namespace tavlor
