#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace tavlor::test {

// A program run by a test as a real process of its own, its input and first
// output line in the test's hands. The program ends when its input is closed
// (Finish), or at once when killed; the destructor kills what still runs.
class TChildProcess {
public:
    explicit TChildProcess(const std::vector<std::string>& arguments);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    pid_t Pid() const { return Pid_; }
    // The next line the program writes, without its line break; waits for it.
    std::string ReadLine();
    // Closes the program's input and waits for its end; answers its exit status.
    int Finish();
    // Ends it with SIGKILL, as a crash would, and waits until it is gone.
    void Kill();

private:
    void Reap();
    pid_t Pid_ = -1;
    int In_ = -1;
    int Out_ = -1;
    int Status_ = -1;
};

}  // namespace tavlor::test
