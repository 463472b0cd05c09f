#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// Writes the whole file or nothing: the bytes go to a temporary file in the
// same folder, flushed to disk, which is then renamed over the target. A
// crash or a full disk never leaves a truncated file. Throws tavlor::Error
// naming the file.
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

// A folder and a file name joined with one separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tavlor
