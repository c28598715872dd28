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
        void (ChartAlignment::*setButtons[])() = {
            &ChartAlignment::setP1, &ChartAlignment::setP2, &ChartAlignment::setP3};
        for (int corner = 0; corner < 3; ++corner) {
            sim.setHeadPosition(*sim.patchPosition(geometry.corners[corner]));
            (alignment.*setButtons[corner])();
        }
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
