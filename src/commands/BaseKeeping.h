#pragma once

#include "model/dbFb.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tavlor {

class IMessageBoxes;

// Keeps the local base's copy of the open competition up to date: a
// completed download is stored at once with its server's address, and every
// later change of the tables (pools and matches changed on the server, phase
// names, registrants, pool members) within a second. Driven by the clock the
// window ticks a few times a second, as the snapshot's keeper is: a burst of
// changes is stored once, when it has been still for a moment, and never
// later than a second after its first change. A failed store is told once,
// then tried again at each change and every few seconds.
class TBaseKeeper {
public:
    // Milliseconds from any fixed start.
    using TClock = std::function<std::int64_t()>;
    TBaseKeeper(TdmFb& fb, IMessageBoxes& boxes, TClock clock);

    // Something else is under way (a command, a download): nothing is stored.
    std::function<bool()> Busy;

    // A download from this address has completed.
    void Downloaded(const std::string& address);
    // The open competition is replaced: what it has not stored yet is
    // stored first, then clear runs (the data module's clear hook); once it
    // has, nothing is stored for that competition any more.
    void Replacing(const std::function<void()>& clear);
    // Stores the changes when their time has come.
    void Tick();
    // At the end: what is not stored yet, without asking anybody; answers
    // the error, empty when all is stored.
    std::string Flush();

    static constexpr std::int64_t StillMs = 300;
    static constexpr std::int64_t LongestMs = 800;
    static constexpr std::int64_t RetryMs = 5000;

private:
    // Stores the open competition (or the download); a failure is told once.
    void Store(const std::function<bool()>& store);

    TdmFb& Fb_;
    IMessageBoxes& Boxes_;
    TClock Clock_;
    std::optional<TdmFb::TState> Seen_;  // the tables at the last tick
    std::int64_t FirstChange_ = 0, LastChange_ = 0, LastFailure_ = 0;
    bool Failing_ = false;
};

}  // namespace tavlor
