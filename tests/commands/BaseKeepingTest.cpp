// The keeper of the local base's copy: a download stored at once, changes
// within a second, nothing while something else runs, a failure told once
// and tried again, the competition left stored before it goes.
#include "commands/BaseKeeping.h"
#include "commands/BaseKeepingMessages.h"
#include "model/LocalBaseMessages.h"
#include "support/CompetitionFixture.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

constexpr const char* Address = "http://127.0.0.1:8765/3bandes";

class BaseKeeping : public test::TCompetitionFixture {
protected:
    test::TTempDir Dir;
    test::TRecordingBoxes Boxes;
    TdmFb Fb{Compet, Dm, Boxes};
    std::int64_t Now = 0;  // milliseconds
    TBaseKeeper Keeper{Fb, Boxes, [this] { return Now; }};
    int Stores = 0;  // the competition's stores the base saw, counted by their time

    void SetUp() override {
        Fb.DataFolder = Dir.Path();
        Fb.BusyTimeoutMs = 20;
        // Each store stamps the competition with a time of its own.
        Fb.Now = [this] { return 46000.0 + ++Stores; };
        ASSERT_TRUE(Fb.OpenDb());
        Pool(101, 1, "Poule A");
        Match(30001, 101, 11, 12);
        Lists.Title = "Championnat (3Bandes)";
        Download(1201, "3Bandes");
    }
    void TickAt(std::int64_t ms) {
        Now = ms;
        Keeper.Tick();
    }
    double Stamp() { return Fb.FindCompetDb(1201)->Changed; }
    void Change(std::int32_t phase) { ASSERT_TRUE(Compet.AddPhase(phase, "Phase")); }
};

TEST_F(BaseKeeping, ADownloadIsStoredAtOnceWithItsServersAddress) {
    Keeper.Downloaded(Address);
    const auto held = Fb.FindCompetDb(1201);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->Origin, Address);
    EXPECT_EQ(held->Registrants, 2);
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_TRUE(Boxes.Errors.empty());
}

TEST_F(BaseKeeping, AChangeIsStoredOnceStillAndABurstNoLaterThanASecondAfterItsStart) {
    Keeper.Downloaded(Address);
    Change(2);
    TickAt(0);
    TickAt(TBaseKeeper::StillMs - 1);
    EXPECT_TRUE(Fb.Unstored());
    TickAt(TBaseKeeper::StillMs);
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_EQ(Stores, 2);
    TickAt(5000);
    EXPECT_EQ(Stores, 2);

    // A change every 200 ms: stored once the longest wait is reached.
    const std::int64_t start = 10000;
    for (std::int64_t t = start; t < start + TBaseKeeper::LongestMs; t += 200) {
        Change(static_cast<std::int32_t>(10 + t / 200));
        TickAt(t);
        EXPECT_EQ(Stores, 2) << t;
    }
    Change(99);
    TickAt(start + TBaseKeeper::LongestMs);
    EXPECT_EQ(Stores, 3);
    EXPECT_FALSE(Fb.Unstored());
}

TEST_F(BaseKeeping, NothingIsStoredWhileSomethingElseRuns) {
    Keeper.Downloaded(Address);
    bool busy = true;
    Keeper.Busy = [&busy] { return busy; };
    Change(2);
    TickAt(0);
    TickAt(3000);
    EXPECT_TRUE(Fb.Unstored());
    busy = false;
    TickAt(3200);
    EXPECT_FALSE(Fb.Unstored());
}

TEST_F(BaseKeeping, AFailureIsToldOnceThenTriedAgainAtTheNextChangeAndAfterAWhile) {
    Keeper.Downloaded(Address);
    TSqlite other;
    other.Open(Fb.BasePath(), 0);
    other.Exec("BEGIN IMMEDIATE");
    const std::string told = msg::basekeeping::StoreFailed(msg::localbase::Busy(Fb.BasePath()));

    Change(2);
    TickAt(0);
    TickAt(400);
    EXPECT_EQ(Boxes.Errors, std::vector<std::string>{told});
    // Nothing new: not tried again at once, nor told again.
    TickAt(1000);
    TickAt(2000);
    EXPECT_EQ(Boxes.Errors.size(), 1u);
    // A new change is tried again, the burst being old enough; still
    // failing, it is not told again, and not tried again for a while.
    Change(3);
    TickAt(2100);
    EXPECT_EQ(Boxes.Errors.size(), 1u);
    EXPECT_TRUE(Fb.Unstored());
    other.Exec("ROLLBACK");
    TickAt(2100 + TBaseKeeper::RetryMs - 1);
    EXPECT_TRUE(Fb.Unstored());
    TickAt(2100 + TBaseKeeper::RetryMs);
    EXPECT_FALSE(Fb.Unstored());
    EXPECT_EQ(Fb.FindCompetDb(1201)->Registrants, 2);

    // A new failure after a success is told again.
    other.Exec("BEGIN IMMEDIATE");
    Change(4);
    TickAt(20000);
    TickAt(20400);
    EXPECT_EQ(Boxes.Errors.size(), 2u);
    other.Exec("ROLLBACK");
}

TEST_F(BaseKeeping, TheCompetitionLeftIsStoredBeforeItGoesThenLeftAlone) {
    Keeper.Downloaded(Address);
    Change(2);
    bool cleared = false;
    Keeper.Replacing([&] {
        cleared = true;
        EXPECT_FALSE(Fb.Unstored()) << "stored before the tables go";
    });
    EXPECT_TRUE(cleared);
    EXPECT_EQ(Fb.OpenId(), -1);
    Change(3);
    TickAt(0);
    TickAt(2000);
    EXPECT_EQ(Stores, 2);

    // A clear that fails leaves the competition open and kept.
    Keeper.Downloaded(Address);
    EXPECT_THROW(Keeper.Replacing([] { throw Error("instantané impossible"); }), Error);
    EXPECT_EQ(Fb.OpenId(), 1201);
}

TEST_F(BaseKeeping, AtTheEndWhatIsLeftIsStoredWithoutAskingAnybody) {
    Keeper.Downloaded(Address);
    EXPECT_EQ(Keeper.Flush(), "");
    EXPECT_EQ(Stores, 1);
    Change(2);
    EXPECT_EQ(Keeper.Flush(), "");
    EXPECT_FALSE(Fb.Unstored());

    TSqlite other;
    other.Open(Fb.BasePath(), 0);
    other.Exec("BEGIN IMMEDIATE");
    Change(3);
    EXPECT_EQ(Keeper.Flush(), msg::localbase::Busy(Fb.BasePath()));
    EXPECT_TRUE(Boxes.Errors.empty());
    other.Exec("ROLLBACK");
}

}  // namespace
}  // namespace tavlor
