#pragma once

#include <QObject>

class QWidget;

namespace tavlor::ui {

// Keeps Qt's idea of the active window in step with the X server's keyboard.
//
// When the window manager hands the keyboard back to the main window while a
// short-lived modal window (the connection window of a quick exchange, a box)
// is being hidden, Qt's xcb layer can pass the activation on to the hidden
// window and end up with no active window at all: keys still reach the tree,
// but no shortcut, mnemonic or menu key works until the user clicks. After
// Qt reports that loss, the X server is asked which window holds the keyboard;
// when it is a visible window of the program, Qt is told it is active again.
// Does nothing on other platforms (offscreen tests, Wayland).
class TKeyboardOwner : public QObject {
public:
    explicit TKeyboardOwner(QObject* parent = nullptr);

    // The program's visible, unblocked top-level window whose native window
    // is the given X window, if any.
    static QWidget* TopLevelOf(unsigned long nativeWindow);

    // Gives the keyboard back to a window once the dialog above it has
    // closed. A window manager may hand it to another window of the program
    // meanwhile (the main window, under a dialog that stays on top), and may
    // refuse a program's request to activate a window: on X the focus is set
    // directly, now and again once the window manager has had the time to
    // choose, but only while it is on a window of the program, never taken
    // from another program.
    static void GiveKeyboardBack(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckSoon();
    void Check();
};

}  // namespace tavlor::ui
