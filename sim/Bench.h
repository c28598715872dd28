// The physical surroundings of the instrument: the sample under the head, the
// XY table with its chart, the measurement key and the noise of the optics.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "SampleLibrary.h"
#include "ltsim/Simulator.h"

namespace ltsim {

struct Bench {
    SampleLibrary samples;
    std::string sampleName = "paper";
    ChartPlacement chart;
    TablePosition head {0, 0};
    TableTravel travel;
    bool headDown = false;
    bool keyPressed = false; // pressed and not yet reported by a key query
    double noise = 0.0;
    std::mt19937 random {1};

    // What the head sees: on a table device over the chart the patch or the
    // paper between patches; otherwise the named sample.
    SpectralCurve remissionUnderHead(bool onTable) const;

    // Patch under the head ("" for paper or no chart) and its index; -1 for none.
    int patchIndexUnderHead() const;

    // Adds the optics' noise (standard deviation `noise`) to every sample.
    SpectralCurve withNoise(const SpectralCurve& curve);
};

} // namespace ltsim
