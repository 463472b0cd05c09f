#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// Writes the whole file or nothing: the bytes go to a temporary file in the
// same folder, flushed to disk, which is then renamed over the target. A
// crash or a full disk never leaves a truncated file. Throws tavlor::Error
// naming the file.
// A path that is a symbolic link is written through to the file it names
// (the temporary file beside that file), so that the link stays a link. A
// file replaced keeps its permission bits (and its owner and group where the
// system lets the program set them); a file whose bits make it read-only
// (see ReadOnlyByMode) is not replaced: the error says so.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

// Several files of one folder written as a set: every file is replaced or none
// is, even when the program dies half-way. In order:
//   1. each new file is written and flushed as <file>.tmp;
//   2. each old file gets a second name, <file>.old (a hard link, no data
//      copied), so that a rename refused half-way can put it back;
//   3. a journal naming the files, <first file>.journal, is written whole and
//      the folder flushed: from then on the new set is the one that counts;
//   4. the temporary files are renamed over the old ones, the folder flushed;
//   5. the second names, then the journal, are removed, the folder flushed.
// A program that dies before step 3 leaves the old set and leftovers, after it
// the new set maybe half in place: RecoverFilesTogether makes either whole. A
// rename refused half-way puts back the files already replaced (where the
// file system refuses links, a file that existed then stays the new one); a
// failure before step 3 (a full disk) leaves the old set untouched. The folder
// is locked while a set is written or recovered, so that a second copy of the
// program never takes the files of a write under way for leftovers. A journal
// left by an earlier run is completed before a new set is written. Links are
// written through and modes kept as by WriteFileAtomic; a read-only file, or a
// link that takes one file of the set out of the folder of the others, stops
// the whole set before anything is written. Throws tavlor::Error naming the
// file that failed.
struct TFileContent {
    std::string Path;
    std::string_view Bytes;
};
void WriteFilesTogether(const std::vector<TFileContent>& files);

// What an interrupted WriteFilesTogether left of the set of these files (the
// same paths, first one first) made whole: with a journal, every temporary
// file named there was complete, so the replacement is finished (or, when it
// had been refused half-way, undone); without one, temporary files are
// incomplete and second names stale, and both are removed. The files
// themselves are never removed. Links are followed as WriteFilesTogether
// follows them. Throws tavlor::Error naming the file that cannot be put in
// place; leftovers that cannot be removed stay, harmless.
void RecoverFilesTogether(const std::vector<std::string>& paths);

// The same for every set of a folder whose files `ours` accepts by name (a
// name without folder): each of their journals is completed, then their
// leftovers are removed. Files of other programs are not looked at, nor sets
// that links take to another folder (RecoverFilesTogether reaches those).
// Throws the first error once every set was tried.
void RecoverFolder(const std::string& folder, const std::function<bool(std::string_view name)>& ours);

// Where WriteFilesTogether can be stopped, for the tests that stop it there:
// the hook, when set, is called at each step with the index of the file
// concerned (0 where no file is).
enum class TWriteStep {
    TemporaryWritten,  // the new file `index` is complete under its temporary name
    BackupsMade,       // every old file has its second name
    JournalWritten,    // the journal is in place and the folder flushed
    Renamed,           // the new file `index` has replaced the old one
    RenamesFlushed,    // every rename done and flushed, nothing cleaned yet
    BackupsRemoved,    // second names removed, the journal not yet
    RollbackStarted,   // a refused rename: the journal now says to undo
    Restored,          // the old file `index` is back (or the new one removed)
};
using TWriteStepHook = std::function<void(TWriteStep step, std::size_t index)>;
void SetWriteStepHook(TWriteStepHook hook);

// Moves a file aside (or, with keepFile, copies it aside) under a
// name that says why and when, in the same folder: "a/b.xml", label
// "endommagé" and 2026-12-10 08:15:00 local time give
// "a/b.endommagé-20261210-081500.xml" ("...-081500-2.xml" and so on when that
// name is taken; an existing file is never replaced). Answers the new path;
// throws tavlor::Error naming the file.
std::string SetFileAside(const std::string& path, std::string_view label, std::time_t when, bool keepFile);

// The whole content of a file; throws tavlor::Error naming the file.
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);

// Whether the file's permission bits make it read-only for the user the
// program runs as: the owner's write bit for a file of that user, the
// group's for a file of one of its groups, the others' otherwise. Decided
// from the bits and not by trying: the administrator could write the file
// anyway, but whoever took the write bits away meant it to stay as it is.
// False for a path that names no file.
bool ReadOnlyByMode(const std::string& path);

// The file a path finally names: its symbolic links followed one after the
// other (a relative target taken from the link's folder), the last one
// possibly naming a file not created yet. The path itself when it is no link.
// Throws tavlor::Error naming the path when the links go round in a circle.
std::string LinkTarget(const std::string& path);

// A folder and a file name joined with one separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tavlor
