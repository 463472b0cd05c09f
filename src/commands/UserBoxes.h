#pragma once

#include "model/MessageBoxes.h"
#include "text/Error.h"

#include <exception>
#include <string>
#include <vector>

namespace tavlor {

// Everything the commands and dialogs ask of the user besides the windows'
// own controls: the core's three message boxes, the OK/Cancel question of the
// match rules, the input box, the file dialogs, a choice in a list, and the
// top-level display of an error that ended a command. The windows show real
// dialogs; tests answer them from a script.
class IUserBoxes : public IMessageBoxes {
public:
    // A confirmation with the buttons OK and Cancel; true for OK.
    virtual bool ConfirmOkCancel(const std::string& text) = 0;
    // An input box: caption, prompt, one field pre-filled with value. On OK the
    // typed text is in value and the answer is true; Cancel answers false.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
    // Save and open dialogs. filter is "label|pattern|label|pattern..."; path
    // gives the folder and the proposed name, and receives the choice on OK.
    virtual bool SaveFileName(const std::string& filter, std::string& path) = 0;
    virtual bool OpenFileName(const std::string& filter, std::string& path) = 0;
    // A choice among items (a list with OK and Cancel); index in, index out.
    virtual bool ChooseItem(const std::string& caption, const std::string& prompt,
                            const std::vector<std::string>& items, int& index) = 0;
    // A question answered by one of the buttons, whose texts are given; the
    // first is the default. Answers the button's index, -1 for Escape or the
    // close box.
    virtual int Ask(const std::string& text, const std::vector<std::string>& buttons) = 0;
    // A folder chooser opening at folder, which receives the choice on OK.
    virtual bool ChooseFolder(const std::string& caption, std::string& folder) = 0;
    // An error that ended a command (tavlor::Error): the program's top-level
    // error display, which adds the closing full stop.
    virtual void TopLevelError(const std::string& text) = 0;
};

// What ended a command, in the top-level error display; a cancelled exchange
// ends it quietly, the user having been told when he cancelled.
inline void ShowEndedCommand(IUserBoxes& boxes, const std::exception& e) {
    if (dynamic_cast<const Cancelled*>(&e) == nullptr) {
        boxes.TopLevelError(e.what());
    }
}

}  // namespace tavlor
