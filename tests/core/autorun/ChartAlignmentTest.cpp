// The chart's alignment on the XY table: the steps from three corners, the
// patch targets, the moves between the corners and every refusal, against a
// table that answers from a script.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "common/ScriptedOperator.h"
#include "core/autorun/ChartAlignment.h"
#include "instrument/include/LtRecordCodes.h"

namespace lt {
namespace {

// A table whose head stands where the script says and whose moves are
// refused as long as refusals remain.
struct FakeTable {
    std::deque<XYPosition> headPositions;
    int refusals = 0;
    std::vector<std::pair<int, XYPosition>> calls;

    unsigned long operator()(int operation, void* data)
    {
        XYPosition position = data ? *static_cast<XYPosition*>(data) : XYPosition {};
        if (operation == kXyReadPosition) {
            position = headPositions.front();
            headPositions.pop_front();
            *static_cast<XYPosition*>(data) = position;
        }
        calls.emplace_back(operation, position);
        if ((operation == kXyMoveChecked || operation == kXyMove) && refusals > 0) {
            --refusals;
            return kOffTableStatus;
        }
        return 0;
    }
};

TEST(ChartAlignment, ThreeCornersGiveTheGridAndEveryPatchItsTarget)
{
    FakeTable table;
    table.headPositions = {{1000, 1000}, {3409, 1010}, {3399, 2635}};
    testing::ScriptedOperator op;
    ChartAlignment alignment(AlignmentChart::It873, std::ref(table), op);
    alignment.setP1();
    alignment.setP2();
    alignment.setP3();
    ASSERT_TRUE(alignment.start());
    EXPECT_TRUE(op.messages.empty());
    const GridSteps& steps = alignment.steps();
    EXPECT_DOUBLE_EQ(steps.columnStepX, 2409.0 / 37.0);
    EXPECT_DOUBLE_EQ(steps.columnStepY, 10.0 / 37.0);
    EXPECT_DOUBLE_EQ(steps.rowStepX, -0.4);
    EXPECT_DOUBLE_EQ(steps.rowStepY, 65.0);
    // "00A1" lies in grid column 12, row 18.
    EXPECT_EQ(patchTarget(alignment.p1(), steps, 12, 18), (XYPosition {1774, 2173}));

    // The moves between the corners, in their order: 8, the pre-move towards
    // P2, 9; 8, the pre-move towards P3, 9; back to P1, 8.
    std::vector<int> operations;
    for (const auto& [operation, position] : table.calls)
        operations.push_back(operation);
    EXPECT_EQ(operations, (std::vector<int> {3, 8, 1, 9, 3, 8, 2, 9, 3, 5, 8}));
    EXPECT_EQ(table.calls[2].second, (XYPosition {3410, 1000}));
    EXPECT_EQ(table.calls[6].second, (XYPosition {3409, 2638}));
    EXPECT_EQ(table.calls[9].second, (XYPosition {1000, 1000}));
}

TEST(ChartAlignment, TheRiseOfTheFirstRowAndMissingCornersAreRefused)
{
    for (int rise : {300, 301, -2000}) {
        FakeTable table;
        table.headPositions = {
            {1000, 5000}, {2300, static_cast<std::uint16_t>(5000 + rise)}, {2300, 6400}};
        testing::ScriptedOperator op;
        ChartAlignment alignment(AlignmentChart::TqCmyk, std::ref(table), op);
        alignment.setP1();
        alignment.setP2();
        alignment.setP3();
        EXPECT_EQ(alignment.start(), rise <= 300) << rise;
        if (rise > 300) {
            ASSERT_EQ(op.messages.size(), 2u);
            EXPECT_EQ(op.messages[0].text, "Please align chart again !");
            EXPECT_EQ(op.messages[1].text, "Wrong Initialization Coordinates !");
            EXPECT_EQ(op.messages[1].caption, "InitAuto");
            EXPECT_EQ(alignment.flags(), 0u);
        }
    }

    FakeTable table;
    table.headPositions = {{1000, 1000}, {2300, 1000}};
    testing::ScriptedOperator op;
    ChartAlignment alignment(AlignmentChart::TqRgb, std::ref(table), op);
    alignment.setP1();
    alignment.setP1(); // the second press repeats the pre-move but keeps P1
    EXPECT_EQ(table.headPositions.size(), 1u);
    alignment.setP2();
    EXPECT_FALSE(alignment.start());
    EXPECT_EQ(op.messages.back().text, "Wrong Initialization Coordinates !");
    EXPECT_EQ(alignment.flags(), 0u);
}

TEST(ChartAlignment, NoOperatorIsKeptInARefusedPreMove)
{
    FakeTable table;
    table.headPositions = {{60000, 1000}, {61000, 1000}};
    table.refusals = 1000; // the table refuses every move
    testing::ScriptedOperator op;
    ChartAlignment alignment(AlignmentChart::It873, std::ref(table), op);
    alignment.setP1();
    // 2410, 2210, ... 210: twelve tries, then the operator steers alone.
    EXPECT_EQ(op.messages.size(), 12u);
    EXPECT_EQ(alignment.step(), 1);

    op.messages.clear();
    op.messageAnswer = MessageAnswer::Cancel; // "Next Point out of Range": Cancel
    alignment.setP2();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Next Point out of Range");
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(alignment.step(), 2);
}

} // namespace
} // namespace lt
