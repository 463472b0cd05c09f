// A program killed in the middle of storing the large competition loses
// nothing committed: the base opens whole, with the copy before or the new
// one. And a program that writes holds the others off only while it writes.
#include "model/LocalBase.h"
#include "model/LocalBaseMessages.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class KilledWriter : public ::testing::Test {
protected:
    test::TTempDir Dir;
    std::string Path = Dir.File("tavlor.db");

    // The copy of 4242 before the large one: three matches.
    void StorePrevious() {
        TCompetTables tables;
        for (std::int32_t id = 1; id <= 3; ++id) {
            tables.Matchs.Append();
            tables.Matchs.SetInteger("IDMATCH", id);
            tables.Matchs.Post();
        }
        TLocalBase base;
        base.Open(Path);
        TLocalCompet info;
        info.Id = 4242;
        info.Title = "Copie précédente";
        info.Discipline = "3Bandes";
        info.Origin = "http://127.0.0.1:8765/3bandes";
        base.Store(info, tables);
    }

    // The base as the next start finds it: sound, holding 4242 with this
    // title and as many matches.
    void ExpectWhole(const std::string& title, std::size_t matches) {
        TLocalBase base;
        const TLocalBase::TOpened opened = base.Open(Path);
        EXPECT_TRUE(opened.SetAside.empty());
        EXPECT_EQ(base.IntegrityCheck(), "ok");
        const auto held = base.Find(4242);
        ASSERT_TRUE(held.has_value());
        EXPECT_EQ(held->Title, title);
        EXPECT_EQ(held->Matches, static_cast<std::int32_t>(matches));
        TCompetTables shape;
        EXPECT_EQ(base.Read(4242, shape).Rows[BaseMatchs].size(), matches);
    }

    void KillAt(const std::string& stage) {
        StorePrevious();
        test::TChildProcess writer({TAVLOR_BASE_WRITER, Path, stage});
        ASSERT_EQ(writer.ReadLine(), "ready");
        ASSERT_EQ(writer.ReadLine(), "stop " + stage);
        writer.Kill();
    }
};

TEST_F(KilledWriter, InTheMiddleOfTheRowsTheCopyBeforeIsWhole) {
    KillAt("INSCRITS");
    ExpectWhole("Copie précédente", 3);
}

TEST_F(KilledWriter, WithEveryRowWrittenButNotCommittedTheCopyBeforeIsWhole) {
    KillAt("COMMIT");
    ExpectWhole("Copie précédente", 3);
}

TEST_F(KilledWriter, OnceCommittedTheNewCopyIsWhole) {
    KillAt("done");
    ExpectWhole("Nouvelle copie", 20000);
}

TEST_F(KilledWriter, AnotherProgramWritingHoldsOffAWriterOnlyWhileItWrites) {
    StorePrevious();
    test::TChildProcess writer({TAVLOR_BASE_WRITER, Path, "JOUEURS"});
    ASSERT_EQ(writer.ReadLine(), "ready");
    ASSERT_EQ(writer.ReadLine(), "stop JOUEURS");
    TLocalBase base;
    TLocalBase::TOpenOptions options;
    options.BusyTimeoutMs = 100;
    base.Open(Path, options);
    TCompetTables tables;
    TLocalCompet mine;
    mine.Id = 1201;
    mine.Title = "Autre";
    mine.Discipline = "3Bandes";
    mine.Origin = "http://127.0.0.1:8765/3bandes";
    try {
        base.Store(mine, tables);
        ADD_FAILURE() << "stored while another program writes";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), msg::localbase::Busy(Path));
    }
    // Reading does not wait: the copy before is what is there.
    ASSERT_EQ(base.List().size(), 1u);
    EXPECT_EQ(base.List()[0].Title, "Copie précédente");
    // The other goes on to its end.
    EXPECT_EQ(writer.Finish(), 0);
    EXPECT_EQ(base.Find(4242)->Matches, 20000);
    base.Store(mine, tables);
    EXPECT_EQ(base.List().size(), 2u);
}

}  // namespace
}  // namespace tavlor
