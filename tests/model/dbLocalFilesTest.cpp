#include "model/DataPacket.h"
#include "model/Files.h"
#include "model/dbLocal.h"

#include "support/RankingsGolden.h"
#include "support/TempDir.h"
#include "support/TestData.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace tavlor {
namespace {

using Ranks = std::map<std::int32_t, std::int32_t>;

// The competition of the rankings golden file, downloaded as 3Bandes 4242.
class Snapshots : public test::TRankingsGoldenFixture {
protected:
    test::TTempDir Dir;
    void SetUp() override {
        ReadGolden();
        Dm.DataFolder = Dir.Path();
        Compet.SetDiscipline("3Bandes");
        Compet.SetIdCompet(4242);
        Build();
    }
    Ranks RegistrantRanks() {
        Ranks out;
        auto t = Dm.Tables.Inscrits.Clone();
        for (t->First(); !t->Eof(); t->Next()) out[t->AsInteger("LICENCE")] = t->AsInteger("RGA");
        return out;
    }
};

TEST_F(Snapshots, TheSnapshotIsWrittenByteForByte) {
    Dm.SaveSnapshot();
    for (const char* table : {"Phases", "Inscrits", "Joueurs"}) {
        const std::string name = std::string("3Bandes_4242") + table + ".xml";
        EXPECT_EQ(ReadWholeFile(Dir.File(name)), ReadWholeFile(test::DataPath("snapshot_" + name))) << name;
    }
    EXPECT_EQ(Dm.SnapshotPath("Joueurs"), Dir.File("3Bandes_4242Joueurs.xml"));
}

TEST_F(Snapshots, WhatWasDoneByHandSurvivesAReload) {
    // By hand: a phase renamed, a ranks changed, a new registrant put into a pool.
    ASSERT_TRUE(Compet.EditPhase(2, "Finale à Paris"));
    ASSERT_TRUE(Compet.AddInscrit(777, -1, "NOUVEAU Léo"));
    ASSERT_TRUE(Compet.AddJoueur(777, -1, 12));
    ASSERT_TRUE(Compet.EditInscrit(9021, 1));
    const Ranks ranks = RegistrantRanks();
    const Ranks pool12 = PoolRanks(12);
    const Ranks pool11 = PoolRanks(11);

    Download(4242, "3Bandes");  // the same competition again

    EXPECT_EQ(Dm.GetNomElement({NodePhase, 2, -1}), "Finale à Paris");
    EXPECT_EQ(Dm.GetNomElement({NodePhase, 1, -1}), "Phase 1");
    EXPECT_EQ(RegistrantRanks(), ranks);
    EXPECT_EQ(PoolRanks(12), pool12);
    EXPECT_EQ(PoolRanks(11), pool11) << "512300, added by hand, is back too";
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 777, -1}), std::to_string(ranks.at(777)) + " - NOUVEAU Léo");
    EXPECT_FALSE(Compet.Chargement);
    // The tree is sorted: folder first, then phases; registrants by rank.
    const auto& top = Dm.Tree.Children(0);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(Dm.Tree.Data(top[0]).Kind, NodeRegistrants);
    EXPECT_EQ(Dm.Tree.Data(Dm.Tree.Children(top[0]).front()).Id, 9021);
    EXPECT_EQ(TreeMembers(12).back(), 777);
}

TEST_F(Snapshots, AMemberOfAPoolTheServerNoLongerHasIsDropped) {
    Lists.Pools.erase(std::remove_if(Lists.Pools.begin(), Lists.Pools.end(),
                                     [](const sample::TSamplePool& p) { return p.IdPoule == 22; }),
                      Lists.Pools.end());
    Lists.Matches.erase(std::remove_if(Lists.Matches.begin(), Lists.Matches.end(),
                                       [](const sample::TSampleMatch& m) { return m.IdPoule == 22; }),
                        Lists.Matches.end());
    Download(4242, "3Bandes");  // the snapshot written on leaving still has pool 22
    EXPECT_FALSE(Dm.Tables.Poules.Data().Lookup("IDPOULE", {22}));
    EXPECT_EQ(CountRows(Dm.Tables.Joueurs, "IDPOULE=22"), 0);
    EXPECT_TRUE(Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {11, 512300})) << "his other pool is restored";
}

TEST_F(Snapshots, ARegistrantsSnapshotWithoutRanksSetsThemToMinusOne) {
    TTable names("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50)});
    names.Append();
    names.SetInteger("LICENCE", 1234);
    names.SetString("NOM", "ignoré");
    names.Post();
    SaveDataPacket(names, Dm.SnapshotPath("Inscrits"));
    Compet.Chargement = true;
    Dm.RestoreSnapshot();
    Compet.Chargement = false;
    EXPECT_EQ(RegistrantRanks().at(1234), -1);
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 1234, -1}), "-1 - LEFÈVRE Jérôme") << "the name in memory stays";
}

TEST_F(Snapshots, AnUnwritableSnapshotStopsTheLoadWithTheCompetitionWhole) {
    Dm.DataFolder = Dir.File("no such folder");
    try {
        Compet.DoClear();
        FAIL() << "the snapshot could not be written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(Dm.SnapshotPath("Phases")), std::string::npos) << e.what();
    }
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 18);
    EXPECT_EQ(Dm.Tables.Inscrits.RecordCount(), 12);
    EXPECT_FALSE(Compet.Chargement);
    EXPECT_GT(Dm.Tree.Count(), 30u);
}

// The three files fit together: a failure on any of them leaves the old set whole.
TEST_F(Snapshots, AFullDiskReplacesNoneOfTheThreeFiles) {
    Dm.SaveSnapshot();
    std::map<std::string, std::string> before;
    for (const char* table : {"Phases", "Inscrits", "Joueurs"}) {
        before[table] = ReadWholeFile(Dm.SnapshotPath(table));
    }
    auto unchanged = [&] {
        for (const auto& [table, bytes] : before) {
            EXPECT_EQ(ReadWholeFile(Dm.SnapshotPath(table)), bytes) << table;
        }
        for (const auto& entry : std::filesystem::directory_iterator(Dir.Path())) {
            EXPECT_EQ(entry.path().extension(), ".xml") << "left behind: " << entry.path();
        }
    };
    ASSERT_TRUE(Compet.EditPhase(2, "Finale renommée"));
    ASSERT_TRUE(Compet.AddInscrit(777, -1, "NOUVEAU Léo"));
    ASSERT_TRUE(Compet.AddJoueur(777, -1, 12));

    // The last file meets a full disk.
    std::filesystem::create_symlink("/dev/full", Dm.SnapshotPath("Joueurs") + ".tmp");
    try {
        Dm.SaveSnapshot();
        FAIL() << "the disk is full";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'enregistrer le fichier " + Dm.SnapshotPath("Joueurs") +
                                             " : plus d'espace libre sur le disque");
    }
    unchanged();

    // The last rename is refused after the first two were done: they are put back.
    std::filesystem::remove(Dm.SnapshotPath("Joueurs"));
    std::filesystem::create_directory(Dm.SnapshotPath("Joueurs"));
    before.erase("Joueurs");
    try {
        Dm.SaveSnapshot();
        FAIL() << "a folder stands in the way";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Impossible d'enregistrer le fichier " + Dm.SnapshotPath("Joueurs") + " : est un dossier");
    }
    for (const auto& [table, bytes] : before) {
        EXPECT_EQ(ReadWholeFile(Dm.SnapshotPath(table)), bytes) << table;
    }
    EXPECT_FALSE(FileExists(Dm.SnapshotPath("Phases") + ".old"));
    EXPECT_FALSE(FileExists(Dm.SnapshotPath("Phases") + ".tmp"));

    // Once the way is clear, the whole new set is written.
    std::filesystem::remove(Dm.SnapshotPath("Joueurs"));
    Dm.SaveSnapshot();
    EXPECT_NE(ReadWholeFile(Dm.SnapshotPath("Phases")).find("Finale renomm"), std::string::npos);
    EXPECT_NE(ReadWholeFile(Dm.SnapshotPath("Joueurs")).find("777"), std::string::npos);
    EXPECT_FALSE(FileExists(Dm.SnapshotPath("Inscrits") + ".old"));
}

TEST_F(Snapshots, AMergeStoppedByAnErrorStillEndsTheLoad) {
    // A membership whose licence is in neither list: the store stops with an error.
    TTable members("Joueurs",
                   {IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE"), IntegerField("RGA")});
    for (std::int32_t licence : {512300, 424242}) {
        members.Append();
        members.SetInteger("IDPOULE", 12);
        members.SetInteger("LICENCE", licence);
        members.Post();
    }
    Dm.SaveSnapshot();
    SaveDataPacket(members, Dm.SnapshotPath("Joueurs"));
    Dm.Tree.BeginUpdate();
    Compet.Chargement = true;
    EXPECT_THROW(Compet.DoAfterLoad(), Error);
    EXPECT_FALSE(Compet.Chargement);
    EXPECT_TRUE(Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {12, 512300})) << "rows merged before stay";
}

TEST_F(Snapshots, NoCompetitionOrNoFileMeansNothingToDo) {
    Compet.SetIdCompet(-1);
    Dm.SaveSnapshot();
    EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
    Compet.SetIdCompet(4242);
    Compet.Chargement = true;
    EXPECT_NO_THROW(Dm.RestoreSnapshot()) << "a missing snapshot is not an error";
}

class RegistrantFiles : public Snapshots {};

TEST_F(RegistrantFiles, ExportThenImportIntoAnEmptyList) {
    const std::string file = Dir.File("inscrits.xml");
    Dm.ExportInscrits(file);
    EXPECT_EQ(ReadWholeFile(file), ReadWholeFile(test::DataPath("snapshot_3Bandes_4242Inscrits.xml")));

    TCompetition other;
    TdmLocal dm(other);
    dm.ImportInscrits(file);
    EXPECT_EQ(dm.Tables.Inscrits.RecordCount(), 12);
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 600125, -1}), "12 - BÉRENGER Zoé") << "ranks kept from the file";
    dm.ImportInscrits(Dir.File("absent.xml"));  // nothing happens
    EXPECT_EQ(dm.Tables.Inscrits.RecordCount(), 12);
}

TEST_F(RegistrantFiles, ImportWithoutRanksAndIntoAFilledList) {
    TTable file("Inscrits", {IntegerField("LICENCE"), StringField("NOM", 50), StringField("VILLE", 30)});
    for (auto [licence, name] : std::vector<std::pair<int, const char*>>{{5, "Cinq"}, {3, "Trois"}, {1234, "Autre"}}) {
        file.Append();
        file.SetInteger("LICENCE", licence);
        file.SetString("NOM", name);
        file.Post();
    }
    const std::string path = Dir.File("noranks.xml");
    SaveDataPacket(file, path);

    TCompetition other;
    TdmLocal dm(other);
    dm.ImportInscrits(path);
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 5, -1}), "1 - Cinq") << "file order";
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 3, -1}), "2 - Trois");
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 1234, -1}), "3 - Autre");

    // Into the golden list of 12: new players come after the last one, file ranks ignored.
    const TdmLocal::TImported imported = Dm.ImportInscrits(path);
    EXPECT_EQ(imported.Read, 3);
    EXPECT_EQ(imported.Added, 2) << "a known licence is not counted";
    EXPECT_EQ(Dm.ImportInscrits(path).Added, 0) << "all known the second time";
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 5, -1}), "13 - Cinq");
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 3, -1}), "14 - Trois");
    EXPECT_EQ(Dm.GetNomElement({NodeRegistrant, 1234, -1}), "1 - LEFÈVRE Jérôme") << "a known licence is skipped";
}

// A rank cleared by a later change of the file is no rank: the player comes
// after the last one, as any registrant without rank.
TEST_F(RegistrantFiles, ARankClearedInTheChangeLogIsNoRank) {
    TCompetition other;
    TdmLocal dm(other);
    dm.ImportInscrits(test::DataPath("changelog_cleared_rank.xml"));
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 100, -1}), "1 - MARTIN");
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 200, -1}), "2 - DURAND") << "not the rank 3 of its earlier version";
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 400, -1}), "3 - ROUX") << "not the rank of the deleted player";
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 500, -1}), "4 - BLANC");
    EXPECT_FALSE(dm.Tables.Inscrits.Data().Lookup("LICENCE", {300})) << "deleted";
}

TEST_F(RegistrantFiles, ImportWithRanksIntoAListOfTen) {
    TCompetition other;
    TdmLocal dm(other);
    for (int i = 1; i <= 10; ++i) {
        ASSERT_TRUE(other.AddInscrit(i, -1, "J" + std::to_string(i)));
    }
    const std::string path = Dir.File("ranked.xml");
    Dm.ExportInscrits(path);  // carries ranks 1 to 12
    dm.ImportInscrits(path);
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 1234, -1}), "11 - LEFÈVRE Jérôme");
    EXPECT_EQ(dm.GetNomElement({NodeRegistrant, 9021, -1}), "12 - VÉRON Raphaël");
}

TEST_F(RegistrantFiles, AFileWithoutNamesIsRefusedWithTheMissingField) {
    TTable file("Inscrits", {IntegerField("LICENCE")});
    file.Append();
    file.SetInteger("LICENCE", 5);
    file.Post();
    const std::string path = Dir.File("nonames.xml");
    SaveDataPacket(file, path);
    try {
        Dm.ImportInscrits(path);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Le fichier " + path + " n'est pas un fichier de données valide : champ NOM absent");
    }
    EXPECT_EQ(Dm.Tables.Inscrits.RecordCount(), 12);
}

}  // namespace
}  // namespace tavlor
