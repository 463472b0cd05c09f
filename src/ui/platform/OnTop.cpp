#include "ui/platform/OnTop.h"

#include "ui/platform/KeyboardOwner.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tavlor::ui {

QWidget* BoxOwner(QWidget* fallback) {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return fallback;
}

bool AnyWindowOnTop() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return true;
    }
    return false;
}

int ExecOnTop(QDialog& dialog) {
    if (AnyWindowOnTop()) dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QPointer<QDialog> shown(&dialog);
    QTimer::singleShot(0, &dialog, [shown] {
        if (!shown || !shown->isVisible()) return;
        shown->raise();
        shown->activateWindow();
    });
    // The window that had the keyboard gets it back when the dialog closes.
    QPointer<QWidget> before = QApplication::activeWindow();
    if (!before && dialog.parentWidget() != nullptr) before = dialog.parentWidget()->window();
    const int result = dialog.exec();
    if (before && before != &dialog) TKeyboardOwner::GiveKeyboardBack(before);
    return result;
}

}  // namespace tavlor::ui
