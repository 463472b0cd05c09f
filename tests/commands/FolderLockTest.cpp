// One copy of the program per folder: a real second process is refused and
// told which process holds the folder, and the folder comes free however its
// holder ends.
#include "commands/FolderLock.h"
#include "model/Files.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <string>

namespace tavlor {
namespace {

using test::TChildProcess;
using TResult = TFolderLock::TResult;

// Another copy of the program taking the folder.
std::vector<std::string> HolderOf(const test::TTempDir& dir) {
    return {TAVLOR_LOCK_HOLDER, dir.Path()};
}

std::string Number(long pid) {
    return std::to_string(pid);
}

TEST(FolderLock, ASecondProcessIsRefusedAndToldTheFirstOnesNumber) {
    test::TTempDir dir;
    TChildProcess first(HolderOf(dir));
    ASSERT_EQ(first.ReadLine(), "taken " + Number(first.Pid()));
    TChildProcess second(HolderOf(dir));
    EXPECT_EQ(second.ReadLine(), "refused " + Number(first.Pid()));
    EXPECT_EQ(second.Finish(), 0);
    // This process as well, with what its user reads.
    TFolderLock lock;
    ASSERT_EQ(lock.Acquire(dir.Path()), TResult::Refused);
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(lock.Holder().Pid, first.Pid());
    EXPECT_EQ(lock.Holder().Host, TFolderLock::ThisHost());
    const std::string text = lock.RefusedText(dir.Path());
    EXPECT_EQ(text.rfind("Tavlor est déjà ouvert sur ce dossier (processus " + Number(first.Pid()) + ", ouvert le ", 0),
              0u)
        << text;
    EXPECT_NE(text.find(") : " + dir.Path() + ".\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("ordinateur"), std::string::npos) << "the same computer goes without saying";
}

TEST(FolderLock, TheFolderComesFreeWhenItsHolderIsKilled) {
    test::TTempDir dir;
    {
        TChildProcess first(HolderOf(dir));
        ASSERT_EQ(first.ReadLine(), "taken " + Number(first.Pid()));
        first.Kill();  // SIGKILL: no chance to release anything
    }
    TFolderLock lock;
    ASSERT_EQ(lock.Acquire(dir.Path()), TResult::Taken);
    EXPECT_TRUE(lock.Held());
    // The file now names this process, not the one killed.
    const std::string text = ReadWholeFile(dir.File(TFolderLock::FileName));
    EXPECT_EQ(text.rfind("pid=" + Number(::getpid()) + "\n", 0), 0u) << text;
    TChildProcess other(HolderOf(dir));
    EXPECT_EQ(other.ReadLine(), "refused " + Number(::getpid()));
}

TEST(FolderLock, TheFolderComesFreeWhenItsHolderEndsOrReleasesIt) {
    test::TTempDir dir;
    TFolderLock lock;
    ASSERT_EQ(lock.Acquire(dir.Path()), TResult::Taken);
    lock.Release();
    EXPECT_FALSE(lock.Held());
    {
        TChildProcess next(HolderOf(dir));
        EXPECT_EQ(next.ReadLine(), "taken " + Number(next.Pid()));
        EXPECT_EQ(next.Finish(), 0);
    }
    EXPECT_EQ(lock.Acquire(dir.Path()), TResult::Taken);
}

TEST(FolderLock, AProgramStartedByTheHolderDoesNotKeepTheFolderAfterTheHoldersEnd) {
    // A spreadsheet opened on an export outlives the program that crashed:
    // it must not hold the folder in its place.
    test::TTempDir dir;
    {
        TChildProcess first({TAVLOR_LOCK_HOLDER, dir.Path(), "--start"});
        const std::string line = first.ReadLine();
        ASSERT_EQ(line.rfind("taken " + Number(first.Pid()) + " ", 0), 0u) << line;
        first.Kill();
        // The program it started still runs, until the test's end closes its input.
        const long started = std::stol(line.substr(line.rfind(' ') + 1));
        EXPECT_EQ(::kill(static_cast<pid_t>(started), 0), 0);
        TChildProcess next(HolderOf(dir));
        EXPECT_EQ(next.ReadLine(), "taken " + Number(next.Pid()));
    }
}

TEST(FolderLock, EachFolderHasItsOwnLockAndOneProcessCountsAsTwoCopies) {
    test::TTempDir dir, other;
    // Text an earlier holder left: replaced, never believed.
    WriteFileAtomic(dir.File(TFolderLock::FileName), "pid=1\nhost=ailleurs\nstarted=2001-01-01 00:00:00\n");
    TFolderLock first, second, third;
    ASSERT_EQ(first.Acquire(dir.Path()), TResult::Taken);
    EXPECT_EQ(first.Holder().Pid, ::getpid());
    ASSERT_EQ(second.Acquire(dir.Path()), TResult::Refused);
    EXPECT_EQ(second.Holder().Pid, ::getpid());
    EXPECT_EQ(second.Holder().Host, TFolderLock::ThisHost());
    EXPECT_EQ(third.Acquire(other.Path()), TResult::Taken);
    first.Release();
    EXPECT_EQ(second.Acquire(dir.Path()), TResult::Taken);
}

TEST(FolderLock, AFolderWithoutRoomForTheLockIsNoObstacle) {
    test::TTempDir dir;
    TFolderLock lock;
    EXPECT_EQ(lock.Acquire(dir.File("absent")), TResult::Unavailable);
    EXPECT_FALSE(lock.Held());
}

}  // namespace
}  // namespace tavlor
