#include "model/Files.h"

#include "model/FilesMessages.h"
#include "text/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
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
    std::size_t written = 0;
    int error = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
    return error;
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    WriteFilesTogether({{path, bytes}});
}

void WriteFilesTogether(const std::vector<TFileContent>& given) {
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
    auto dropTemporaries = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            ::unlink(TemporaryOf(files[k].Path).c_str());
        }
    };
    // Every new file complete on disk before any old one is touched.
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (const int error = WriteTemporary(files[k].Path, files[k].Bytes); error != 0) {
            dropTemporaries(0, k);
            throw Error(msg::files::CannotWrite(files[k].Path, SystemReason(error)));
        }
    }
    if (files.size() == 1) {
        if (::rename(TemporaryOf(files[0].Path).c_str(), files[0].Path.c_str()) != 0) {
            const int error = errno;
            dropTemporaries(0, 1);
            throw Error(msg::files::CannotWrite(files[0].Path, SystemReason(error)));
        }
        return;
    }
    // Several files: each old one is kept under a second name (a link, no
    // data copied) until every rename is done, so that a rename refused
    // half-way can put back the files already replaced (where the file
    // system refuses links, a file that existed then stays the new one).
    std::vector<char> existed(files.size(), 0), backedUp(files.size(), 0);
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::string backup = BackupOf(files[k].Path);
        struct stat st {};
        existed[k] = ::lstat(files[k].Path.c_str(), &st) == 0;
        ::unlink(backup.c_str());
        backedUp[k] = existed[k] && ::link(files[k].Path.c_str(), backup.c_str()) == 0;
    }
    auto dropBackups = [&] {
        for (std::size_t k = 0; k < files.size(); ++k) {
            if (backedUp[k]) ::unlink(BackupOf(files[k].Path).c_str());
        }
    };
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (::rename(TemporaryOf(files[k].Path).c_str(), files[k].Path.c_str()) == 0) {
            continue;
        }
        const int error = errno;
        for (std::size_t j = 0; j < k; ++j) {
            if (backedUp[j]) {
                ::rename(BackupOf(files[j].Path).c_str(), files[j].Path.c_str());
                backedUp[j] = 0;
            } else if (!existed[j]) {
                ::unlink(files[j].Path.c_str());
            }
        }
        dropTemporaries(k, files.size());
        dropBackups();
        throw Error(msg::files::CannotWrite(files[k].Path, SystemReason(error)));
    }
    dropBackups();
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
