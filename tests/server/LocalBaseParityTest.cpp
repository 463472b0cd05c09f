// A competition opened from the local base is the one the download gave:
// every table row for row and value for value, the tree node for node, and
// every view of every element. The competitions come from the stand-in
// server (the large one and every sample), or are generated and then changed
// by hand; each is opened again by a program of its own that never reaches
// the server.
#include "fedserver/FedData.h"
#include "fedserver/FedServer.h"
#include "model/dbFb.h"
#include "ranking/Views.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"
#include "server/www.h"
#include "support/CompetitionImage.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace tavlor {
namespace {

// A program's store, views and local base on the data folder.
struct TWorld {
    TCompetition Compet;
    test::TFakeViewHost Host;
    TdmLocal Dm{Compet};
    test::TRecordingBoxes Boxes;
    TdmFb Fb{Compet, Dm, Boxes};
    TViews Views{Dm, Host};

    explicit TWorld(const std::string& folder) {
        Dm.DataFolder = folder;
        Fb.DataFolder = folder;
        Fb.OpenDb();
    }
    test::TCompetImage Image() { return test::ImageOf(Compet, Dm); }
    std::vector<test::TViewImage> Views_(const std::function<bool(const TElement&)>& which = nullptr) {
        return test::ViewsOf(Dm, Views, Host, which);
    }
};

// The world that downloads, with its server link storing each download.
struct TDownloader : TWorld {
    test::TFakeConnectionWindow Window;
    test::TFakeShell Shell;
    TwwwFrm Www{Compet, Window, Boxes, Shell};

    explicit TDownloader(const std::string& folder) : TWorld(folder) {
        Www.DecimalMark = ',';
        Www.OnLoaded = [this](const std::string& address) { Fb.StoreDownload(address); };
    }
};

// Opens the competition from the base in a world of its own and compares it
// with what the downloader holds; answers the number of views compared.
std::size_t ExpectSameFromTheBase(TWorld& downloaded, const std::string& folder, std::int32_t id,
                                  const std::function<bool(const TElement&)>& which = nullptr) {
    EXPECT_TRUE(downloaded.Boxes.Errors.empty()) << downloaded.Boxes.Errors.front();
    EXPECT_FALSE(downloaded.Fb.Unstored());
    const test::TCompetImage expected = downloaded.Image();
    EXPECT_TRUE(expected.BrokenLinks.empty()) << expected.BrokenLinks.front();
    const std::vector<test::TViewImage> expectedViews = downloaded.Views_(which);

    TWorld opened(folder);
    opened.Fb.LoadCompetDb(id, "");
    EXPECT_EQ(opened.Compet.Connexion, TConnexion::LocalBase);
    const test::TCompetImage image = opened.Image();
    EXPECT_EQ(test::FirstDifference(expected, image), "") << "competition " << id;
    EXPECT_TRUE(image.BrokenLinks.empty());
    const std::vector<test::TViewImage> views = opened.Views_(which);
    EXPECT_EQ(views.size(), expectedViews.size());
    EXPECT_EQ(test::FirstDifference(expectedViews, views), "") << "competition " << id;
    EXPECT_FALSE(opened.Fb.Unstored());
    return views.size();
}

TEST(LocalBaseParity, TheLargeCompetitionOpensFromTheBaseAsTheDownloadGaveIt) {
    test::TTempDir dir;
    fedserver::TFedServer server(fedserver::TFedServerOptions{true});
    server.Start(0);
    TDownloader downloader(dir.Path());
    downloader.Www.LoadCompet(server.BaseUrl("3bandes"), 4242, "FFB 2026 Championnat de France - Grande compétition");
    server.Stop();
    ASSERT_EQ(downloader.Dm.Tables.Matchs.RecordCount(), 20000);
    const auto held = downloader.Fb.FindCompetDb(4242);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->Origin, server.BaseUrl("3bandes"));
    EXPECT_EQ(held->Registrants, 5000);
    EXPECT_EQ(held->Matches, 20000);
    // Every element: the folder, 5,000 registrants, 4 phases, 1,000 pools, 20,000 members.
    EXPECT_EQ(ExpectSameFromTheBase(downloader, dir.Path(), 4242), 26005u);
}

TEST(LocalBaseParity, EverySampleCompetitionOfTheServerOpensFromTheBaseAsDownloaded) {
    test::TTempDir dir;
    fedserver::TFedServer server;
    server.Start(0);
    const fedserver::TFederation federation = fedserver::MakeFederation(false);
    int compared = 0;
    for (const fedserver::TDiscipline& discipline : federation.Disciplines) {
        for (const fedserver::TServedCompetition& served : discipline.Competitions) {
            TDownloader downloader(dir.Path());
            downloader.Www.LoadCompet(server.BaseUrl(discipline.Path), served.Data.Id, served.Data.Title);
            ExpectSameFromTheBase(downloader, dir.Path(), served.Data.Id);
            ++compared;
        }
    }
    EXPECT_GE(compared, 5);
}

// Generated competitions, loaded as a download loads them, then worked on by
// hand at random: phases renamed and added, registrants and members added,
// ranks changed, members moved, pools moved to another phase.
class GeneratedParity : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(GeneratedParity, AGeneratedCompetitionChangedByHandOpensFromTheBaseAsItWasLeft) {
    test::TTempDir dir;
    TWorld world(dir.Path());
    sample::TLargeShape shape;
    shape.Registrants = 48;
    shape.Phases = 3;
    shape.PoolsPerPhase = 5;
    shape.RoundRobinPoolsPerPhase = 2;
    shape.Matches = 240;
    shape.Seed = GetParam();
    const sample::TSampleCompetition generated = sample::MakeLargeCompetition(shape);
    TCompetition& compet = world.Compet;
    compet.DoClear();
    sample::LoadLists(generated, compet);
    compet.Connexion = TConnexion::Internet;
    compet.SetIdCompet(generated.Id);
    compet.SetMessage(generated.Title);
    compet.SetDiscipline("Libre");
    compet.DoAfterLoad();

    std::mt19937 random(GetParam());
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::int32_t> pools, addedPhases;
    for (const auto& pool : generated.Pools) pools.push_back(pool.IdPoule);
    for (int i = 0; i < 60; ++i) {
        const std::int32_t licence = 900000 + i;
        switch (pick(6)) {
            case 0:
                compet.EditPhase(1 + pick(shape.Phases), pick(3) == 0 ? "" : "Phase renommée " + std::to_string(i));
                break;
            case 1:
                if (compet.AddPhase(10 + i, "Phase ajoutée")) addedPhases.push_back(10 + i);
                break;
            case 2:
                compet.AddInscrit(licence, pick(2) == 0 ? -1 : 1 + pick(40), "NOUVEAU Joueur " + std::to_string(i));
                compet.AddJoueur(licence, -1, pools[static_cast<std::size_t>(pick(static_cast<int>(pools.size())))]);
                break;
            case 3: {
                TTable& reg = world.Dm.Tables.Inscrits;
                reg.First();
                for (int k = pick(reg.RecordCount()); k > 0; --k) reg.Next();
                compet.EditInscrit(reg.AsInteger("LICENCE"), 1 + pick(reg.RecordCount()));
                break;
            }
            case 4: {
                // A member without match moves to another pool, when there is one.
                const std::int32_t from = pools[static_cast<std::size_t>(pick(static_cast<int>(pools.size())))];
                const std::int32_t to = pools[static_cast<std::size_t>(pick(static_cast<int>(pools.size())))];
                auto members = world.Dm.Tables.Joueurs.Clone();
                for (members->First(); !members->Eof(); members->Next()) {
                    if (members->AsInteger("IDPOULE") == from && members->AsInteger("LICENCE") >= 900000) {
                        compet.MoveJoueur(members->AsInteger("LICENCE"), from, to);
                        break;
                    }
                }
                break;
            }
            default: {
                // Only a phase its players are not in takes a pool: one added by hand.
                if (addedPhases.empty()) break;
                TParamTable move;
                move.Id = pools[static_cast<std::size_t>(pick(static_cast<int>(pools.size())))];
                move.IdParent = addedPhases[static_cast<std::size_t>(pick(static_cast<int>(addedPhases.size())))];
                world.Dm.UpdatePoule(move);
                break;
            }
        }
        world.Dm.Tree.Sort([&world](TNodeHandle a, TNodeHandle b) { return world.Dm.CompareNodes(a, b); });
    }
    ASSERT_TRUE(world.Fb.StoreDownload("http://127.0.0.1:8765/libre"));
    ExpectSameFromTheBase(world, dir.Path(), generated.Id);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedParity, ::testing::Values(7u, 20261209u, 424242u));

}  // namespace
}  // namespace tavlor
