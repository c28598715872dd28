#pragma once
// How one measured sample becomes the numbers the workstation shows: process
// densities relative to paper white, the detected process colour, solid
// calibration and dot area (Murray-Davies / Yule-Nielsen), spot-colour
// density and dot area through a weighting window, the window centre of a
// newly taught spot colour, the CIE 1976 colour difference of two list rows,
// the spectrum graph's 16-bit ordinates and the fourth roots kept per chart
// patch. Flat functions over small values; the stateful steps take the
// records they change explicitly.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/colour/ColourDifference.h"
#include "core/metrics/DensityParameterBlock.h"
#include "core/metrics/MeasurementList.h"
#include "core/metrics/SpotColorLibrary.h"

namespace lt {

// Densities of one sample indexed by ProcessColor (Cyan, Magenta, Yellow, Black).
using ProcessDensities = std::array<float, kProcessColors>;

// Status line texts raised by the calibration steps.
inline constexpr const char* kStatusPaperWhiteTaken = "Densities now relative to paper white!";
inline constexpr const char* kStatusCalibrateSolid = "Calibrate solid colour for percentages now !";
inline constexpr const char* kStatusCalibratePaperWhiteFirst = "Calibrate paper white first !";

// Below this |max| of Cyan, Magenta, Yellow a sample counts as empty (black).
inline constexpr double kNearEmptyDensity = 0.002;
// A sample whose min(C, M, Y) * 5/13 exceeds max - min is near-neutral (black).
inline constexpr double kNeutralityRatio = 0.3846153846153846;

// Paper white. In state Requested the densities become the paper white
// (slots 20-23), the sample reads 0 and the state becomes Taken (returns
// true: show kStatusPaperWhiteTaken); in Taken or Relative the paper white
// is subtracted; Absolute leaves them.
bool applyPaperWhite(
    ProcessDensities& densities, DensityParameterBlock& block, std::int32_t& paperWhiteState);

// The process colour of a sample (the Black density takes no part).
ProcessColor detectProcessColor(const ProcessDensities& densities);

// Yule-Nielsen dot area [%] of density d against solid density ds with
// factor n (n = 1: Murray-Davies), clamped to 0 ... 100. A negative density
// gives 0. A factor that is not positive is taken as 1, and a solid that
// gives no contrast (ds = 0) gives 0, so the result is always a number.
double dotArea(double density, double solidDensity, double factor);

// Steps 2 to 4 on the (relative) densities: detection into slot 40, the
// solid request (clears it; returns true then, the status line is cleared),
// the dot area into slot 41.
struct ProcessOutcome {
    ProcessColor color;
    double dotArea; // [%]
    bool solidTaken;
};
ProcessOutcome applyProcessColor(const ProcessDensities& densities, DensityParameterBlock& block,
    std::int32_t& processSolidRequest);

// The "%" column: "C  51.8", or "-  -" when the colour has no solid density.
std::string formatProcessDotArea(ProcessColor color, double area, float solidDensity);

// Spectrum index of a spot window's centre, kept where the whole window
// c - 3 ... c + 3 lies inside the spectrum; nothing for a centre that is not
// a number.
std::optional<int> spotWindowCentreIndex(double centreWavelength);

// Spot density of entry over a 36-value spectrum, multiplied by slopeSpot;
// a weighted remission of 0.0001 or less gives 4 (times the slope). Nothing
// when the entry's centre is not a number.
std::optional<double> spotDensity(
    const SpotColorEntry& entry, const float* spectrum, double slopeSpot);

// The spot step for the selected entry after the process step: relative
// spot density, spot paper white and solid, spot dot area into slot 41.
// Fills the three spot column texts and, when the status line changes, the
// new status text.
struct SpotOutcome {
    std::string densityText;
    std::string dotAreaText;
    std::string nameText;
    std::optional<std::string> status;
};
SpotOutcome applySpotColor(SpotColorEntry& entry, const float* spectrum,
    DensityParameterBlock& block, std::int32_t& paperWhiteState, std::int32_t& spotSolidState);

// Window centre [nm] for a new spot colour: the lowest remission between
// 430 and 650 nm, the lower wavelength winning ties.
double findSpotWindowCentre(const float* spectrum);
// A new wide-window entry around centre (wavelengths centre - 30 ... + 30 nm).
SpotColorEntry makeSpotColorEntry(double centreWavelength);

// CIE 1976 colour difference of two L*, a*, b* triples, and of two list
// rows read back from their texts (nothing when a text is not a number).
double colorDifference(const std::array<double, 3>& lab1, const std::array<double, 3>& lab2);
// The difference of the L*a*b* columns of two list rows, the first row being
// the reference, by the operator's formula.
std::optional<double> colorDifferenceOfRows(const MeasurementRow& row1, const MeasurementRow& row2,
    DeltaEFormula formula = DeltaEFormula::Cie76);
// "   dE:   %3.3f  " for CIE 1976; the other formulas name themselves
// ("   dE00:   %3.3f  ").
std::string formatColorDifference(double deltaE, DeltaEFormula formula = DeltaEFormula::Cie76);

// Spectrum graph ordinates for scale s (the program uses 55704.75).
inline constexpr double kGraphScale = 55704.75;
inline constexpr double kGraphOverrange = 1.1764705882352942; // 1 / 0.85
inline constexpr double kGraphGain = 1.015;
std::uint16_t graphOrdinate(double remission, double scale);
std::uint16_t graphReferenceOrdinate(double scale); // the 100 % line

// Values kept for a measured chart patch.
struct ChartPatchValues {
    std::array<double, 3> xyz; // X, Y, Z as measured
    std::array<double, 3> rootsXyz; // X^(1/4), Y^(1/4), Z^(1/4)
};
ChartPatchValues chartPatchValues(double x, double y, double z);

} // namespace lt
