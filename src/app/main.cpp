#include "ui/main/Program.h"
#include "ui/platform/Images.h"
#include "ui/platform/KeyboardOwner.h"
#include "ui/platform/Language.h"

#include <QApplication>

#include <cstdio>

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
    program.Show();
    const int status = QApplication::exec();
    program.Close();
    return status;
}
