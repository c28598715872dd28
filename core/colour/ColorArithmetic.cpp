#include "core/colour/ColorArithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/NumberText.h"
#include "core/station/SharedRecord.h"

namespace lt {

namespace {

constexpr double kCentreIndexOffset = 379.5; // [nm] rounds a centre to its spectrum index
constexpr int kWindowHalf = SpotColorEntry::kWindowSize / 2;
constexpr int kCentreSearchFirst = 5; // 430 nm
constexpr int kCentreSearchLast = 27; // 650 nm
constexpr double kLowestSpotRemission = 0.0001;
constexpr double kDarkestSpotDensity = 4.0; // log10(1 / 0.0001)
constexpr double kFullDotArea = 100.0; // [%]
constexpr int kColorDifferenceTextLength = 20;
constexpr double kLargestOrdinate = 65535.0;

constexpr ProcessColor kChromatic[] = {Cyan, Magenta, Yellow};

} // namespace

bool applyPaperWhite(
    ProcessDensities& densities, DensityParameterBlock& block, std::int32_t& paperWhiteState)
{
    if (paperWhiteState == 1) {
        for (int color = Cyan; color <= Black; ++color) {
            block.setReal(slot::paperWhite(static_cast<ProcessColor>(color)), densities[color]);
            densities[color] = 0.0f;
        }
        paperWhiteState = 2;
        return true;
    }
    if (paperWhiteState == 2 || paperWhiteState == 3) {
        for (int color = Cyan; color <= Black; ++color)
            densities[color] -= block.real(slot::paperWhite(static_cast<ProcessColor>(color)));
    }
    return false;
}

ProcessColor detectProcessColor(const ProcessDensities& densities)
{
    double minimum = densities[Cyan];
    double maximum = densities[Cyan];
    ProcessColor strongest = Cyan;
    for (ProcessColor color : kChromatic) {
        minimum = std::min<double>(minimum, densities[color]);
        if (densities[color] > maximum) {
            maximum = densities[color];
            strongest = color;
        }
    }
    // A near-neutral or near-empty sample counts as black.
    if (minimum * kNeutralityRatio > maximum - minimum || std::fabs(maximum) < kNearEmptyDensity)
        return Black;
    return strongest;
}

double dotArea(double density, double solidDensity, double factor)
{
    if (!(density >= 0.0))
        return 0.0;
    // A factor of 0 would divide by zero; the Murray-Davies factor 1 stands in.
    if (!(factor > 0.0) || !std::isfinite(factor))
        factor = 1.0;
    double solidContrast = 1.0 - std::pow(10.0, -solidDensity / factor);
    if (solidContrast == 0.0 || !std::isfinite(solidContrast))
        return 0.0;
    double area = (1.0 - std::pow(10.0, -density / factor)) / solidContrast * kFullDotArea;
    if (std::isnan(area))
        return 0.0;
    return std::clamp(area, 0.0, kFullDotArea);
}

ProcessOutcome applyProcessColor(const ProcessDensities& densities, DensityParameterBlock& block,
    std::int32_t& processSolidRequest)
{
    ProcessOutcome outcome {detectProcessColor(densities), 0.0, false};
    block.setInteger(slot::kProcessColorIndex, outcome.color);
    if (processSolidRequest == 1) {
        block.setReal(slot::solid(outcome.color), densities[outcome.color]);
        processSolidRequest = 0;
        outcome.solidTaken = true;
    }
    outcome.dotArea = dotArea(densities[outcome.color], block.real(slot::solid(outcome.color)),
        block.real(slot::yuleNielsen(outcome.color)));
    block.setReal(slot::kDotArea, static_cast<float>(outcome.dotArea));
    return outcome;
}

std::string formatProcessDotArea(ProcessColor color, double area, float solidDensity)
{
    if (solidDensity == 0.0f)
        return "-  -";
    return std::string(1, kProcessLetters[color]) + "  " + formatFixed(area, 1, 3);
}

std::optional<int> spotWindowCentreIndex(double centreWavelength)
{
    if (!std::isfinite(centreWavelength))
        return std::nullopt;
    double index = std::trunc((centreWavelength - kCentreIndexOffset) * 0.1);
    // A centre near or beyond the ends of the spectrum (possible in a spot
    // file) keeps the whole window inside the 36 values.
    index = std::clamp(index, static_cast<double>(kWindowHalf),
        static_cast<double>(kSpectrumPoints - 1 - kWindowHalf));
    return static_cast<int>(index);
}

std::optional<double> spotDensity(
    const SpotColorEntry& entry, const float* spectrum, double slopeSpot)
{
    auto centre = spotWindowCentreIndex(entry.centreWavelength());
    if (!centre)
        return std::nullopt;
    double weighted = 0.0;
    double weightSum = 0.0;
    for (int i = 0; i < SpotColorEntry::kWindowSize; ++i) {
        weighted += entry.weights[i] * spectrum[*centre - kWindowHalf + i];
        weightSum += entry.weights[i];
    }
    double remission = weightSum != 0.0 ? weighted / weightSum : 0.0;
    double density =
        remission > kLowestSpotRemission ? std::log10(1.0 / remission) : kDarkestSpotDensity;
    return density * slopeSpot;
}

SpotOutcome applySpotColor(SpotColorEntry& entry, const float* spectrum,
    DensityParameterBlock& block, std::int32_t& paperWhiteState, std::int32_t& spotSolidState)
{
    SpotOutcome outcome {kNoSpotDensityText, kNoSpotDotAreaText, entry.name, std::nullopt};
    block.setReal(slot::kDotArea, 0.0f);
    auto density = spotDensity(entry, spectrum, block.real(slot::kSlopeSpot));
    if (!density)
        return outcome;
    if (paperWhiteState == 3) {
        entry.density = *density - block.real(slot::kPaperWhiteSpot);
        if (spotSolidState == 1) {
            block.setReal(slot::kSolidSpot, static_cast<float>(entry.density));
            spotSolidState = 2;
        }
        if (spotSolidState == 2) {
            double area = dotArea(
                entry.density, block.real(slot::kSolidSpot), block.real(slot::kYuleNielsenSpot));
            block.setReal(slot::kDotArea, static_cast<float>(area));
        }
    } else if (paperWhiteState == 2) {
        block.setReal(slot::kPaperWhiteSpot, static_cast<float>(*density));
        entry.density = 0.0;
        paperWhiteState = 3;
        if (spotSolidState == 1)
            outcome.status = kStatusCalibrateSolid;
    } else {
        entry.density = *density;
        if (spotSolidState == 1) {
            spotSolidState = 0;
            outcome.status = kStatusCalibratePaperWhiteFirst;
        }
    }
    outcome.densityText = formatFixed(entry.density, 2);
    if (spotSolidState == 2)
        outcome.dotAreaText = formatFixed(block.real(slot::kDotArea), 1);
    return outcome;
}

double findSpotWindowCentre(const float* spectrum)
{
    // Ascending, strictly lower values win, so the lower wavelength wins a
    // tie. Starting above every value means even a spectrum with no value
    // below 100 % gets its centre at its darkest point.
    double lowest = std::numeric_limits<double>::infinity();
    int centre = kCentreSearchFirst;
    for (int i = kCentreSearchFirst; i <= kCentreSearchLast; ++i) {
        if (spectrum[i] < lowest) {
            lowest = spectrum[i];
            centre = i;
        }
    }
    return kRemissionFirstWavelength + kRemissionWavelengthStep * centre;
}

SpotColorEntry makeSpotColorEntry(double centreWavelength)
{
    SpotColorEntry entry;
    entry.kind = SpotKind::Wide;
    for (int i = 0; i < SpotColorEntry::kWindowSize; ++i)
        entry.wavelengths[i] = centreWavelength + kRemissionWavelengthStep * (i - kWindowHalf);
    entry.weights = kWideWindowWeights;
    return entry;
}

double colorDifference(const std::array<double, 3>& lab1, const std::array<double, 3>& lab2)
{
    double dL = lab1[0] - lab2[0];
    double da = lab1[1] - lab2[1];
    double db = lab1[2] - lab2[2];
    return std::sqrt(dL * dL + da * da + db * db);
}

std::optional<double> colorDifferenceOfRows(
    const MeasurementRow& row1, const MeasurementRow& row2, DeltaEFormula formula)
{
    std::array<double, 3> lab1 {}, lab2 {};
    for (int i = 0; i < 3; ++i) {
        auto first =
            parseReal(std::string_view(row1[column::kL + i]).substr(0, kColorDifferenceTextLength));
        auto second =
            parseReal(std::string_view(row2[column::kL + i]).substr(0, kColorDifferenceTextLength));
        if (!first || !second)
            return std::nullopt;
        lab1[i] = *first;
        lab2[i] = *second;
    }
    return formula == DeltaEFormula::Cie76 ? colorDifference(lab1, lab2)
                                           : deltaE(formula, lab1, lab2);
}

std::string formatColorDifference(double difference, DeltaEFormula formula)
{
    const std::string name = formula == DeltaEFormula::Cie76
        ? std::string("dE")
        : std::string(deltaEFormulaName(formula));
    return "   " + name + ":   " + formatFixed(difference, 3, 3) + "  ";
}

std::uint16_t graphOrdinate(double remission, double scale)
{
    double ordinate;
    if (std::isnan(remission))
        ordinate = 0.0;
    else if (remission > kGraphOverrange)
        ordinate = std::trunc(scale * kGraphOverrange);
    else if (remission < 0.0)
        ordinate = 0.0;
    else
        ordinate = std::trunc(scale * remission * kGraphGain + 0.5);
    // Values just below the over-range limit would exceed 16 bits.
    if (!(ordinate >= 0.0))
        return 0;
    return static_cast<std::uint16_t>(std::min(ordinate, kLargestOrdinate));
}

std::uint16_t graphReferenceOrdinate(double scale)
{
    return graphOrdinate(1.0, scale);
}

ChartPatchValues chartPatchValues(double x, double y, double z)
{
    auto fourthRoot = [](double value) { return value > 0.0 ? std::sqrt(std::sqrt(value)) : 0.0; };
    return ChartPatchValues {{x, y, z}, {fourthRoot(x), fourthRoot(y), fourthRoot(z)}};
}

} // namespace lt
