#pragma once
// An operator that answers from a script and remembers what it was shown.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/station/Operator.h"

namespace lt::testing {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
};

class ScriptedOperator : public Operator {
public:
    MessageAnswer showMessage(const std::string& text, const std::string& caption,
        MessageButtons buttons, MessageIcon icon) override
    {
        messages.push_back({text, caption, buttons, icon});
        return messageAnswer;
    }

    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return fileAnswer;
    }

    std::optional<std::string> chooseFileToSave(
        const std::string&, const std::string&, const std::string&) override
    {
        return fileAnswer;
    }

    std::optional<SpotColorNameAnswer> askSpotColorName(const SpotColorNamePrompt& prompt) override
    {
        spotPrompts.push_back(prompt);
        if (clickWindowBeforeAnswer && prompt.onWindowChosen)
            prompt.onWindowChosen(*clickWindowBeforeAnswer);
        return spotAnswer;
    }

    MessageAnswer messageAnswer = MessageAnswer::Ok;
    std::optional<std::string> fileAnswer;
    std::optional<SpotColorNameAnswer> spotAnswer;
    std::optional<bool> clickWindowBeforeAnswer; // the operator clicks Narrow (true) / Wide (false)

    std::vector<ShownMessage> messages;
    std::vector<SpotColorNamePrompt> spotPrompts;
};

} // namespace lt::testing
