#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace tavlor::test {

TChildProcess::TChildProcess(const std::vector<std::string>& arguments) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int error = ::posix_spawn(&Pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    In_ = in[1];
    Out_ = out[0];
    if (error != 0) {
        Pid_ = -1;
        throw std::runtime_error("cannot start " + arguments.front());
    }
}

TChildProcess::~TChildProcess() {
    if (Pid_ > 0) Kill();
    if (In_ >= 0) ::close(In_);
    if (Out_ >= 0) ::close(Out_);
}

std::string TChildProcess::ReadLine() {
    std::string line;
    char c;
    while (true) {
        const ssize_t n = ::read(Out_, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || c == '\n') break;
        line += c;
    }
    return line;
}

int TChildProcess::Finish() {
    if (In_ >= 0) {
        ::close(In_);
        In_ = -1;
    }
    Reap();
    return Status_;
}

void TChildProcess::Kill() {
    if (Pid_ > 0) ::kill(Pid_, SIGKILL);
    Reap();
}

void TChildProcess::Reap() {
    if (Pid_ <= 0) return;
    int status = 0;
    while (::waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
    }
    Status_ = status;
    Pid_ = -1;
}

}  // namespace tavlor::test
