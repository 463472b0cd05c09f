// Files written as a set: whatever step the writing program dies at, the set
// found afterwards is wholly the old one or wholly the new one.
#include "model/Files.h"

#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace tavlor {
namespace {

using TContent = std::map<std::string, std::string>;  // file name -> bytes

// Every entry of a folder with its bytes ("<folder>" for a folder).
TContent FolderContent(const std::string& folder) {
    TContent content;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        content[name] = entry.is_directory() ? std::string("<folder>") : ReadWholeFile(entry.path().string());
    }
    return content;
}

std::string Message(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

constexpr int DiedThere = 42, Threw = 43, Finished = 44;

// Runs `write` in a child process that dies at the `index`th `step`, the way a
// crash would stop it (no destructor, no cleanup); answers how the child ended.
int RunDyingAt(TWriteStep step, std::size_t index, const std::function<void()>& write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        SetWriteStepHook([&](TWriteStep s, std::size_t i) {
            if (s == step && i == index) ::_exit(DiedThere);
        });
        try {
            write();
        } catch (...) {
            ::_exit(Threw);
        }
        ::_exit(Finished);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct TCrash {
    TWriteStep Step;
    std::size_t Index;
    bool NewSetCounts;  // the journal was in place: recovery finishes the new set
    const char* Name;
};
const std::vector<TCrash> Crashes = {
    {TWriteStep::TemporaryWritten, 0, false, "after the first temporary file"},
    {TWriteStep::TemporaryWritten, 1, false, "after the second temporary file"},
    {TWriteStep::TemporaryWritten, 2, false, "after the last temporary file"},
    {TWriteStep::BackupsMade, 0, false, "after the second names"},
    {TWriteStep::JournalWritten, 0, true, "after the journal"},
    {TWriteStep::Renamed, 0, true, "after the first rename"},
    {TWriteStep::Renamed, 1, true, "after the second rename"},
    {TWriteStep::Renamed, 2, true, "after the last rename"},
    {TWriteStep::RenamesFlushed, 0, true, "before the cleanup"},
    {TWriteStep::BackupsRemoved, 0, true, "before the journal is removed"},
};

class FilesTogether : public ::testing::Test {
protected:
    test::TTempDir Dir;
    const std::vector<std::string> Names = {"3Bandes_7Phases.xml", "3Bandes_7Inscrits.xml", "3Bandes_7Joueurs.xml"};

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const std::string& name : Names) paths.push_back(Dir.File(name));
        return paths;
    }
    TContent Set(const std::string& version) const {
        TContent set;
        for (const std::string& name : Names) set[name] = version + " of " + name + std::string(100, 'x');
        return set;
    }
    void Write(const TContent& set) const {
        std::vector<TFileContent> files;
        for (const std::string& name : Names) files.push_back({Dir.File(name), set.at(name)});
        WriteFilesTogether(files);
    }
    static bool OursByName(std::string_view name) { return name.find("_7") != std::string_view::npos; }
    void TearDown() override { SetWriteStepHook(nullptr); }
};

TEST_F(FilesTogether, ACrashAtAnyStepLeavesTheOldSetOrTheNewOneOnceRecovered) {
    const TContent before = Set("old"), after = Set("new");
    for (const bool byFolder : {false, true}) {
        for (const TCrash& crash : Crashes) {
            SCOPED_TRACE(std::string(crash.Name) + (byFolder ? ", the folder recovered" : ", the set recovered"));
            std::filesystem::remove_all(Dir.Path());
            std::filesystem::create_directory(Dir.Path());
            Write(before);
            ASSERT_EQ(RunDyingAt(crash.Step, crash.Index, [&] { Write(after); }), DiedThere);
            if (crash.Step == TWriteStep::Renamed && crash.Index < 2) {
                // What the next start would read without the recovery.
                const TContent left = FolderContent(Dir.Path());
                ASSERT_EQ(left.at(Names[0]), after.at(Names[0]));
                ASSERT_EQ(left.at(Names[2]), before.at(Names[2]));
            }
            if (byFolder) {
                RecoverFolder(Dir.Path(), OursByName);
            } else {
                RecoverFilesTogether(Paths());
            }
            EXPECT_EQ(FolderContent(Dir.Path()), crash.NewSetCounts ? after : before) << "whole, without leftovers";
        }
    }
}

TEST_F(FilesTogether, AFirstSetCutShortIsThereWholeOrNotAtAll) {
    for (const TCrash& crash : Crashes) {
        SCOPED_TRACE(crash.Name);
        std::filesystem::remove_all(Dir.Path());
        std::filesystem::create_directory(Dir.Path());
        ASSERT_EQ(RunDyingAt(crash.Step, crash.Index, [&] { Write(Set("first")); }), DiedThere);
        RecoverFilesTogether(Paths());
        EXPECT_EQ(FolderContent(Dir.Path()), crash.NewSetCounts ? Set("first") : TContent());
    }
}

// A rename refused half-way is undone; a crash during the undo is finished
// the same way by the recovery.
TEST_F(FilesTogether, ACrashWhileARefusedSetIsUndoneLeavesTheOldSet) {
    const std::vector<std::pair<TWriteStep, std::size_t>> steps = {
        {TWriteStep::RollbackStarted, 0}, {TWriteStep::Restored, 0}, {TWriteStep::Restored, 1}};
    for (const auto& [step, index] : steps) {
        SCOPED_TRACE(index);
        std::filesystem::remove_all(Dir.Path());
        std::filesystem::create_directory(Dir.Path());
        Write(Set("old"));
        // The last file is in the way of its rename.
        std::filesystem::remove(Dir.File(Names[2]));
        std::filesystem::create_directory(Dir.File(Names[2]));
        TContent before = FolderContent(Dir.Path());
        ASSERT_EQ(RunDyingAt(step, index, [&] { Write(Set("new")); }), DiedThere);
        if (step == TWriteStep::Restored && index == 0) {
            ASSERT_EQ(ReadWholeFile(Dir.File(Names[1])), Set("new").at(Names[1])) << "half undone";
        }
        RecoverFilesTogether(Paths());
        EXPECT_EQ(FolderContent(Dir.Path()), before);
    }
    // Without a crash, the writer undoes it itself and names the file.
    EXPECT_EQ(Message([&] { Write(Set("new")); }),
              "Impossible d'enregistrer le fichier " + Dir.File(Names[2]) + " : est un dossier");
    EXPECT_EQ(FolderContent(Dir.Path()).at(Names[0]), Set("old").at(Names[0]));
}

// A write that finds a set an earlier run left half-replaced finishes it before
// writing its own temporary files: otherwise a crash of this write would give
// the old journal temporary files of two different sets.
TEST_F(FilesTogether, AWriteFirstFinishesTheSetAnEarlierRunLeftHalfReplaced) {
    Write(Set("old"));
    ASSERT_EQ(RunDyingAt(TWriteStep::Renamed, 0, [&] { Write(Set("second")); }), DiedThere);
    ASSERT_EQ(RunDyingAt(TWriteStep::TemporaryWritten, 0, [&] { Write(Set("third")); }), DiedThere);
    RecoverFilesTogether(Paths());
    EXPECT_EQ(FolderContent(Dir.Path()), Set("second"));

    ASSERT_EQ(RunDyingAt(TWriteStep::Renamed, 1, [&] { Write(Set("fourth")); }), DiedThere);
    Write(Set("fifth"));
    EXPECT_EQ(FolderContent(Dir.Path()), Set("fifth"));
}

TEST_F(FilesTogether, AJournalThatDoesNotReadBackIsNotActedOn) {
    Write(Set("old"));
    for (const std::string& text : {std::string("garbage"), std::string("tavlor files together 1\nB ../x\nend\n"),
                                    std::string("tavlor files together 1\nB 3Bandes_7Phases.xml\n")}) {
        SCOPED_TRACE(text);
        std::filesystem::remove(Dir.File(Names[0] + ".journal"));
        {
            std::ofstream(Dir.File(Names[0] + ".journal")) << text;
            std::ofstream(Dir.File(Names[0] + ".tmp")) << "new";
        }
        const std::string refused =
            "Le fichier " + Dir.File(Names[0] + ".journal") + " n'est pas un journal d'enregistrement valide";
        EXPECT_EQ(Message([&] { RecoverFilesTogether(Paths()); }), refused);
        EXPECT_EQ(Message([&] { RecoverFolder(Dir.Path(), OursByName); }), refused);
        EXPECT_EQ(ReadWholeFile(Dir.File(Names[0] + ".tmp")), "new") << "kept: it may be needed";
        EXPECT_EQ(ReadWholeFile(Dir.File(Names[0])), Set("old").at(Names[0]));
    }
}

// Without a journal, what an interrupted write left is incomplete or stale;
// files of other programs and the files themselves stay.
TEST_F(FilesTogether, LeftoversWithoutAJournalAreRemovedAndNothingElse) {
    Write(Set("old"));
    const TContent set = FolderContent(Dir.Path());
    for (const std::string& name : {Names[0] + ".tmp", Names[1] + ".old", Names[0] + ".journal.tmp",
                                    std::string("notes.txt.tmp"), std::string("autre.xml.old")}) {
        std::ofstream(Dir.File(name)) << "left";
    }
    std::filesystem::create_directory(Dir.File(Names[2] + ".tmp"));
    RecoverFolder(Dir.Path(), OursByName);
    TContent expected = set;
    expected["notes.txt.tmp"] = "left";
    expected["autre.xml.old"] = "left";
    expected[Names[2] + ".tmp"] = "<folder>";
    EXPECT_EQ(FolderContent(Dir.Path()), expected);

    RecoverFolder(Dir.File("absent"), OursByName);  // no folder, nothing to do
    std::ofstream(Dir.File(Names[1] + ".tmp")) << "left";
    RecoverFilesTogether(Paths());
    EXPECT_FALSE(std::filesystem::exists(Dir.File(Names[1] + ".tmp")));
}

// A second copy of the program recovering the folder while this one writes
// would take its temporary files for leftovers: the folder stays locked until
// the set is written.
TEST_F(FilesTogether, TheFolderIsLockedWhileASetIsWritten) {
    Write(Set("old"));
    int paused[2], resume[2];
    ASSERT_EQ(::pipe(paused), 0);
    ASSERT_EQ(::pipe(resume), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        SetWriteStepHook([&](TWriteStep step, std::size_t index) {
            if (step == TWriteStep::Renamed && index == 0) {
                char c = 'p';
                if (::write(paused[1], &c, 1) != 1 || ::read(resume[0], &c, 1) != 1) ::_exit(Threw);
            }
        });
        try {
            Write(Set("new"));
        } catch (...) {
            ::_exit(Threw);
        }
        ::_exit(Finished);
    }
    char c = 0;
    ASSERT_EQ(::read(paused[0], &c, 1), 1);
    const int folder = ::open(Dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_NE(::flock(folder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ASSERT_EQ(::write(resume[1], &c, 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == Finished);
    EXPECT_EQ(::flock(folder, LOCK_EX | LOCK_NB), 0) << "released with the write";
    ::close(folder);
    for (int fd : {paused[0], paused[1], resume[0], resume[1]}) ::close(fd);
    EXPECT_EQ(FolderContent(Dir.Path()), Set("new"));
}

// Files of the set that are links are written through, the set journaled
// beside the files they name and recovered there; their modes are kept. A
// link taking one file away from the others stops the set before anything.
TEST_F(FilesTogether, ASetOfLinksIsWrittenAndRecoveredWhereTheyLead) {
    namespace fs = std::filesystem;
    const std::string shared = Dir.File("partage"), elsewhere = Dir.File("ailleurs");
    fs::create_directory(shared);
    fs::create_directory(elsewhere);
    for (const std::string& name : Names) fs::create_symlink("partage/" + name, Dir.File(name));
    Write(Set("old"));
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(JoinPath(shared, Names[1]), mode);

    ASSERT_EQ(RunDyingAt(TWriteStep::Renamed, 0, [&] { Write(Set("new")); }), DiedThere);
    RecoverFilesTogether(Paths());
    EXPECT_EQ(FolderContent(shared), Set("new"));
    EXPECT_EQ(fs::status(JoinPath(shared, Names[1])).permissions() & fs::perms::mask, mode);
    for (const std::string& name : Names) EXPECT_TRUE(fs::is_symlink(Dir.File(name))) << name;
    EXPECT_EQ(FolderContent(Dir.Path()).size(), 5u) << "the links and the two folders, no leftover";

    fs::remove(Dir.File(Names[2]));
    fs::create_symlink("ailleurs/" + Names[2], Dir.File(Names[2]));
    EXPECT_EQ(Message([&] { Write(Set("third")); }),
              "Impossible d'enregistrer le fichier " + JoinPath(elsewhere, Names[2]) +
                  " : il n'est pas dans le dossier " + shared + " des fichiers enregistrés avec lui");
    EXPECT_EQ(FolderContent(shared), Set("new"));
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

// A file set aside keeps its bytes under a name that says why and when, and
// never takes the name of one set aside before.
TEST(FilesAside, TheNameSaysWhyAndWhenAndNoFileIsReplaced) {
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone ? zone : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const std::time_t when = 1796890500;  // 2026-12-10 08:15:00 UTC
    test::TTempDir dir;
    const std::string path = dir.File("3Bandes_1201Phases.xml");

    std::ofstream(path) << "first";
    const std::string first = SetFileAside(path, "endommagé", when, false);
    EXPECT_EQ(first, dir.File("3Bandes_1201Phases.endommagé-20261210-081500.xml"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ReadWholeFile(first), "first");

    std::ofstream(path) << "second";
    EXPECT_EQ(SetFileAside(path, "endommagé", when, false),
              dir.File("3Bandes_1201Phases.endommagé-20261210-081500-2.xml"));
    EXPECT_EQ(ReadWholeFile(first), "first");

    std::ofstream(path) << "third";
    const std::string copy = SetFileAside(path, "copie", when, true);
    EXPECT_EQ(copy, dir.File("3Bandes_1201Phases.copie-20261210-081500.xml"));
    EXPECT_EQ(ReadWholeFile(path), "third") << "a copy leaves the file";
    EXPECT_EQ(ReadWholeFile(copy), "third");
    std::ofstream(path) << "changed";  // written over in place
    EXPECT_EQ(ReadWholeFile(copy), "third") << "the copy is no second name of the file";
    EXPECT_EQ(SetFileAside(path, "copie", when, true), dir.File("3Bandes_1201Phases.copie-20261210-081500-2.xml"));

    std::ofstream(dir.File("LISEZMOI")) << "x";
    EXPECT_EQ(SetFileAside(dir.File("LISEZMOI"), "copie", when, true), dir.File("LISEZMOI.copie-20261210-081500"));

    EXPECT_EQ(
        Message([&] { SetFileAside(dir.File("absent.xml"), "endommagé", when, false); }),
        "Impossible de mettre de côté le fichier " + dir.File("absent.xml") + " : fichier ou dossier introuvable");
    if (zone) {
        ::setenv("TZ", savedZone.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
}  // namespace tavlor
