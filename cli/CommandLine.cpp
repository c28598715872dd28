#include "cli/CommandLine.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace ltrak {

std::optional<std::string> Arguments::option(const std::string& name) const
{
    auto found = options.find(name);
    if (found == options.end())
        return std::nullopt;
    return found->second;
}

Arguments parseArguments(const std::vector<std::string>& words,
    const std::vector<std::string>& valueOptions, const std::vector<std::string>& flagOptions)
{
    Arguments arguments;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            arguments.help = true;
            continue;
        }
        if (word.rfind("--", 0) != 0 || word == "--") {
            arguments.positional.push_back(word);
            continue;
        }
        std::string name(word.begin() + 2, word.end());
        std::optional<std::string> value;
        if (std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        if (known(flagOptions, name) && !value) {
            arguments.options.insert_or_assign(name, std::string(1, '1'));
        } else if (known(valueOptions, name)) {
            if (!value) {
                if (i + 1 >= words.size()) {
                    arguments.error = "option --" + name + " needs a value";
                    return arguments;
                }
                value = words[++i];
            }
            arguments.options[name] = *value;
        } else {
            arguments.error = "unknown option --" + name;
            return arguments;
        }
    }
    return arguments;
}

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "ltrak: %s\n", message.c_str());
    return code;
}

bool progressWanted()
{
    return ::isatty(STDERR_FILENO) != 0;
}

} // namespace ltrak
