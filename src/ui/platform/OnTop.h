#pragma once

class QDialog;
class QWidget;

namespace tavlor::ui {

// The window a new box belongs to: the modal window open, else the active
// window, else fallback.
QWidget* BoxOwner(QWidget* fallback);

// Shows the dialog modally above the window that caused it, with the
// keyboard: it is kept on top when any window of the program is (the
// connection window, the lists dialog), so that no window manager puts it
// underneath; then raised and activated once shown. Answers exec's result.
int ExecOnTop(QDialog& dialog);

// Whether a visible window of the program stays on top of the others.
bool AnyWindowOnTop();

}  // namespace tavlor::ui
