// An operator that answers the program's questions from a script, in
// order, and records every message box it was shown; without a script it
// answers OK (No to a yes/no question). For tests and timed tools.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/QuietOperator.h"

class ScriptedOperator : public lt::testing::QuietOperator {
public:
    struct Shown {
        std::string text;
        std::string caption;
        lt::MessageButtons buttons;
        lt::MessageIcon icon;
    };

    void answer(lt::MessageAnswer next) { script.push_back(next); }

    lt::MessageAnswer showMessage(const std::string& text, const std::string& caption,
        lt::MessageButtons buttons, lt::MessageIcon icon) override
    {
        shown.push_back({text, caption, buttons, icon});
        if (script.empty())
            return buttons == lt::MessageButtons::YesNo ? lt::MessageAnswer::No
                                                        : lt::MessageAnswer::Ok;
        const lt::MessageAnswer next = script.front();
        script.pop_front();
        return next;
    }

    std::vector<Shown> shown;

private:
    std::deque<lt::MessageAnswer> script;
};
