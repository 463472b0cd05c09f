// The snapshot of a competition read back when things went wrong: a file
// damaged, rows the store refuses, a save cut short by a crash, a snapshot
// left in a folder the program only reads.
#include "model/DataPacket.h"
#include "model/Files.h"
#include "model/dbLocal.h"

#include "support/RankingsGolden.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>

namespace tavlor {
namespace {

using TFiles = std::map<std::string, std::string>;  // file name -> bytes
const char* const Tables[3] = {"Phases", "Inscrits", "Joueurs"};

TFiles FolderContent(const std::string& folder) {
    TFiles content;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        content[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
    }
    return content;
}

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What the merge puts into the tables, as the user sees it.
struct TState {
    std::map<std::int32_t, std::string> Phases;                                // number -> name
    std::map<std::int32_t, std::pair<std::string, std::int32_t>> Registrants;  // licence -> name, rank
    std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> Members;     // pool, licence -> rank
};

class SnapshotRestore : public test::TRankingsGoldenFixture {
protected:
    test::TTempDir Dir, Empty;
    TState Fresh;  // the competition as downloaded, without its snapshot
    TState Whole;  // with what was done by hand, saved as the snapshot
    TFiles Saved;  // the snapshot files of Whole

    void SetUp() override {
        ReadGolden();
        Dm.DataFolder = Dir.Path();
        Compet.SetDiscipline("3Bandes");
        Compet.SetIdCompet(4242);
        Build();
        ASSERT_TRUE(Compet.EditPhase(2, "Finale à Paris"));
        ASSERT_TRUE(Compet.AddInscrit(777, -1, "NOUVEAU Léo"));
        ASSERT_TRUE(Compet.AddJoueur(777, -1, 12));
        Dm.SaveSnapshot();
        Saved = FolderContent(Dir.Path());
        ASSERT_EQ(Saved.size(), 3u);
        Dm.DataFolder = Empty.Path();
        ASSERT_EQ(Open(), "");
        Fresh = State();
        Dm.DataFolder = Dir.Path();
        ASSERT_EQ(Open(), "");
        Whole = State();
        // Each file of the snapshot brings something the download does not.
        ASSERT_NE(Fresh.Phases, Whole.Phases);
        ASSERT_NE(Fresh.Registrants, Whole.Registrants);
        ASSERT_NE(Fresh.Members, Whole.Members);
    }
    void TearDown() override { SetWriteStepHook(nullptr); }

    static std::string Name(const std::string& table) { return "3Bandes_4242" + table + ".xml"; }

    // The competition opened by a program just started: the lists as
    // downloaded, then the snapshot merged. Nothing in memory is saved over
    // the files first. Answers the error the merge ended with, if any.
    std::string Open() {
        const std::string folder = Dm.DataFolder;
        Dm.DataFolder.clear();
        Compet.DoClear();
        Dm.DataFolder = folder;
        Compet.ListsComplete = false;
        sample::LoadLists(Lists, Compet);
        Compet.ListsComplete = true;
        Compet.SetIdCompet(4242);
        try {
            Compet.DoAfterLoad();
        } catch (const Error& e) {
            return e.what();
        }
        return "";
    }

    TState State() {
        TState s;
        auto phases = Dm.Tables.Phases.Clone();
        for (phases->First(); !phases->Eof(); phases->Next()) {
            s.Phases[phases->AsInteger("IDPHASE")] = phases->AsString("NOMPHASE");
        }
        auto registrants = Dm.Tables.Inscrits.Clone();
        for (registrants->First(); !registrants->Eof(); registrants->Next()) {
            s.Registrants[registrants->AsInteger("LICENCE")] = {registrants->AsString("NOM"),
                                                                registrants->AsInteger("RGA")};
        }
        auto members = Dm.Tables.Joueurs.Clone();
        for (members->First(); !members->Eof(); members->Next()) {
            s.Members[{members->AsInteger("IDPOULE"), members->AsInteger("LICENCE")}] = members->AsInteger("RGA");
        }
        return s;
    }

    void ExpectState(const TState& expected) {
        const TState s = State();
        EXPECT_EQ(s.Phases, expected.Phases);
        EXPECT_EQ(s.Registrants, expected.Registrants);
        EXPECT_EQ(s.Members, expected.Members);
    }

    // The files of the folder set aside for `table` with `label`.
    std::vector<std::string> Aside(const std::string& table, const std::string& label) {
        const std::regex name("3Bandes_4242" + table + "\\." + label + "-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.xml");
        std::vector<std::string> found;
        for (const auto& [file, bytes] : FolderContent(Dir.Path())) {
            if (std::regex_match(file, name)) found.push_back(Dir.File(file));
        }
        return found;
    }

    void PutBack(const TFiles& files) {
        std::filesystem::remove_all(Dir.Path());
        std::filesystem::create_directory(Dir.Path());
        for (const auto& [name, bytes] : files) WriteFile(Dir.File(name), bytes);
    }
};

struct TDamage {
    const char* Kind;
    std::string (*Apply)(const std::string& bytes, const std::string& table);
    std::string (*Reason)(const std::string& table);
};

// The field each file cannot do without, renamed in the damaged file.
std::string KeyField(const std::string& table) {
    return table == "Phases" ? "NOMPHASE" : table == "Inscrits" ? "LICENCE" : "IDPOULE";
}

const TDamage Damages[] = {
    {"cut in the middle", [](const std::string& b, const std::string&) { return b.substr(0, b.size() / 2); },
     [](const std::string&) { return std::string("XML mal formé"); }},
    {"empty", [](const std::string&, const std::string&) { return std::string(); },
     [](const std::string&) { return std::string("fichier vide"); }},
    {"garbage", [](const std::string&, const std::string&) { return std::string("\x01\xFF\xFE<<&&& \x80\x90 ???"); },
     [](const std::string&) { return std::string("XML mal formé"); }},
    {"a field missing",
     [](const std::string& b, const std::string& table) {
         return std::regex_replace(b, std::regex(KeyField(table)), "AUTRE");
     },
     [](const std::string& table) { return "champ " + KeyField(table) + " absent"; }},
};

TEST_F(SnapshotRestore, ADamagedFileIsSetAsideAndTheIntactOnesAreStillMerged) {
    for (const char* table : Tables) {
        for (const TDamage& damage : Damages) {
            SCOPED_TRACE(std::string(table) + ", " + damage.Kind);
            PutBack(Saved);
            const std::string path = Dir.File(Name(table));
            const std::string damaged = damage.Apply(Saved.at(Name(table)), table);
            ASSERT_NE(damaged, Saved.at(Name(table)));
            WriteFile(path, damaged);

            const std::string message = Open();

            // The file is kept, bytes and all, under a name that says so.
            const std::vector<std::string> aside = Aside(table, "endommagé");
            ASSERT_EQ(aside.size(), 1u);
            EXPECT_EQ(ReadWholeFile(aside[0]), damaged);
            EXPECT_FALSE(std::filesystem::exists(path));
            EXPECT_NE(message.find("Le fichier " + path +
                                   " n'est pas un fichier de données valide : " + damage.Reason(table)),
                      std::string::npos)
                << message;
            EXPECT_NE(message.find("conservé sous le nom " + aside[0]), std::string::npos) << message;

            // What the other files hold is merged.
            const std::string t = table;
            TState expected = Whole;
            if (t == "Phases") expected.Phases = Fresh.Phases;
            if (t == "Inscrits") {
                // Members registered by hand have no registrant to belong to.
                expected.Registrants = Fresh.Registrants;
                std::erase_if(expected.Members,
                              [&](const auto& m) { return !Fresh.Registrants.count(m.first.second); });
                const std::vector<std::string> copy = Aside("Joueurs", "copie");
                ASSERT_EQ(copy.size(), 1u) << "the members not merged are kept";
                EXPECT_EQ(ReadWholeFile(copy[0]), Saved.at(Name("Joueurs")));
            }
            if (t == "Joueurs") expected.Members = Fresh.Members;
            ExpectState(expected);

            // The next save writes all that was merged, as a whole set.
            Dm.SaveSnapshot();
            for (const char* other : Tables) EXPECT_TRUE(FileExists(Dir.File(Name(other)))) << other;
            EXPECT_EQ(Open(), "");
            ExpectState(expected);
        }
    }
}

TEST_F(SnapshotRestore, TheMessageSaysWhichFileWhyAndWhereItIsKept) {
    WriteFile(Dir.File(Name("Phases")), "");
    WriteFile(Dir.File(Name("Joueurs")), "<?xml version=\"1.0\"?><DATAPACKET><METADATA/></DATAPACKET>");
    const std::string message = Open();
    const std::vector<std::string> phases = Aside("Phases", "endommagé"), joueurs = Aside("Joueurs", "endommagé");
    ASSERT_EQ(phases.size(), 1u);
    ASSERT_EQ(joueurs.size(), 1u);
    EXPECT_EQ(message, "Le fichier " + Dir.File(Name("Phases")) +
                           " n'est pas un fichier de données valide : fichier vide\r\n"
                           "Son contenu n'a pas été repris ; le fichier est conservé sous le nom " +
                           phases[0] + "\r\n\r\nLe fichier " + Dir.File(Name("Joueurs")) +
                           " n'est pas un fichier de données valide : description des champs absente\r\n"
                           "Son contenu n'a pas été repris ; le fichier est conservé sous le nom " +
                           joueurs[0]);

    // Damaged again: the file set aside the first time stays as it was.
    WriteFile(Dir.File(Name("Phases")), "encore");
    EXPECT_NE(Open(), "");
    std::multiset<std::string> kept;
    for (const std::string& path : Aside("Phases", "endommagé")) kept.insert(ReadWholeFile(path));
    EXPECT_EQ(kept, (std::multiset<std::string>{"", "encore"}));
}

// A row the store refuses does not stop the merge of those after it; the file
// as it was read is kept, since the next save will not hold that row.
TEST_F(SnapshotRestore, RowsTheStoreRefusesDoNotStopTheMergeAndTheFileIsKept) {
    TTable members("Joueurs",
                   {IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE"), IntegerField("RGA")});
    for (std::int32_t licence : {424242, 777, 424243}) {
        members.Append();
        members.SetInteger("IDPOULE", 12);
        members.SetInteger("LICENCE", licence);
        members.Post();
    }
    SaveDataPacket(members, Dir.File(Name("Joueurs")));
    const std::string read = ReadWholeFile(Dir.File(Name("Joueurs")));
    const std::string message = Open();
    const std::vector<std::string> copy = Aside("Joueurs", "copie");
    ASSERT_EQ(copy.size(), 1u);
    EXPECT_EQ(ReadWholeFile(copy[0]), read);
    EXPECT_TRUE(FileExists(Dir.File(Name("Joueurs")))) << "left where it is: it was read";
    EXPECT_EQ(message, "Le fichier " + Dir.File(Name("Joueurs")) +
                           " n'a pas pu être repris entièrement : 2 lignes refusées, la première pour la raison "
                           "suivante :\r\nLe No licence : 424242 n'existe pas dans la liste des inscrits\r\n"
                           "Ajout joueur impossible\r\nUne copie du fichier est conservée sous le nom " +
                           copy[0]);
    EXPECT_TRUE(Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {12, 777})) << "merged after a refused row";
    EXPECT_EQ(State().Phases, Whole.Phases);
    EXPECT_EQ(State().Registrants, Whole.Registrants);
}

// Where a damaged file cannot be set aside, no snapshot is written over it
// while it is there: each save says why. A save into another folder, or once
// the user has moved the file, goes through.
TEST_F(SnapshotRestore, ADamagedFileThatCannotBeSetAsideIsNeverWrittenOver) {
    // A name so long that the longer name of the file set aside is refused.
    const std::string discipline(220, 'D');
    Compet.SetDiscipline(discipline);
    Dm.SaveSnapshot();
    const std::string phases = Dm.SnapshotPath("Phases"), inscrits = Dm.SnapshotPath("Inscrits");
    const std::string registrants = ReadWholeFile(inscrits);
    WriteFile(phases, "coupé <DATA");
    const std::string message = Open();
    EXPECT_NE(message.find("Impossible de mettre de côté le fichier " + phases + " : nom de fichier trop long"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("\r\nPour ne pas l'écraser, la sauvegarde locale de cette compétition ne sera pas "
                           "enregistrée tant que ce fichier sera à sa place"),
              std::string::npos)
        << message;
    EXPECT_EQ(State().Registrants, Whole.Registrants) << "the intact files are merged all the same";

    const std::string held = "La sauvegarde locale de cette compétition n'est pas enregistrée tant que le fichier " +
                             phases + ", qui n'a pas pu être repris, est à sa place";
    EXPECT_EQ(Failure([&] { Dm.SaveSnapshot(); }), held);
    EXPECT_EQ(Failure([&] { Compet.DoClear(); }), held) << "another competition is not loaded over it";
    EXPECT_EQ(State().Registrants, Whole.Registrants) << "the competition stays whole";
    EXPECT_EQ(ReadWholeFile(phases), "coupé <DATA");
    EXPECT_EQ(ReadWholeFile(inscrits), registrants);

    test::TTempDir elsewhere;
    Dm.DataFolder = elsewhere.Path();
    Dm.SaveSnapshot();
    EXPECT_TRUE(FileExists(Dm.SnapshotPath("Phases")));
    Dm.DataFolder = Dir.Path();

    std::filesystem::rename(phases, Dir.File("abîmé.xml"));
    Dm.SaveSnapshot();
    EXPECT_TRUE(FileExists(phases));
    EXPECT_EQ(ReadWholeFile(Dir.File("abîmé.xml")), "coupé <DATA");
    EXPECT_EQ(Open(), "");
    EXPECT_EQ(State().Registrants, Whole.Registrants);
}

// A set of the data folder that cannot be made whole may be half new: it is
// not read, and the next write, which would finish it first, is refused too.
TEST_F(SnapshotRestore, ASetThatCannotBeMadeWholeIsNeitherReadNorWrittenOver) {
    const std::string journal = Dir.File(Name("Phases") + ".journal");
    WriteFile(journal, "tavlor files together 1\nB " + Name("Phases") + "\n");
    WriteFile(Dir.File(Name("Phases") + ".tmp"), "nouveau");
    const TFiles left = FolderContent(Dir.Path());
    const std::string refused = "Le fichier " + journal + " n'est pas un journal d'enregistrement valide";
    EXPECT_EQ(Open(), refused);
    ExpectState(Fresh);
    EXPECT_EQ(Failure([&] { Dm.SaveSnapshot(); }), refused);
    EXPECT_EQ(FolderContent(Dir.Path()), left);

    // Once the journal is dealt with, the set is read and saved again.
    std::filesystem::remove(journal);
    EXPECT_EQ(Open(), "");
    ExpectState(Whole);
    Dm.SaveSnapshot();
    EXPECT_EQ(FolderContent(Dir.Path()).size(), 3u) << "the leftover is gone";
    EXPECT_EQ(Open(), "");
    ExpectState(Whole);
}

// A snapshot is read from the first folder that holds one; it is always
// written to the data folder, never where it was read.
TEST_F(SnapshotRestore, ASnapshotIsReadFromTheFirstReadFolderThatHoldsOne) {
    test::TTempDir data;
    Dm.DataFolder = data.Path();
    Dm.ReadFolders = {Empty.Path(), Dir.Path()};
    EXPECT_EQ(Open(), "");
    ExpectState(Whole);

    ASSERT_TRUE(Compet.EditPhase(2, "Finale à Lyon"));
    Dm.SaveSnapshot();
    EXPECT_EQ(FolderContent(Dir.Path()), Saved) << "nothing written where it was read";
    EXPECT_TRUE(FileExists(JoinPath(data.Path(), Name("Phases"))));
    EXPECT_EQ(Open(), "");
    EXPECT_EQ(State().Phases.at(2), "Finale à Lyon") << "the data folder comes first";

    // The set is the first folder's, even when it lacks a file another folder has.
    std::filesystem::remove(JoinPath(data.Path(), Name("Inscrits")));
    std::filesystem::remove(JoinPath(data.Path(), Name("Joueurs")));
    EXPECT_EQ(Open(), "");
    EXPECT_EQ(State().Phases.at(2), "Finale à Lyon");
    EXPECT_EQ(State().Registrants, Fresh.Registrants);
}

TEST_F(SnapshotRestore, ADamagedFileOfAReadFolderIsLeftInPlace) {
    test::TTempDir data;
    Dm.DataFolder = data.Path();
    Dm.ReadFolders = {Dir.Path()};
    WriteFile(Dir.File(Name("Inscrits")), "");
    const std::string message = Open();
    EXPECT_EQ(message.substr(0, message.find("\r\n\r\n")),
              "Le fichier " + Dir.File(Name("Inscrits")) +
                  " n'est pas un fichier de données valide : fichier vide\r\n"
                  "Son contenu n'a pas été repris ; le fichier est laissé à sa place");
    EXPECT_EQ(State().Phases, Whole.Phases);
    TFiles expected = Saved;
    expected[Name("Inscrits")] = "";
    EXPECT_EQ(FolderContent(Dir.Path()), expected) << "nothing set aside or copied there";
    EXPECT_TRUE(std::filesystem::is_empty(data.Path()));
}

// ---- a save cut short by a crash

constexpr int DiedThere = 42;

int SaveDyingAt(TdmLocal& dm, TWriteStep step, std::size_t index) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        SetWriteStepHook([&](TWriteStep s, std::size_t i) {
            if (s == step && i == index) ::_exit(DiedThere);
        });
        try {
            dm.SaveSnapshot();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SnapshotRestore, ASaveCutShortByACrashIsReadWholeAtTheNextOpening) {
    // The changes of a day, saved as a second set.
    ASSERT_TRUE(Compet.EditPhase(1, "Poules"));
    ASSERT_TRUE(Compet.AddInscrit(888, -1, "DERNIER Max"));
    ASSERT_TRUE(Compet.AddJoueur(888, -1, 12));
    Dm.SaveSnapshot();
    const TFiles changedFiles = FolderContent(Dir.Path());
    ASSERT_EQ(Open(), "");
    const TState changed = State();
    ASSERT_NE(changed.Members, Whole.Members);

    struct TCrash {
        TWriteStep Step;
        std::size_t Index;
        bool NewSet;
    };
    for (const TCrash& crash :
         {TCrash{TWriteStep::TemporaryWritten, 1, false}, TCrash{TWriteStep::BackupsMade, 0, false},
          TCrash{TWriteStep::JournalWritten, 0, true}, TCrash{TWriteStep::Renamed, 0, true},
          TCrash{TWriteStep::Renamed, 1, true}, TCrash{TWriteStep::RenamesFlushed, 0, true}}) {
        for (const bool atStart : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(crash.Step)) + "/" + std::to_string(crash.Index) +
                         (atStart ? ", recovered at start" : ", recovered by the merge"));
            // The day's changes in memory, the earlier set on disk.
            PutBack(changedFiles);
            ASSERT_EQ(Open(), "");
            PutBack(Saved);
            ASSERT_EQ(SaveDyingAt(Dm, crash.Step, crash.Index), DiedThere);
            if (atStart) Dm.RecoverSnapshots();
            EXPECT_EQ(Open(), "");
            ExpectState(crash.NewSet ? changed : Whole);
            EXPECT_EQ(FolderContent(Dir.Path()).size(), 3u) << "no leftover";
        }
    }
}

// At start, every set of the data folder is made whole, and only the
// snapshots' own leftovers are removed.
TEST_F(SnapshotRestore, RecoverSnapshotsMakesEverySetOfTheDataFolderWhole) {
    auto memory = [&](const std::string& competition) {
        TFiles set;
        set["3Bandes_" + competition + "Phases.xml"] = WriteDataPacket(Dm.Tables.Phases);
        set["3Bandes_" + competition + "Inscrits.xml"] = WriteDataPacket(Dm.Tables.Inscrits);
        set["3Bandes_" + competition + "Joueurs.xml"] = WriteDataPacket(Dm.Tables.Joueurs);
        return set;
    };
    ASSERT_TRUE(Compet.EditPhase(2, "Autre finale"));
    TFiles expected = memory("4242");
    ASSERT_EQ(SaveDyingAt(Dm, TWriteStep::Renamed, 1), DiedThere);
    Compet.SetIdCompet(4243);
    expected.merge(memory("4243"));
    ASSERT_EQ(SaveDyingAt(Dm, TWriteStep::Renamed, 0), DiedThere);
    Compet.SetIdCompet(4244);  // cut short before its journal: it never was
    ASSERT_EQ(SaveDyingAt(Dm, TWriteStep::TemporaryWritten, 2), DiedThere);
    for (const char* other : {"Open de Paris.xls.tmp", "tavlor.ini.old", "3Bandes_4242Phases.copie.xml.old"}) {
        WriteFile(Dir.File(other), "autre");
        expected[other] = "autre";
    }

    Dm.RecoverSnapshots();
    EXPECT_EQ(FolderContent(Dir.Path()), expected);
}

}  // namespace
}  // namespace tavlor
