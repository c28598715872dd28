#include "core/compare/ChartComparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "core/common/NumberText.h"

namespace lt {
namespace {

// D50 white of the printing trade's colorimetry (CIE 1931 2°).
constexpr std::array<double, 3> kD50White {96.422, 100.0, 82.521};
constexpr double kDeviceMatchTolerance = 0.01; // [% or RGB units]
constexpr double kGreyBalanceCyanLead = 15.0; // [%]

double labFunction(double t)
{
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

Lab labFromXyz(double X, double Y, double Z)
{
    double fx = labFunction(X / kD50White[0]);
    double fy = labFunction(Y / kD50White[1]);
    double fz = labFunction(Z / kD50White[2]);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

struct FieldSet {
    const char* names[4];
    int count;
};

std::optional<std::vector<std::size_t>> fieldIndices(const CgatsTable& table, const FieldSet& set)
{
    std::vector<std::size_t> indices;
    for (int i = 0; i < set.count; ++i) {
        std::optional<std::size_t> index = table.field(set.names[i]);
        if (!index)
            return std::nullopt;
        indices.push_back(*index);
    }
    return indices;
}

bool nearlyEqual(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size() || a.empty())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > kDeviceMatchTolerance)
            return false;
    return true;
}

std::string formatNumber(double value, int decimals)
{
    return formatFixed(value, decimals);
}

std::string deviceText(const std::vector<double>& device)
{
    std::string text;
    for (double value : device) {
        if (!text.empty())
            text += ' ';
        text += formatFixed(value, 1);
    }
    return text.empty() ? "-" : text;
}

} // namespace

MeasuredChartReading measuredChartFrom(const CgatsTable& table)
{
    MeasuredChartReading reading;
    const FieldSet labFields {{"LAB_L", "LAB_A", "LAB_B"}, 3};
    const FieldSet xyzFields {{"XYZ_X", "XYZ_Y", "XYZ_Z"}, 3};
    const FieldSet cmykFields {{"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"}, 4};
    const FieldSet rgbFields {{"RGB_R", "RGB_G", "RGB_B"}, 3};
    std::optional<std::vector<std::size_t>> lab = fieldIndices(table, labFields);
    std::optional<std::vector<std::size_t>> xyz = fieldIndices(table, xyzFields);
    if (!lab && !xyz) {
        reading.error = "the file has neither LAB_L/LAB_A/LAB_B nor XYZ_X/XYZ_Y/XYZ_Z fields";
        return reading;
    }
    MeasuredChart chart;
    std::optional<std::vector<std::size_t>> device = fieldIndices(table, cmykFields);
    chart.space = device ? DeviceSpace::Cmyk : DeviceSpace::Unknown;
    if (!device) {
        device = fieldIndices(table, rgbFields);
        if (device)
            chart.space = DeviceSpace::Rgb;
    }
    std::optional<std::size_t> id = table.field("SAMPLE_ID");
    if (!id)
        id = table.field("SAMPLE_NAME");
    for (std::size_t s = 0; s < table.sets.size(); ++s) {
        MeasuredPatch patch;
        patch.id = id ? table.sets[s][*id] : std::to_string(s + 1);
        std::array<double, 3> values {};
        const std::vector<std::size_t>& colour = lab ? *lab : *xyz;
        for (int c = 0; c < 3; ++c) {
            std::optional<double> value = table.number(s, colour[c]);
            if (!value) {
                reading.error = "set " + std::to_string(s + 1) + " (" + patch.id +
                    "): " + table.fields[colour[c]] + " is no number";
                return reading;
            }
            values[c] = *value;
        }
        patch.lab = lab ? Lab {values[0], values[1], values[2]}
                        : labFromXyz(values[0], values[1], values[2]);
        if (device)
            for (std::size_t index : *device)
                patch.device.push_back(table.number(s, index).value_or(0.0));
        chart.patches.push_back(std::move(patch));
    }
    reading.chart = std::move(chart);
    return reading;
}

MeasuredChartReading readMeasuredChart(const std::string& path)
{
    CgatsReading cgats = readCgatsFile(path);
    if (!cgats.table) {
        MeasuredChartReading reading;
        reading.error = cgats.error;
        return reading;
    }
    MeasuredChartReading reading = measuredChartFrom(*cgats.table);
    if (!reading.chart)
        reading.error = path + ": " + reading.error;
    return reading;
}

double deviceFullScale(const MeasuredChart& chart)
{
    if (chart.space != DeviceSpace::Rgb)
        return kPercentFull;
    for (const MeasuredPatch& patch : chart.patches)
        for (double value : patch.device)
            if (value > kPercentFull + 0.5)
                return kByteFull;
    return kPercentFull;
}

PatchGroup patchGroup(DeviceSpace space, const std::vector<double>& device, double rgbFull)
{
    auto near = [](double value, double target) { return std::fabs(value - target) < 0.5; };
    if (space == DeviceSpace::Cmyk && device.size() == 4) {
        int zeros = 0, solids = 0;
        for (double value : device) {
            zeros += near(value, 0.0);
            solids += near(value, 100.0);
        }
        if (zeros == 4)
            return PatchGroup::Paper;
        if (zeros == 3 && solids == 1)
            return PatchGroup::Solid;
        // A three-colour grey: magenta and yellow equal, cyan equal or up to
        // 15 % above them (the grey balance of process inks), no black.
        const double cyanLead = device[0] - device[1];
        const bool chromaticGrey = near(device[1], device[2]) && device[1] > 0.5 &&
            cyanLead > -0.5 && cyanLead <= kGreyBalanceCyanLead && near(device[3], 0.0);
        const bool blackOnly = zeros == 3 && device[3] > 0.5;
        return chromaticGrey || blackOnly ? PatchGroup::Grey : PatchGroup::Other;
    }
    if (space == DeviceSpace::Rgb && device.size() == 3) {
        int full = 0, none = 0;
        for (double value : device) {
            full += near(value, rgbFull);
            none += near(value, 0.0);
        }
        if (full == 3)
            return PatchGroup::Paper;
        if (none == 2 && full == 1)
            return PatchGroup::Solid;
        return near(device[0], device[1]) && near(device[1], device[2]) ? PatchGroup::Grey
                                                                        : PatchGroup::Other;
    }
    return PatchGroup::Other;
}

DifferenceStatistics statisticsOf(std::vector<double> values)
{
    DifferenceStatistics statistics;
    statistics.count = static_cast<int>(values.size());
    if (values.empty())
        return statistics;
    std::sort(values.begin(), values.end());
    double sum = 0.0;
    for (double value : values)
        sum += value;
    statistics.mean = sum / static_cast<double>(values.size());
    const std::size_t n = values.size();
    statistics.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    // Linear interpolation between the closest ranks.
    const double rank = 0.95 * static_cast<double>(n - 1);
    const std::size_t below = static_cast<std::size_t>(rank);
    const std::size_t above = std::min(below + 1, n - 1);
    statistics.percentile95 =
        values[below] + (rank - static_cast<double>(below)) * (values[above] - values[below]);
    statistics.maximum = values.back();
    return statistics;
}

ChartComparison compareCharts(
    const MeasuredChart& reference, const MeasuredChart& sample, DeltaEFormula formula)
{
    ChartComparison comparison;
    comparison.formula = formula;
    std::map<std::string, const MeasuredPatch*> byId;
    for (const MeasuredPatch& patch : reference.patches)
        byId.emplace(patch.id, &patch);
    int idMatches = 0;
    for (const MeasuredPatch& patch : sample.patches)
        idMatches += byId.count(patch.id) ? 1 : 0;
    // Pair by device values when most IDs find no partner (charts named
    // differently by different tools) and both charts carry device values.
    comparison.matchedByDevice = idMatches * 2 < static_cast<int>(sample.patches.size()) &&
        reference.space != DeviceSpace::Unknown && reference.space == sample.space;

    const DeviceSpace space = sample.space != DeviceSpace::Unknown ? sample.space : reference.space;
    const double rgbFull = std::max(deviceFullScale(reference), deviceFullScale(sample));
    std::vector<bool> used(reference.patches.size(), false);
    for (const MeasuredPatch& patch : sample.patches) {
        const MeasuredPatch* partner = nullptr;
        if (comparison.matchedByDevice) {
            for (std::size_t r = 0; r < reference.patches.size() && !partner; ++r)
                if (!used[r] && nearlyEqual(reference.patches[r].device, patch.device)) {
                    used[r] = true;
                    partner = &reference.patches[r];
                }
        } else if (auto found = byId.find(patch.id); found != byId.end()) {
            partner = found->second;
        }
        if (!partner) {
            ++comparison.unmatched;
            continue;
        }
        PatchDifference difference;
        difference.id = patch.id;
        difference.device = patch.device.empty() ? partner->device : patch.device;
        difference.reference = partner->lab;
        difference.sample = patch.lab;
        difference.deltaE = deltaE(formula, partner->lab, patch.lab);
        difference.group = patchGroup(space, difference.device, rgbFull);
        comparison.patches.push_back(std::move(difference));
    }

    std::vector<double> all, paper, solids, greys;
    for (const PatchDifference& difference : comparison.patches) {
        all.push_back(difference.deltaE);
        if (difference.group == PatchGroup::Paper)
            paper.push_back(difference.deltaE);
        else if (difference.group == PatchGroup::Solid)
            solids.push_back(difference.deltaE);
        else if (difference.group == PatchGroup::Grey)
            greys.push_back(difference.deltaE);
    }
    comparison.all = statisticsOf(all);
    comparison.paper = statisticsOf(paper);
    comparison.solids = statisticsOf(solids);
    comparison.greys = statisticsOf(greys);

    comparison.worst = comparison.patches;
    std::stable_sort(comparison.worst.begin(), comparison.worst.end(),
        [](const PatchDifference& a, const PatchDifference& b) { return a.deltaE > b.deltaE; });
    if (comparison.worst.size() > kWorstPatches)
        comparison.worst.resize(kWorstPatches);
    return comparison;
}

std::string comparisonReport(const ChartComparison& comparison, const std::string& referenceName,
    const std::string& sampleName)
{
    const std::string name(deltaEFormulaName(comparison.formula));
    std::string text;
    text += "Chart comparison (" + name + ")\n";
    text += "Reference: " + referenceName + "\n";
    text += "Sample:    " + sampleName + "\n";
    text += "Patches compared: " + std::to_string(comparison.all.count);
    if (comparison.matchedByDevice)
        text += " (paired by device values)";
    if (comparison.unmatched > 0)
        text += ", without partner: " + std::to_string(comparison.unmatched);
    text += "\n\n";
    char line[200];
    std::snprintf(line, sizeof line, "%-10s %6s %8s %8s %8s %8s\n", "", "count", "mean", "median",
        "95 %", "max");
    text += line;
    auto row = [&](const char* label, const DifferenceStatistics& s) {
        std::snprintf(line, sizeof line, "%-10s %6d %8s %8s %8s %8s\n", label, s.count,
            formatNumber(s.mean, 2).c_str(), formatNumber(s.median, 2).c_str(),
            formatNumber(s.percentile95, 2).c_str(), formatNumber(s.maximum, 2).c_str());
        text += line;
    };
    row("All", comparison.all);
    row("Paper", comparison.paper);
    row("Solids", comparison.solids);
    row("Greys", comparison.greys);
    text += "\nThe " + std::to_string(comparison.worst.size()) + " largest differences:\n";
    for (const PatchDifference& difference : comparison.worst) {
        std::snprintf(line, sizeof line, "%-8s %8s   device %s\n", difference.id.c_str(),
            formatNumber(difference.deltaE, 2).c_str(), deviceText(difference.device).c_str());
        text += line;
    }
    return text;
}

std::string comparisonJson(const ChartComparison& comparison)
{
    auto statistics = [](const DifferenceStatistics& s) {
        return "{\"count\": " + std::to_string(s.count) + ", \"mean\": " + formatFixed(s.mean, 4) +
            ", \"median\": " + formatFixed(s.median, 4) +
            ", \"p95\": " + formatFixed(s.percentile95, 4) +
            ", \"max\": " + formatFixed(s.maximum, 4) + "}";
    };
    auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (char c : text) {
            if (c == '"' || c == '\\')
                out += '\\';
            if (static_cast<unsigned char>(c) >= 0x20)
                out += c;
        }
        return out + "\"";
    };
    std::string json =
        "{\"formula\": " + quoted(std::string(deltaEFormulaName(comparison.formula)));
    json +=
        ", \"matched_by_device\": " + std::string(comparison.matchedByDevice ? "true" : "false");
    json += ", \"unmatched\": " + std::to_string(comparison.unmatched);
    json += ", \"all\": " + statistics(comparison.all);
    json += ", \"paper\": " + statistics(comparison.paper);
    json += ", \"solids\": " + statistics(comparison.solids);
    json += ", \"greys\": " + statistics(comparison.greys);
    json += ", \"worst\": [";
    for (std::size_t i = 0; i < comparison.worst.size(); ++i) {
        const PatchDifference& difference = comparison.worst[i];
        json += (i ? ", " : "") + std::string("{\"id\": ") + quoted(difference.id) +
            ", \"dE\": " + formatFixed(difference.deltaE, 4) + ", \"device\": [";
        for (std::size_t d = 0; d < difference.device.size(); ++d)
            json += (d ? ", " : "") + formatFixed(difference.device[d], 2);
        json += "]}";
    }
    return json + "]}\n";
}

} // namespace lt
