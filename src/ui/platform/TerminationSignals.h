#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavlor::ui {

// SIGTERM (a logout or a shutdown), SIGHUP (the terminal gone) and SIGINT
// (Ctrl+C in the terminal) brought into the event loop: the handler only
// writes the signal's number into a socket pair, and Received is emitted from
// the loop, where anything may be done. One object at a time; the default
// handlers are back when it is destroyed.
class TTerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    // Whether the handlers are in place (a socket pair could be made).
    bool Installed() const { return Notifier_ != nullptr; }

signals:
    void Received(int signal);

private:
    void ReadPending();

    QSocketNotifier* Notifier_ = nullptr;
};

}  // namespace tavlor::ui
