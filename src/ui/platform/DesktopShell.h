#pragma once

#include "model/DesktopShell.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tavlor::ui {

// The desktop shell. On a freedesktop desktop a file goes to xdg-open once
// xdg-mime has named the application the desktop associates with its type:
// xdg-open started through Qt says it succeeded even when nothing can open
// the file. Elsewhere, and for an address (the browser), Qt opens it.
class TQtDesktopShell : public IDesktopShell {
public:
    // What a program run to its end gave.
    struct TRun {
        bool Finished = false;  // started, and ended by itself
        int ExitCode = -1;
        QString Output;  // its standard output
    };
    // Runs a program to its end.
    using TRunner = std::function<TRun(const QString& program, const QStringList& arguments)>;
    // Starts a program that lives on by itself; false when it could not be started.
    using TStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

    // With the system's programs.
    TQtDesktopShell();
    // With programs run and started by the caller (tests).
    TQtDesktopShell(TRunner run, TStarter start);

    TShellOutcome OpenFile(const std::string& path) override;
    TShellOutcome OpenUrl(const std::string& url) override;

    // The system's way: QProcess, ten seconds at most for a query.
    static TRun RunProgram(const QString& program, const QStringList& arguments);
    static bool StartProgram(const QString& program, const QStringList& arguments);

private:
    // The desktop file of the application associated with the MIME type;
    // empty when there is none or when xdg-mime cannot tell.
    QString DefaultApplication(const QString& mimeType) const;
    // xdg-open started on the file.
    TShellOutcome Open(const QString& target) const;

    TRunner Run_;
    TStarter Start_;
};

}  // namespace tavlor::ui
