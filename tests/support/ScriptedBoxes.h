#pragma once

#include "commands/UserBoxes.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavlor::test {

// Dialogs answered from a script, every question recorded. An unscripted
// confirmation answers DefaultAnswer; an unscripted input box or file dialog
// answers Cancel.
class TScriptedBoxes : public IUserBoxes {
public:
    std::vector<std::string> TopErrors, Errors, Informations, Confirmations, OkCancels, Inputs, Files;
    std::deque<bool> Answers;                       // Confirm and ConfirmOkCancel, in order
    std::deque<std::optional<std::string>> Typed;   // InputQuery: a text for OK, nullopt for Cancel
    std::deque<std::optional<std::string>> Chosen;  // SaveFileName / OpenFileName
    bool DefaultAnswer = true;
    std::vector<std::string> Defaults;  // what each input box was pre-filled with

    void Error(const std::string& text) override { Errors.push_back(text); }
    void Information(const std::string& text) override { Informations.push_back(text); }
    void TopLevelError(const std::string& text) override { TopErrors.push_back(text); }
    bool Confirm(const std::string& text) override {
        Confirmations.push_back(text);
        return Next();
    }
    bool ConfirmOkCancel(const std::string& text) override {
        OkCancels.push_back(text);
        return Next();
    }
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override {
        Inputs.push_back(caption + "|" + prompt);
        Defaults.push_back(value);
        if (Typed.empty() || !Typed.front()) {
            if (!Typed.empty()) Typed.pop_front();
            return false;
        }
        value = *Typed.front();
        Typed.pop_front();
        return true;
    }
    // Answers with the item whose text is the next typed text (Cancel when none).
    bool ChooseItem(const std::string& caption, const std::string& prompt, const std::vector<std::string>& items,
                    int& index) override {
        Inputs.push_back(caption + "|" + prompt);
        Choices = items;
        if (Typed.empty() || !Typed.front()) {
            if (!Typed.empty()) Typed.pop_front();
            return false;
        }
        const std::string wanted = *Typed.front();
        Typed.pop_front();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == wanted) {
                index = static_cast<int>(i);
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> Choices;
    // Ask: the questions, and the buttons answered in order (-1 when none scripted).
    std::vector<std::string> Questions;
    std::deque<int> Buttons;
    std::function<void()> OnAsk;  // what happens meanwhile, while the user reads
    int Ask(const std::string& text, const std::vector<std::string>& buttons) override {
        if (OnAsk) OnAsk();
        std::string asked = text;
        for (const std::string& b : buttons) asked += "|" + b;
        Questions.push_back(asked);
        if (Buttons.empty()) return -1;
        const int answer = Buttons.front();
        Buttons.pop_front();
        return answer;
    }
    // ChooseFolder: answered from Chosen, as the file dialogs.
    bool ChooseFolder(const std::string& caption, std::string& folder) override { return File(caption, folder); }
    bool SaveFileName(const std::string& filter, std::string& path) override { return File(filter, path); }
    bool OpenFileName(const std::string& filter, std::string& path) override { return File(filter, path); }

    void Clear() {
        TopErrors.clear();
        Errors.clear();
        Informations.clear();
        Confirmations.clear();
        OkCancels.clear();
        Inputs.clear();
        Files.clear();
        Defaults.clear();
        Questions.clear();
    }

private:
    bool Next() {
        if (Answers.empty()) return DefaultAnswer;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    bool File(const std::string& filter, std::string& path) {
        Files.push_back(filter + "|" + path);
        if (Chosen.empty() || !Chosen.front()) {
            if (!Chosen.empty()) Chosen.pop_front();
            return false;
        }
        path = *Chosen.front();
        Chosen.pop_front();
        return true;
    }
};

}  // namespace tavlor::test
