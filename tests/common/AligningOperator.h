#pragma once
// The operator at a simulated XY table: for the InitAuto dialog it steers
// the head over each corner patch, presses its Set button, then Start (or
// Cancel when told to). An "OK" to a message also clears the simulator's
// faults, as an operator who fixed the cable would.
#include "common/ScriptedOperator.h"
#include "core/autorun/ChartAlignment.h"
#include "ltsim/Simulator.h"

namespace lt::testing {

class AligningOperator : public ScriptedOperator {
public:
    explicit AligningOperator(ltsim::Simulator& simulator) : sim(simulator) { }

    bool alignChart(ChartAlignment& alignment) override
    {
        ++alignments;
        if (!alignmentAccepted)
            return false;
        const AlignmentGeometry geometry = alignmentGeometry(alignment.chartCode());
        // One Set button per corner (indexing an array of member-function
        // pointers trips g++'s bounds sanitizer, so the corners are spelt out).
        auto setCorner = [&](int corner, void (ChartAlignment::*set)()) {
            sim.setHeadPosition(*sim.patchPosition(geometry.corners[corner]));
            (alignment.*set)();
        };
        setCorner(0, &ChartAlignment::setP1);
        setCorner(1, &ChartAlignment::setP2);
        setCorner(2, &ChartAlignment::setP3);
        return alignment.start();
    }

    MessageAnswer showMessage(const std::string& text, const std::string& caption,
        MessageButtons buttons, MessageIcon icon) override
    {
        const MessageAnswer answer = ScriptedOperator::showMessage(text, caption, buttons, icon);
        if (answer == MessageAnswer::Ok)
            sim.clearFaults();
        return answer;
    }

    ltsim::Simulator& sim;
    bool alignmentAccepted = true;
    int alignments = 0;
};

} // namespace lt::testing
