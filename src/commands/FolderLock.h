#pragma once

#include <string>

namespace tavlor {

// The copy of the program that holds a folder.
struct TLockHolder {
    long Pid = 0;  // 0: not known
    std::string Host;
    std::string Started;  // "YYYY-MM-DD HH:MM:SS", the holder's local time
};

// One copy of the program per folder: two copies writing their snapshots and
// settings over each other's lose one's work. The lock is the system's lock
// on a file of the folder, held as long as that file stays open, so that
// the system releases it when the program ends however it ends: a crash
// never leaves the folder locked. The file itself stays (removing it would
// let a third copy lock a new file while a second one holds the old); it
// holds, as text, the process number, computer and start of its holder, for
// the copy that is refused.
class TFolderLock {
public:
    enum class TResult { Taken, Refused, Unavailable };
    static constexpr const char* FileName = "tavlor.lock";

    TFolderLock() = default;
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    // Takes the folder's lock without waiting. Refused: another process
    // holds it, and Holder() tells which. Unavailable: no lock file can be
    // opened or locked there (a folder that cannot be written, where nothing
    // will be saved either, or a file system without locks); the program
    // goes on without it.
    TResult Acquire(const std::string& folder);
    void Release();
    bool Held() const { return Fd_ >= 0; }
    // This process once the lock is taken; the other one when refused.
    const TLockHolder& Holder() const { return Holder_; }
    // What the refused copy tells its user: the holder, and the folder.
    std::string RefusedText(const std::string& folder) const;

    // The name of the computer the program runs on.
    static std::string ThisHost();

private:
    int Fd_ = -1;
    TLockHolder Holder_;
};

}  // namespace tavlor
