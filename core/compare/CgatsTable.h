#pragma once
// A measurement table in the CGATS text that profile builders exchange: a
// header of keywords, BEGIN_DATA_FORMAT ... END_DATA_FORMAT naming the
// fields, BEGIN_DATA ... END_DATA with one set per line. Any such file is
// read (ours, or one written by the open profile-building tools); every
// problem is reported with its line.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

struct CgatsTable {
    std::vector<std::string> fields; // as named in the data format, upper case
    std::vector<std::vector<std::string>> sets; // one value text per field

    // Index of a field, or nothing.
    std::optional<std::size_t> field(std::string_view name) const;
    // The number in a set's field; nothing when the field is missing or the
    // text is no number.
    std::optional<double> number(std::size_t set, std::size_t fieldIndex) const;
};

struct CgatsReading {
    std::optional<CgatsTable> table;
    std::string error; // "line 12: ..." when table is empty
};

inline constexpr std::size_t kLargestCgatsText = 64 * 1024 * 1024; // [bytes]

CgatsReading parseCgats(std::string_view text);
CgatsReading readCgatsFile(const std::string& path);

} // namespace lt
