#include "ui/platform/OnTop.h"

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
    return dialog.exec();
}

}  // namespace tavlor::ui
