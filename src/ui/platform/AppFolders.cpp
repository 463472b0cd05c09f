#include "ui/platform/AppFolders.h"

#include "ui/platform/QtText.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <unistd.h>

#ifndef TAVLOR_SERVER_BASE
#define TAVLOR_SERVER_BASE "http://127.0.0.1:8765"
#endif

namespace tavlor::ui {

bool FolderWritable(const QString& folder) {
    // The administrator writes anywhere; a folder nobody may write is still
    // meant to stay as it is, as the settings file is (ReadOnlyByMode).
    constexpr QFile::Permissions AnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (::geteuid() == 0 && !(QFileInfo(folder).permissions() & AnyWrite)) return false;
    QTemporaryFile probe(folder + QStringLiteral("/.tavlor-XXXXXX"));
    return probe.open();
}

bool InstalledProgram(const QString& programFile) {
    const QFileInfo program(programFile);
    // The folder as the system names it: /bin is a link to /usr/bin on most systems.
    QString folder = QFileInfo(program.absolutePath()).canonicalFilePath();
    if (folder.isEmpty()) folder = QDir::cleanPath(program.absolutePath());
    for (const char* system : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/games", "/usr/local/games"}) {
        if (folder == QLatin1String(system)) return true;
    }
    const QDir dir(folder);
    if (dir.dirName() != QLatin1String("bin")) return false;
    const QString entry = dir.absoluteFilePath(QStringLiteral("../share/applications/") + program.completeBaseName() +
                                               QStringLiteral(".desktop"));
    return QFileInfo(entry).isFile();
}

TAppFolders UserFolders() {
    TAppFolders f;
    f.BesideProgram = false;
    // Named here rather than after the application's name, which a caller may not have set.
    const QString config =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tavlor");
    const QString data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tavlor");
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    const QString exports = documents + QStringLiteral("/Tavlor");
    for (const QString& dir : {config, data, exports}) QDir().mkpath(dir);
    f.SettingsFile = S(config + QStringLiteral("/tavlor.ini"));
    f.DataFolder = S(data);
    f.ExportFolder = S(exports);
    return f;
}

TAppFolders ResolveFolders(const QString& programFile, const std::function<bool(const QString&)>& writable) {
    const QFileInfo program(programFile);
    const QString folder = program.absolutePath();
    const QString settings = folder + u'/' + program.completeBaseName() + QStringLiteral(".ini");
    if (InstalledProgram(programFile)) return UserFolders();
    if (writable(folder)) {
        TAppFolders f;
        f.BesideProgram = true;
        f.SettingsFile = S(settings);
        f.DataFolder = S(folder);
        f.ExportFolder = S(folder);
        return f;
    }
    // What the user left beside the program stays in use; only the changes go elsewhere.
    TAppFolders f = UserFolders();
    f.ReadOnlyProgramFolder = S(folder);
    f.SettingsReadFile = S(settings);
    f.ReadDataFolders = {S(folder)};
    return f;
}

QStringList BuiltInServerAddresses() {
    QString base = QStringLiteral(TAVLOR_SERVER_BASE);
    while (base.endsWith(u'/')) base.chop(1);
    QStringList out;
    for (const char* path : {"/3bandes", "/cadre", "/bande", "/libre"}) out << base + QLatin1String(path);
    return out;
}

}  // namespace tavlor::ui
