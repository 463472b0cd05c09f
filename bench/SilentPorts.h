#pragma once

#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "server/ConnectionWindow.h"

#include <string>

namespace tavlor::bench {

// Message boxes that answer at once and show nothing.
class TNoBoxes : public IMessageBoxes {
public:
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
};

// A connection window never shown.
class TNoWindow : public IConnectionWindow {
public:
    void SetProgress(const std::string&) override {}
    void SetStatus(const std::string&) override {}
    void HideLoginPanel() override {}
    bool IsVisible() const override { return false; }
    void ShowModeless() override {}
    void Close() override {}
    void ProcessEvents() override {}
    void ShowLoginModal() override {}
    void ClearPassword() override {}
};

// A desktop that opens everything without doing anything.
class TNoShell : public IDesktopShell {
public:
    TShellOutcome OpenFile(const std::string&) override { return {}; }
    TShellOutcome OpenUrl(const std::string&) override { return {}; }
};

}  // namespace tavlor::bench
