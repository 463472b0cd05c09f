#pragma once

#include "commands/UserBoxes.h"

#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace tavlor::ui {

// The real dialogs, modal over parent, titled with the program's name.
class TQtBoxes : public IUserBoxes {
public:
    explicit TQtBoxes(QWidget* parent = nullptr) : Parent_(parent) {}
    void SetParent(QWidget* parent) { Parent_ = parent; }

    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    bool ConfirmOkCancel(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    bool SaveFileName(const std::string& filter, std::string& path) override;
    bool OpenFileName(const std::string& filter, std::string& path) override;
    bool ChooseItem(const std::string& caption, const std::string& prompt, const std::vector<std::string>& items,
                    int& index) override;
    int Ask(const std::string& text, const std::vector<std::string>& buttons) override;
    bool ChooseFolder(const std::string& caption, std::string& folder) override;
    void TopLevelError(const std::string& text) override;

private:
    QWidget* Parent_;
};

// "fichiers xml|*.xml|tous fichiers|*.*" as a Qt file-dialog filter list.
QString QtFileFilter(const std::string& filter);

}  // namespace tavlor::ui
