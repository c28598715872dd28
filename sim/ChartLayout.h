// The test charts as they lie on the XY table: every patch with its name, its
// cell in the table grid and its nominal ink values.
#pragma once

#include <string>
#include <vector>

#include "PrintModel.h"
#include "ltsim/Simulator.h"

namespace ltsim {

struct ChartPatch {
    std::string name; // "00A1", "A01"
    int gridColumn = 0; // table-grid column u
    int gridRow = 0; // table-grid row v
    InkCoverage coverage; // printed ink values (the RGB chart's values converted to CMY)
};

// Patches in chart order (the order of the patch index).
const std::vector<ChartPatch>& chartPatches(ChartKind kind);

// A table position in the chart's grid coordinates (cell centres at whole numbers).
struct GridPoint {
    double column = 0.0, row = 0.0;
};
GridPoint gridPointOf(const ChartPlacement& placement, TablePosition position);
// Table position of a cell centre, rounded to whole table units.
TablePosition tablePositionOf(const ChartPlacement& placement, int column, int row);

// Size of the chart's table grid.
int chartGridColumns(ChartKind kind);
int chartGridRows(ChartKind kind);

} // namespace ltsim
