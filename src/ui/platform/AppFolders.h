#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace tavlor::ui {

// Where the program keeps its files. An installed program (see
// InstalledProgram) always keeps them in the user's folders: the settings in
// the user's configuration folder (tavlor/tavlor.ini), the snapshots in the
// user's data folder (tavlor/) and the exports in a "Tavlor" folder in the
// user's documents. Any other copy (built or unpacked by the user) keeps them
// next to the program file when its folder can be written, and in the user's
// folders otherwise; what was left next to it is then still read.
struct TAppFolders {
    // Where the files are written (UTF-8 paths).
    std::string SettingsFile;
    std::string DataFolder;
    std::string ExportFolder;
    bool BesideProgram = true;
    // The program's own folder when the program is not installed but that
    // folder cannot be written (a read-only share): its files are read, the
    // user is told where the changes go. Empty otherwise.
    std::string ReadOnlyProgramFolder;
    // The settings file read before SettingsFile, whose values win over its
    // own: the one in ReadOnlyProgramFolder. Empty when only SettingsFile is read.
    std::string SettingsReadFile;
    // Folders whose snapshots are read as well (ReadOnlyProgramFolder):
    // DataFolder, where this user's later work is saved, comes first.
    std::vector<std::string> ReadDataFolders;
};

// Whether a new file can be created in the folder. For the administrator,
// who could write any folder, a folder without any write bit is not.
bool FolderWritable(const QString& folder);

// Whether the program file is an installed one: it lies in a system program
// folder (/usr/bin, /usr/local/bin, /bin, /usr/games, /usr/local/games), or in
// a folder "bin" whose sibling share/applications holds its desktop entry
// (<name>.desktop), as every installation under a prefix lays it out. Whether
// the folder can be written plays no part: the administrator can write
// /usr/bin, and the installed program must not litter it when started as root.
bool InstalledProgram(const QString& programFile);

// The folders for the program file at programFile. writable decides whether
// a folder can be written (the real check by default; tests replace it).
TAppFolders ResolveFolders(const QString& programFile,
                           const std::function<bool(const QString&)>& writable = FolderWritable);

// The user's own folders, created when missing, nothing to read elsewhere:
// where an installed program keeps its files, and where a session falls back
// when the program's folder stops taking its files.
TAppFolders UserFolders();

// The four built-in server addresses: the federation's base address chosen
// when the program was built, followed by each discipline's path.
QStringList BuiltInServerAddresses();

}  // namespace tavlor::ui
