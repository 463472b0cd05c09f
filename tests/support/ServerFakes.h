#pragma once

#include "model/DesktopShell.h"
#include "model/MessageBoxes.h"
#include "server/ConnectionWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace tavlor::test {

// Message boxes that record what they were asked to show.
class TRecordingBoxes : public IMessageBoxes {
public:
    std::vector<std::string> Errors, Informations, Confirmations;
    bool Answer = true;
    void Error(const std::string& text) override { Errors.push_back(text); }
    void Information(const std::string& text) override { Informations.push_back(text); }
    bool Confirm(const std::string& text) override {
        Confirmations.push_back(text);
        return Answer;
    }
};

// The connection window as the exchange drives it; OnEvents runs each time
// pending events are processed (a click on Cancel, a second command...).
class TFakeConnectionWindow : public IConnectionWindow {
public:
    std::vector<std::string> Progress, Status;
    bool Visible = false;
    bool LoginPanelShown = false;
    int Shown = 0, Closed = 0, EventRounds = 0, LoginShown = 0, PasswordCleared = 0;
    std::function<void()> OnEvents;

    void SetProgress(const std::string& text) override { Progress.push_back(text); }
    void SetStatus(const std::string& text) override { Status.push_back(text); }
    void HideLoginPanel() override { LoginPanelShown = false; }
    bool IsVisible() const override { return Visible; }
    void ShowModeless() override {
        Visible = true;
        ++Shown;
    }
    void Close() override {
        Visible = false;
        ++Closed;
    }
    void ProcessEvents() override {
        ++EventRounds;
        if (OnEvents) {
            auto events = OnEvents;  // the handler may replace itself
            events();
        }
    }
    void ShowLoginModal() override {
        ++LoginShown;
        LoginPanelShown = true;
        Visible = true;
    }
    void ClearPassword() override { ++PasswordCleared; }
};

// The desktop shell: records what it is asked to open and answers as set.
class TFakeShell : public IDesktopShell {
public:
    std::vector<std::string> Files, Urls;
    TShellOutcome Outcome;
    TShellOutcome OpenFile(const std::string& path) override {
        Files.push_back(path);
        return Outcome;
    }
    TShellOutcome OpenUrl(const std::string& url) override {
        Urls.push_back(url);
        return Outcome;
    }
};

}  // namespace tavlor::test
