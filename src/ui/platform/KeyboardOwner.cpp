#include "ui/platform/KeyboardOwner.h"

#include <QApplication>
#include <QGuiApplication>
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
xcb_window_t XInputFocus() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return 0;
    xcb_connection_t* c = x11->connection();
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (reply == nullptr) return 0;
    const xcb_window_t focus = reply->focus;
    std::free(reply);
    return focus;
}

}  // namespace

TKeyboardOwner::TKeyboardOwner(QObject* parent) : QObject(parent) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    // A hidden window takes Qt's focus window with it without a word; Qt also
    // gives up waiting for a focus event after a moment. Both are checked once
    // the events already queued have been handled, and again after Qt's wait.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (window == nullptr) CheckSoon();
    });
    qApp->installEventFilter(this);
}

bool TKeyboardOwner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        CheckSoon();
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

}  // namespace tavlor::ui
