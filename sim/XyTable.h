// The XY table that carries the measuring head over the chart.
#pragma once

#include "Bench.h"

namespace ltsim {

class XyTable {
public:
    explicit XyTable(Bench& bench) : bench_(bench) { }

    // Moves refused outside the table's travel leave the head where it is.
    bool moveTo(int x, int y);
    bool moveBy(int dx, int dy);
    void home() { moveTo(0, 0); }
    void toWhiteTile() { moveTo(kWhiteTileX, kWhiteTileY); }
    void lift() { bench_.headDown = false; }
    void lower() { bench_.headDown = true; }

    // Duration of the last move at the table's speed.
    unsigned lastMoveMs() const { return lastMoveMs_; }

    static bool withinTravel(int x, int y)
    {
        return x >= 0 && y >= 0 && x <= kTableMaxX && y <= kTableMaxY;
    }

    // The white calibration tile sits in a corner of the table.
    static constexpr int kWhiteTileX = kTableMaxX - 100; // [table units]
    static constexpr int kWhiteTileY = 100; // [table units]

private:
    Bench& bench_;
    unsigned lastMoveMs_ = 0;
};

} // namespace ltsim
