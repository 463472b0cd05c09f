// The folders of the real program: a second copy on a folder another one
// holds is told and opens nothing there; a program folder that cannot be
// written is still read, and the changes go to the user's folders.
#include "commands/IniFile.h"
#include "commands/Settings.h"
#include "fedserver/FedServer.h"
#include "model/Files.h"
#include "model/dbLocal.h"
#include "server/www.h"
#include "support/ChildProcess.h"
#include "support/ScriptedBoxes.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"
#include "ui/main/Program.h"
#include "ui/platform/AppFolders.h"
#include "ui/platform/PlatformMessages.h"

#include <QApplication>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

void WriteRaw(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string ReadRaw(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file of a folder with its content and time of last change.
using TFolderState = std::map<std::string, std::pair<std::string, fs::file_time_type>>;
TFolderState StateOf(const fs::path& folder) {
    TFolderState out;
    for (const auto& e : fs::directory_iterator(folder))
        out[e.path().filename().string()] = {ReadRaw(e.path()), fs::last_write_time(e.path())};
    return out;
}

QStringList Addresses(const fedserver::TFedServer& server) {
    QStringList a;
    for (const char* d : {"3bandes", "cadre", "bande", "libre"}) a << QString::fromStdString(server.BaseUrl(d));
    return a;
}

}  // namespace

class FoldersTest : public QObject {
    Q_OBJECT

private slots:
    void aSecondCopyOnTheSameFolderIsToldAndOpensNothing() {
        TTempDir dir;
        fedserver::TFedServer server;
        server.Start(0);
        const QStringList addresses = Addresses(server);
        const QString program = QString::fromStdString(dir.File("tavlor"));
        WriteRaw(dir.File("tavlor.ini"), "[URLS]\r\n0=http://club/3bandes\r\n");
        WriteRaw(dir.File("3bandes_1201Phases.xml"), "<?xml?>");
        TChildProcess first({TAVLOR_LOCK_HOLDER, dir.Path()});
        QCOMPARE(first.ReadLine(), "taken " + std::to_string(first.Pid()));
        const TFolderState before = StateOf(dir.Path());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());

        TScriptedBoxes boxes;
        TFakeShell shell;
        {
            ui::TProgram second(program, &boxes, &shell, &addresses);
            QVERIFY(!second.Started());
            // Told before any window exists, with the first copy's number.
            QVERIFY(QApplication::topLevelWidgets().isEmpty());
            QCOMPARE(boxes.Errors.size(), std::size_t(1));
            const std::string& text = boxes.Errors[0];
            QVERIFY2(
                text.rfind("Tavlor est déjà ouvert sur ce dossier (processus " + std::to_string(first.Pid()), 0) == 0,
                text.c_str());
            QVERIFY2(text.find(dir.Path()) != std::string::npos, text.c_str());
            second.Show();
            second.Close();
        }
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        // Nothing of the folder read into a window, nothing written.
        QVERIFY(StateOf(dir.Path()) == before);
        QVERIFY(boxes.TopErrors.empty());
        QVERIFY(boxes.Informations.empty());

        // The first copy gone, however it ended, the folder opens again.
        first.Kill();
        boxes.Clear();
        {
            ui::TProgram again(program, &boxes, &shell, &addresses);
            QVERIFY(again.Started());
            QCOMPARE(again.Settings().Entries()[0].Caption, std::string("http://club/3bandes"));
            again.Close();
        }
        QVERIFY(boxes.Errors.empty());
    }

    void aProgramFolderThatCannotBeWrittenIsReadAndTheChangesGoToTheUsersFolders() {
        TTempDir dir;
        const fs::path share = fs::path(dir.Path()) / "partage";
        const fs::path home = fs::path(dir.Path()) / "home";
        TEnv homeVar("HOME", home.string());
        TEnv config("XDG_CONFIG_HOME", std::nullopt);
        TEnv data("XDG_DATA_HOME", std::nullopt);
        fedserver::TFedServer server;
        server.Start(0);
        const QStringList addresses = Addresses(server);
        WriteRaw(share / "tavlor", "#!/bin/false\n");
        WriteRaw(share / "tavlor.ini",
                 "[URLS]\r\n0=http://club/3bandes\r\n[RECENT1]\r\nurl=" + server.BaseUrl("3bandes") +
                     "\r\nNomCompet=Coupe du club\r\nIdCompet=1201\r\n");
        WriteRaw(share / "3bandes_1201Phases.xml", "<?xml?>");
        fs::create_directories(home);
        const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
        fs::permissions(share, readOnly);
        struct TWritableAgain {
            fs::path Folder;
            ~TWritableAgain() { fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add); }
        } restore{share};
        const TFolderState before = StateOf(share);

        TScriptedBoxes boxes;
        TFakeShell shell;
        const std::string userData = (home / ".local/share/tavlor").string();
        const std::string userSettings = (home / ".config/tavlor/tavlor.ini").string();
        std::vector<std::string> snapshots;
        {
            ui::TProgram program(QString::fromStdString((share / "tavlor").string()), &boxes, &shell, &addresses);
            QVERIFY(program.Started());
            const ui::TAppFolders& f = program.Folders();
            QVERIFY(!f.BesideProgram);
            QCOMPARE(f.ReadOnlyProgramFolder, share.string());
            QCOMPARE(f.SettingsReadFile, (share / "tavlor.ini").string());
            QCOMPARE(f.ReadDataFolders, std::vector<std::string>{share.string()});
            QCOMPARE(f.SettingsFile, userSettings);
            QCOMPARE(f.DataFolder, userData);
            // Said once, naming where the work goes.
            QCOMPARE(boxes.Informations, (std::vector<std::string>{msg::platform::ProgramFolderReadOnly(
                                             share.string(), userSettings, userData, f.ExportFolder)}));
            QVERIFY(boxes.Informations[0].find(userData) != std::string::npos);
            // What was left in the program's folder is there.
            QCOMPARE(program.Settings().Entries()[0].Caption, std::string("http://club/3bandes"));
            QCOMPARE(program.Settings().RecentCompets()[0].NomCompet, std::string("Coupe du club"));
            program.Www().SetBaseUrl(server.BaseUrl("cadre"));
            program.Www().LoadCompet(2201, "Cadre");
            program.Settings().AddRecentCompet(server.BaseUrl("cadre"), "Cadre", 2201);
            for (const char* table : {"Phases", "Inscrits", "Joueurs"})
                snapshots.push_back(program.Dm().SnapshotPath(table));
            program.Close();
        }
        QCOMPARE(boxes.Informations.size(), std::size_t(1));
        QVERIFY(boxes.TopErrors.empty());
        // The program's folder as it was; the work in the user's folders.
        QVERIFY(StateOf(share) == before);
        for (const std::string& s : snapshots) {
            QCOMPARE(fs::path(s).parent_path().string(), userData);
            QVERIFY2(fs::is_regular_file(s), s.c_str());
        }
        QVERIFY(fs::exists(fs::path(userData) / "tavlor.lock"));
        TIniFile ini(userSettings);
        ini.Load();
        QCOMPARE(ini.ReadString("URLS", "0", ""), std::string("http://club/3bandes"));
        QCOMPARE(ini.ReadString("RECENT1", "NomCompet", ""), std::string("Cadre"));
        QCOMPARE(ini.ReadString("RECENT2", "NomCompet", ""), std::string("Coupe du club"));
    }

    // A snapshot set an earlier run left half-replaced is made whole as the
    // program starts, before any competition is opened; one that cannot be is
    // told, and the program starts all the same.
    void aSnapshotSetLeftHalfReplacedIsMadeWholeAtStart() {
        TTempDir dir;
        const std::string names[3] = {"3bandes_1201Phases.xml", "3bandes_1201Inscrits.xml", "3bandes_1201Joueurs.xml"};
        auto set = [&](const std::string& version) {
            std::vector<TFileContent> files;
            for (const std::string& name : names) files.push_back({dir.File(name), version});
            return files;
        };
        const std::string oldVersion = "ancien", newVersion = "nouveau";
        const auto before = set(oldVersion), after = set(newVersion);
        WriteFilesTogether(before);
        // The earlier run dies once the first file of the new set is in place.
        const pid_t pid = ::fork();
        if (pid == 0) {
            SetWriteStepHook([](TWriteStep step, std::size_t index) {
                if (step == TWriteStep::Renamed && index == 0) ::_exit(42);
            });
            WriteFilesTogether(after);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 42);
        QCOMPARE(ReadRaw(dir.File(names[0])), newVersion);
        QCOMPARE(ReadRaw(dir.File(names[1])), oldVersion);
        // Another competition's set whose journal does not read back.
        WriteRaw(dir.File("3bandes_1202Phases.xml.journal"), "abîmé");

        TScriptedBoxes boxes;
        TFakeShell shell;
        ui::TProgram program(QString::fromStdString(dir.File("tavlor")), &boxes, &shell);
        QVERIFY(program.Started());
        QVERIFY(program.Compet().IdCompet() < 0);
        for (const std::string& name : names) QCOMPARE(ReadRaw(dir.File(name)), newVersion);
        for (const auto& e : fs::directory_iterator(dir.Path())) {
            const std::string name = e.path().filename().string();
            QVERIFY2(name.find("1201") == std::string::npos || name.size() == name.rfind(".xml") + 4, name.c_str());
        }
        QCOMPARE(boxes.TopErrors, (std::vector<std::string>{"Le fichier " + dir.File("3bandes_1202Phases.xml.journal") +
                                                            " n'est pas un journal d'enregistrement valide"}));
        QVERIFY(fs::exists(dir.File("3bandes_1202Phases.xml.journal")));
        program.Close();
    }

    // A snapshot left in a program folder that cannot be written is merged
    // when its competition is opened; the next one goes to the user's folder.
    void aSnapshotInAProgramFolderThatCannotBeWrittenIsMerged() {
        TTempDir dir;
        const fs::path share = fs::path(dir.Path()) / "partage";
        const fs::path home = fs::path(dir.Path()) / "home";
        TEnv homeVar("HOME", home.string());
        TEnv config("XDG_CONFIG_HOME", std::nullopt);
        TEnv data("XDG_DATA_HOME", std::nullopt);
        fs::create_directories(home);
        fedserver::TFedServer server;
        server.Start(0);
        const QStringList addresses = Addresses(server);
        TScriptedBoxes boxes;
        TFakeShell shell;
        // A copy of the program that could write its folder left a snapshot there.
        WriteRaw(share / "tavlor", "#!/bin/false\n");
        std::int32_t phase = 0;
        std::vector<std::string> names;
        {
            ui::TProgram program(QString::fromStdString((share / "tavlor").string()), &boxes, &shell, &addresses);
            QVERIFY(program.Started());
            program.Www().SetBaseUrl(server.BaseUrl("cadre"));
            program.Www().LoadCompet(2201, "Cadre");
            TTable& phases = program.Dm().Tables.Phases;
            phases.First();
            QVERIFY(!phases.Eof());
            phase = phases.AsInteger("IDPHASE");
            QVERIFY(program.Compet().EditPhase(phase, "Finale du club"));
            for (const char* table : {"Phases", "Inscrits", "Joueurs"})
                names.push_back(fs::path(program.Dm().SnapshotPath(table)).filename().string());
            program.Close();
        }
        for (const std::string& name : names) QVERIFY2(fs::is_regular_file(share / name), name.c_str());
        fs::permissions(share, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        struct TWritableAgain {
            fs::path Folder;
            ~TWritableAgain() { fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add); }
        } restore{share};
        const TFolderState before = StateOf(share);

        boxes.Clear();
        const std::string userData = (home / ".local/share/tavlor").string();
        {
            ui::TProgram program(QString::fromStdString((share / "tavlor").string()), &boxes, &shell, &addresses);
            QVERIFY(program.Started());
            QCOMPARE(program.Dm().ReadFolders, std::vector<std::string>{share.string()});
            program.Www().SetBaseUrl(server.BaseUrl("cadre"));
            program.Www().LoadCompet(2201, "Cadre");
            QVERIFY(program.Dm().Tables.Phases.Locate("IDPHASE", {phase}));
            QCOMPARE(program.Dm().Tables.Phases.AsString("NOMPHASE"), std::string("Finale du club"));
            program.Close();
        }
        QVERIFY(boxes.TopErrors.empty());
        QVERIFY(StateOf(share) == before);
        for (const std::string& name : names) {
            const fs::path saved = fs::path(userData) / name;
            QVERIFY2(fs::is_regular_file(saved), saved.string().c_str());
        }
        QVERIFY(ReadRaw(fs::path(userData) / names[0]).find("Finale du club") != std::string::npos);
    }

    void theUsersFoldersAreThereToFallBackOn() {
        TTempDir dir;
        TEnv homeVar("HOME", dir.Path());
        TEnv config("XDG_CONFIG_HOME", dir.File("config"));
        TEnv data("XDG_DATA_HOME", dir.File("data"));
        const ui::TAppFolders f = ui::UserFolders();
        QVERIFY(!f.BesideProgram);
        QCOMPARE(f.SettingsFile, dir.File("config/tavlor/tavlor.ini"));
        QCOMPARE(f.DataFolder, dir.File("data/tavlor"));
        QVERIFY(fs::is_directory(f.DataFolder));
        QVERIFY(fs::is_directory(f.ExportFolder));
        QVERIFY(f.ReadOnlyProgramFolder.empty() && f.SettingsReadFile.empty() && f.ReadDataFolders.empty());
        // A writable program folder reads nothing elsewhere.
        const ui::TAppFolders beside = ui::ResolveFolders(QString::fromStdString(dir.File("tavlor")));
        QVERIFY(beside.BesideProgram);
        QVERIFY(beside.ReadOnlyProgramFolder.empty() && beside.SettingsReadFile.empty() &&
                beside.ReadDataFolders.empty());
    }
};

QTEST_MAIN(FoldersTest)
#include "FoldersTest.moc"
