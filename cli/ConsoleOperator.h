#pragma once
// The operator of the command line: nobody sits at it. Messages go to
// standard error; every question is answered with its first button (OK,
// Yes), every file choice and prompt is cancelled.
#include <cstdio>

#include "core/station/Operator.h"

namespace ltrak {

class ConsoleOperator : public lt::Operator {
public:
    lt::MessageAnswer showMessage(const std::string& text, const std::string& caption,
        lt::MessageButtons buttons, lt::MessageIcon) override
    {
        std::fprintf(
            stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
        return buttons == lt::MessageButtons::YesNo || buttons == lt::MessageButtons::YesNoCancel
            ? lt::MessageAnswer::Yes
            : lt::MessageAnswer::Ok;
    }
    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> chooseFileToSave(
        const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<lt::SpotColorNameAnswer> askSpotColorName(const lt::SpotColorNamePrompt&) override
    {
        return std::nullopt;
    }
};

} // namespace ltrak
