// The chart file reader on any text, for each of the three open charts: it
// must never read outside its input, take values from a refused text, or
// report a cursor outside the open chart; what it accepts must write back
// and read again to the same text.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "core/charts/ChartFile.h"

namespace {

using lt::fuzz::check;

void readAs(std::string_view text, lt::ChartType chart)
{
    const int patches = lt::chartPatchCount(chart);
    const lt::ChartTextReading reading = lt::parseChartText(text, patches);
    if (reading.problem != lt::ChartTextProblem::None) {
        check(reading.xyz.empty(), "a refused text gives no values");
        return;
    }
    check(reading.cursor >= 0 && reading.cursor <= patches, "cursor inside the chart");
    check(!reading.xyz.empty() && reading.xyz.size() <= static_cast<std::size_t>(patches),
        "one to patch-count rows");
    check(reading.cursorEnd > 0 && reading.cursorEnd <= text.size() &&
            text[reading.cursorEnd - 1] == '#',
        "cursor end just behind the mark");

    lt::PatchNameTable names;
    names.fill(chart);
    const lt::ChartFileConditions conditions;
    const std::string written =
        lt::formatChartText(chart, names, reading.xyz, conditions, reading.cursor);
    const lt::ChartTextReading again = lt::parseChartText(written, patches);
    check(again.problem == lt::ChartTextProblem::None, "a written chart reads back");
    check(again.cursor == reading.cursor, "the cursor survives");
    check(lt::formatChartText(chart, names, again.xyz, conditions, again.cursor) == written,
        "a written chart writes the same text again");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (lt::ChartType chart : {lt::ChartIt873, lt::ChartTqCmyk, lt::ChartTqRgb})
        readAs(text, chart);
    return 0;
}
