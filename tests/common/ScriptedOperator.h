#pragma once
// An operator that answers from a script and remembers what it was shown:
// the one stand-in for the person at the desk in tests and timed tools.
// Every kind of question takes its scripted answers in turn and, when they
// are used up, its standing answer. A yes/no box whose standing answer is
// OK is answered No, as when the operator closes it.
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

struct FileQuestion {
    std::string title;
    std::string startPath;
    std::string filter;
};

class ScriptedOperator : public Operator {
public:
    MessageAnswer showMessage(const std::string& text, const std::string& caption,
        MessageButtons buttons, MessageIcon icon) override
    {
        messages.push_back({text, caption, buttons, icon});
        if (!answers.empty()) {
            const MessageAnswer next = answers.front();
            answers.pop_front();
            return next;
        }
        const bool yesNo = buttons == MessageButtons::YesNo;
        return yesNo && messageAnswer == MessageAnswer::Ok ? MessageAnswer::No : messageAnswer;
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
        spotPrompts.push_back(prompt);
        if (clickWindowBeforeAnswer && prompt.onWindowChosen)
            prompt.onWindowChosen(*clickWindowBeforeAnswer);
        if (spotNames.empty())
            return spotAnswer;
        auto answer = spotNames.front();
        spotNames.pop_front();
        return answer;
    }

    // Queues the answer to the next message box.
    void answer(MessageAnswer next) { answers.push_back(next); }

    // The texts of the messages shown, in order.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const ShownMessage& message : messages)
            result.push_back(message.text);
        return result;
    }

    // Standing answers; nothing means Cancel.
    MessageAnswer messageAnswer = MessageAnswer::Ok;
    std::optional<std::string> fileAnswer;
    std::optional<SpotColorNameAnswer> spotAnswer;
    std::optional<bool> clickWindowBeforeAnswer; // the operator clicks Narrow (true) / Wide (false)

    // Scripted answers in turn; nothing means Cancel.
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<SpotColorNameAnswer>> spotNames;

    std::vector<ShownMessage> messages;
    std::vector<FileQuestion> fileQuestions;
    std::vector<SpotColorNamePrompt> spotPrompts;

private:
    std::optional<std::string> nextFile(
        const std::string& title, const std::string& startPath, const std::string& filter)
    {
        fileQuestions.push_back({title, startPath, filter});
        if (files.empty())
            return fileAnswer;
        auto answer = files.front();
        files.pop_front();
        return answer;
    }
};

} // namespace lt::testing
