// The program as installed: <prefix>/bin/tavlor beside
// <prefix>/share/applications/tavlor.desktop. Its settings, snapshots and exports
// go to the user's folders even when it could write its own folder (as the
// administrator can), and the files installed beside it match each other.
#include "commands/IniFile.h"
#include "commands/Settings.h"
#include "commands/SettingsMessages.h"
#include "export/Export.h"
#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/TempDir.h"
#include "ui/main/MainFrm.h"
#include "ui/main/Program.h"
#include "ui/platform/AppFolders.h"
#include "ui/platform/DesktopShell.h"
#include "ui/platform/Images.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

using namespace tavlor;
using namespace tavlor::test;
namespace fs = std::filesystem;

namespace {

// An environment variable set for one test and put back afterwards.
class TEnv {
public:
    TEnv(const char* name, const std::optional<std::string>& value) : Name_(name) {
        if (qEnvironmentVariableIsSet(name)) Old_ = qgetenv(name).toStdString();
        if (value) {
            qputenv(name, QByteArray::fromStdString(*value));
        } else {
            qunsetenv(name);
        }
    }
    ~TEnv() {
        if (Old_) {
            qputenv(Name_, QByteArray::fromStdString(*Old_));
        } else {
            qunsetenv(Name_);
        }
    }
    TEnv(const TEnv&) = delete;
    TEnv& operator=(const TEnv&) = delete;

private:
    const char* Name_;
    std::optional<std::string> Old_;
};

void Touch(const fs::path& file, const std::string& text = {}) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

// The files below a folder, relative to it.
std::vector<std::string> FilesUnder(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), folder).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// An installed layout under a fresh folder: prefix/bin/tavlor (read-only folder)
// and its desktop entry, and a home folder with nothing in it, named by HOME
// alone so that the user's folders are the usual ones below it.
struct TInstalled {
    TTempDir Dir;
    fs::path Prefix = fs::path(Dir.Path()) / "usr";
    fs::path Bin = Prefix / "bin";
    fs::path Home = fs::path(Dir.Path()) / "home";
    TEnv HomeVar{"HOME", Home.string()};
    TEnv Config{"XDG_CONFIG_HOME", std::nullopt};
    TEnv Data{"XDG_DATA_HOME", std::nullopt};

    TInstalled() {
        Touch(Bin / "tavlor", "#!/bin/false\n");
        Touch(Prefix / "share/applications/tavlor.desktop", "[Desktop Entry]\nExec=tavlor\n");
        fs::create_directories(Home);
        fs::permissions(Bin, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    }
    ~TInstalled() { fs::permissions(Bin, fs::perms::owner_all, fs::perm_options::add); }
    QString Program() const { return QString::fromStdString((Bin / "tavlor").string()); }
};

// Closes every message box the program shows and keeps its text. (The
// connection window, modal while an exchange runs, is left alone.)
class TBoxCatcher {
public:
    std::vector<std::string> Texts;
    TBoxCatcher() {
        QObject::connect(&Timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Texts.push_back(box->text().toStdString());
                box->close();
            }
        });
        Timer_.start(20);
    }

private:
    QTimer Timer_;
};

}  // namespace

class InstalledLayoutTest : public QObject {
    Q_OBJECT

    QList<QUrl> Opened;

public slots:
    // Stands for the desktop's file opener.
    void open(const QUrl& url) { Opened << url; }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { Opened.clear(); }

    void installedProgramsAreRecognised() {
        TTempDir dir;
        const fs::path root(dir.Path());
        const auto program = [&](const fs::path& p) { return QString::fromStdString((root / p).string()); };
        // The system's program folders, whatever their content.
        for (const char* system : {"/usr/bin/tavlor", "/usr/local/bin/tavlor", "/bin/tavlor", "/usr/games/tavlor"})
            QVERIFY2(ui::InstalledProgram(QString::fromLatin1(system)), system);
        for (const char* bin : {"opt/bin", "opt/tools", "dirs/bin", "bare/bin", "build"})
            fs::create_directories(root / bin);
        // Under any prefix: bin/ beside share/applications/<program>.desktop.
        Touch(root / "opt/share/applications/tavlor.desktop");
        QVERIFY(ui::InstalledProgram(program("opt/bin/tavlor")));
        QVERIFY(ui::InstalledProgram(program("opt/bin/../bin/tavlor")));
        // The entry must be the program's own, a file, beside a folder named bin.
        QVERIFY(!ui::InstalledProgram(program("opt/bin/tavlor-test")));
        QVERIFY(!ui::InstalledProgram(program("opt/tools/tavlor")));
        fs::create_directories(root / "dirs/share/applications/tavlor.desktop");
        QVERIFY(!ui::InstalledProgram(program("dirs/bin/tavlor")));
        QVERIFY(!ui::InstalledProgram(program("bare/bin/tavlor")));
        // A build folder, or a copy unpacked anywhere.
        QVERIFY(!ui::InstalledProgram(program("build/tavlor")));
        QVERIFY(!ui::InstalledProgram(program("tavlor")));
        QVERIFY(!ui::InstalledProgram(QStringLiteral("/usr/lib/tavlor/tavlor")));
        // Reached through a link, the folder is still the installed one.
        fs::create_directory_symlink(root / "opt/bin", root / "shortcut");
        QVERIFY(ui::InstalledProgram(program("shortcut/tavlor")));
    }

    void anInstalledProgramWritableByItsUserStillUsesTheUsersFolders() {
        TInstalled layout;
        const ui::TAppFolders f = ui::ResolveFolders(layout.Program(), [](const QString&) { return true; });
        QVERIFY(!f.BesideProgram);
        QCOMPARE(f.SettingsFile, (layout.Home / ".config/tavlor/tavlor.ini").string());
        QCOMPARE(f.DataFolder, (layout.Home / ".local/share/tavlor").string());
        QCOMPARE(f.ExportFolder, (layout.Home / "Documents/Tavlor").string());
        // The same program without its desktop entry is a copy of the user's own.
        fs::remove(layout.Prefix / "share/applications/tavlor.desktop");
        const ui::TAppFolders beside = ui::ResolveFolders(layout.Program(), [](const QString&) { return true; });
        QVERIFY(beside.BesideProgram);
        QCOMPARE(beside.SettingsFile, (layout.Bin / "tavlor.ini").string());
    }

    void settingsSnapshotsAndExportsGoToTheUsersFolders() {
        TInstalled layout;
        fedserver::TFedServer server;
        server.Start(0);
        TBoxCatcher boxes;
        std::string exported;
        std::vector<std::string> snapshots;
        // The desktop's programs: xdg-mime names an application for the
        // export's type, xdg-open is the file opener.
        ui::TQtDesktopShell shell(
            [](const QString&, const QStringList& arguments) {
                ui::TQtDesktopShell::TRun run;
                run.Finished = true;
                run.ExitCode = 0;
                run.Output = arguments.value(1) == QStringLiteral("filetype")
                                 ? QStringLiteral("application/vnd.ms-excel")
                                 : QStringLiteral("tableur.desktop");
                return run;
            },
            [this](const QString& program, const QStringList& arguments) {
                if (program == QStringLiteral("xdg-open")) open(QUrl::fromLocalFile(arguments.value(0)));
                return true;
            });
        {
            ui::TProgram program(layout.Program(), nullptr, &shell);
            QVERIFY(!program.Folders().BesideProgram);
            program.Show();
            ui::TMainFrm& main = program.Main();
            program.Www().SetBaseUrl(server.BaseUrl("3bandes"));
            program.Www().LoadCompet(1201, "Finale");
            main.FocusFirstNode();
            // As the open command lists it at the end of the address box.
            program.Settings().AddRecentCompet(server.BaseUrl("3bandes"), "Finale", 1201);
            QVERIFY(program.Dm().Tables.FiltreJoueurs.RecordCount() > 0);
            main.Action(TCommandId::ExportXls)->trigger();
            exported = program.Export().GetNomFichierExport(".xls");
            for (const char* table : {"Phases", "Inscrits", "Joueurs"})
                snapshots.push_back(program.Dm().SnapshotPath(table));
            program.Close();
        }
        QCOMPARE(boxes.Texts, std::vector<std::string>{});

        // The program's folder and prefix hold what was installed, nothing more.
        QCOMPARE(FilesUnder(layout.Prefix),
                 (std::vector<std::string>{"bin/tavlor", "share/applications/tavlor.desktop"}));

        // Settings: the competition opened is the most recent one.
        TIniFile ini((layout.Home / ".config/tavlor/tavlor.ini").string());
        ini.Load();
        QCOMPARE(ini.ReadInteger("RECENT1", msg::settings::KeyIdCompet, -1), 1201);
        QCOMPARE(ini.ReadString("RECENT1", msg::settings::KeyUrl, ""), server.BaseUrl("3bandes"));

        // Snapshots of what lives only in memory.
        const fs::path data = layout.Home / ".local/share/tavlor";
        for (const std::string& snapshot : snapshots) {
            QCOMPARE(fs::path(snapshot).parent_path(), data);
            QVERIFY2(fs::is_regular_file(snapshot), snapshot.c_str());
        }

        // The export, opened by the desktop from the user's documents.
        QCOMPARE(fs::path(exported).parent_path(), layout.Home / "Documents/Tavlor");
        QVERIFY(fs::file_size(exported) > 0);
        QCOMPARE(Opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(exported))});

        // The next start finds the competition again in the address box.
        {
            ui::TProgram again(layout.Program());
            const QComboBox* address = again.Main().Adresse();
            QVERIFY(address->findText(QStringLiteral("Finale"), Qt::MatchContains) >= 0);
            again.Close();
        }
        QCOMPARE(boxes.Texts, std::vector<std::string>{});
    }

    // The desktop entry starts and shows what the installation holds, and the
    // PNG icons are the program's own painting at their folder's size.
    void installedFilesMatchEachOther() {
        QFile file(QStringLiteral(TAVLOR_DESKTOP_ENTRY));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        std::map<QString, QString> entry;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
        for (const QString& line : lines) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0) QVERIFY2(entry.emplace(line.left(eq), line.mid(eq + 1)).second, qPrintable(line));
        }
        QCOMPARE(entry[QStringLiteral("Type")], QStringLiteral("Application"));
        QCOMPARE(entry[QStringLiteral("Exec")], QStringLiteral("tavlor"));
        QCOMPARE(entry[QStringLiteral("Icon")], QStringLiteral("tavlor"));
        QVERIFY(!entry[QStringLiteral("Comment")].isEmpty());
        QVERIFY(entry[QStringLiteral("Categories")].endsWith(u';'));

        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString path = QStringLiteral(TAVLOR_ICON_DIR "/%1x%1/apps/tavlor.png").arg(size);
            QImage png(path);
            QVERIFY2(!png.isNull(), qPrintable(path));
            const QImage painted =
                ui::ProgramPicture(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            png = png.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(png.size(), QSize(size, size));
            QVERIFY2(png == painted, qPrintable(path));
        }
    }
};

QTEST_MAIN(InstalledLayoutTest)
#include "InstalledLayoutTest.moc"
