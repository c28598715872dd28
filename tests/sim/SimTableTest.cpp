// The XY table and the chart on it: moves, positions, the patch under the head.
#include <gtest/gtest.h>

#include <cmath>

#include "SimTestSupport.h"

using namespace simtest;
using ltsim::ChartKind;
using ltsim::ChartPlacement;
using ltsim::DeviceKind;
using ltsim::TablePosition;

namespace {

std::string moveRequest(int x, int y)
{
    return ";D00000" + wireWordText(x) + wireWordText(y) + kCrLf;
}

ChartPlacement placement(
    ChartKind kind, double originX, double originY, double pitch, double rotation)
{
    ChartPlacement p;
    p.kind = kind;
    p.originX = originX;
    p.originY = originY;
    p.pitch = pitch;
    p.rotation = rotation;
    return p;
}

} // namespace

TEST(SimTable, MovesAndReadsTheHeadPosition)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakA));
    EXPECT_EQ(sim.line->exchange(moveRequest(500, 50), 9), ":D18000\r\n");
    EXPECT_EQ(sim.simulator->headPosition(), (TablePosition {500, 50}));
    std::string position = sim.line->exchange(";D00500\r\n", 23);
    EXPECT_EQ(position.substr(11, 8), wireWordText(500) + wireWordText(50));
    // Relative move by (-100, +20).
    EXPECT_EQ(
        sim.line->exchange(";D001" + wireWordText(0x10000 - 100) + wireWordText(20) + kCrLf, 9),
        ":D18000\r\n");
    EXPECT_EQ(sim.simulator->headPosition(), (TablePosition {400, 70}));
}

TEST(SimTable, MoveOutsideTheTravelIsRefusedAndTheHeadStays)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakA));
    sim.simulator->setHeadPosition({1000, 1000});
    std::string reply = sim.line->exchange(moveRequest(ltsim::kTableMaxX + 1, 100), 9);
    EXPECT_EQ(reply.substr(0, 4), ":D18"); // still an acknowledge ...
    EXPECT_NE(reply.substr(5, 2), "00"); // ... without "00"
    EXPECT_EQ(sim.simulator->headPosition(), (TablePosition {1000, 1000}));
    // Relative move below zero.
    EXPECT_NE(
        sim.line->exchange(";D001" + wireWordText(0x10000 - 2000) + wireWordText(0) + kCrLf, 9)
            .substr(5, 2),
        "00");
}

TEST(SimTable, HeadUpDownWhiteTileAndStatus)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakA));
    sim.line->exchange(";D004\r\n", 9);
    EXPECT_TRUE(sim.simulator->headDown());
    EXPECT_EQ(sim.line->exchange(";D023\r\n", 11)[6], '1');
    sim.line->exchange(";D003\r\n", 9);
    EXPECT_EQ(sim.line->exchange(";D023\r\n", 11)[6], '0');
    sim.line->exchange(";D00600\r\n", 9);
    TablePosition tile = sim.simulator->headPosition();
    sim.line->exchange(";D012\r\n", 9);
    EXPECT_EQ(sim.simulator->headPosition(), (TablePosition {0, 0}));
    EXPECT_NE(tile, (TablePosition {0, 0}));
}

TEST(SimChart, PatchUnderTheHeadAtComputedPositions)
{
    struct Case {
        ChartKind kind;
        std::string patch;
        int column, row; // table-grid cell
    };
    const Case cases[] = {
        {ChartKind::It8, "00A1", 12, 18},
        {ChartKind::It8, "01A1", 14, 17},
        {ChartKind::It8, "01A2", 14, 16},
        {ChartKind::It8, "01B1", 15, 17},
        {ChartKind::It8, "00G1", 25, 18},
        {ChartKind::It8, "13A1", 0, 0},
        {ChartKind::It8, "26D4", 13, 15},
        {ChartKind::TqCmyk, "A01", 0, 14},
        {ChartKind::TqCmyk, "A15", 0, 0},
        {ChartKind::TqCmyk, "N15", 13, 0},
        {ChartKind::TqRgb, "I01", 8, 14},
        {ChartKind::TqRgb, "C07", 2, 8},
    };
    for (double rotation : {0.0, 1.5, -2.0}) {
        for (const Case& c : cases) {
            ltsim::Simulator simulator(optionsFor(DeviceKind::LumatrakA));
            double pitch = c.kind == ChartKind::It8 ? ltsim::kIt8Pitch : ltsim::kTqPitch;
            simulator.placeChart(placement(c.kind, 900, 700, pitch, rotation));
            double angle = rotation * 3.14159265358979 / 180.0;
            int x = static_cast<int>(
                std::lround(900 + pitch * (c.column * std::cos(angle) - c.row * std::sin(angle))));
            int y = static_cast<int>(
                std::lround(700 + pitch * (c.column * std::sin(angle) + c.row * std::cos(angle))));
            simulator.setHeadPosition({x, y});
            EXPECT_EQ(simulator.patchUnderHead(), c.patch) << c.patch << " rotation " << rotation;
            auto position = simulator.patchPosition(c.patch);
            ASSERT_TRUE(position);
            EXPECT_NEAR(position->x, x, 1);
            EXPECT_NEAR(position->y, y, 1);
        }
    }
}

TEST(SimChart, PaperBetweenPatchesAndTheEndCellIsEmpty)
{
    ltsim::Simulator simulator(optionsFor(DeviceKind::LumatrakA));
    simulator.placeChart(placement(ChartKind::It8, 1000, 1000, 65, 0));
    simulator.setHeadPosition({1000 + 12 * 65 + 32, 1000 + 18 * 65}); // half a pitch beside "00A1"
    EXPECT_EQ(simulator.patchUnderHead(), "");
    simulator.setHeadPosition({1000 + 13 * 65, 1000 + 16 * 65}); // the end cell holds no patch
    EXPECT_EQ(simulator.patchUnderHead(), "");
    EXPECT_FALSE(simulator.patchPosition("27A1"));
}

TEST(SimChart, MeasurementOnTheTableReturnsThePatchUnderTheHead)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakA));
    sim.simulator->placeChart(placement(ChartKind::TqCmyk, 1000, 1000, 100, 0.5));
    sim.simulator->setSample("K100"); // what lies on the table beside the chart
    auto measureDensities = [&](TablePosition at) {
        sim.line->exchange(moveRequest(at.x, at.y), 9);
        sim.line->exchange(";20\r\n", 7);
        return sim.line->exchange(";BC09\r\n", 55);
    };
    // "B05" is cyan 100 %: its cyan density leads.
    std::string cyan = measureDensities(*sim.simulator->patchPosition("B05"));
    EXPECT_GT(wireFloat(cyan, 13), 1.2f);
    EXPECT_LT(wireFloat(cyan, 21), 0.8f);
    // Between two patches: the chart's paper.
    TablePosition b05 = *sim.simulator->patchPosition("B05");
    std::string paper = measureDensities({b05.x + 50, b05.y});
    EXPECT_LT(wireFloat(paper, 13), 0.12f);
    // Far from the chart: the sample on the table.
    std::string black = measureDensities({5000, 4000});
    EXPECT_GT(wireFloat(black, 5), 1.6f);
}
