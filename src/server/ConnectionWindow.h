#pragma once

#include <string>

namespace tavlor {

// The connection window as the exchange with the server drives it: two
// progress lines and a Cancel button, shown while an exchange runs, and the
// login panel. The user interface implements it; tests replace it.
class IConnectionWindow {
public:
    virtual ~IConnectionWindow() = default;
    // First progress line: what is being asked of the server.
    virtual void SetProgress(const std::string& text) = 0;
    // Second line, "statut = " and the connection state, repainted at once.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void HideLoginPanel() = 0;
    virtual bool IsVisible() const = 0;
    // Modeless, on top of every window, centred on the desktop.
    virtual void ShowModeless() = 0;
    // Hides the modeless window, or ends the modal login window.
    virtual void Close() = 0;
    // Processes the window system's pending events, so that windows repaint
    // and the Cancel button can be pressed while the exchange waits.
    virtual void ProcessEvents() = 0;
    // The login panel shown modally (returns when the window is closed).
    virtual void ShowLoginModal() = 0;
    // Empties the password field of the login panel.
    virtual void ClearPassword() = 0;
};

}  // namespace tavlor
