#pragma once
// How far one measured chart is from another: every patch of the sample
// chart matched with its patch in the reference (by SAMPLE_ID, or by device
// values where the IDs do not match), the colour difference of each pair by
// the chosen formula, and the figures a print shop reads: mean, median,
// 95th percentile and maximum, the ten worst patches, and separate figures
// for paper, the primaries' solids and the grey patches.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/colour/ColourDifference.h"
#include "core/compare/CgatsTable.h"

namespace lt {

// One patch of a measured chart: its name, its device values (CMYK in %, or
// RGB) and its colour.
struct MeasuredPatch {
    std::string id;
    std::vector<double> device; // CMYK (4) or RGB (3) values, empty when unknown
    Lab lab {};
};

enum class DeviceSpace { Unknown, Cmyk, Rgb };

struct MeasuredChart {
    DeviceSpace space = DeviceSpace::Unknown;
    std::vector<MeasuredPatch> patches;
};

// The patches of a CGATS table with L*a*b* fields, or XYZ fields converted to
// L*a*b* under D50 (the white point of printing). An error names what is
// missing.
struct MeasuredChartReading {
    std::optional<MeasuredChart> chart;
    std::string error;
};
MeasuredChartReading measuredChartFrom(const CgatsTable& table);
MeasuredChartReading readMeasuredChart(const std::string& path);

// A full channel: CMYK and the open tools' RGB are in per cent, some RGB
// files count to 255.
inline constexpr double kPercentFull = 100.0;
inline constexpr double kByteFull = 255.0;
// The full value of a chart's device channels: 255 for RGB values above 100.
double deviceFullScale(const MeasuredChart& chart);

enum class PatchGroup { Other, Paper, Solid, Grey };
// rgbFull: the value of a full RGB channel (kPercentFull or kByteFull).
PatchGroup patchGroup(
    DeviceSpace space, const std::vector<double>& device, double rgbFull = kPercentFull);

struct PatchDifference {
    std::string id;
    std::vector<double> device;
    Lab reference {};
    Lab sample {};
    double deltaE = 0.0;
    PatchGroup group = PatchGroup::Other;
};

struct DifferenceStatistics {
    int count = 0;
    double mean = 0.0;
    double median = 0.0;
    double percentile95 = 0.0;
    double maximum = 0.0;
};

DifferenceStatistics statisticsOf(std::vector<double> values);

struct ChartComparison {
    DeltaEFormula formula = DeltaEFormula::Cie76;
    bool matchedByDevice = false; // the IDs did not match: paired by device values
    int unmatched = 0; // sample patches without a partner in the reference
    std::vector<PatchDifference> patches; // in the sample chart's order
    DifferenceStatistics all;
    DifferenceStatistics paper;
    DifferenceStatistics solids;
    DifferenceStatistics greys;
    std::vector<PatchDifference> worst; // at most ten, largest first
};

inline constexpr int kWorstPatches = 10;

ChartComparison compareCharts(
    const MeasuredChart& reference, const MeasuredChart& sample, DeltaEFormula formula);

// The report as text (what the program shows and saves, and what the
// command line prints).
std::string comparisonReport(const ChartComparison& comparison, const std::string& referenceName,
    const std::string& sampleName);
std::string comparisonJson(const ChartComparison& comparison);

} // namespace lt
