#include "ui/platform/KeyboardOwner.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

#include <xcb/xcb.h>

namespace tavlor::ui {

namespace {

// How long Qt's X layer waits for a focus event before deciding that no
// window of the program is active, with a margin.
constexpr int QtFocusWaitMs = 500;

// The window holding the X server's keyboard focus, or 0.
xcb_connection_t* XConnection();

xcb_window_t XInputFocus() {
    xcb_connection_t* c = XConnection();
    if (c == nullptr) return 0;
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (reply == nullptr) return 0;
    const xcb_window_t focus = reply->focus;
    std::free(reply);
    return focus;
}

// Counts the windows of the program shown: a window opened since the
// keyboard was given back keeps it.
int WindowsShown = 0;

bool OnX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

xcb_connection_t* XConnection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The window manager's own window, named on the root (where some window
// managers park the keyboard when they give it to nobody), or 0.
xcb_window_t WindowManagerWindow(xcb_connection_t* c, xcb_window_t root) {
    static const char name[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
    if (atom == nullptr) return 0;
    const xcb_atom_t check = atom->atom;
    std::free(atom);
    if (check == XCB_ATOM_NONE) return 0;
    xcb_get_property_reply_t* property =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    if (property == nullptr) return 0;
    xcb_window_t window = 0;
    if (property->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(property) >= 4) {
        window = *static_cast<const xcb_window_t*>(xcb_get_property_value(property));
    }
    std::free(property);
    return window;
}

// Whether the keyboard may be taken from that window: one of the program's,
// or nobody's (none once the window holding it was hidden, the root, or the
// window manager's own window).
bool FocusIsOurs(xcb_window_t focus) {
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) return true;
    if (xcb_connection_t* c = XConnection()) {
        for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem > 0; xcb_screen_next(&it)) {
            if (it.data->root == focus || WindowManagerWindow(c, it.data->root) == focus) return true;
        }
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() != nullptr && w->windowHandle()->winId() == focus) return true;
    }
    return false;
}

}  // namespace

TKeyboardOwner::TKeyboardOwner(QObject* parent) : QObject(parent) {
    if (!OnX11()) return;
    // A hidden window takes Qt's focus window with it without a word; Qt also
    // gives up waiting for a focus event after a moment. Both are checked once
    // the events already queued have been handled, and again after Qt's wait.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (window == nullptr) CheckSoon();
    });
    qApp->installEventFilter(this);
}

bool TKeyboardOwner::eventFilter(QObject* watched, QEvent* event) {
    if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        if (event->type() == QEvent::Hide) CheckSoon();
        if (event->type() == QEvent::Show) ++WindowsShown;
    }
    return false;
}

void TKeyboardOwner::CheckSoon() {
    QTimer::singleShot(0, this, &TKeyboardOwner::Check);
    QTimer::singleShot(QtFocusWaitMs, this, &TKeyboardOwner::Check);
}

QWidget* TKeyboardOwner::TopLevelOf(unsigned long nativeWindow) {
    if (nativeWindow == 0) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowHandle() == nullptr) continue;
        if (w->windowHandle()->winId() != nativeWindow) continue;
        // A window under a modal one never takes the keyboard.
        if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != w) return nullptr;
        return w;
    }
    return nullptr;
}

void TKeyboardOwner::Check() {
    if (QGuiApplication::focusWindow() != nullptr) return;
    QWidget* owner = TopLevelOf(XInputFocus());
    if (owner == nullptr) return;
    owner->windowHandle()->requestActivate();
    QApplication::setActiveWindow(owner);
}

void TKeyboardOwner::GiveKeyboardBack(QWidget* window) {
    const QPointer<QWidget> target(window);
    const int shown = WindowsShown;
    const auto give = [target, shown] {
        if (!target || !target->isVisible() || target->windowHandle() == nullptr || WindowsShown != shown) return;
        if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != target) return;
        if (!OnX11()) {
            if (QApplication::activeWindow() != target) target->activateWindow();
            return;
        }
        const xcb_window_t wanted = static_cast<xcb_window_t>(target->windowHandle()->winId());
        const xcb_window_t focus = XInputFocus();
        xcb_connection_t* c = XConnection();
        if (c == nullptr || focus == wanted || !FocusIsOurs(focus)) return;
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, wanted, XCB_CURRENT_TIME);
        xcb_flush(c);
    };
    give();
    for (const int ms : {150, 400}) QTimer::singleShot(ms, target, give);
}

}  // namespace tavlor::ui
