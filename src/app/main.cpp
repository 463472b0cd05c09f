#include "ui/main/Program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavlor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tavlor"));
    // Ties the windows to the installed desktop entry (its name and icon) on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavlor"));
    tavlor::ui::TProgram program(QApplication::applicationFilePath());
    program.Show();
    const int status = QApplication::exec();
    program.Close();
    return status;
}
