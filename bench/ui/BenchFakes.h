#pragma once

#include "../SilentPorts.h"
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

}  // namespace tavlor::bench
