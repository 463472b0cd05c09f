#include "commands/BaseKeeping.h"

#include "commands/BaseKeepingMessages.h"
#include "model/MessageBoxes.h"

#include <exception>
#include <utility>

namespace tavlor {

TBaseKeeper::TBaseKeeper(TdmFb& fb, IMessageBoxes& boxes, TClock clock)
    : Fb_(fb), Boxes_(boxes), Clock_(std::move(clock)) {}

void TBaseKeeper::Store(const std::function<bool()>& store) {
    try {
        store();
        Seen_.reset();
        Failing_ = false;
    } catch (const std::exception& e) {
        LastFailure_ = Clock_();
        if (!Failing_) {
            Failing_ = true;
            Boxes_.Error(msg::basekeeping::StoreFailed(e.what()));
        }
    }
}

void TBaseKeeper::Downloaded(const std::string& address) {
    Store([&] { return Fb_.StoreDownload(address); });
}

void TBaseKeeper::Replacing(const std::function<void()>& clear) {
    if (Fb_.Unstored()) Store([this] { return Fb_.StoreCompet(); });
    // A clear that fails leaves the competition open, still kept.
    clear();
    Fb_.ForgetOpen();
    Seen_.reset();
}

void TBaseKeeper::Tick() {
    const std::int64_t now = Clock_();
    if (!Fb_.Unstored()) {
        Seen_.reset();
        return;
    }
    const TdmFb::TState state = Fb_.State();
    if (!Seen_ || *Seen_ != state) {
        if (!Seen_) FirstChange_ = now;
        LastChange_ = now;
        Seen_ = state;
    }
    const bool still = now - LastChange_ >= StillMs;
    const bool waitedEnough = now - FirstChange_ >= LongestMs;
    if (!still && !waitedEnough) return;
    if (Failing_ && now - LastFailure_ < RetryMs && LastChange_ <= LastFailure_) {
        return;  // nothing new since the last failure: tried again a little later
    }
    if (Busy && Busy()) return;
    Store([this] { return Fb_.StoreCompet(); });
}

std::string TBaseKeeper::Flush() {
    if (!Fb_.Unstored()) return {};
    try {
        Fb_.StoreCompet();
        Seen_.reset();
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

}  // namespace tavlor
