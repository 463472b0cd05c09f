// How a file is replaced: through a symbolic link to the file it names, with
// the mode of the file it replaces, and never when its mode says read-only.
#include "model/Files.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

namespace tavlor {
namespace {

namespace fs = std::filesystem;
using P = fs::perms;

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

P Mode(const std::string& path) {
    return fs::status(path).permissions() & P::mask;
}

TEST(FilesThroughLinks, ALinkIsWrittenThroughToTheFileItNames) {
    test::TTempDir dir;
    fs::create_directories(dir.File("partage"));
    fs::create_directories(dir.File("moi"));
    WriteFileAtomic(dir.File("partage/a.ini"), "ancien");
    // A relative link, reached through a second, absolute one.
    fs::create_symlink("../partage/a.ini", dir.File("moi/lien.ini"));
    fs::create_symlink(dir.File("moi/lien.ini"), dir.File("a.ini"));
    WriteFileAtomic(dir.File("a.ini"), "nouveau");
    EXPECT_TRUE(fs::is_symlink(dir.File("a.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.File("moi/lien.ini")));
    EXPECT_EQ(ReadWholeFile(dir.File("partage/a.ini")), "nouveau");
    EXPECT_EQ(LinkTarget(dir.File("a.ini")), dir.File("moi/../partage/a.ini"));
    for (const char* left : {"a.ini.tmp", "moi/lien.ini.tmp", "partage/a.ini.tmp"})
        EXPECT_FALSE(fs::exists(dir.File(left))) << left;
    // A link whose file does not exist yet: the file is created where it points.
    fs::create_symlink("nouveau.ini", dir.File("b.ini"));
    WriteFileAtomic(dir.File("b.ini"), "b");
    EXPECT_TRUE(fs::is_symlink(dir.File("b.ini")));
    EXPECT_EQ(ReadWholeFile(dir.File("nouveau.ini")), "b");
    EXPECT_EQ(LinkTarget(dir.File("nouveau.ini")), dir.File("nouveau.ini"));
}

TEST(FilesThroughLinks, LinksGoingRoundInACircleAreToldAndNothingIsWritten) {
    test::TTempDir dir;
    fs::create_symlink("b.ini", dir.File("a.ini"));
    fs::create_symlink("a.ini", dir.File("b.ini"));
    EXPECT_EQ(Failure([&] { WriteFileAtomic(dir.File("a.ini"), "x"); }),
              "Impossible d'enregistrer le fichier " + dir.File("a.ini") + " : trop de liens symboliques");
    EXPECT_TRUE(fs::is_symlink(dir.File("a.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.File("b.ini")));
}

TEST(FilesModes, AReplacedFileKeepsItsMode) {
    test::TTempDir dir;
    for (const P mode : {P::owner_read | P::owner_write,
                         P::owner_read | P::owner_write | P::group_read | P::group_write | P::others_read}) {
        const std::string path = dir.File("f.ini");
        WriteFileAtomic(path, "ancien");
        fs::permissions(path, mode);
        WriteFileAtomic(path, "nouveau");
        EXPECT_EQ(ReadWholeFile(path), "nouveau");
        EXPECT_EQ(Mode(path), mode);
    }
}

TEST(FilesModes, AReadOnlyFileIsNotReplacedNorAnyFileOfItsSet) {
    test::TTempDir dir;
    const P readOnly = P::owner_read | P::group_read | P::others_read;
    WriteFileAtomic(dir.File("a.xml"), "a");
    WriteFileAtomic(dir.File("b.xml"), "b");
    fs::permissions(dir.File("b.xml"), readOnly);
    EXPECT_EQ(Failure([&] { WriteFileAtomic(dir.File("b.xml"), "B"); }),
              "Impossible d'enregistrer le fichier " + dir.File("b.xml") + " : fichier en lecture seule");
    EXPECT_EQ(Failure([&] {
                  WriteFilesTogether({{dir.File("a.xml"), "A"}, {dir.File("b.xml"), "B"}, {dir.File("c.xml"), "C"}});
              }),
              "Impossible d'enregistrer le fichier " + dir.File("b.xml") + " : fichier en lecture seule");
    EXPECT_EQ(ReadWholeFile(dir.File("a.xml")), "a");
    EXPECT_EQ(ReadWholeFile(dir.File("b.xml")), "b");
    EXPECT_EQ(Mode(dir.File("b.xml")), readOnly);
    EXPECT_FALSE(fs::exists(dir.File("c.xml")));
    for (const char* left : {"a.xml.tmp", "b.xml.tmp", "c.xml.tmp"}) EXPECT_FALSE(fs::exists(dir.File(left))) << left;
}

TEST(FilesModes, ReadOnlyIsDecidedByTheBitsThatApplyToTheUser) {
    test::TTempDir dir;
    const std::string path = dir.File("f.ini");
    EXPECT_FALSE(ReadOnlyByMode(path)) << "no file";
    EXPECT_FALSE(ReadOnlyByMode(dir.Path())) << "a folder is no read-only file";
    WriteFileAtomic(path, "x");
    fs::permissions(path, P::owner_read | P::owner_write);
    EXPECT_FALSE(ReadOnlyByMode(path));
    fs::permissions(path, P::owner_read | P::group_read | P::others_read);
    EXPECT_TRUE(ReadOnlyByMode(path));
    // The group may write it, its owner may not: the owner's bit applies to
    // the owner; the administrator, to whom every bit applies, may.
    fs::permissions(path, P::owner_read | P::group_read | P::group_write);
    EXPECT_EQ(ReadOnlyByMode(path), ::geteuid() != 0);
}

}  // namespace
}  // namespace tavlor
