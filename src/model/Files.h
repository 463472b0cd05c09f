#pragma once

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

// Several files written as a set: all the temporary files are written and
// flushed first, and the old files are replaced only once every one of them is
// complete. On failure none of the old files changes (a rename refused
// half-way puts back those already replaced). Throws tavlor::Error naming the
// file that failed.
struct TFileContent {
    std::string Path;
    std::string_view Bytes;
};
void WriteFilesTogether(const std::vector<TFileContent>& files);

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
