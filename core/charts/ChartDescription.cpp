#include "core/charts/ChartDescription.h"

namespace lt {

namespace {

constexpr const char* kCmykFields = " XYZ_X XYZ_Y XYZ_Z CMYK_C CMYK_M CMYK_Y CMYK_K";
constexpr const char* kRgbFields = " XYZ_X XYZ_Y XYZ_Z RGB_R RGB_G RGB_B";

constexpr ChartDescription kCharts[kChartTypes] = {
    {ChartIt873, kChartPatchesIt873, 38, 26, 4, 1, "ANSI  IT8.7/3", "IT8.7/3  ", "IT8.7/3",
        " \"IT8.7/3 Testchart CMYK\"", kCmykFields, "Open IT8-Chart", "Save IT8-Chart",
        kIt873LoadLimit},
    {ChartTqCmyk, kChartPatchesTqCmyk, 15, 14, 4, 2, "TQ CMYK standard", "TQ CMYK  ", "TQM30",
        " \"TQM30 Testchart CMYK\"", kCmykFields, "Open CMYK-Chart", "Save CMYK-Chart",
        kTqLoadLimit},
    {ChartTqRgb, kChartPatchesTqRgb, 15, 9, 3, 3, "TQ RGB standard", "TQ RGB  ", "TQM30",
        " \"TQM30 Testchart RGB\"", kRgbFields, "Open RGB-Chart", "Save RGB-Chart", kTqLoadLimit},
};

} // namespace

const ChartDescription* findChartDescription(std::int32_t chartType)
{
    for (const ChartDescription& chart : kCharts)
        if (chart.type == chartType)
            return &chart;
    return nullptr;
}

const ChartDescription& chartDescription(ChartType chartType)
{
    return *findChartDescription(chartType);
}

} // namespace lt
