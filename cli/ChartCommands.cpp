// "ltrak chart compare" and "ltrak chart convert": the chart comparison and
// the CGATS reader the program uses, on files named on the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "core/common/NumberText.h"
#include "core/compare/ChartComparison.h"

namespace ltrak {
namespace {

const char* const kChartHelp = R"(Usage: ltrak chart COMMAND [OPTIONS] FILES
Work with measured charts (CGATS files with XYZ or L*a*b* fields).

Commands:
  compare REFERENCE SAMPLE   how far SAMPLE is from REFERENCE, patch by patch
  convert CHART              a chart file as CGATS with XYZ and L*a*b* (D50)

Run "ltrak chart COMMAND --help" for the options of a command.
)";

const char* const kCompareHelp = R"(Usage: ltrak chart compare [OPTIONS] REFERENCE SAMPLE
Compare two measured charts patch by patch. Patches are paired by SAMPLE_ID,
or by their device values when the names differ. The report gives mean,
median, 95th percentile and maximum of the colour differences, the ten worst
patches, and separate figures for paper, solids and greys.

  --formula F      76 (CIE 1976, default), 94 (CIE94 graphic arts),
                   00 (CIEDE2000) or cmc (CMC 2:1)
  --format FORMAT  text (default) or json
  --help           show this help

Exit status: 0 success, 1 a file could not be read, 2 wrong command line.
)";

const char* const kConvertHelp = R"(Usage: ltrak chart convert [OPTIONS] CHART
Write a chart file (the workstation's, or any CGATS file with XYZ or
L*a*b* fields) as CGATS with SAMPLE_ID, the device values, XYZ and L*a*b*
(D50, 2 degrees) on standard output.

  --help           show this help

Exit status: 0 success, 1 the file could not be read, 2 wrong command line.
)";

int compare(const std::vector<std::string>& words)
{
    Arguments arguments = parseArguments(words, {"formula", "format"}, {});
    if (arguments.help) {
        std::fputs(kCompareHelp, stdout);
        return kExitSuccess;
    }
    if (!arguments.error.empty())
        return fail(kExitUsage, arguments.error + " (see ltrak chart compare --help)");
    if (arguments.positional.size() != 2)
        return fail(kExitUsage, "compare needs two files: REFERENCE SAMPLE");
    std::optional<lt::DeltaEFormula> formula =
        lt::deltaEFormulaFromName(arguments.option("formula").value_or("76"));
    if (!formula)
        return fail(kExitUsage, "unknown formula (76, 94, 00, cmc)");
    const std::string format = arguments.option("format").value_or("text");
    if (format != "text" && format != "json")
        return fail(kExitUsage, "unknown format \"" + format + "\" (text, json)");

    lt::MeasuredChartReading reference = lt::readMeasuredChart(arguments.positional[0]);
    if (!reference.chart)
        return fail(kExitFailure, reference.error);
    lt::MeasuredChartReading sample = lt::readMeasuredChart(arguments.positional[1]);
    if (!sample.chart)
        return fail(kExitFailure, sample.error);
    lt::ChartComparison comparison = lt::compareCharts(*reference.chart, *sample.chart, *formula);
    if (comparison.all.count == 0)
        return fail(kExitFailure, "the two charts have no patch in common");
    const std::string out = format == "json"
        ? lt::comparisonJson(comparison)
        : lt::comparisonReport(comparison, arguments.positional[0], arguments.positional[1]);
    std::fputs(out.c_str(), stdout);
    return kExitSuccess;
}

int convert(const std::vector<std::string>& words)
{
    Arguments arguments = parseArguments(words, {}, {});
    if (arguments.help) {
        std::fputs(kConvertHelp, stdout);
        return kExitSuccess;
    }
    if (!arguments.error.empty())
        return fail(kExitUsage, arguments.error + " (see ltrak chart convert --help)");
    if (arguments.positional.size() != 1)
        return fail(kExitUsage, "convert needs one chart file");
    lt::CgatsReading cgats = lt::readCgatsFile(arguments.positional[0]);
    if (!cgats.table)
        return fail(kExitFailure, cgats.error);
    lt::MeasuredChartReading chart = lt::measuredChartFrom(*cgats.table);
    if (!chart.chart)
        return fail(kExitFailure, arguments.positional[0] + ": " + chart.error);

    const lt::CgatsTable& table = *cgats.table;
    std::vector<std::string> deviceFields;
    if (chart.chart->space == lt::DeviceSpace::Cmyk)
        deviceFields = {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"};
    else if (chart.chart->space == lt::DeviceSpace::Rgb)
        deviceFields = {"RGB_R", "RGB_G", "RGB_B"};
    const bool hasXyz = table.field("XYZ_X") && table.field("XYZ_Y") && table.field("XYZ_Z");
    std::string fields = "SAMPLE_ID";
    for (const std::string& name : deviceFields)
        fields += " " + name;
    if (hasXyz)
        fields += " XYZ_X XYZ_Y XYZ_Z";
    fields += " LAB_L LAB_A LAB_B";
    const int fieldCount = 1 + static_cast<int>(deviceFields.size()) + (hasXyz ? 3 : 0) + 3;

    std::printf(
        "CGATS.17\nORIGINATOR \"ltrak\"\nDESCRIPTOR \"%s\"\n", arguments.positional[0].c_str());
    std::printf("NUMBER_OF_FIELDS %d\nBEGIN_DATA_FORMAT\n%s\nEND_DATA_FORMAT\n", fieldCount,
        fields.c_str());
    std::printf("NUMBER_OF_SETS %zu\nBEGIN_DATA\n", chart.chart->patches.size());
    for (std::size_t s = 0; s < chart.chart->patches.size(); ++s) {
        const lt::MeasuredPatch& patch = chart.chart->patches[s];
        std::string line = patch.id;
        for (double value : patch.device)
            line += " " + lt::formatFixed(value, 2);
        if (hasXyz)
            for (const char* name : {"XYZ_X", "XYZ_Y", "XYZ_Z"})
                line += " " + lt::formatFixed(table.number(s, *table.field(name)).value_or(0.0), 3);
        for (double value : patch.lab)
            line += " " + lt::formatFixed(value, 3);
        std::printf("%s\n", line.c_str());
    }
    std::printf("END_DATA\n");
    return kExitSuccess;
}

} // namespace

int chartCommand(const std::vector<std::string>& words)
{
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        std::fputs(kChartHelp, stdout);
        return words.empty() ? kExitUsage : kExitSuccess;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (words[0] == "compare")
        return compare(rest);
    if (words[0] == "convert")
        return convert(rest);
    return fail(kExitUsage, "unknown chart command \"" + words[0] + "\" (compare, convert)");
}

} // namespace ltrak
