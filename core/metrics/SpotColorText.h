#pragma once
// The spot-colour file as text: a three-byte signature line ("SC" and the
// Latin-1 section sign), the number of entries, then nine lines per entry
// (kind 1 narrow or 2 wide, name, seven "wavelength<TAB>weight" lines of the
// weighting window). Lines end in CR LF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/metrics/SpotColorLibrary.h"

namespace lt {

inline constexpr std::string_view kSpotFileSignature = "SC\xA7";
// A line longer than this ends the reading (complete entries are kept).
inline constexpr std::size_t kSpotFileMaxLineLength = 200;

// Where a spot-colour file stops making sense, for the operator's message.
struct SpotFileProblem {
    int line = 0; // 1 is the signature line
    std::string what; // "the wavelength is not a number"
};

struct SpotFileContent {
    bool hasSignature = false;
    // Complete entries only, at most SpotColorLibrary::kMaxFileEntries.
    std::vector<SpotColorEntry> entries;
    // The first line that could not be read, when fewer entries were read
    // than the file announces; the entries before it are kept.
    std::optional<SpotFileProblem> problem;
};

// Entries whose values the file cannot carry (see isStorableSpotColor) are
// passed over; the entries after them are still read.
SpotFileContent parseSpotFileText(std::string_view text);

// A narrow or wide entry that the file carries and gives back as it was: a
// name within the line limit, every window wavelength inside the measured
// spectrum, finite weights from 0 to kSpotMaxWindowWeight, at least one of
// them large enough to be written as 0.01 or more.
bool isStorableSpotColor(const SpotColorEntry& entry);
inline constexpr double kSpotMaxWindowWeight = 1000.0;

// Writes the storable entries in their order; others are skipped. The count
// line is the number written.
std::string formatSpotFileText(const std::vector<const SpotColorEntry*>& entries);

} // namespace lt
