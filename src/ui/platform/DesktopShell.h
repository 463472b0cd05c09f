#pragma once

#include "model/DesktopShell.h"

#include <functional>

namespace tavlor::ui {

// The desktop shell through Qt: a file opens with the application the desktop
// associates with its type, an address in the default browser. Qt only tells
// whether it could; a file that exists and still does not open has no
// (working) associated application.
class TQtDesktopShell : public IDesktopShell {
public:
    TShellOutcome OpenFile(const std::string& path) override;
    TShellOutcome OpenUrl(const std::string& url) override;
};

}  // namespace tavlor::ui
