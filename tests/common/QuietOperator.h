#pragma once
// An operator who answers OK to every message and cancels every file choice
// and the "SpotID" prompt: for tests and timed tools that measure without
// anyone at the desk. Tests that script answers override what they need.
#include <optional>
#include <string>

#include "core/station/Operator.h"

namespace lt::testing {

class QuietOperator : public Operator {
public:
    MessageAnswer showMessage(
        const std::string&, const std::string&, MessageButtons, MessageIcon) override
    {
        return MessageAnswer::Ok;
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
    std::optional<SpotColorNameAnswer> askSpotColorName(const SpotColorNamePrompt&) override
    {
        return std::nullopt;
    }
};

} // namespace lt::testing
