#include "core/qc/QcLogSummary.h"

#include <algorithm>

#include "core/common/NumberText.h"

namespace lt {

QcLogSummary summariseLog(const QcSet& set)
{
    QcLogSummary summary;
    double sum = 0;
    for (int i = 0; i < set.matchCount; ++i) {
        const QcMatch& match = set.matches[i];
        ++summary.matches;
        switch (match.status) {
        case QcStatus::Ok:
            ++summary.withinTolerance;
            break;
        case QcStatus::LightnessOut:
            ++summary.lightnessOut;
            break;
        case QcStatus::NotOk:
            ++summary.colorOut;
            break;
        case QcStatus::None:
            ++summary.notJudged;
            break;
        }
        sum += match.deltaE;
        summary.largestDeltaE =
            i == 0 ? match.deltaE : std::max(summary.largestDeltaE, match.deltaE);
    }
    if (summary.matches > 0)
        summary.meanDeltaE = sum / summary.matches;
    return summary;
}

std::vector<std::string> qcLogSummaryLines(const QcLogSummary& summary)
{
    if (summary.matches == 0)
        return {"Summary of the log: no matches logged"};
    return {"Summary of the log: " + formatInteger(summary.matches) + " matches, " +
            formatInteger(summary.withinTolerance) + " within tolerance, " +
            formatInteger(summary.lightnessOut) + " lightness out, " +
            formatInteger(summary.colorOut) + " colour out, " + formatInteger(summary.notJudged) +
            " not judged",
        "dE of the matches: mean " + formatFixed(summary.meanDeltaE, 2) + ", largest " +
            formatFixed(summary.largestDeltaE, 2)};
}

} // namespace lt
