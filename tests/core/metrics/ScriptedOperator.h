#pragma once
// An operator that answers from a script and remembers what it was shown.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/station/Operator.h"

namespace lt::test {

class ScriptedOperator : public Operator {
public:
    MessageAnswer showMessage(
        const std::string& text, const std::string&, MessageButtons, MessageIcon) override
    {
        messages.push_back(text);
        return MessageAnswer::Ok;
    }

    std::optional<std::string> chooseFileToOpen(
        const std::string& title, const std::string& startPath, const std::string& filter) override
    {
        return nextFile(title, startPath, filter);
    }

    std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& startPath, const std::string& filter) override
    {
        return nextFile(title, startPath, filter);
    }

    std::optional<SpotColorNameAnswer> askSpotColorName(const SpotColorNamePrompt& prompt) override
    {
        prompts.push_back(prompt);
        if (spotNames.empty())
            return std::nullopt;
        auto answer = spotNames.front();
        spotNames.pop_front();
        return answer;
    }

    // Answers of the file dialogs in turn; nothing means Cancel.
    std::deque<std::optional<std::string>> files;
    // Answers of the SpotID prompt in turn; nothing means Cancel.
    std::deque<std::optional<SpotColorNameAnswer>> spotNames;

    std::vector<std::string> messages;
    struct FileQuestion {
        std::string title, startPath, filter;
    };
    std::vector<FileQuestion> fileQuestions;
    std::vector<SpotColorNamePrompt> prompts;

private:
    std::optional<std::string> nextFile(
        const std::string& title, const std::string& startPath, const std::string& filter)
    {
        fileQuestions.push_back({title, startPath, filter});
        if (files.empty())
            return std::nullopt;
        auto answer = files.front();
        files.pop_front();
        return answer;
    }
};

} // namespace lt::test
