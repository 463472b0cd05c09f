// The settings as the program keeps them: the address box shows the
// settings' entries, the program's end writes the file (and says when it
// cannot), and the files' folders follow the program's.
#include "MainFixture.h"

#include "commands/SettingsMessages.h"
#include "ui/platform/Images.h"

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
    void theAddressBoxShowsTheEntriesWithTheirPictures() {
        TMainFixture f(
            "[URLS]\nnUrls=1\n0=http://zero\n"
            "[RECENT1]\nurl=http://x/cadre\nNomCompet=Premier\nIdCompet=1\n");
        QComboBox* box = f.Main->Adresse();
        QCOMPARE(Entries(box), QStringList({"http://zero", f.Addresses()[1], "Premier", f.Addresses()[3]}));
        QCOMPARE(box->currentIndex(), 0);
        // A recent competition added: the box follows, the new entry with the reload picture.
        f.Settings().AddRecentCompet("http://x/libre", "Second", 2);
        f.Settings().AddRecentCompet("http://x/libre", "Troisième", 3);
        QCOMPARE(Entries(box), QStringList({"http://zero", f.Addresses()[1], "Troisième", "Second", "Premier"}));
        QCOMPARE(box->itemIcon(4).cacheKey(), ui::CommandImage(TCommandImage::Reload).cacheKey());
        QCOMPARE(box->itemIcon(2).cacheKey(), ui::CommandImage(TCommandImage::Internet).cacheKey());
        f.Stop();
        TIniFile ini(f.SettingsPath());
        ini.Load();
        QCOMPARE(ini.ReadString("RECENT1", "NomCompet", ""), std::string("Troisième"));
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        TMainFixture f;
        // A folder where the file should be: the write fails.
        std::filesystem::create_directory(f.SettingsPath());
        f.Stop();
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(f.Boxes.TopErrors[0].find("tavlor.ini") != std::string::npos);
        QVERIFY(!f.Program);
    }

    void aReadOnlySettingsFileIsKeptAndTheUserToldOnce() {
        TMainFixture f("[URLS]\n0=http://verrouille\n", false);
        const std::string before = f.ReadSettings();
        std::filesystem::permissions(f.SettingsPath(), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::group_read |
                                                           std::filesystem::perms::others_read);
        f.Start();
        QCOMPARE(f.Main->Adresse()->itemText(0), QStringLiteral("http://verrouille"));
        QCOMPARE(f.Boxes.Informations, std::vector<std::string>{msg::settings::ReadOnlyFile(f.SettingsPath())});
        f.Settings().AddRecentCompet("http://x/libre", "Second", 2);
        f.Stop();
        // Neither replaced at the end nor told a second time.
        QCOMPARE(f.ReadSettings(), before);
        QCOMPARE(f.Boxes.Informations.size(), std::size_t(1));
        QVERIFY(f.Boxes.TopErrors.empty());
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
