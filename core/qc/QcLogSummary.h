#pragma once
// The summary of a set's match log that ends a printout: how many samples
// were logged, how many were within tolerance, out in lightness, out in
// colour or not judged, and their mean and largest colour difference.
#include <string>
#include <vector>

#include "core/qc/QcSet.h"

namespace lt {

struct QcLogSummary {
    int matches = 0;
    int withinTolerance = 0; // "Y"
    int lightnessOut = 0; // "L"
    int colorOut = 0; // "N"
    int notJudged = 0; // "-"
    double meanDeltaE = 0;
    double largestDeltaE = 0;
};

QcLogSummary summariseLog(const QcSet& set);

// The summary as lines of text.
std::vector<std::string> qcLogSummaryLines(const QcLogSummary& summary);

} // namespace lt
