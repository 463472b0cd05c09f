#pragma once

#include "model/DesktopShell.h"
#include "server/ConnectionWindow.h"
#include "ui/UiBoxes.h"

#include <string>

namespace tavlor::bench {

// Dialogs that answer at once and show nothing.
class TSilentBoxes : public ui::IUiBoxes {
public:
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    bool ConfirmOkCancel(const std::string&) override { return true; }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, std::string&) override { return false; }
    bool OpenFileName(const std::string&, std::string&) override { return false; }
    void TopLevelError(const std::string&) override {}
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
