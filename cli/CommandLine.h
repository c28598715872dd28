#pragma once
// The conventions every ltrak command follows: options "--name value" or
// "--name=value", "--help" on every command, exit codes 0 (success), 1 (a
// measurement or a file failed) and 2 (the command line was wrong), errors on
// standard error, data on standard output, progress on standard error only
// when it is a terminal.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ltrak {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A command line's words after the command's name: options and the plain
// arguments in order.
struct Arguments {
    std::map<std::string, std::string> options; // "--count 3" -> {"count", "3"}
    std::vector<std::string> positional;
    bool help = false;
    std::string error; // an option without its value, an unknown option

    std::optional<std::string> option(const std::string& name) const;
};

// Splits words; valueOptions take a value, flagOptions stand alone.
Arguments parseArguments(const std::vector<std::string>& words,
    const std::vector<std::string>& valueOptions, const std::vector<std::string>& flagOptions);

// "ltrak: <message>" on standard error; returns code.
int fail(int code, const std::string& message);
// Whether progress may be written to standard error.
bool progressWanted();

} // namespace ltrak
