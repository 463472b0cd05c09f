#pragma once

#include "model/MessageBoxes.h"

#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace tavlor::ui {

// Everything the windows ask of the user besides their own controls: the
// core's three message boxes, the OK/Cancel question of the match rules, the
// input box and the file dialogs. The program shows real dialogs; tests answer
// them from a script (tests/ui/ScriptedBoxes.h).
class IUiBoxes : public IMessageBoxes {
public:
    // A confirmation with the buttons OK and Cancel; true for OK.
    virtual bool ConfirmOkCancel(const std::string& text) = 0;
    // An input box: caption, prompt, one field pre-filled with value. On OK the
    // typed text is in value and the answer is true; Cancel answers false.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
    // Save and open dialogs. filter is "label|pattern|label|pattern..."; the
    // chosen path (UTF-8) replaces path on OK.
    virtual bool SaveFileName(const std::string& filter, std::string& path) = 0;
    virtual bool OpenFileName(const std::string& filter, std::string& path) = 0;
    // An error that ended a command (tavlor::Error): the program's top-level
    // error display, which adds the closing full stop.
    virtual void TopLevelError(const std::string& text);
    // A choice among items (a list box with OK and Cancel); index in, index out.
    virtual bool ChooseItem(const std::string& caption, const std::string& prompt,
                            const std::vector<std::string>& items, int& index);
};

// The real dialogs, modal over parent, titled with the program's name.
class TQtBoxes : public IUiBoxes {
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

private:
    QWidget* Parent_;
};

// "fichiers xml|*.xml|tous fichiers|*.*" as a Qt file-dialog filter list.
QString QtFileFilter(const std::string& filter);

}  // namespace tavlor::ui
