// The settings file as the user left it: its encoding mark, its line breaks,
// sections given twice, a file made read-only, a link to a shared file, and
// a file read in one place and written in another. Real files in a fresh
// folder, their bytes checked.
#include "commands/IniFile.h"
#include "commands/Settings.h"
#include "commands/SettingsMessages.h"
#include "support/ScriptedBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tavlor {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const Texts BuiltIn = {"http://serveur/3bandes", "http://serveur/cadre", "http://serveur/bande",
                       "http://serveur/libre"};
constexpr const char* Bom = "\xEF\xBB\xBF";

void WriteRaw(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int Count(const std::string& text, const std::string& piece) {
    int n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

fs::perms Mode(const std::string& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

class SettingsFile : public ::testing::Test {
protected:
    test::TTempDir Dir;
    test::TScriptedBoxes Boxes;
    std::string Path() const { return Dir.File("tavlor.ini"); }
    TSettings Started(const std::string& readPath = {}) {
        TSettings s(Path(), BuiltIn, readPath);
        s.Load(Boxes);
        return s;
    }
    static Texts Captions(const TSettings& s) {
        Texts out;
        for (const TAddressEntry& e : s.Entries()) out.push_back(e.Caption);
        return out;
    }
};

// ---- encoding

TEST_F(SettingsFile, AByteOrderMarkMakesTheFileUtf8AndItStaysSo) {
    WriteRaw(Path(), std::string(Bom) +
                         "; réglages du club Ω\r\n[URLS]\r\n0=http://fédé.fr/3bandes\r\n1=http://Ωmega/cadre\r\n"
                         "[RECENT1]\r\nurl=http://x\r\nNomCompet=Coupe d'été\r\nIdCompet=3\r\n");
    TSettings s = Started();
    // The section right after the mark is read, accents as written.
    EXPECT_EQ(s.Entries()[0].Caption, "http://fédé.fr/3bandes");
    EXPECT_EQ(s.Entries()[1].Caption, "http://?mega/cadre") << "held as the program holds any text";
    EXPECT_EQ(s.RecentCompets()[0].NomCompet, "Coupe d'été");
    s.AddRecentCompet("http://x", "Épée €", 4);
    ASSERT_TRUE(s.Save(Boxes));
    const std::string raw = ReadRaw(Path());
    // One mark, at the start; UTF-8 throughout; what the program did not change kept byte for byte.
    EXPECT_EQ(raw.rfind(Bom, 0), 0u);
    EXPECT_EQ(raw.find(Bom, 1), std::string::npos);
    EXPECT_NE(raw.find("; réglages du club Ω\r\n"), std::string::npos) << raw;
    EXPECT_NE(raw.find("1=http://Ωmega/cadre\r\n"), std::string::npos) << raw;
    EXPECT_NE(raw.find("NomCompet=Épée €\r\n"), std::string::npos) << raw;
    EXPECT_EQ(raw.find("\xC9p\xE9"), std::string::npos) << "no Windows-1252 bytes in a UTF-8 file";
    EXPECT_EQ(Started().RecentCompets()[1].NomCompet, "Coupe d'été");
    EXPECT_TRUE(Boxes.TopErrors.empty());
}

TEST_F(SettingsFile, AMarkedFileWrittenInWindows1252KeepsItsAccents) {
    WriteRaw(Path(), std::string(Bom) +
                         "[URLS]\n0=http://f\xE9"
                         "d\xE9/3bandes\n");
    TSettings s = Started();
    EXPECT_EQ(s.Entries()[0].Caption, "http://fédé/3bandes");
    ASSERT_TRUE(s.Save(Boxes));
    // Written back as its mark says.
    EXPECT_EQ(ReadRaw(Path()).rfind(std::string(Bom) + "[URLS]\n0=http://fédé/3bandes\n", 0), 0u);
}

TEST_F(SettingsFile, AFileWithoutMarkStaysWindows1252) {
    WriteRaw(Path(),
             "[URLS]\r\n0=http://f\xE9"
             "d\xE9/3bandes\r\n");
    TSettings s = Started();
    EXPECT_EQ(s.Entries()[0].Caption, "http://fédé/3bandes");
    s.AddRecentCompet("http://x", "Été", 1);
    ASSERT_TRUE(s.Save(Boxes));
    const std::string raw = ReadRaw(Path());
    EXPECT_EQ(raw.rfind("[URLS]\r\n0=http://f\xE9"
                        "d\xE9/3bandes\r\n",
                        0),
              0u);
    EXPECT_NE(raw.find("NomCompet=\xC9t\xE9\r\n"), std::string::npos);
}

// ---- line breaks

TEST_F(SettingsFile, LoneCarriageReturnsSeparateLinesAndAreKept) {
    WriteRaw(Path(), "[URLS]\r0=http://a\r1=http://b\r[RECENT1]\rurl=http://x\rNomCompet=C\rIdCompet=2\r");
    TSettings s = Started();
    EXPECT_EQ(Captions(s), (Texts{"http://a", "http://b", BuiltIn[2], BuiltIn[3], "C"}));
    ASSERT_TRUE(s.Save(Boxes));
    const std::string raw = ReadRaw(Path());
    EXPECT_EQ(raw.find('\n'), std::string::npos) << raw;
    EXPECT_EQ(raw.rfind("[URLS]\r0=http://a\r1=http://b\r2=http://serveur/bande\r", 0), 0u) << raw;
}

TEST_F(SettingsFile, LineFeedsAloneAreKept) {
    WriteRaw(Path(), "[URLS]\n0=http://a\n");
    TSettings s = Started();
    ASSERT_TRUE(s.Save(Boxes));
    EXPECT_EQ(ReadRaw(Path()),
              "[URLS]\n0=http://a\n1=" + BuiltIn[1] + "\n2=" + BuiltIn[2] + "\n3=" + BuiltIn[3] + "\n");
}

TEST_F(SettingsFile, MixedLineBreaksAreAllReadAndTheFirstOneIsWritten) {
    WriteRaw(Path(), "[URLS]\r\n0=http://a\r1=http://b\n2=http://c\r\n\r\r");
    TSettings s = Started();
    EXPECT_EQ(Captions(s), (Texts{"http://a", "http://b", "http://c", BuiltIn[3]}));
    ASSERT_TRUE(s.Save(Boxes));
    EXPECT_EQ(ReadRaw(Path()), "[URLS]\r\n0=http://a\r\n1=http://b\r\n2=http://c\r\n3=" + BuiltIn[3] + "\r\n\r\n\r\n");
}

// ---- sections given twice

TEST_F(SettingsFile, ASectionGivenTwiceIsOneSectionAndTheLastValueWins) {
    WriteRaw(Path(),
             "[URLS]\n0=http://premier\n1=http://un\n[FENETRE]\nGeometrie=AAA\n"
             "[urls]\n1=http://un-bis\n2=http://deux\n[FENETRE]\nGeometrie=BBB\nTriAlpha=1\n"
             "[RECENT1]\nurl=http://x\nIdCompet=5\n[RECENT1]\nNomCompet=Coupe\n");
    TSettings s = Started();
    EXPECT_EQ(Captions(s), (Texts{"http://premier", "http://un-bis", "http://deux", BuiltIn[3], "Coupe"}));
    EXPECT_EQ(s.LayoutValue("Geometrie"), "BBB");
    EXPECT_EQ(s.LayoutValue("TriAlpha"), "1");
    EXPECT_EQ(s.RecentCompets()[0].IdCompet, 5);
    s.SetLayoutValue("Geometrie", "CCC");
    ASSERT_TRUE(s.Save(Boxes));
    const std::string raw = ReadRaw(Path());
    // Every line giving a key carries its value: a reader of the first one agrees.
    EXPECT_EQ(raw.find("http://un\n"), std::string::npos) << raw;
    EXPECT_EQ(Count(raw, "\n1=http://un-bis\n"), 2) << raw;
    EXPECT_EQ(raw.find("AAA"), std::string::npos);
    EXPECT_EQ(raw.find("BBB"), std::string::npos);
    // A key the file did not have goes where the section first appears.
    EXPECT_LT(raw.find("3=" + BuiltIn[3]), raw.find("[FENETRE]")) << raw;
    TIniFile ini(Path());
    ini.Load();
    EXPECT_EQ(ini.ReadSection("FENETRE"),
              (std::vector<std::pair<std::string, std::string>>{{"Geometrie", "CCC"}, {"TriAlpha", "1"}}));
}

TEST(IniFile, AKeyGivenTwiceInOneSectionTakesItsLastValueAndIsWrittenInBoth) {
    TIniFile ini;
    ini.Parse("[S]\nk=1\nautre=x\nK=2\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
    ini.WriteString("S", "k", "3");
    EXPECT_EQ(ini.Text(), "[S]\nk=3\nautre=x\nK=3\n");
    // Read through another file: its keys win, its other sections are added.
    TIniFile later;
    later.Parse("[s]\nautre=y\n[T]\nn=4\n");
    ini.Merge(later);
    EXPECT_EQ(ini.Text(), "[S]\nk=3\nautre=y\nK=3\n[T]\nn=4\n");
}

// ---- a read-only file

TEST_F(SettingsFile, AReadOnlyFileIsReadButNeverReplaced) {
    const std::string text = "[URLS]\r\n0=http://verrouille\r\n";
    WriteRaw(Path(), text);
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TSettings s = Started();
    EXPECT_EQ(s.Entries()[0].Caption, "http://verrouille");
    // Told at the start, once.
    EXPECT_EQ(Boxes.Informations, Texts{msg::settings::ReadOnlyFile(Path())});
    EXPECT_NE(Boxes.Informations[0].find("lecture seule"), std::string::npos);
    s.AddRecentCompet("http://x", "Coupe", 1);
    s.SetLayoutValue("Geometrie", "AAA");
    EXPECT_FALSE(s.Save(Boxes));
    EXPECT_FALSE(s.Save(Boxes));
    EXPECT_EQ(Boxes.Informations.size(), 1u);
    // Neither its content nor its mode changed, whoever runs the program.
    EXPECT_EQ(ReadRaw(Path()), text);
    EXPECT_EQ(Mode(Path()), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(fs::exists(Path() + ".tmp"));
    EXPECT_TRUE(Boxes.TopErrors.empty());
}

TEST_F(SettingsFile, AFileMadeReadOnlyDuringTheSessionIsToldAtTheSave) {
    WriteRaw(Path(), "[URLS]\n0=http://a\n");
    TSettings s = Started();
    EXPECT_TRUE(Boxes.Informations.empty());
    fs::permissions(Path(), fs::perms::owner_read);
    s.AddRecentCompet("http://x", "Coupe", 1);
    EXPECT_FALSE(s.Save(Boxes));
    EXPECT_EQ(Boxes.Informations, Texts{msg::settings::ReadOnlyFile(Path())});
    EXPECT_EQ(ReadRaw(Path()), "[URLS]\n0=http://a\n");
    // Writable again: saved, and the user is not told twice.
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(s.Save(Boxes));
    EXPECT_NE(ReadRaw(Path()).find("NomCompet=Coupe"), std::string::npos);
    EXPECT_EQ(Boxes.Informations.size(), 1u);
}

// ---- a link to a shared file

TEST_F(SettingsFile, ALinkToASharedFileIsWrittenThroughAndStaysALink) {
    const std::string shared = Dir.File("partage/tavlor.ini");
    WriteRaw(shared, "[URLS]\n0=http://club\n");
    fs::permissions(shared, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write | fs::perms::others_read);
    fs::create_symlink("partage/tavlor.ini", Path());
    TSettings s = Started();
    EXPECT_EQ(s.Entries()[0].Caption, "http://club");
    s.AddRecentCompet("http://club", "Coupe", 1);
    ASSERT_TRUE(s.Save(Boxes));
    ASSERT_TRUE(fs::is_symlink(Path()));
    EXPECT_EQ(fs::read_symlink(Path()), "partage/tavlor.ini");
    EXPECT_NE(ReadRaw(shared).find("NomCompet=Coupe"), std::string::npos);
    // Still shared with the group; nothing left beside the link or the file.
    EXPECT_EQ(Mode(shared), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write | fs::perms::others_read);
    EXPECT_FALSE(fs::exists(Path() + ".tmp"));
    EXPECT_FALSE(fs::exists(shared + ".tmp"));
    // The shared file made read-only stays as it is, reached through the link too.
    fs::permissions(shared, fs::perms::owner_read | fs::perms::group_read);
    const std::string before = ReadRaw(shared);
    s.AddRecentCompet("http://club", "Autre", 2);
    EXPECT_FALSE(s.Save(Boxes));
    EXPECT_EQ(ReadRaw(shared), before);
    EXPECT_TRUE(fs::is_symlink(Path()));
}

TEST_F(SettingsFile, ALinkToASharedFileNotCreatedYetCreatesIt) {
    fs::create_directory(Dir.File("partage"));
    fs::create_symlink(Dir.File("partage/tavlor.ini"), Path());
    TSettings s = Started();
    EXPECT_EQ(Captions(s), BuiltIn);
    ASSERT_TRUE(s.Save(Boxes));
    EXPECT_TRUE(fs::is_symlink(Path()));
    EXPECT_NE(ReadRaw(Dir.File("partage/tavlor.ini")).find("0=" + BuiltIn[0]), std::string::npos);
}

// ---- read in one place, written in another

TEST_F(SettingsFile, SettingsLeftInTheProgramFolderAreReadAndWrittenToTheUsersFile) {
    const std::string left = Dir.File("programme/tavlor.ini");
    const std::string text =
        "; réglages du club\r\n[URLS]\r\n0=http://club/3bandes\r\n"
        "[RECENT1]\r\nurl=http://club/3bandes\r\nNomCompet=Coupe du club\r\nIdCompet=9\r\n[AUTRE]\r\ncle=valeur\r\n";
    WriteRaw(left, text);
    {
        TSettings s = Started(left);
        EXPECT_EQ(s.ReadPath(), left);
        EXPECT_EQ(s.Entries()[0].Caption, "http://club/3bandes");
        EXPECT_EQ(s.RecentCompets()[0].NomCompet, "Coupe du club");
        s.AddRecentCompet("http://club/3bandes", "Nouvelle", 10);
        ASSERT_TRUE(s.Save(Boxes));
    }
    EXPECT_EQ(ReadRaw(left), text);
    // The user's file starts from what was left: nothing of it is lost.
    const std::string own = ReadRaw(Path());
    EXPECT_EQ(own.rfind("; réglages du club\r\n[URLS]\r\n0=http://club/3bandes\r\n", 0), 0u) << own;
    EXPECT_NE(own.find("[AUTRE]\r\ncle=valeur\r\n"), std::string::npos) << own;
    TIniFile ini(Path());
    ini.Load();
    EXPECT_EQ(ini.ReadString("RECENT1", "NomCompet", ""), "Nouvelle");
    EXPECT_EQ(ini.ReadString("RECENT2", "NomCompet", ""), "Coupe du club");
    EXPECT_TRUE(Boxes.TopErrors.empty());
}

TEST_F(SettingsFile, TheUsersOwnValuesWinOverTheProgramFolders) {
    const std::string left = Dir.File("programme/tavlor.ini");
    WriteRaw(left,
             "[URLS]\n0=http://club/3bandes\n1=http://club/cadre\n"
             "[RECENT1]\nurl=http://club/3bandes\nNomCompet=Coupe du club\nIdCompet=9\n");
    WriteRaw(Path(), "[URLS]\n0=http://perso/3bandes\n");
    TSettings s = Started(left);
    EXPECT_EQ(Captions(s),
              (Texts{"http://perso/3bandes", "http://club/cadre", BuiltIn[2], BuiltIn[3], "Coupe du club"}));
    ASSERT_TRUE(s.Save(Boxes));
    TIniFile ini(Path());
    ini.Load();
    EXPECT_EQ(ini.ReadString("URLS", "0", ""), "http://perso/3bandes");
    EXPECT_EQ(ini.ReadString("URLS", "1", ""), "http://club/cadre");
    EXPECT_EQ(ini.ReadInteger("RECENT1", "IdCompet", -1), 9);
    // The same file given twice is read once.
    EXPECT_EQ(TSettings(Path(), BuiltIn, Path()).ReadPath(), "");
}

}  // namespace
}  // namespace tavlor
