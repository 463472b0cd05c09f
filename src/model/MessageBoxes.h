#pragma once

#include <string>

namespace tavlor {

// The message boxes of the program, shown by the user interface; tests replace
// them with a recording fake. Texts are French and shown as given.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // An error box with one OK button.
    virtual void Error(const std::string& text) = 0;
    // An information box with one OK button.
    virtual void Information(const std::string& text) = 0;
    // A confirmation box: Yes/No; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
};

}  // namespace tavlor
