// The settings file: addresses, recent competitions, and what survives a
// damaged file.
#include "MainFixture.h"

#include "ui/IniFile.h"

#include <QComboBox>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tavlor;
using namespace tavlor::test;

namespace {

QStringList Entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void iniKeepsWhatItDoesNotKnow() {
        ui::TIniFile ini;
        ini.Parse("; note\r\n[urls]\r\n 0 = http://a \r\nautre=x\r\n\r\n[Divers]\r\nk=v\r\n");
        QCOMPARE(ini.ReadString("URLS", "0", "?"), std::string("http://a"));
        QCOMPARE(ini.ReadString("URLS", "AUTRE", "?"), std::string("x"));
        QCOMPARE(ini.ReadInteger("URLS", "0", 7), 7);  // not a number
        ini.WriteString("URLS", "1", "http://b");
        ini.WriteInteger("RECENT1", "IdCompet", 12);
        QCOMPARE(ini.Text(), std::string("; note\r\n[urls]\r\n0=http://a\r\nautre=x\r\n1=http://b\r\n\r\n"
                                         "[Divers]\r\nk=v\r\n[RECENT1]\r\nIdCompet=12\r\n"));
        ui::TIniFile numbers;
        numbers.Parse("[S]\na=0x10\nb=-5\nc=99999999999\nd= 12 \ne=1,5\n");
        QCOMPARE(numbers.ReadInteger("S", "a", 0), 16);
        QCOMPARE(numbers.ReadInteger("S", "b", 0), -5);
        QCOMPARE(numbers.ReadInteger("S", "c", 3), 3);
        QCOMPARE(numbers.ReadInteger("S", "d", 0), 12);
        QCOMPARE(numbers.ReadInteger("S", "e", 4), 4);
    }

    void noFileGivesTheBuiltInEntriesAndWritesThemBack() {
        TMainFixture f;
        QCOMPARE(f.Main->nUrls(), 3);
        QCOMPARE(Entries(f.Main->Adresse()), f.Addresses());
        QCOMPARE(f.Main->Adresse()->currentIndex(), 0);
        for (const auto& r : f.Main->RecentCompets()) QCOMPARE(r.IdCompet, -1);
        f.Stop();
        ui::TIniFile ini(f.SettingsPath());
        ini.Load();
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(QString::fromStdString(ini.ReadString("URLS", std::to_string(k), "")), f.Addresses()[k]);
        }
        QVERIFY(!ini.SectionExists("RECENT1"));
        QCOMPARE(ini.ReadString("URLS", "nUrls", "absent"), std::string("absent"));
        // Windows-1252 on disk.
        QVERIFY(f.ReadSettings().find("[URLS]") != std::string::npos);
    }

    void moreUrlEntriesPutTheRecentOnesAfterThem() {
        TMainFixture f(
            "[URLS]\nnUrls=5\n4=http://serveur/quatre\n5=http://serveur/cinq\n"
            "[RECENT1]\nurl=http://x/3bandes\nNomCompet=Coupe (3Bandes)\nIdCompet=7\n");
        QCOMPARE(f.Main->nUrls(), 5);
        QCOMPARE(f.Main->Adresse()->count(), 7);
        QCOMPARE(f.Main->Adresse()->itemText(4), QStringLiteral("http://serveur/quatre"));
        QCOMPARE(f.Main->Adresse()->itemText(5), QStringLiteral("http://serveur/cinq"));
        QCOMPARE(f.Main->Adresse()->itemText(6), QStringLiteral("Coupe (3Bandes)"));
    }

    void fewerUrlEntriesLetRecentOnesTakeTheirCaptions() {
        TMainFixture f(
            "[URLS]\nnUrls=1\n0=http://zero\n2=http://jamais-lu\n"
            "[RECENT1]\nurl=http://x/cadre\nNomCompet=Premier\nIdCompet=1\n"
            "[RECENT2]\nurl=http://x/cadre\nNomCompet=Second\nIdCompet=2\n");
        QCOMPARE(f.Main->nUrls(), 1);
        const QStringList e = Entries(f.Main->Adresse());
        QCOMPARE(e.size(), 4);
        QCOMPARE(e[0], QStringLiteral("http://zero"));
        QCOMPARE(e[1], f.Addresses()[1]);
        QCOMPARE(e[2], QStringLiteral("Premier"));
        QCOMPARE(e[3], QStringLiteral("Second"));
        f.Stop();
        ui::TIniFile ini(f.SettingsPath());
        ini.Load();
        QCOMPARE(ini.ReadString("URLS", "0", ""), std::string("http://zero"));
        // Only the entries 0..nUrls are written; key 2 keeps what the file held.
        QCOMPARE(ini.ReadString("URLS", "2", ""), std::string("http://jamais-lu"));
        QCOMPARE(ini.ReadString("URLS", "3", "absent"), std::string("absent"));
        QCOMPARE(ini.ReadString("RECENT2", "NomCompet", ""), std::string("Second"));
    }

    void emptyKeyLeavesTheEntryAndBadSectionsAreIgnoredButKept() {
        TMainFixture f(
            "[URLS]\n0=\n1=http://un\n[RECENT1]\nurl=http://x\nNomCompet=Négatif\nIdCompet=-3\n"
            "[RECENT2]\nurl=\nNomCompet=Sans adresse\nIdCompet=9\n[RECENT3]\nurl=http://x\nIdCompet=4\n");
        QCOMPARE(f.Main->Adresse()->itemText(0), f.Addresses()[0]);
        QCOMPARE(f.Main->Adresse()->itemText(1), QStringLiteral("http://un"));
        // Only RECENT3 is usable; it has no name and shows "?".
        QCOMPARE(f.Main->RecentCompets()[0].IdCompet, 4);
        QCOMPARE(f.Main->RecentCompets()[0].NomCompet, std::string("?"));
        QCOMPARE(f.Main->RecentCompets()[1].IdCompet, -1);
        QCOMPARE(f.Main->Adresse()->itemText(4), QStringLiteral("?"));
        f.Stop();
        ui::TIniFile ini(f.SettingsPath());
        ini.Load();
        // The first slot is now written as RECENT1; RECENT2 was empty and stays as it was.
        QCOMPARE(ini.ReadInteger("RECENT1", "IdCompet", 0), 4);
        QCOMPARE(ini.ReadString("RECENT2", "NomCompet", ""), std::string("Sans adresse"));
        QCOMPARE(ini.ReadInteger("RECENT3", "IdCompet", 0), 4);
    }

    void recentListMovesAndDrops() {
        TMainFixture f;
        ui::TMainFrm& m = *f.Main;
        for (int id = 1; id <= 5; ++id) m.AddRecentCompet("http://s/3bandes", "C" + std::to_string(id), id);
        QCOMPARE(m.RecentCompets()[0].IdCompet, 5);
        QCOMPARE(m.RecentCompets()[4].IdCompet, 1);
        // Already listed: to the head, nothing duplicated, the rest keeps its order.
        m.AddRecentCompet("http://s/3bandes", "C3 bis", 3);
        QCOMPARE(m.RecentCompets()[0].NomCompet, std::string("C3 bis"));
        QCOMPARE(m.RecentCompets()[1].IdCompet, 5);
        QCOMPARE(m.RecentCompets()[2].IdCompet, 4);
        QCOMPARE(m.RecentCompets()[3].IdCompet, 2);
        QCOMPARE(m.RecentCompets()[4].IdCompet, 1);
        // The same number on another server is another competition; the oldest drops out.
        m.AddRecentCompet("http://s/cadre", "Autre", 3);
        QCOMPARE(m.RecentCompets()[0].url, std::string("http://s/cadre"));
        QCOMPARE(m.RecentCompets()[4].IdCompet, 2);
        QCOMPARE(m.Adresse()->count(), 9);
        QCOMPARE(m.Adresse()->itemText(4), QStringLiteral("Autre"));
        QCOMPARE(m.Adresse()->itemText(8), QStringLiteral("C2"));
        // Refused entries.
        m.AddRecentCompet("", "x", 8);
        m.AddRecentCompet("http://s", "x", -1);
        QCOMPARE(m.RecentCompets()[0].url, std::string("http://s/cadre"));
        f.Stop();
        TMainFixture again;  // another fixture, another folder: nothing shared
        QCOMPARE(again.Main->RecentCompets()[0].IdCompet, -1);
    }

    void recentCompetitionsSurviveARestartInTheirOrder() {
        TMainFixture f;
        f.Main->AddRecentCompet("http://s/libre", "Ancienne", 1);
        f.Main->AddRecentCompet("http://s/libre", "Récente é€", 2);
        f.Stop();
        f.Start();
        QCOMPARE(f.Main->RecentCompets()[0].NomCompet, std::string("Récente é€"));
        QCOMPARE(f.Main->RecentCompets()[1].NomCompet, std::string("Ancienne"));
        QCOMPARE(f.Main->Adresse()->itemText(4), QStringLiteral("Récente é€"));
        // The euro sign went out as the Windows-1252 byte 0x80.
        f.Stop();
        const std::string raw = [&] {
            std::ifstream in(f.SettingsPath(), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        QVERIFY(raw.find("R\xe9"
                         "cente \xe9\x80") != std::string::npos);
    }

    void damagedFilesNeverStopTheStart() {
        {
            TMainFixture f("[URLS]\nnUrls=abc\n[RECENT1]\nIdCompet=douze\nurl=http://x\n");
            QCOMPARE(f.Main->nUrls(), 3);
            QCOMPARE(f.Main->RecentCompets()[0].IdCompet, -1);
        }
        {
            TMainFixture f("[URLS]\nnUrls=2000000000\n0=http://zero\n");
            // Bounded, and never past the entries that exist.
            QCOMPARE(f.Main->nUrls(), 3);
            QCOMPARE(f.Main->Adresse()->itemText(0), QStringLiteral("http://zero"));
            f.Main->AddRecentCompet("http://s", "R", 1);
            QCOMPARE(f.Main->Adresse()->itemText(4), QStringLiteral("R"));
        }
        {
            TMainFixture f("[URLS]\nnUrls=-40\n");
            QCOMPARE(f.Main->nUrls(), -1);
            f.Main->AddRecentCompet("http://s", "R", 1);
            QCOMPARE(f.Main->Adresse()->itemText(0), QStringLiteral("R"));
        }
        {
            TMainFixture f("garbage without section\n[[[\n=\n[URLS\n");
            QCOMPARE(f.Main->nUrls(), 3);
            QCOMPARE(f.Main->Adresse()->count(), 4);
        }
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        TMainFixture f;
        // A folder where the file should be: the write fails.
        std::filesystem::create_directory(f.SettingsPath());
        f.Stop();
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(f.Boxes.TopErrors[0].find("tavlor.ini") != std::string::npos);
        QVERIFY(!f.Main);
    }

    void foldersFollowTheProgramFolder() {
        TTempDir dir;
        const QString program = QString::fromStdString(dir.File("tavlor"));
        const ui::TAppFolders beside = ui::ResolveFolders(program);
        QVERIFY(beside.BesideProgram);
        QCOMPARE(beside.SettingsFile, dir.File("tavlor.ini"));
        QCOMPARE(beside.DataFolder, dir.Path());
        qputenv("HOME", QByteArray::fromStdString(dir.Path()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.File("data")));
        const ui::TAppFolders user = ui::ResolveFolders(program, [](const QString&) { return false; });
        QVERIFY(!user.BesideProgram);
        QVERIFY(QString::fromStdString(user.SettingsFile).startsWith(QString::fromStdString(dir.File("config"))));
        QVERIFY(QString::fromStdString(user.DataFolder).startsWith(QString::fromStdString(dir.File("data"))));
        QVERIFY(QString::fromStdString(user.ExportFolder).endsWith(QStringLiteral("/Tavlor")));
        QVERIFY(std::filesystem::is_directory(user.ExportFolder));
        QVERIFY(std::filesystem::is_directory(user.DataFolder));
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
