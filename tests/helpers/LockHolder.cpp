// A second copy of the program as far as the folder lock goes, for the tests:
//   tavlor-lock-holder <folder>   takes the folder's lock and tells the result
//                                 on its first line ("taken <pid>", "refused
//                                 <holder's pid>" or "unavailable"), then
//                                 holds it until its input ends or it is killed.
//   tavlor-lock-holder <folder> --start
//                                 the same, having started a program of its
//                                 own once the lock is taken (as the program
//                                 opens an export with the desktop's
//                                 application): "taken <pid> <program's pid>".
//                                 That program waits until its input, the
//                                 holder's, ends.
#include "commands/FolderLock.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

void WaitForEndOfInput() {
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool start = argc == 3 && std::strcmp(argv[2], "--start") == 0;
    if (argc != 2 && !start) {
        std::fputs("usage: tavlor-lock-holder <folder> [--start]\n", stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--wait") == 0) {
        WaitForEndOfInput();
        return 0;
    }
    tavlor::TFolderLock lock;
    switch (lock.Acquire(argv[1])) {
        case tavlor::TFolderLock::TResult::Taken:
            if (start) {
                // Its output goes nowhere: the first line stays the holder's.
                posix_spawn_file_actions_t actions;
                posix_spawn_file_actions_init(&actions);
                posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
                char wait[] = "--wait";
                char* arguments[] = {argv[0], wait, nullptr};
                pid_t started = 0;
                if (::posix_spawn(&started, argv[0], &actions, nullptr, arguments, environ) != 0) return 1;
                posix_spawn_file_actions_destroy(&actions);
                std::printf("taken %ld %ld\n", lock.Holder().Pid, static_cast<long>(started));
                break;
            }
            std::printf("taken %ld\n", lock.Holder().Pid);
            break;
        case tavlor::TFolderLock::TResult::Refused:
            std::printf("refused %ld\n", lock.Holder().Pid);
            break;
        case tavlor::TFolderLock::TResult::Unavailable:
            std::puts("unavailable");
            break;
    }
    std::fflush(stdout);
    WaitForEndOfInput();
    return 0;
}
