#pragma once

#include "../SilentPorts.h"
#include "commands/UserBoxes.h"
#include "ui/main/Program.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace tavlor::bench {

// Dialogs that answer at once and show nothing.
class TSilentBoxes : public IUserBoxes {
public:
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    bool ConfirmOkCancel(const std::string&) override { return true; }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, std::string&) override { return false; }
    int Ask(const std::string&, const std::vector<std::string>&) override { return -1; }
    bool ChooseFolder(const std::string&, std::string&) override { return false; }
    bool OpenFileName(const std::string&, std::string&) override { return false; }
    bool ChooseItem(const std::string&, const std::string&, const std::vector<std::string>&, int&) override {
        return false;
    }
    void TopLevelError(const std::string&) override {}
};

// The program, wired by its own composition root, in a folder of its own,
// with silent dialogs and desktop and a server address that answers nothing.
struct TSilentProgram {
    QTemporaryDir Dir;
    TSilentBoxes Boxes;
    TNoShell Shell;
    QStringList Addresses{QStringLiteral("http://127.0.0.1:1/3bandes")};
    std::unique_ptr<ui::TProgram> Program =
        std::make_unique<ui::TProgram>(Dir.path() + QStringLiteral("/tavlor"), &Boxes, &Shell, &Addresses);
};

}  // namespace tavlor::bench
