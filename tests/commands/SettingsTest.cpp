// The settings file: the INI layout, the addresses, the recent competitions,
// and what survives a damaged file.
#include "commands/IniFile.h"
#include "commands/Settings.h"
#include "support/ScriptedBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace tavlor {
namespace {

using Texts = std::vector<std::string>;

const Texts BuiltIn = {"http://serveur/3bandes", "http://serveur/cadre", "http://serveur/bande",
                       "http://serveur/libre"};

class Settings : public ::testing::Test {
protected:
    test::TTempDir Dir;
    test::TScriptedBoxes Boxes;
    std::string Path() const { return Dir.File("tavlor.ini"); }
    void Write(const std::string& text) {
        TIniFile ini(Path());
        ini.Parse(text);
        ini.Save();
    }
    TSettings Started() {
        TSettings s(Path(), BuiltIn);
        s.Load(Boxes);
        return s;
    }
    static Texts Captions(const TSettings& s) {
        Texts out;
        for (const TAddressEntry& e : s.Entries()) out.push_back(e.Caption);
        return out;
    }
    TIniFile Saved() {
        TIniFile ini(Path());
        ini.Load();
        return ini;
    }
};

TEST(IniFile, KeepsWhatItDoesNotKnow) {
    TIniFile ini;
    ini.Parse("; note\r\n[urls]\r\n 0 = http://a \r\nautre=x\r\n\r\n[Divers]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadString("URLS", "0", "?"), "http://a");
    EXPECT_EQ(ini.ReadString("URLS", "AUTRE", "?"), "x");
    EXPECT_EQ(ini.ReadInteger("URLS", "0", 7), 7);  // not a number
    ini.WriteString("URLS", "1", "http://b");
    ini.WriteInteger("RECENT1", "IdCompet", 12);
    EXPECT_EQ(ini.Text(),
              "; note\r\n[urls]\r\n0=http://a\r\nautre=x\r\n1=http://b\r\n\r\n"
              "[Divers]\r\nk=v\r\n[RECENT1]\r\nIdCompet=12\r\n");
    TIniFile numbers;
    numbers.Parse("[S]\na=0x10\nb=-5\nc=99999999999\nd= 12 \ne=1,5\n");
    EXPECT_EQ(numbers.ReadInteger("S", "a", 0), 16);
    EXPECT_EQ(numbers.ReadInteger("S", "b", 0), -5);
    EXPECT_EQ(numbers.ReadInteger("S", "c", 3), 3);
    EXPECT_EQ(numbers.ReadInteger("S", "d", 0), 12);
    EXPECT_EQ(numbers.ReadInteger("S", "e", 4), 4);
}

TEST_F(Settings, NoFileGivesTheBuiltInEntriesAndWritesThemBack) {
    TSettings s = Started();
    EXPECT_EQ(s.nUrls(), 3);
    EXPECT_EQ(Captions(s), BuiltIn);
    for (const TAddressEntry& e : s.Entries()) EXPECT_EQ(e.Image, TAddressEntry::TImage::Internet);
    for (const auto& r : s.RecentCompets()) EXPECT_EQ(r.IdCompet, -1);
    EXPECT_EQ(s.RecentOfEntry(0), nullptr);
    s.Save(Boxes);
    TIniFile ini = Saved();
    for (int k = 0; k < 4; ++k) EXPECT_EQ(ini.ReadString("URLS", std::to_string(k), ""), BuiltIn[std::size_t(k)]);
    EXPECT_FALSE(ini.SectionExists("RECENT1"));
    EXPECT_EQ(ini.ReadString("URLS", "nUrls", "absent"), "absent");
    EXPECT_TRUE(Boxes.TopErrors.empty());
}

TEST_F(Settings, MoreUrlEntriesPutTheRecentOnesAfterThem) {
    Write(
        "[URLS]\nnUrls=5\n4=http://serveur/quatre\n5=http://serveur/cinq\n"
        "[RECENT1]\nurl=http://x/3bandes\nNomCompet=Coupe (3Bandes)\nIdCompet=7\n");
    TSettings s = Started();
    EXPECT_EQ(s.nUrls(), 5);
    ASSERT_EQ(s.Entries().size(), 7u);
    EXPECT_EQ(s.Entries()[4].Caption, "http://serveur/quatre");
    EXPECT_EQ(s.Entries()[5].Caption, "http://serveur/cinq");
    EXPECT_EQ(s.Entries()[5].Image, TAddressEntry::TImage::Internet);
    EXPECT_EQ(s.Entries()[6].Caption, "Coupe (3Bandes)");
    EXPECT_EQ(s.Entries()[6].Image, TAddressEntry::TImage::Recent);
    ASSERT_NE(s.RecentOfEntry(6), nullptr);
    EXPECT_EQ(s.RecentOfEntry(6)->IdCompet, 7);
    EXPECT_EQ(s.RecentOfEntry(5), nullptr);
}

TEST_F(Settings, FewerUrlEntriesLetRecentOnesTakeTheirCaptions) {
    Write(
        "[URLS]\nnUrls=1\n0=http://zero\n2=http://jamais-lu\n"
        "[RECENT1]\nurl=http://x/cadre\nNomCompet=Premier\nIdCompet=1\n"
        "[RECENT2]\nurl=http://x/cadre\nNomCompet=Second\nIdCompet=2\n");
    TSettings s = Started();
    EXPECT_EQ(s.nUrls(), 1);
    EXPECT_EQ(Captions(s), (Texts{"http://zero", BuiltIn[1], "Premier", "Second"}));
    // The surplus built-in entries keep their picture.
    EXPECT_EQ(s.Entries()[2].Image, TAddressEntry::TImage::Internet);
    s.Save(Boxes);
    TIniFile ini = Saved();
    EXPECT_EQ(ini.ReadString("URLS", "0", ""), "http://zero");
    // Only the entries 0..nUrls are written; key 2 keeps what the file held.
    EXPECT_EQ(ini.ReadString("URLS", "2", ""), "http://jamais-lu");
    EXPECT_EQ(ini.ReadString("URLS", "3", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("RECENT2", "NomCompet", ""), "Second");
}

TEST_F(Settings, ABuiltInAddressPastTheFilesAddressesStaysAnAddress) {
    // One address in the file, one recent competition: entries 1 and 3 are
    // built-in addresses no recent competition took; entry 2 is the recent one.
    Write("[URLS]\nnUrls=0\n0=http://zero\n[RECENT1]\nurl=http://x/cadre\nNomCompet=Premier\nIdCompet=1\n");
    TSettings s = Started();
    EXPECT_EQ(Captions(s), (Texts{"http://zero", "Premier", BuiltIn[2], BuiltIn[3]}));
    ASSERT_NE(s.RecentOfEntry(1), nullptr);
    EXPECT_EQ(s.RecentOfEntry(1)->IdCompet, 1);
    EXPECT_EQ(s.RecentOfEntry(2), nullptr) << "an empty slot is no competition to open";
    EXPECT_EQ(s.RecentOfEntry(3), nullptr);
}

TEST_F(Settings, HowTheWindowsWereLeftComesBack) {
    {
        TSettings s = Started();
        EXPECT_EQ(s.LayoutValue("Geometrie"), "");
        s.SetLayoutValue("Geometrie", "AdnQywADAAA=");
        s.SetLayoutValue("TriAlpha", "1");
        s.Save(Boxes);
    }
    TSettings s = Started();
    EXPECT_EQ(s.LayoutValue("Geometrie"), "AdnQywADAAA=");
    EXPECT_EQ(s.LayoutValue("TriAlpha"), "1");
    TIniFile ini = Saved();
    EXPECT_TRUE(ini.SectionExists("FENETRE"));
}

TEST_F(Settings, AnEmptyKeyLeavesTheEntryAndBadSectionsAreIgnoredButKept) {
    Write(
        "[URLS]\n0=\n1=http://un\n[RECENT1]\nurl=http://x\nNomCompet=Négatif\nIdCompet=-3\n"
        "[RECENT2]\nurl=\nNomCompet=Sans adresse\nIdCompet=9\n[RECENT3]\nurl=http://x\nIdCompet=4\n");
    TSettings s = Started();
    EXPECT_EQ(s.Entries()[0].Caption, BuiltIn[0]);
    EXPECT_EQ(s.Entries()[1].Caption, "http://un");
    // Only RECENT3 is usable; it has no name and shows "?".
    EXPECT_EQ(s.RecentCompets()[0].IdCompet, 4);
    EXPECT_EQ(s.RecentCompets()[0].NomCompet, "?");
    EXPECT_EQ(s.RecentCompets()[1].IdCompet, -1);
    EXPECT_EQ(s.Entries()[4].Caption, "?");
    s.Save(Boxes);
    TIniFile ini = Saved();
    // The first slot is now written as RECENT1; RECENT2 was empty and stays as it was.
    EXPECT_EQ(ini.ReadInteger("RECENT1", "IdCompet", 0), 4);
    EXPECT_EQ(ini.ReadString("RECENT2", "NomCompet", ""), "Sans adresse");
    EXPECT_EQ(ini.ReadInteger("RECENT3", "IdCompet", 0), 4);
}

TEST_F(Settings, TheRecentListMovesAndDrops) {
    TSettings s = Started();
    int changes = 0;
    s.OnEntriesChanged = [&] { ++changes; };
    for (int id = 1; id <= 5; ++id) s.AddRecentCompet("http://s/3bandes", "C" + std::to_string(id), id);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(s.RecentCompets()[0].IdCompet, 5);
    EXPECT_EQ(s.RecentCompets()[4].IdCompet, 1);
    // Already listed: to the head, nothing duplicated, the rest keeps its order.
    s.AddRecentCompet("http://s/3bandes", "C3 bis", 3);
    EXPECT_EQ(s.RecentCompets()[0].NomCompet, "C3 bis");
    EXPECT_EQ(s.RecentCompets()[1].IdCompet, 5);
    EXPECT_EQ(s.RecentCompets()[2].IdCompet, 4);
    EXPECT_EQ(s.RecentCompets()[3].IdCompet, 2);
    EXPECT_EQ(s.RecentCompets()[4].IdCompet, 1);
    // The same number on another server is another competition; the oldest drops out.
    s.AddRecentCompet("http://s/cadre", "Autre", 3);
    EXPECT_EQ(s.RecentCompets()[0].url, "http://s/cadre");
    EXPECT_EQ(s.RecentCompets()[4].IdCompet, 2);
    ASSERT_EQ(s.Entries().size(), 9u);
    EXPECT_EQ(s.Entries()[4].Caption, "Autre");
    EXPECT_EQ(s.Entries()[8].Caption, "C2");
    // Refused entries change nothing.
    s.AddRecentCompet("", "x", 8);
    s.AddRecentCompet("http://s", "x", -1);
    EXPECT_EQ(s.RecentCompets()[0].url, "http://s/cadre");
    EXPECT_EQ(changes, 7);
}

TEST_F(Settings, RecentCompetitionsSurviveARestartInTheirOrder) {
    {
        TSettings s = Started();
        s.AddRecentCompet("http://s/libre", "Ancienne", 1);
        s.AddRecentCompet("http://s/libre", "Récente é€", 2);
        s.Save(Boxes);
    }
    TSettings s = Started();
    EXPECT_EQ(s.RecentCompets()[0].NomCompet, "Récente é€");
    EXPECT_EQ(s.RecentCompets()[1].NomCompet, "Ancienne");
    EXPECT_EQ(s.Entries()[4].Caption, "Récente é€");
    // The euro sign went out as the Windows-1252 byte 0x80.
    std::ifstream in(Path(), std::ios::binary);
    const std::string raw(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(raw.find("R\xe9"
                       "cente \xe9\x80"),
              std::string::npos);
}

TEST_F(Settings, DamagedFilesNeverStopTheStart) {
    Write("[URLS]\nnUrls=abc\n[RECENT1]\nIdCompet=douze\nurl=http://x\n");
    {
        TSettings s = Started();
        EXPECT_EQ(s.nUrls(), 3);
        EXPECT_EQ(s.RecentCompets()[0].IdCompet, -1);
    }
    Write("[URLS]\nnUrls=2000000000\n0=http://zero\n");
    {
        TSettings s = Started();
        // Bounded, and never past the entries that exist.
        EXPECT_EQ(s.nUrls(), 3);
        EXPECT_EQ(s.Entries()[0].Caption, "http://zero");
        s.AddRecentCompet("http://s", "R", 1);
        EXPECT_EQ(s.Entries()[4].Caption, "R");
    }
    Write("[URLS]\nnUrls=-40\n");
    {
        TSettings s = Started();
        EXPECT_EQ(s.nUrls(), -1);
        s.AddRecentCompet("http://s", "R", 1);
        EXPECT_EQ(s.Entries()[0].Caption, "R");
    }
    Write("garbage without section\n[[[\n=\n[URLS\n");
    {
        TSettings s = Started();
        EXPECT_EQ(s.nUrls(), 3);
        EXPECT_EQ(s.Entries().size(), 4u);
    }
    EXPECT_TRUE(Boxes.TopErrors.empty());
}

TEST_F(Settings, AFileThatCannotBeWrittenIsReportedWithItsName) {
    // A folder where the file should be: nothing to read, and the write fails.
    std::filesystem::create_directory(Path());
    TSettings s = Started();
    EXPECT_EQ(Captions(s), BuiltIn);
    try {
        s.Save(Boxes);
        FAIL() << "saved over a folder";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("tavlor.ini"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tavlor
