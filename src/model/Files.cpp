#include "model/Files.h"

#include "model/FilesMessages.h"
#include "text/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace tavlor {

namespace {

using msg::files::SystemReason;

std::string TemporaryOf(const std::string& path) {
    return path + ".tmp";
}
std::string BackupOf(const std::string& path) {
    return path + ".old";
}

// Writes and flushes the temporary file of a target; answers 0 or the error
// number, the temporary file then removed.
int WriteTemporary(const std::string& path, std::string_view bytes) {
    const std::string temporary = TemporaryOf(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
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

void WriteFilesTogether(const std::vector<TFileContent>& files) {
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
