#include "commands/FolderLock.h"

#include "commands/FolderLockMessages.h"
#include "model/Files.h"
#include "text/Numbers.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

namespace tavlor {

namespace {

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string HolderText(const TLockHolder& h) {
    return "pid=" + std::to_string(h.Pid) + "\nhost=" + h.Host + "\nstarted=" + h.Started + "\n";
}

TLockHolder ParseHolder(const std::string& content) {
    TLockHolder h;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string::npos) end = content.size();
        const std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "pid") {
            h.Pid = text::ParseInt32(value).value_or(0);
            if (h.Pid < 0) h.Pid = 0;
        } else if (key == "host") {
            h.Host = value;
        } else if (key == "started") {
            h.Started = value;
        }
    }
    return h;
}

std::string ReadAll(int fd) {
    std::string content;
    char buffer[512];
    for (off_t at = 0; content.size() < 4096;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    return content;
}

// The holder writes its line just after taking the lock: a copy refused in
// between finds the file still empty, and looks again for a short while.
TLockHolder ReadHolder(int fd) {
    TLockHolder h;
    for (int attempt = 0; attempt < 50; ++attempt) {
        h = ParseHolder(ReadAll(fd));
        if (h.Pid > 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return h;
}

}  // namespace

TFolderLock::~TFolderLock() {
    Release();
}

TFolderLock::TResult TFolderLock::Acquire(const std::string& folder) {
    Release();
    Holder_ = {};
    const std::string path = JoinPath(folder, FileName);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A lock file that cannot be written still locks; only its text stays old.
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return TResult::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        if (taken) Holder_ = ReadHolder(fd);
        ::close(fd);
        return taken ? TResult::Refused : TResult::Unavailable;
    }
    Fd_ = fd;
    Holder_ = {static_cast<long>(::getpid()), ThisHost(), Now()};
    const std::string text = HolderText(Holder_);
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.data(), text.size(), 0) < 0) {
        // Kept without its text: a refused copy then names no process.
    }
    return TResult::Taken;
}

void TFolderLock::Release() {
    if (Fd_ < 0) return;
    ::flock(Fd_, LOCK_UN);
    ::close(Fd_);
    Fd_ = -1;
}

std::string TFolderLock::RefusedText(const std::string& folder) const {
    const std::string& s = Holder_.Started;
    // "YYYY-MM-DD HH:MM:SS" shown as the French day and the hour and minute.
    const bool dated = s.size() >= 16 && s[4] == '-' && s[7] == '-' && s[10] == ' ' && s[13] == ':';
    const std::string day = dated ? s.substr(8, 2) + "/" + s.substr(5, 2) + "/" + s.substr(0, 4) : std::string();
    const std::string time = dated ? s.substr(11, 5) : std::string();
    const std::string otherHost = Holder_.Host.empty() || Holder_.Host == ThisHost() ? std::string() : Holder_.Host;
    return msg::folderlock::AlreadyOpen(folder, Holder_.Pid, otherHost, day, time);
}

std::string TFolderLock::ThisHost() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

}  // namespace tavlor
