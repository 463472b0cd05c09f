#pragma once

#include <string>

namespace tavlor {

// What became of asking the desktop to open a file or an address.
struct TShellOutcome {
    enum class TResult { Opened, NoAssociation, Failed };
    TResult Result = TResult::Opened;
    int Code = 0;      // the system's error code when it gave one, 0 otherwise
    std::string Text;  // the system's text for the failure
};

// The desktop shell: opens a file with the application associated with its
// type, or an address in the default web browser, shown normally.
class IDesktopShell {
public:
    virtual ~IDesktopShell() = default;
    virtual TShellOutcome OpenFile(const std::string& path) = 0;
    virtual TShellOutcome OpenUrl(const std::string& url) = 0;
};

}  // namespace tavlor
