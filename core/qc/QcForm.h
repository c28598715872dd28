#pragma once
// The texts of the quality-control page's fields, as the operator sees and
// types them. The page's logic reads its numbers from here and writes its
// results back as text; the view only mirrors these fields.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/qc/QcSet.h"

namespace lt {

// The text that stands for a group in progress in "L:", "a:" and "b:".
inline constexpr const char* kQcGroupInProgressText = "--";

struct QcForm {
    std::string fileName; // path of the set last loaded or saved
    std::string matchNumber; // "MatchNo:"
    std::string deltaE; // "dE:"
    std::string deltaEFormula; // beside "dE:": the formula of the difference shown ("dE76")
    std::string deltaL; // "dL:"
    std::string entryNumber; // "No:"
    std::array<std::string, kQcTolerances>
        tolerances; // "dELight:", "dLLight:", "dEDark:", "dLDark:"
    std::array<std::string, 3> lab; // "L:", "a:", "b:"
    std::string average = "1"; // "Average:"
    std::string spread; // "dEA:"
    std::string comment; // "Comment:"
    bool loggingEnabled = true; // "Save"
    QcRgb statusColor = kQcWhite; // "OK:"
};

// A number typed into a field: the last "," counts as ".", text that is
// not a number reads 0.
double readFieldNumber(std::string_view text);

// The same for a count: the integer part, 0 for text that is not a number.
long long readFieldCount(std::string_view text);

} // namespace lt
