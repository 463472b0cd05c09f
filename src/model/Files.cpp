#include "model/Files.h"

#include "model/FilesMessages.h"
#include "text/Error.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

namespace tavlor {

namespace {

using msg::files::SystemReason;

std::string TemporaryOf(const std::string& path) {
    return path + ".tmp";
}
std::string BackupOf(const std::string& path) {
    return path + ".old";
}
// The journal of a set is named after its first file; once a refused rename
// has to be undone, it takes the second name.
std::string JournalOf(const std::string& first) {
    return first + ".journal";
}
std::string RollbackOf(const std::string& first) {
    return first + ".rollback";
}
constexpr std::string_view JournalHeader = "tavlor files together 1";
constexpr std::string_view JournalEnd = "end";

TWriteStepHook& Hook() {
    static TWriteStepHook hook;
    return hook;
}
void Step(TWriteStep step, std::size_t index = 0) {
    if (const TWriteStepHook& hook = Hook()) {
        hook(step, index);
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
bool EndsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}
bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
// Two names of one folder ("a/../b" and "b" alike); folders that cannot be
// looked at are compared by name.
bool SameFolder(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return a == b;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The folder of a write, locked while the object lives, so that two copies of
// the program never write or recover a set of it at the same time (the lock
// goes with the process, also when it dies). Where it cannot be opened or
// locked (some network file systems), the write goes on without: the errors
// that matter come from the files themselves.
class TFolder {
public:
    explicit TFolder(const std::string& path)
        : Path(path), Fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (Fd_ >= 0 && ::flock(Fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~TFolder() {
        if (Fd_ >= 0) {
            ::close(Fd_);
        }
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;

    // Makes the folder's entries (names created, renamed, removed) durable;
    // answers 0 or the error number. A file system that cannot flush a folder
    // has nothing to flush.
    int Flush() const {
        if (Fd_ < 0 || ::fsync(Fd_) == 0) {
            return 0;
        }
        return errno == EINVAL || errno == EROFS ? 0 : errno;
    }

    const std::string Path;

private:
    int Fd_;
};

// Writes every byte to an open file and flushes it; answers 0 or the error number.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        written += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// The new file takes the place of the old one as far as the program can
// make it: a settings file shared through its group stays writable by the
// group, a private one stays private. Failures are ignored: the content
// matters more than the mode, and the user without privileges cannot give a
// file away.
void KeepModeOf(const std::string& path, int fd) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
        return;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Left to the program's user and group.
    }
    ::fchmod(fd, old.st_mode & 0777);
}

// Writes and flushes the temporary file of a target; answers 0 or the error
// number, the temporary file then removed.
int WriteTemporary(const std::string& path, std::string_view bytes) {
    const std::string temporary = TemporaryOf(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    KeepModeOf(path, fd);
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
    return error;
}

// One file of a set as the journal names it, with what its old file became.
struct TEntry {
    enum TOld : char {
        Linked = 'B',  // kept under its second name until the set is in place
        None = 'N',    // there was none: undoing removes the new file
        Kept = 'K',    // no second name could be made: undoing leaves the new file
    };
    TOld Old = None;
    std::string Name;  // in the folder of the set
};

struct TSet {
    std::string First;  // the path of the first file, which names the journal
    std::vector<TEntry> Entries;
};

std::string JournalText(const TSet& set) {
    std::string text(JournalHeader);
    text += '\n';
    for (const TEntry& e : set.Entries) {
        text += static_cast<char>(e.Old);
        text += ' ';
        text += e.Name;
        text += '\n';
    }
    text += JournalEnd;
    text += '\n';
    return text;
}

// A journal is written whole before it gets its name, so one that does not
// read back is no journal of ours; nothing is done on its word.
TSet ReadJournal(const std::string& journal, const std::string& first) {
    const std::string text = ReadWholeFile(journal);
    TSet set;
    set.First = first;
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find('\n', from);
        if (end == std::string::npos) {
            throw Error(msg::files::NotAJournal(journal));
        }
        lines.push_back(std::string_view(text).substr(from, end - from));
        from = end + 1;
    }
    if (lines.size() < 3 || lines.front() != JournalHeader || lines.back() != JournalEnd) {
        throw Error(msg::files::NotAJournal(journal));
    }
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view name = line.size() > 2 ? line.substr(2) : std::string_view();
        const bool known =
            !line.empty() && (line[0] == TEntry::Linked || line[0] == TEntry::None || line[0] == TEntry::Kept);
        if (!known || line[1] != ' ' || name.empty() || name == "." || name == ".." ||
            name.find('/') != std::string_view::npos) {
            throw Error(msg::files::NotAJournal(journal));
        }
        set.Entries.push_back({static_cast<TEntry::TOld>(line[0]), std::string(name)});
    }
    return set;
}

// Puts the old set back: the journal first takes its undo name, so that a
// death half-way is finished the same way. (Where even that rename is
// refused, the undo goes on, without that protection.)
void RollBack(const TFolder& folder, const TSet& set) {
    const std::string journal = JournalOf(set.First), rollback = RollbackOf(set.First);
    if (Exists(journal)) {
        ::rename(journal.c_str(), rollback.c_str());
        folder.Flush();
    }
    Step(TWriteStep::RollbackStarted);
    for (std::size_t j = 0; j < set.Entries.size(); ++j) {
        const std::string target = JoinPath(folder.Path, set.Entries[j].Name);
        if (set.Entries[j].Old == TEntry::Linked) {
            const std::string backup = BackupOf(target);
            if (Exists(backup)) {
                // Never replaced, the second name is the same file: rename
                // then leaves both names, and the second one goes.
                ::rename(backup.c_str(), target.c_str());
                ::unlink(backup.c_str());
            }
        } else if (set.Entries[j].Old == TEntry::None && !Exists(TemporaryOf(target))) {
            ::unlink(target.c_str());
        }
        Step(TWriteStep::Restored, j);
    }
    for (const TEntry& e : set.Entries) {
        ::unlink(TemporaryOf(JoinPath(folder.Path, e.Name)).c_str());
    }
    folder.Flush();
    ::unlink(rollback.c_str());
    ::unlink(journal.c_str());
    folder.Flush();
}

// Puts every new file of a journaled set in place (a temporary file gone was
// renamed already), then cleans up. A rename refused undoes the set and
// throws naming the file.
void RollForward(const TFolder& folder, const TSet& set) {
    for (std::size_t k = 0; k < set.Entries.size(); ++k) {
        const std::string target = JoinPath(folder.Path, set.Entries[k].Name);
        const std::string temporary = TemporaryOf(target);
        if (!Exists(temporary)) {
            continue;
        }
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int error = errno;
            RollBack(folder, set);
            throw Error(msg::files::CannotWrite(target, SystemReason(error)));
        }
        Step(TWriteStep::Renamed, k);
    }
    // Failures to flush from here on are not reported: the new set is in
    // place, and there is nothing left to undo.
    folder.Flush();
    Step(TWriteStep::RenamesFlushed);
    for (const TEntry& e : set.Entries) {
        if (e.Old == TEntry::Linked) {
            ::unlink(BackupOf(JoinPath(folder.Path, e.Name)).c_str());
        }
    }
    Step(TWriteStep::BackupsRemoved);
    ::unlink(JournalOf(set.First).c_str());
    folder.Flush();
}

// Finishes what a journal left for the set whose first file is `first`:
// an undo under way is finished, a replacement is completed.
void CompleteSet(const TFolder& folder, const std::string& first) {
    if (const std::string rollback = RollbackOf(first); Exists(rollback)) {
        RollBack(folder, ReadJournal(rollback, first));
    } else if (const std::string journal = JournalOf(first); Exists(journal)) {
        RollForward(folder, ReadJournal(journal, first));
    }
}

// Leftovers of a set with no journal: nothing of them counts.
void RemoveLeftovers(const std::string& path) {
    ::unlink(TemporaryOf(path).c_str());
    ::unlink(BackupOf(path).c_str());
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    WriteFilesTogether({{path, bytes}});
}

void WriteFilesTogether(const std::vector<TFileContent>& given) {
    if (given.empty()) {
        return;
    }
    // The files actually written: a link's target in place of the link; a
    // read-only file stops the whole set before anything is written.
    std::vector<TFileContent> files;
    for (const TFileContent& f : given) {
        std::string target = LinkTarget(f.Path);
        if (ReadOnlyByMode(target)) {
            throw Error(msg::files::CannotWrite(target, msg::files::ReadOnlyFile));
        }
        files.push_back({std::move(target), f.Bytes});
    }
    // The journal names the files within one folder: links that take a file
    // of the set elsewhere cannot be written through as a set.
    for (const TFileContent& f : files) {
        if (!SameFolder(FolderOf(f.Path), FolderOf(files[0].Path))) {
            throw Error(msg::files::CannotWrite(f.Path, msg::files::OutsideFolderOfSet(FolderOf(files[0].Path))));
        }
    }
    const TFolder folder(FolderOf(files[0].Path));
    auto dropTemporaries = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            ::unlink(TemporaryOf(files[k].Path).c_str());
        }
    };
    if (files.size() == 1) {
        if (const int error = WriteTemporary(files[0].Path, files[0].Bytes); error != 0) {
            throw Error(msg::files::CannotWrite(files[0].Path, SystemReason(error)));
        }
        Step(TWriteStep::TemporaryWritten, 0);
        if (::rename(TemporaryOf(files[0].Path).c_str(), files[0].Path.c_str()) != 0) {
            const int error = errno;
            dropTemporaries(0, 1);
            throw Error(msg::files::CannotWrite(files[0].Path, SystemReason(error)));
        }
        Step(TWriteStep::Renamed, 0);
        folder.Flush();
        return;
    }

    // A set an earlier run left half-replaced is completed before its
    // temporary files are written again.
    CompleteSet(folder, files[0].Path);

    // Every new file complete on disk before any old one is touched.
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (const int error = WriteTemporary(files[k].Path, files[k].Bytes); error != 0) {
            dropTemporaries(0, k);
            throw Error(msg::files::CannotWrite(files[k].Path, SystemReason(error)));
        }
        Step(TWriteStep::TemporaryWritten, k);
    }
    TSet set;
    set.First = files[0].Path;
    for (const TFileContent& f : files) {
        TEntry entry;
        entry.Name = NameOf(f.Path);
        const std::string backup = BackupOf(f.Path);
        ::unlink(backup.c_str());
        if (!Exists(f.Path)) {
            entry.Old = TEntry::None;
        } else {
            entry.Old = ::link(f.Path.c_str(), backup.c_str()) == 0 ? TEntry::Linked : TEntry::Kept;
        }
        set.Entries.push_back(std::move(entry));
    }
    Step(TWriteStep::BackupsMade);
    auto dropBackups = [&] {
        for (const TFileContent& f : files) {
            ::unlink(BackupOf(f.Path).c_str());
        }
    };

    // The journal gets its name only once whole: a journal read back is
    // always complete, and so are the temporary files it names.
    const std::string journal = JournalOf(set.First);
    int error = WriteTemporary(journal, JournalText(set));
    if (error == 0) {
        if (::rename(TemporaryOf(journal).c_str(), journal.c_str()) != 0) {
            error = errno;
            ::unlink(TemporaryOf(journal).c_str());
        } else if ((error = folder.Flush()) != 0) {
            ::unlink(journal.c_str());
        }
    }
    if (error != 0) {
        dropTemporaries(0, files.size());
        dropBackups();
        throw Error(msg::files::CannotWrite(journal, SystemReason(error)));
    }
    Step(TWriteStep::JournalWritten);
    RollForward(folder, set);
}

void RecoverFilesTogether(const std::vector<std::string>& given) {
    if (given.empty()) {
        return;
    }
    // The set as WriteFilesTogether wrote it: through the links.
    std::vector<std::string> paths;
    for (const std::string& path : given) {
        paths.push_back(LinkTarget(path));
    }
    const TFolder folder(FolderOf(paths[0]));
    CompleteSet(folder, paths[0]);
    for (const std::string& path : paths) {
        RemoveLeftovers(path);
    }
    ::unlink(TemporaryOf(JournalOf(paths[0])).c_str());
    folder.Flush();
}

void RecoverFolder(const std::string& folder, const std::function<bool(std::string_view name)>& ours) {
    const TFolder locked(folder);
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    auto stemOf = [](std::string_view name, std::string_view suffix) -> std::optional<std::string> {
        if (!EndsWith(name, suffix)) {
            return std::nullopt;
        }
        return std::string(name.substr(0, name.size() - suffix.size()));
    };
    std::optional<Error> failure;
    for (const std::string& name : names) {
        auto first = stemOf(name, ".journal");
        if (!first) {
            first = stemOf(name, ".rollback");
        }
        if (!first || !ours(*first)) {
            continue;
        }
        try {
            CompleteSet(locked, JoinPath(folder, *first));
        } catch (const Error& e) {
            if (!failure) {
                failure = e;
            }
        }
    }
    if (failure) {
        // A set that could not be completed may still need its temporary
        // files: no leftover of this folder is removed.
        throw *failure;
    }
    for (const std::string& name : names) {
        std::optional<std::string> target = stemOf(name, ".tmp");
        if (target && EndsWith(*target, ".journal")) {
            target = stemOf(*target, ".journal");
        }
        if (!target) {
            target = stemOf(name, ".old");
        }
        if (target && ours(*target)) {
            ::unlink(JoinPath(folder, name).c_str());
        }
    }
    locked.Flush();
}

void SetWriteStepHook(TWriteStepHook hook) {
    Hook() = std::move(hook);
}

std::string SetFileAside(const std::string& path, std::string_view label, std::time_t when, bool keepFile) {
    const std::string name = NameOf(path);
    const std::string prefix = path.substr(0, path.size() - name.size());
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    std::tm parts{};
    ::localtime_r(&when, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);

    auto fail = [&](int error) { return Error(msg::files::CannotSetAside(path, SystemReason(error))); };
    // A copy is a file of its own, not a second name: what is later written
    // over the first one, in place or not, never reaches it.
    const std::string bytes = keepFile ? ReadWholeFile(path) : std::string();
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = prefix + stem + "." + std::string(label) + "-" + stamp +
                                  (n > 1 ? "-" + std::to_string(n) : std::string()) + extension;
        // Each way of placing the file fails on a name already taken: the
        // next number is tried.
        if (keepFile) {
            const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                if (errno == EEXIST) {
                    continue;
                }
                throw fail(errno);
            }
            int error = WriteAll(fd, bytes);
            if (::close(fd) != 0 && error == 0) {
                error = errno;
            }
            if (error != 0) {
                ::unlink(aside.c_str());
                throw fail(error);
            }
            return aside;
        }
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            return aside;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            throw fail(errno);
        }
        // A file system without that rename: a second name, then the first one removed.
        if (::link(path.c_str(), aside.c_str()) == 0) {
            ::unlink(path.c_str());
            return aside;
        }
        if (errno == EEXIST) {
            continue;
        }
        throw fail(errno);
    }
    throw fail(EEXIST);
}

std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Error(msg::files::CannotRead(path, SystemReason(errno)));
    }
    std::string content;
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            throw Error(msg::files::CannotRead(path, SystemReason(error)));
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadOnlyByMode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    const uid_t user = ::geteuid();
    if (user == 0) {
        // Every bit applies to the administrator: only a file nobody may write is read-only.
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }
    if (st.st_uid == user) {
        return (st.st_mode & S_IWUSR) == 0;
    }
    bool inGroup = st.st_gid == ::getegid();
    if (!inGroup) {
        const int count = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
        const int n = count > 0 ? ::getgroups(count, groups.data()) : 0;
        for (int k = 0; k < n && !inGroup; ++k) {
            inGroup = groups[static_cast<std::size_t>(k)] == st.st_gid;
        }
    }
    return (st.st_mode & (inGroup ? S_IWGRP : S_IWOTH)) == 0;
}

std::string LinkTarget(const std::string& path) {
    // The system's own limit on links followed in one path.
    constexpr int MaxLinks = 40;
    std::string current = path;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
            // Changed while read, or empty: the path as it is; the write tells what is wrong.
            return current;
        }
        target.resize(static_cast<std::size_t>(n));
        if (target.front() == '/') {
            current = std::move(target);
            continue;
        }
        // Relative to the link's folder; ".." is left to the system, which
        // takes it from the folder the link really lies in.
        const std::size_t slash = current.rfind('/');
        current = slash == std::string::npos ? target : JoinPath(current.substr(0, slash == 0 ? 1 : slash), target);
    }
    throw Error(msg::files::CannotWrite(path, SystemReason(ELOOP)));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

}  // namespace tavlor
