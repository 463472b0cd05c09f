#include "ui/main/Program.h"
#include "ui/platform/Images.h"
#include "ui/platform/KeyboardOwner.h"
#include "ui/platform/Language.h"
#include "ui/platform/TerminationSignals.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>

namespace {

// The program while its event loop runs, for an end that bypasses it: Qt
// ends the process with exit() when the X server goes away.
tavlor::ui::TProgram* Running = nullptr;

void SaveAtUnexpectedExit() {
    if (Running != nullptr) Running->SaveAtExit();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavlor"));
    // No display name: Qt would append it to every window's title.
    // Ties the windows to the installed desktop entry (its name and icon) on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavlor"));
    // Every window and box of the program carries its picture.
    QApplication::setWindowIcon(tavlor::ui::ProgramIcon());
    if (!tavlor::ui::UseFrench(app)) {
        std::fputs("tavlor: Qt's French translations are missing (package qt6-translations-l10n)\n", stderr);
    }
    tavlor::ui::TKeyboardOwner keyboard;
    tavlor::ui::TProgram program(QApplication::applicationFilePath());
    // Another copy holds the folder: its user was told, nothing else to do.
    if (!program.Started()) return 1;
    // A logout, a shutdown, the terminal closed or Ctrl+C: as with "Quitter".
    tavlor::ui::TTerminationSignals termination;
    QObject::connect(&termination, &tavlor::ui::TTerminationSignals::Received, &app,
                     [&program](int) { program.EndOnRequest(); });
    // The session manager asks for the work before the session ends.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&program](QSessionManager&) {
        if (const std::string errors = program.SaveQuietly(); !errors.empty()) {
            std::fprintf(stderr, "tavlor: %s\n", errors.c_str());
        }
    });
    Running = &program;
    std::atexit(SaveAtUnexpectedExit);
    program.Show();
    const int status = QApplication::exec();
    Running = nullptr;
    program.Close();
    return status;
}
