#include "ui/platform/DesktopShell.h"

#include "ui/platform/PlatformMessages.h"
#include "ui/platform/QtText.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <utility>

namespace tavlor::ui {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
constexpr bool kFreedesktop = true;
#else
constexpr bool kFreedesktop = false;
#endif

const QString kXdgMime = QStringLiteral("xdg-mime");
const QString kXdgOpen = QStringLiteral("xdg-open");

// The first line of a query's answer, without what follows a ";"
// ("text/html; charset=utf-8") and without spaces.
QString FirstWord(const QString& output) {
    return output.section(u'\n', 0, 0).section(u';', 0, 0).trimmed();
}

}  // namespace

TQtDesktopShell::TQtDesktopShell() : TQtDesktopShell(&TQtDesktopShell::RunProgram, &TQtDesktopShell::StartProgram) {}

TQtDesktopShell::TQtDesktopShell(TRunner run, TStarter start) : Run_(std::move(run)), Start_(std::move(start)) {}

TQtDesktopShell::TRun TQtDesktopShell::RunProgram(const QString& program, const QStringList& arguments) {
    TRun run;
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(10000)) {
        return run;
    }
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        return run;
    }
    run.Finished = process.exitStatus() == QProcess::NormalExit;
    run.ExitCode = process.exitCode();
    run.Output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

bool TQtDesktopShell::StartProgram(const QString& program, const QStringList& arguments) {
    return !QStandardPaths::findExecutable(program).isEmpty() && QProcess::startDetached(program, arguments);
}

QString TQtDesktopShell::DefaultApplication(const QString& mimeType) const {
    if (mimeType.isEmpty()) {
        return {};
    }
    const TRun run = Run_(kXdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    return run.Finished && run.ExitCode == 0 ? FirstWord(run.Output) : QString();
}

TShellOutcome TQtDesktopShell::Open(const QString& target) const {
    TShellOutcome out;
    if (!Start_(kXdgOpen, {target})) {
        out.Result = TShellOutcome::TResult::Failed;
        if (QStandardPaths::findExecutable(kXdgOpen).isEmpty()) {
            out.Code = ENOENT;
            out.Text = msg::platform::OpenerMissing;
        } else {
            out.Text = msg::platform::OpenerNotStarted;
        }
    }
    return out;
}

TShellOutcome TQtDesktopShell::OpenFile(const std::string& path) {
    TShellOutcome out;
    const QString file = Q(path);
    if (!QFileInfo::exists(file)) {
        out.Result = TShellOutcome::TResult::Failed;
        out.Code = ENOENT;
        out.Text = msg::platform::FileNotFound;
        return out;
    }
    const QString absolute = QFileInfo(file).absoluteFilePath();
    if (!kFreedesktop) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(absolute))) {
            out.Result = TShellOutcome::TResult::NoAssociation;
        }
        return out;
    }
    const TRun type = Run_(kXdgMime, {QStringLiteral("query"), QStringLiteral("filetype"), absolute});
    if (!type.Finished || type.ExitCode != 0 || DefaultApplication(FirstWord(type.Output)).isEmpty()) {
        out.Result = TShellOutcome::TResult::NoAssociation;
        return out;
    }
    return Open(absolute);
}

TShellOutcome TQtDesktopShell::OpenUrl(const std::string& url) {
    TShellOutcome out;
    const QUrl address(Q(url), QUrl::StrictMode);
    if (!address.isValid()) {
        out.Result = TShellOutcome::TResult::Failed;
        out.Text = msg::platform::BadAddress(url);
        return out;
    }
    // The caller does not look at the outcome, and xdg-open finds a browser
    // even where none is registered for the scheme: no query first.
    if (!QDesktopServices::openUrl(address)) out.Result = TShellOutcome::TResult::NoAssociation;
    return out;
}

}  // namespace tavlor::ui
