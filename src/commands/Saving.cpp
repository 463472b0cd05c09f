#include "commands/Saving.h"

#include "commands/SavingMessages.h"
#include "commands/Settings.h"
#include "commands/UserBoxes.h"
#include "model/dbLocal.h"

#include <exception>
#include <utility>

namespace tavlor {

namespace m = msg::saving;

// ---- while the program runs

TSnapshotKeeper::TSnapshotKeeper(TdmLocal& dm, IUserBoxes& boxes, TClock clock)
    : Dm_(dm), Boxes_(boxes), Clock_(std::move(clock)), Saved_(Now()) {}

TSnapshotKeeper::TState TSnapshotKeeper::Now() const {
    const TCompetTables& t = Dm_.Tables;
    return {Dm_.Compet().IdCompet(), t.Phases.Data().Version(), t.Inscrits.Data().Version(),
            t.Joueurs.Data().Version()};
}

bool TSnapshotKeeper::Pending() const {
    return Now() != Saved_;
}

void TSnapshotKeeper::MarkSaved() {
    Saved_ = Now();
    Seen_.reset();
    Failing_ = false;
}

void TSnapshotKeeper::Tick() {
    const std::int64_t now = Clock_();
    const TState state = Now();
    if (Dm_.Compet().Chargement) {
        Seen_.reset();
        return;
    }
    if (state == Saved_) {
        Seen_.reset();
        return;
    }
    if (!Seen_ || *Seen_ != state) {
        if (!Seen_) FirstChange_ = now;
        LastChange_ = now;
        Seen_ = state;
    }
    const bool still = now - LastChange_ >= StillMs;
    const bool waitedEnough = now - FirstChange_ >= LongestMs;
    if (!still && !waitedEnough) return;
    if (Failing_ && now - LastFailure_ < RetryMs && now - LastChange_ >= StillMs && LastChange_ <= LastFailure_) {
        return;  // nothing new since the last failure: tried again a little later
    }
    if (Busy && Busy()) return;
    try {
        Dm_.SaveSnapshot();
        MarkSaved();
    } catch (const std::exception& e) {
        LastFailure_ = now;
        if (!Failing_) {
            Failing_ = true;
            Boxes_.Error(m::AutoSaveFailed(e.what()));
        }
    }
}

// ---- before the end

TSaveBeforeQuit::TSaveBeforeQuit(TdmLocal& dm, TSettings& settings, IUserBoxes& boxes)
    : Dm_(dm), Settings_(settings), Boxes_(boxes) {}

bool TSaveBeforeQuit::Run() {
    return SaveSnapshot() && SaveSettings();
}

bool TSaveBeforeQuit::SaveSnapshot() {
    for (;;) {
        std::string error;
        try {
            Dm_.SaveSnapshot();
            return true;
        } catch (const std::exception& e) {
            error = e.what();
        }
        switch (Boxes_.Ask(m::SnapshotNotSaved(error), {m::Retry, m::SaveElsewhere, m::QuitWithoutSaving, m::Stay})) {
            case 0:
                continue;
            case 1: {
                std::string folder = Dm_.DataFolder;
                if (!Boxes_.ChooseFolder(m::ChooseFolderCaption, folder)) continue;
                const std::string usual = Dm_.DataFolder;
                Dm_.DataFolder = folder;
                try {
                    Dm_.SaveSnapshot();
                    Dm_.DataFolder = usual;
                    Boxes_.Information(m::SavedElsewhere(folder, usual));
                    return true;
                } catch (const std::exception& e) {
                    Dm_.DataFolder = usual;
                    Boxes_.Error(e.what());
                }
                continue;
            }
            case 2:
                return true;
            default:
                return false;
        }
    }
}

bool TSaveBeforeQuit::SaveSettings() {
    for (;;) {
        std::string error;
        try {
            Settings_.Save(Boxes_);
            return true;
        } catch (const std::exception& e) {
            error = e.what();
        }
        switch (Boxes_.Ask(m::SettingsNotSaved(error), {m::Retry, m::QuitWithoutSaving, m::Stay})) {
            case 0:
                continue;
            case 1:
                return true;
            default:
                return false;
        }
    }
}

namespace {

// Nobody to ask: what would be told is kept for the caller, every question
// is answered no.
class TUnattended final : public IUserBoxes {
public:
    std::string Told;

    void Error(const std::string& text) override { Tell(text); }
    void Information(const std::string& text) override { Tell(text); }
    bool Confirm(const std::string&) override { return false; }
    bool ConfirmOkCancel(const std::string&) override { return false; }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, std::string&) override { return false; }
    bool OpenFileName(const std::string&, std::string&) override { return false; }
    bool ChooseItem(const std::string&, const std::string&, const std::vector<std::string>&, int&) override {
        return false;
    }
    int Ask(const std::string&, const std::vector<std::string>&) override { return -1; }
    bool ChooseFolder(const std::string&, std::string&) override { return false; }
    void TopLevelError(const std::string& text) override { Tell(text); }

private:
    void Tell(const std::string& text) {
        if (!Told.empty()) Told += "\r\n";
        Told += text;
    }
};

}  // namespace

std::string TSaveBeforeQuit::Quietly() {
    // No window is opened: the display may be gone.
    TUnattended quiet;
    try {
        Dm_.SaveSnapshot();
    } catch (const std::exception& e) {
        quiet.Error(e.what());
        SnapshotToFallback(quiet);
    }
    try {
        Settings_.Save(quiet);
    } catch (const std::exception& e) {
        quiet.Error(e.what());
    }
    return quiet.Told;
}

void TSaveBeforeQuit::SnapshotToFallback(IUserBoxes& quiet) {
    const std::string usual = Dm_.DataFolder;
    const std::string folder = Fallback ? Fallback() : std::string();
    if (folder.empty() || folder == usual) return;
    Dm_.DataFolder = folder;
    try {
        Dm_.SaveSnapshot();
        quiet.Information(m::SavedElsewhere(folder, usual));
    } catch (const std::exception& e) {
        quiet.Error(e.what());
    }
    Dm_.DataFolder = usual;
}

}  // namespace tavlor
