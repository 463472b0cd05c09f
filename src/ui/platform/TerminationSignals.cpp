#include "ui/platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace tavlor::ui {

namespace {

constexpr int Handled[] = {SIGTERM, SIGHUP, SIGINT};

// The pair's writing end for the handler, -1 when no object listens.
volatile std::sig_atomic_t WriteEnd = -1;
int ReadEnd = -1;

extern "C" void OnSignal(int signal) {
    // Only what is safe in a handler: one write, errno kept for the code
    // the signal interrupted. A full pair drops the byte; one is enough.
    const int saved = errno;
    const int fd = WriteEnd;
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A system call the signal interrupts goes on: the rest of the program
    // never sees EINTR because of it.
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled) sigaction(signal, &action, nullptr);
}

}  // namespace

TTerminationSignals::TTerminationSignals(QObject* parent) : QObject(parent) {
    int pair[2];
    if (ReadEnd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0) return;
    ReadEnd = pair[0];
    WriteEnd = pair[1];
    Notifier_ = new QSocketNotifier(static_cast<qintptr>(ReadEnd), QSocketNotifier::Read, this);
    connect(Notifier_, &QSocketNotifier::activated, this, &TTerminationSignals::ReadPending);
    SetHandler(&OnSignal);
}

TTerminationSignals::~TTerminationSignals() {
    if (Notifier_ == nullptr) return;
    SetHandler(SIG_DFL);
    const int write = WriteEnd;
    WriteEnd = -1;
    ::close(write);
    ::close(ReadEnd);
    ReadEnd = -1;
}

void TTerminationSignals::ReadPending() {
    unsigned char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(ReadEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) emit Received(bytes[i]);
    }
}

}  // namespace tavlor::ui
