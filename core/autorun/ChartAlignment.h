#pragma once
// Teaching the XY table where a chart lies: the operator steers the head over
// three corner patches (P1 at table-grid column 0, row 0; P2 at column Su,
// row 0; P3 at column Su, row Sv) and the table's position is read at each.
// From them follow one step vector per grid column and one per grid row, an
// affine map that carries a small turn of the chart. Between the points the
// head is moved close to where the next corner should be, so that the
// operator only corrects it.
#include <cstdint>
#include <functional>
#include <optional>

namespace lt {

class Operator;

// A table position in table units, X then Y.
struct XYPosition {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    bool operator==(const XYPosition&) const = default;
};

// The alignment codes and the corners of each chart.
enum class AlignmentChart : std::int32_t { It873 = 1, TqCmyk = 2, TqRgb = 3 };

struct AlignmentGeometry {
    int columnsToP2; // Su: grid columns from P1 to P2
    int rowsToP3; // Sv: grid rows from P2 to P3
    int firstPreMoveX; // pre-move towards P2 [table units], before the chart's own offset
    int p2PreMoveXOffset; // subtracted from the pre-move towards P2
    int preMoveY; // pre-move from P2 towards P3
    const char* corners[3]; // the names of the patches P1, P2, P3
};

AlignmentGeometry alignmentGeometry(AlignmentChart chart);

struct GridSteps {
    double columnStepX = 0.0;
    double columnStepY = 0.0;
    double rowStepX = 0.0;
    double rowStepY = 0.0;
};

inline constexpr int kLargestP1P2Rise = 300; // [table units] P2.Y - P1.Y above this: align again
inline constexpr int kPreMoveShortening = 200; // [table units] per refused pre-move after P1
// The pre-move after P1 stops shrinking here; the operator then steers alone.
inline constexpr int kShortestPreMove = 200; // [table units]
inline constexpr unsigned long kOffTableStatus = 10100; // a move's answer: off the table

// The table position of the patch at table-grid column u, row v: each
// product truncated towards zero on its own, the sums 16-bit.
XYPosition patchTarget(const XYPosition& p1, const GridSteps& steps, double u, double v);

// The steps from the three corners; nothing when P2 rises more than 300
// units above P1 (the chart lies too crooked to be measured).
std::optional<GridSteps> gridSteps(
    AlignmentChart chart, const XYPosition& p1, const XYPosition& p2, const XYPosition& p3);

// The InitAuto dialog's logic. table(op, data) is the library's table
// operation; the operator's messages go through op.
class ChartAlignment {
public:
    using TableOperation = std::function<unsigned long(int operation, void* data)>;

    ChartAlignment(AlignmentChart chart, TableOperation table, Operator& op);

    void setP1();
    void setP2();
    void setP3();
    // "Start": true when the alignment is accepted (steps() holds it); false
    // after "Wrong Initialization Coordinates !" (all three points anew).
    bool start();

    AlignmentChart chartCode() const { return chart; }
    const GridSteps& steps() const { return gridStepsFound; }
    XYPosition p1() const { return corner[0]; }
    XYPosition p2() const { return corner[1]; }
    XYPosition p3() const { return corner[2]; }
    int step() const { return alignStep; }
    unsigned flags() const { return alignFlags; }

private:
    XYPosition readHead();
    void move(int operation, XYPosition target);

    AlignmentChart chart;
    TableOperation table;
    Operator& op;
    XYPosition corner[3];
    int alignStep = 0; // 0 nothing, 1 P1, 2 P2, 3 P3 taken
    unsigned alignFlags = 0; // 1 P1, 2 P2, 4 P3
    GridSteps gridStepsFound;
};

} // namespace lt
