#pragma once

#include <QString>

#include <functional>
#include <string>

namespace tavlor::ui {

// Where the program keeps its files. Next to the program file when its folder
// can be written (a copy unpacked or built by the user); otherwise, as for an
// installed program, the settings go to the user's configuration folder, the
// snapshots to the user's data folder and the exports to a "Tavlor" folder in
// the user's documents.
struct TAppFolders {
    std::string SettingsFile;  // UTF-8 paths
    std::string DataFolder;
    std::string ExportFolder;
    bool BesideProgram = true;
};

// Whether a new file can be created in the folder.
bool FolderWritable(const QString& folder);

// The folders for the program file at programFile. writable decides whether
// a folder can be written (the real check by default; tests replace it).
TAppFolders ResolveFolders(const QString& programFile,
                           const std::function<bool(const QString&)>& writable = FolderWritable);

// The four built-in server addresses: the federation's base address chosen
// when the program was built, followed by each discipline's path.
QStringList BuiltInServerAddresses();

}  // namespace tavlor::ui
