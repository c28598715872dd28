#include "core/autorun/ChartAlignment.h"

#include <cmath>

#include "core/station/Operator.h"
#include "instrument/include/LtRecordCodes.h"

namespace lt {
namespace {

constexpr const char* kOutOfRange = "Next Point out of Range";
constexpr const char* kAlignAgain = "Please align chart again !";
constexpr const char* kWrongCoordinates = "Wrong Initialization Coordinates !";
constexpr const char* kDialogCaption = "InitAuto";

constexpr unsigned kFlagP1 = 1, kFlagP2 = 2, kFlagP3 = 4, kAllFlags = 7;

std::uint16_t sixteenBits(long value)
{
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

} // namespace

AlignmentGeometry alignmentGeometry(AlignmentChart chart)
{
    switch (chart) {
    case AlignmentChart::TqCmyk:
        return {13, 14, 2410, 1110, 1400, {"A15", "N15", "N01"}};
    case AlignmentChart::TqRgb:
        return {8, 14, 2410, 1610, 1400, {"A15", "I15", "I01"}};
    case AlignmentChart::It873:
        break;
    }
    return {37, 25, 2410, 0, 1628, {"13A1", "12F6", "00N13"}};
}

XYPosition patchTarget(const XYPosition& p1, const GridSteps& steps, double u, double v)
{
    const long x = p1.x + static_cast<long>(std::trunc(u * steps.columnStepX)) +
        static_cast<long>(std::trunc(v * steps.rowStepX));
    const long y = p1.y + static_cast<long>(std::trunc(v * steps.rowStepY)) +
        static_cast<long>(std::trunc(u * steps.columnStepY));
    return {sixteenBits(x), sixteenBits(y)};
}

std::optional<GridSteps> gridSteps(
    AlignmentChart chart, const XYPosition& p1, const XYPosition& p2, const XYPosition& p3)
{
    const int rise = static_cast<int>(p2.y) - static_cast<int>(p1.y);
    if (rise > kLargestP1P2Rise)
        return std::nullopt;
    const AlignmentGeometry geometry = alignmentGeometry(chart);
    GridSteps steps;
    steps.columnStepX =
        static_cast<double>(static_cast<int>(p2.x) - static_cast<int>(p1.x)) / geometry.columnsToP2;
    steps.columnStepY = static_cast<double>(rise) / geometry.columnsToP2;
    steps.rowStepX =
        static_cast<double>(static_cast<int>(p3.x) - static_cast<int>(p2.x)) / geometry.rowsToP3;
    steps.rowStepY =
        static_cast<double>(static_cast<int>(p3.y) - static_cast<int>(p2.y)) / geometry.rowsToP3;
    return steps;
}

ChartAlignment::ChartAlignment(AlignmentChart chart, TableOperation table, Operator& op)
    : chart(chart), table(std::move(table)), op(op)
{
}

XYPosition ChartAlignment::readHead()
{
    XYPosition position;
    table(kXyReadPosition, &position);
    return position;
}

void ChartAlignment::move(int operation, XYPosition target)
{
    table(operation, &target);
}

void ChartAlignment::setP1()
{
    if (alignStep == 0)
        corner[0] = readHead();
    table(kXySendD010, nullptr);
    const AlignmentGeometry geometry = alignmentGeometry(chart);
    // Towards P2; a refused move is tried 200 units shorter, down to a
    // shortest pre-move below which the operator steers alone.
    for (int offset = geometry.firstPreMoveX; offset >= kShortestPreMove;
         offset -= kPreMoveShortening) {
        XYPosition target {
            sixteenBits(corner[0].x + offset - geometry.p2PreMoveXOffset), corner[0].y};
        if (table(kXyMoveChecked, &target) < kOffTableStatus)
            break;
        op.showMessage(kOutOfRange, "", MessageButtons::Ok, MessageIcon::None);
    }
    table(kXySendD011, nullptr);
    alignFlags |= kFlagP1;
    alignStep = 1;
}

void ChartAlignment::setP2()
{
    if (alignStep == 1)
        corner[1] = readHead();
    table(kXySendD010, nullptr);
    const AlignmentGeometry geometry = alignmentGeometry(chart);
    XYPosition target {corner[1].x, sixteenBits(corner[1].y + geometry.preMoveY)};
    // The same target again as long as the operator asks for it; Cancel
    // leaves the head where it is.
    while (table(kXyMove, &target) >= kOffTableStatus) {
        if (op.showMessage(kOutOfRange, "", MessageButtons::OkCancel, MessageIcon::None) !=
            MessageAnswer::Ok)
            break;
    }
    table(kXySendD011, nullptr);
    alignFlags |= kFlagP2;
    alignStep = 2;
}

void ChartAlignment::setP3()
{
    if (alignStep == 2)
        corner[2] = readHead();
    move(kXyMovePatch, corner[0]);
    table(kXySendD010, nullptr);
    alignFlags |= kFlagP3;
    alignStep = 3;
}

bool ChartAlignment::start()
{
    if (alignFlags == kAllFlags) {
        if (std::optional<GridSteps> steps = gridSteps(chart, corner[0], corner[1], corner[2])) {
            gridStepsFound = *steps;
        } else {
            alignFlags = 0;
            op.showMessage(kAlignAgain, "", MessageButtons::Ok, MessageIcon::None);
        }
    }
    if (alignFlags != kAllFlags) {
        alignFlags = 0;
        op.showMessage(kWrongCoordinates, kDialogCaption, MessageButtons::Ok, MessageIcon::None);
        return false;
    }
    return true;
}

} // namespace lt
