// The day's work on disk: the snapshot kept shortly after each change, and
// written before the program ends, with the user's choice when it cannot be.
#include "commands/CommandsWorld.h"
#include "commands/Saving.h"
#include "commands/SavingMessages.h"
#include "commands/SettingsMessages.h"
#include "model/Files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavlor {
namespace {

class Saving : public ::testing::Test {
protected:
    test::TCommandsWorld W;
    std::int64_t Now = 0;
    TSnapshotKeeper Keeper{W.Dm, W.Boxes, [this] { return Now; }};

    void SetUp() override {
        W.Load(1201);
        Keeper.MarkSaved();
    }
    std::string Phases() { return W.Dm.SnapshotPath("Phases"); }
    bool Written() {
        return FileExists(Phases()) && ReadWholeFile(Phases()).find("Poules du matin") != std::string::npos;
    }
    void Rename(const std::string& name = "Poules du matin") { ASSERT_TRUE(W.Compet.EditPhase(1, name)); }
    // Ticks every 100 ms up to the given time.
    void RunTo(std::int64_t until) {
        for (; Now <= until; Now += 100) Keeper.Tick();
        Now = until;
    }
    // The snapshot's first file cannot be written until repaired (a folder
    // holds the place of its temporary file).
    void FillTheDisk() { std::filesystem::create_directory(Phases() + ".tmp"); }
    void EmptyTheDisk() { std::filesystem::remove(Phases() + ".tmp"); }
};

TEST_F(Saving, AChangeReachesTheDiskWithinASecond) {
    EXPECT_FALSE(Keeper.Pending());
    Rename();
    EXPECT_TRUE(Keeper.Pending());
    Keeper.Tick();
    EXPECT_FALSE(Written()) << "not at once: a burst may follow";
    RunTo(TSnapshotKeeper::StillMs + 100);
    EXPECT_TRUE(Written());
    EXPECT_FALSE(Keeper.Pending());
    // Nothing changed since: never written again.
    std::filesystem::remove(Phases());
    RunTo(Now + 3000);
    EXPECT_FALSE(FileExists(Phases()));
}

TEST_F(Saving, ABurstIsWrittenOnceAndNeverLaterThanASecondAfterItsStart) {
    std::filesystem::remove(Phases());
    // A change every 100 ms: never still, written once the longest wait is over.
    int written = 0;
    std::int64_t firstWrite = -1;
    for (int i = 0; i < 15; ++i) {
        Rename("Poules du matin " + std::to_string(i));
        Keeper.Tick();
        if (FileExists(Phases())) {
            if (firstWrite < 0) firstWrite = Now;
            ++written;
            std::filesystem::remove(Phases());
        }
        Now += 100;
    }
    ASSERT_GE(firstWrite, 0);
    EXPECT_LE(firstWrite, 1000);
    EXPECT_LE(written, 2) << "coalesced";
    RunTo(Now + 1000);
    EXPECT_NE(ReadWholeFile(Phases()).find("Poules du matin 14"), std::string::npos) << "the last one written";
}

TEST_F(Saving, NothingIsWrittenWhileACommandOrADownloadRuns) {
    bool busy = true;
    Keeper.Busy = [&] { return busy; };
    Rename();
    RunTo(3000);
    EXPECT_FALSE(Written());
    busy = false;
    RunTo(Now + 200);
    EXPECT_TRUE(Written());
    // Another competition opened, and at once changed: its snapshot written
    // with the change (the load is no reason to forget it).
    W.Load(1202);
    ASSERT_TRUE(W.Compet.AddInscrit(987653, -1, "APRÈS LE CHARGEMENT"));
    RunTo(Now + 2000);
    EXPECT_FALSE(Keeper.Pending());
    EXPECT_NE(ReadWholeFile(W.Dm.SnapshotPath("Inscrits")).find("987653"), std::string::npos);
    W.Compet.Chargement = true;
    ASSERT_TRUE(W.Compet.AddInscrit(987654, -1, "EN CHARGEMENT"));
    RunTo(Now + 2000);
    EXPECT_TRUE(Keeper.Pending()) << "not while loading";
    W.Compet.Chargement = false;
}

TEST_F(Saving, AFailedWriteIsToldOnceAndTriedAgain) {
    FillTheDisk();
    Rename();
    RunTo(1000);
    ASSERT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Boxes.Errors[0].rfind("Impossible d'enregistrer le fichier " + Phases(), 0), 0u);
    EXPECT_NE(W.Boxes.Errors[0].find("Tavlor essaiera de nouveau"), std::string::npos);
    Rename("Poules du soir");
    RunTo(Now + 10000);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u) << "told once";
    EXPECT_TRUE(Keeper.Pending());
    EmptyTheDisk();
    RunTo(Now + TSnapshotKeeper::RetryMs + 200);
    EXPECT_FALSE(Keeper.Pending());
    EXPECT_NE(ReadWholeFile(Phases()).find("Poules du soir"), std::string::npos);
    // A new failure later is told again.
    FillTheDisk();
    Rename("Poules de la nuit");
    RunTo(Now + 1000);
    EXPECT_EQ(W.Boxes.Errors.size(), 2u);
}

// ---- before the end

TEST_F(Saving, BeforeTheEndEverythingIsWrittenOrTheUserChooses) {
    TSaveBeforeQuit quit(W.Dm, W.Settings, W.Boxes);
    Rename();
    EXPECT_TRUE(quit.Run());
    EXPECT_TRUE(Written());
    EXPECT_TRUE(FileExists(W.Dir.File("tavlor.ini")));
    EXPECT_TRUE(W.Boxes.Questions.empty());

    // A full disk: asked, "Annuler" (or Escape) keeps the program.
    FillTheDisk();
    Rename("Poules du soir");
    W.Boxes.Buttons = {3};
    EXPECT_FALSE(quit.Run());
    ASSERT_EQ(W.Boxes.Questions.size(), 1u);
    EXPECT_EQ(W.Boxes.Questions[0].rfind("Impossible d'enregistrer le fichier " + Phases(), 0), 0u);
    EXPECT_NE(W.Boxes.Questions[0].find("|Réessayer|Enregistrer ailleurs...|Quitter sans enregistrer|Annuler"),
              std::string::npos);
    W.Boxes.Buttons.clear();
    EXPECT_FALSE(quit.Run()) << "Escape";

    // "Réessayer" once room was made meanwhile: written.
    W.Boxes.Questions.clear();
    W.Boxes.OnAsk = [&] { EmptyTheDisk(); };
    W.Boxes.Buttons = {0};
    EXPECT_TRUE(quit.Run());
    EXPECT_EQ(W.Boxes.Questions.size(), 1u);
    EXPECT_NE(ReadWholeFile(Phases()).find("Poules du soir"), std::string::npos);
}

TEST_F(Saving, TheCompetitionCanBeWrittenElsewhereOrLeft) {
    TSaveBeforeQuit quit(W.Dm, W.Settings, W.Boxes);
    test::TTempDir elsewhere;
    FillTheDisk();
    Rename();
    // "Enregistrer ailleurs...", a folder: the set is written there, and said.
    W.Boxes.Buttons = {1};
    W.Boxes.Chosen = {elsewhere.Path()};
    EXPECT_TRUE(quit.Run());
    const std::string moved = JoinPath(elsewhere.Path(), std::filesystem::path(Phases()).filename().string());
    EXPECT_NE(ReadWholeFile(moved).find("Poules du matin"), std::string::npos);
    ASSERT_EQ(W.Boxes.Informations.size(), 1u);
    EXPECT_NE(W.Boxes.Informations[0].find(elsewhere.Path()), std::string::npos);
    EXPECT_NE(W.Boxes.Informations[0].find(W.Dir.Path()), std::string::npos);
    EXPECT_EQ(W.Dm.DataFolder, W.Dir.Path()) << "the usual folder stays the program's";
    // The folder chooser cancelled: asked again; then "Quitter sans enregistrer".
    W.Boxes.Clear();
    W.Boxes.Buttons = {1, 2};
    W.Boxes.Chosen = {std::nullopt};
    EXPECT_TRUE(quit.Run());
    EXPECT_EQ(W.Boxes.Questions.size(), 2u);
    EXPECT_FALSE(Written());
}

TEST_F(Saving, ASettingsFileThatCannotBeWrittenIsAskedAboutToo) {
    TSaveBeforeQuit quit(W.Dm, W.Settings, W.Boxes);
    std::filesystem::create_directory(W.Dir.File("tavlor.ini.tmp"));
    W.Settings.AddRecentCompet(W.Server.BaseUrl("3bandes"), "Finale", 1201);
    W.Boxes.Buttons = {2};
    EXPECT_FALSE(quit.Run()) << "Annuler";
    ASSERT_EQ(W.Boxes.Questions.size(), 1u);
    EXPECT_NE(W.Boxes.Questions[0].find("Les réglages"), std::string::npos);
    EXPECT_NE(W.Boxes.Questions[0].find("|Réessayer|Quitter sans enregistrer|Annuler"), std::string::npos);
    W.Boxes.Buttons = {1};
    EXPECT_TRUE(quit.Run());
    // Quietly: both tried, the error told back.
    EXPECT_NE(quit.Quietly().find("tavlor.ini"), std::string::npos);
    std::filesystem::remove(W.Dir.File("tavlor.ini.tmp"));
    EXPECT_EQ(quit.Quietly(), "");
}

TEST_F(Saving, QuietlyNoBoxIsOpenedAndWhatWouldBeToldIsAnswered) {
    // The display may be gone: a settings file made read-only during the
    // session is told back, not shown, and the snapshot is still written.
    TSaveBeforeQuit quit(W.Dm, W.Settings, W.Boxes);
    W.Settings.AddRecentCompet(W.Server.BaseUrl("3bandes"), "Finale", 1201);
    ASSERT_EQ(quit.Quietly(), "");
    std::filesystem::permissions(W.Settings.Path(), std::filesystem::perms::owner_read);
    Rename();
    EXPECT_EQ(quit.Quietly(), msg::settings::ReadOnlyFile(W.Settings.Path()));
    EXPECT_TRUE(Written());
    EXPECT_TRUE(W.Boxes.Informations.empty());
    EXPECT_TRUE(W.Boxes.Errors.empty());
    EXPECT_TRUE(W.Boxes.Questions.empty());
}

TEST_F(Saving, QuietlyTheSnapshotGoesToTheUsersFolderWhenItsOwnRefusesIt) {
    TSaveBeforeQuit quit(W.Dm, W.Settings, W.Boxes);
    test::TTempDir users;
    int asked = 0;
    quit.Fallback = [&] {
        ++asked;
        return users.Path();
    };
    ASSERT_EQ(quit.Quietly(), "");
    EXPECT_EQ(asked, 0) << "the user's folder is only looked for when needed";
    FillTheDisk();
    Rename();
    const std::string told = quit.Quietly();
    const std::string moved = JoinPath(users.Path(), std::filesystem::path(Phases()).filename().string());
    EXPECT_NE(ReadWholeFile(moved).find("Poules du matin"), std::string::npos);
    EXPECT_NE(told.find(msg::saving::SavedElsewhere(users.Path(), W.Dir.Path())), std::string::npos) << told;
    EXPECT_EQ(W.Dm.DataFolder, W.Dir.Path());
    // No folder of the user's own apart from the usual one: the error alone.
    quit.Fallback = [&] { return W.Dir.Path(); };
    EXPECT_EQ(quit.Quietly().find("La compétition a été enregistrée"), std::string::npos);
}

}  // namespace
}  // namespace tavlor
