#pragma once
// The contents of the "DensityParameters" dialog without the dialog: the ten
// edit boxes (slopes and Yule-Nielsen factors of Cyan, Magenta, Yellow,
// Black and the spot colour), the filter, observer and illumination choices
// and the spot colour, read from and written to the density parameter block
// and the settings.
#include <array>
#include <string>

#include "core/settings/SettingsKeys.h"

namespace lt {

class Workstation;

enum class DensityParameterGroup { Slope, YuleNielsen };

struct DensityParameterField {
    DensityParameterGroup group;
    const char* label;
    int slot; // in the DensityParameterBlock
    RealKey key;
};

inline constexpr int kDensityParameterFields = 10;
inline constexpr const char* kSlopeGroup = "Slope:";
inline constexpr const char* kYuleNielsenGroup = "Yule-Nielsen Factor:";
// An edit box holds at most this many characters.
inline constexpr int kDensityParameterTextLength = 20;

extern const std::array<DensityParameterField, kDensityParameterFields> kDensityParameterFieldList;

inline constexpr std::array<const char*, 4> kFilterNames {"ANSIA", "ANSIT", "DIN", "DINNB"};
inline constexpr std::array<const char*, 2> kObserverNames {
    "2\xC2\xB0", "10\xC2\xB0"}; // UTF-8 degree sign
inline constexpr std::array<const char*, 5> kIlluminationNames {"Neutral", "A", "C", "D65", "D50"};

// What the operator confirmed. A choice of -1 (no selection, e.g. an
// illumination type the list does not offer) keeps the value in use.
struct DensityParameterChoice {
    std::array<std::string, kDensityParameterFields> texts;
    int filter = -1;
    int observer = -1;
    int illumination = -1;
    int spotPosition = 0; // in the "Spot Colors:" list, 0 = "none"
};

// The dialog's starting state: the ten numbers as "%1.3f", the three types
// and the position of the current spot colour.
DensityParameterChoice currentDensityParameters(Workstation& workstation);

// "OK": every text that reads as a number goes into its slot (others leave
// the slot as it was) and is written to its key as typed; the three types go
// into the block; the spot colour position becomes the current spot colour.
void applyDensityParameters(Workstation& workstation, const DensityParameterChoice& choice);

} // namespace lt
