// The charts as data: names, order, grid places and nominal device values,
// checked at the named indices and, patch by patch, against the simulator's
// own description of the charts it carries on its XY table.
#include <set>

#include <gtest/gtest.h>

#include "core/charts/ChartDescription.h"
#include "core/charts/ChartLayout.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/charts/PatchTables.h"
#include "sim/ChartLayout.h"

namespace lt {
namespace {

TEST(ChartLayout, NamesAtTheIndicesThatStartAndEndEachRun)
{
    struct Case {
        ChartType chart;
        int index;
        const char* name;
    };
    const Case cases[] = {
        {ChartIt873, 0, "00A1"},
        {ChartIt873, 12, "00A13"},
        {ChartIt873, 181, "00N13"},
        {ChartIt873, 182, "01A1"},
        {ChartIt873, 613, "12F6"},
        {ChartIt873, 614, "13A1"},
        {ChartIt873, 863, "22E5"},
        {ChartIt873, 864, "23A1"},
        {ChartIt873, 927, "26D4"},
        {ChartIt873, 928, ""},
        {ChartTqCmyk, 0, "A01"},
        {ChartTqCmyk, 14, "A15"},
        {ChartTqCmyk, 17, "B03"},
        {ChartTqCmyk, 209, "N15"},
        {ChartTqRgb, 134, "I15"},
        {ChartTqRgb, 135, ""},
        {ChartTqRgb, -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patchName(c.chart, c.index), c.name) << c.chart << " " << c.index;
}

TEST(ChartLayout, NameTableEndsWithEndAndTqRgbKeepsTheCmykNames)
{
    PatchNameTable names;
    names.fill(ChartIt873);
    EXPECT_EQ(names.name(927), "26D4");
    EXPECT_EQ(names.name(928), kEndPatchName);
    EXPECT_EQ(names.name(929), "");

    names.fill(ChartTqRgb);
    EXPECT_EQ(names.name(134), "I15");
    EXPECT_EQ(names.name(209), "N15");
    EXPECT_EQ(names.name(210), kEndPatchName);
    EXPECT_EQ(names.name(211), "") << "nothing of the IT8.7/3 names is left behind";
}

TEST(ChartLayout, It873BlocksAreTurnedSoTheirNumbersCountUpwards)
{
    auto cellOf = [](const char* name) {
        for (int i = 0; i < kChartPatchesIt873; ++i)
            if (patchName(ChartIt873, i) == name)
                return screenCell(ChartIt873, i);
        return GridCell {-1, -1};
    };
    EXPECT_EQ(cellOf("00A1"), (GridCell {12, 18}));
    EXPECT_EQ(cellOf("00G1"), (GridCell {25, 18}));
    EXPECT_EQ(cellOf("01A1"), (GridCell {14, 17}));
    EXPECT_EQ(cellOf("01A2"), (GridCell {14, 16}));
    EXPECT_EQ(cellOf("01B1"), (GridCell {15, 17}));
    EXPECT_EQ(cellOf("13A1"), (GridCell {0, 0}));
    EXPECT_EQ(cellOf("12F6"), (GridCell {37, 0}));
    EXPECT_EQ(cellOf("00N13"), (GridCell {37, 25}));
    EXPECT_EQ(cellOf("26D4"), (GridCell {13, 15}));
}

TEST(ChartLayout, EveryIt873PatchHasACellOfItsOwnAndTheEndCellStaysFree)
{
    std::set<std::pair<int, int>> taken;
    for (int i = 0; i < kChartPatchesIt873; ++i) {
        const GridCell cell = screenCell(ChartIt873, i);
        ASSERT_GE(cell.column, 0);
        ASSERT_LT(cell.column, kIt873GridColumns);
        ASSERT_GE(cell.row, 0);
        ASSERT_LT(cell.row, kIt873GridRows);
        EXPECT_TRUE(taken.insert({cell.column, cell.row}).second) << i;
    }
    EXPECT_FALSE(taken.contains({kIt873EndCell.column, kIt873EndCell.row}));
    EXPECT_EQ(screenCell(ChartIt873, kChartPatchesIt873), kIt873EndCell);
}

TEST(ChartLayout, TqPatchesSitInTheirScreenRowAndTurnAQuarterOnTheTable)
{
    const int b03 = 17;
    EXPECT_EQ(screenCell(ChartTqCmyk, b03), (GridCell {2, 1}));
    EXPECT_EQ(tableGridCell(ChartTqCmyk, b03), (GridCell {1, 12}));
    EXPECT_EQ(tableGridCell(ChartTqCmyk, 14), (GridCell {0, 0}))
        << "A15 is the first reference point";
    EXPECT_EQ(tableGridCell(ChartTqRgb, 134), (GridCell {8, 0})) << "I15";
}

TEST(ChartReferenceTable, ExamplesOfTheGeneratedBlocks)
{
    const auto it873 = ChartReferenceTable(ChartIt873);
    ASSERT_EQ(it873.size(), 928u);
    auto valuesOf = [&](const char* name) {
        for (int i = 0; i < kChartPatchesIt873; ++i)
            if (patchName(ChartIt873, i) == name)
                return it873[static_cast<std::size_t>(i)];
        return DeviceValues {-1, -1, -1, -1};
    };
    EXPECT_EQ(valuesOf("01B5"), (DeviceValues {10, 70, 0, 0}));
    EXPECT_EQ(valuesOf("23A4"), (DeviceValues {0, 100, 0, 80}));
    EXPECT_EQ(valuesOf("12F6"), (DeviceValues {100, 100, 100, 20}));
    EXPECT_EQ(valuesOf("00B13"), (DeviceValues {0, 0, 0, 0})) << "paper";
    EXPECT_EQ(ChartReferenceTable(ChartTqCmyk).size(), 210u);
    EXPECT_EQ(ChartReferenceTable(ChartTqRgb).size(), 135u);
    EXPECT_EQ(ChartReferenceTable(ChartTqRgb)[0], (DeviceValues {95, 95, 95, 0}));
    EXPECT_TRUE(ChartReferenceTable(static_cast<ChartType>(7)).empty());
}

// The simulator describes its charts independently: names, table-grid cells
// and printed inks of every patch must agree with the program's tables, or a
// chart measured automatically would store one patch's colour under another.
TEST(ChartLayout, AgreesPatchByPatchWithTheChartsOnTheSimulatorsTable)
{
    const std::pair<ChartType, ltsim::ChartKind> charts[] = {
        {ChartIt873, ltsim::ChartKind::It8},
        {ChartTqCmyk, ltsim::ChartKind::TqCmyk},
        {ChartTqRgb, ltsim::ChartKind::TqRgb},
    };
    for (const auto& [chart, kind] : charts) {
        const auto& simulated = ltsim::chartPatches(kind);
        const auto reference = ChartReferenceTable(chart);
        ASSERT_EQ(static_cast<int>(simulated.size()), chartPatchCount(chart));
        for (int i = 0; i < chartPatchCount(chart); ++i) {
            const ltsim::ChartPatch& patch = simulated[static_cast<std::size_t>(i)];
            const DeviceValues& values = reference[static_cast<std::size_t>(i)];
            SCOPED_TRACE(patch.name);
            EXPECT_EQ(patchName(chart, i), patch.name);
            EXPECT_EQ(tableGridCell(chart, i), (GridCell {patch.gridColumn, patch.gridRow}));
            if (chart == ChartTqRgb) {
                EXPECT_EQ(values[0], 100 - patch.coverage.cyan);
                EXPECT_EQ(values[1], 100 - patch.coverage.magenta);
                EXPECT_EQ(values[2], 100 - patch.coverage.yellow);
            } else {
                EXPECT_EQ(values,
                    (DeviceValues {static_cast<float>(patch.coverage.cyan),
                        static_cast<float>(patch.coverage.magenta),
                        static_cast<float>(patch.coverage.yellow),
                        static_cast<float>(patch.coverage.black)}));
            }
        }
    }
}

TEST(ChartDescription, OneRowPerChartTypeAndNoneForOthers)
{
    EXPECT_STREQ(chartDescription(ChartIt873).dialogCaption, "ANSI  IT8.7/3");
    EXPECT_STREQ(chartDescription(ChartTqCmyk).displayName, "TQ CMYK  ");
    EXPECT_STREQ(chartDescription(ChartTqRgb).saveTitle, "Save RGB-Chart");
    EXPECT_EQ(findChartDescription(3), nullptr);
    EXPECT_EQ(findChartDescription(-1), nullptr);
}

} // namespace
} // namespace lt
