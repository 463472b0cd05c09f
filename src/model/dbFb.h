#pragma once

#include "model/LocalBase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tavlor {

class IMessageBoxes;
class TCompetition;
class TdmLocal;
class TTextGrid;

// The local database module: the competitions kept on this computer (the
// local base, one SQLite file in the data folder) and the open competition's
// place in it. A downloaded competition is stored with the server's address
// and the time; a competition of the base is opened again through the store
// handlers, as a download fills the tables, so that the tree and every view
// are built the same way; a competition can also be created here, without
// any server.
class TdmFb {
public:
    TdmFb(TCompetition& compet, TdmLocal& dm, IMessageBoxes& boxes);
    TdmFb(const TdmFb&) = delete;
    TdmFb& operator=(const TdmFb&) = delete;

    // The folder of the base (the data folder, where the snapshots are).
    std::string DataFolder;
    int BusyTimeoutMs = 3000;
    // The date-time stored as a competition's download or change; the
    // computer's local time unless set.
    std::function<double()> Now;
    std::string BasePath() const;

    // Opens the base, creating it when missing. A damaged base is set aside
    // and a new one started: the user is told, naming both files, and the
    // answer is true. When the base cannot be opened the user is told why
    // and the answer is false; the program works on without it.
    bool OpenDb();
    bool IsOpen() const { return Base_.IsOpen(); }
    void CloseDb() { Base_.Close(); }

    // The competitions of the base into the grid, like the server's list: a
    // title row, then one row per competition, the most recent first:
    // title, discipline, origin (the server's address or "compétition
    // locale"), date of the download or last change, number (fifth column,
    // as on the server's list), registrants, matches, season.
    void ListCompetDb(TTextGrid& grid);
    // Opens the competition of the base under this number in place of the
    // open one, under the title the base keeps for it (the list's title when
    // the base has none). Read whole before anything changes: a competition
    // the base does not hold, or a base that cannot be read, leaves the
    // program as it was. Otherwise like a download: the snapshot of the
    // competition left is saved, the tables are filled through the store
    // handlers, the controller names the competition (connection: local
    // base, nobody identified, no server handler), and the snapshot of this
    // one is merged. Errors reach the caller.
    void LoadCompetDb(std::int32_t competition, const std::string& title);
    // The base's record of the competition last opened from it, as it was
    // when opened (Id -1 before any): while the connection is the local base,
    // what is shown, a copy of a server's competition (and of when) or a
    // competition of this computer.
    const TLocalCompet& Shown() const { return Shown_; }
    // How many competitions were opened from the base (a count that moves
    // also when the merge of the snapshot fails after the competition opened).
    int CompetitionsOpened() const { return Opened_; }
    // A new competition of this computer, empty: answers its number, from
    // FirstLocalCompet up. It is opened with LoadCompetDb.
    std::int32_t CreateCompetDb(const std::string& title, const std::string& discipline, const std::string& season);
    // The base's record of a competition; none when it does not hold it.
    std::optional<TLocalCompet> FindCompetDb(std::int32_t competition);
    // Whether the competition was created here rather than downloaded.
    bool IsLocalCompet(std::int32_t competition);

    // ---- the open competition in the base
    // The download just completed came from this address: the competition is
    // stored with it and the time. False when there is no base open.
    bool StoreDownload(const std::string& address);
    // Stores the open competition again, with the time: false when there is
    // nothing to store (no base, no competition, one whose origin is not
    // known because its load did not complete, a load under way).
    bool StoreCompet();
    // The competition is being replaced: nothing is stored for it any more.
    void ForgetOpen();
    // Where the open competition comes from: the server's address, or empty
    // for a competition of this computer; -1 when no competition is in the base's care.
    std::int32_t OpenId() const { return OpenId_; }
    const std::string& OpenOrigin() const { return OpenOrigin_; }

    // What the tables hold: the competition and a version per table of the base.
    struct TState {
        std::int32_t IdCompet = -1;
        std::array<std::uint64_t, BaseTableCount> Versions{};
        bool operator==(const TState&) const = default;
    };
    TState State() const;
    // Whether the open competition has changes the base does not hold yet.
    bool Unstored() const;

    TLocalBase& Base() { return Base_; }

private:
    // The rows through the store handlers, then every value the handlers chose
    // otherwise (a default name or rank) set back to the stored one.
    void Replay(const TStoredCompet& stored);
    void RestoreValues(const TStoredCompet& stored);
    // Whether the tables hold exactly the stored rows.
    bool SameRows(const TStoredCompet& stored) const;
    void Refused(std::int32_t competition);
    TLocalCompet OpenInfo();

    TCompetition& Compet_;
    TdmLocal& Dm_;
    IMessageBoxes& Boxes_;
    TLocalBase Base_;
    std::int32_t OpenId_ = -1;
    std::string OpenOrigin_;
    std::string OpenSeason_;
    std::optional<TState> Stored_;  // the tables as the base holds them
    TLocalCompet Shown_;
    int Opened_ = 0;
};

}  // namespace tavlor
