#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tavlor {

class IUserBoxes;
class TdmLocal;
class TSettings;

// Keeps on disk what lives only in memory: the phase names, the registrants
// and the pool members of the open competition reach its snapshot set shortly
// after each change, not only when the program ends. Driven by a clock the
// window ticks a few times a second: a burst of changes is written once, when
// it has been still for a moment, and never later than a second after its
// first change. A failed write is told once, then tried again at each change
// and every few seconds.
class TSnapshotKeeper {
public:
    // Milliseconds from any fixed start.
    using TClock = std::function<std::int64_t()>;
    TSnapshotKeeper(TdmLocal& dm, IUserBoxes& boxes, TClock clock);

    // Something else is under way (a command, a download): nothing is written.
    std::function<bool()> Busy;

    // Writes the snapshot when its time has come.
    void Tick();
    // Whether a change has not reached the disk yet.
    bool Pending() const;
    // What the next write takes as written: the state after a load, or after
    // a write made elsewhere (at the end).
    void MarkSaved();

    // A still moment long enough to write; the longest a change may wait.
    static constexpr std::int64_t StillMs = 300;
    static constexpr std::int64_t LongestMs = 800;
    static constexpr std::int64_t RetryMs = 5000;

private:
    struct TState {
        std::int32_t IdCompet;
        std::uint64_t Phases, Inscrits, Joueurs;
        bool operator==(const TState&) const = default;
    };
    TState Now() const;

    TdmLocal& Dm_;
    IUserBoxes& Boxes_;
    TClock Clock_;
    TState Saved_;
    std::optional<TState> Seen_;  // the state at the last tick
    std::int64_t FirstChange_ = 0, LastChange_ = 0, LastFailure_ = 0;
    bool Failing_ = false;
};

// The end of the program: the snapshot of the open competition, then the
// settings file, each on disk before the window closes. When one cannot be
// written the user chooses: try again, write the competition to another
// folder, quit without it, or stay with the window open.
class TSaveBeforeQuit {
public:
    TSaveBeforeQuit(TdmLocal& dm, TSettings& settings, IUserBoxes& boxes);
    // True when the program may end.
    bool Run();
    // Without anyone to ask (the session ends, the display is gone): each is
    // tried once, the snapshot then in Fallback's folder when its own does not
    // take it; answers what the user would have been told, empty when
    // everything was written where it belongs.
    std::string Quietly();

    // A folder of the user's own, asked only when needed (it may be created
    // then); empty or the usual folder when there is none.
    std::function<std::string()> Fallback;

private:
    bool SaveSnapshot();
    bool SaveSettings();
    void SnapshotToFallback(IUserBoxes& quiet);

    TdmLocal& Dm_;
    TSettings& Settings_;
    IUserBoxes& Boxes_;
};

}  // namespace tavlor
