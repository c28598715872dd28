#pragma once
// The spot-colour file as text: a three-byte signature line ("SC" and the
// Latin-1 section sign), the number of entries, then nine lines per entry
// (kind 1 narrow or 2 wide, name, seven "wavelength<TAB>weight" lines of the
// weighting window). Lines end in CR LF.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

inline constexpr std::string_view kSpotFileSignature = "SC\xA7";
inline constexpr int kSpotWindowSize = 7;
// Entries taken from one file at most; further entries are ignored.
inline constexpr int kSpotFileMaxEntries = 30;
// A line longer than this ends the reading (complete entries are kept).
inline constexpr std::size_t kSpotFileMaxLineLength = 200;

inline constexpr unsigned char kSpotKindNarrow = 1;
inline constexpr unsigned char kSpotKindWide = 2;

struct SpotFileEntry {
    unsigned char kind = kSpotKindWide;
    std::string name;
    std::array<double, kSpotWindowSize> wavelengths{}; // [nm], the fourth is the centre
    std::array<double, kSpotWindowSize> weights{};
};

struct SpotFileContent {
    bool hasSignature = false;
    std::vector<SpotFileEntry> entries; // complete entries only, at most kSpotFileMaxEntries
};

SpotFileContent parseSpotFileText(std::string_view text);

// Entries are written as given; the count line is their number.
std::string formatSpotFileText(const std::vector<SpotFileEntry>& entries);

} // namespace lt
