#include "core/qc/QcJudgement.h"

#include <algorithm>
#include <cmath>

namespace lt {

namespace {

// Farther than this from every entry, nothing matches (the squared
// CIE 1976 distance 200000 of the nearest-entry search; no other formula
// comes near it for real colours).
const double kNoMatchDistance = std::sqrt(200000.0);

} // namespace

double qcColorDifference(const Lab& sample, const Lab& reference, DeltaEFormula formula)
{
    return deltaE(formula, reference, sample);
}

void judgeReading(const QcSet& set, QcRun& run, const Lab& reading, DeltaEFormula formula)
{
    const double k = run.reading;
    for (int i = 0; i < 3; ++i)
        run.means[i] = ((k - 1) * run.means[i] + reading[i]) / k;
    // The reading's distance from the group's mean, the mean as reference.
    const double distance = qcColorDifference(reading, run.means, formula);
    run.spread = ((k - 1) * run.spread + distance) / k;

    run.match = 0;
    run.deltaA = 0;
    run.deltaB = 0;
    if (set.entryCount < 1) {
        run.status = QcStatus::None;
        run.color = kQcWhite;
        return;
    }

    double best = kNoMatchDistance;
    const QcEntry* nearest = nullptr;
    for (int number = 1; number <= set.entryCount; ++number) {
        const QcEntry& candidate = set.entries[number - 1];
        const double difference = qcColorDifference(run.means, candidate.lab, formula);
        if (difference < best) { // ties keep the earlier entry
            best = difference;
            nearest = &candidate;
            run.match = number;
        }
    }
    if (!nearest) {
        run.status = QcStatus::None;
        run.color = kQcWhite;
        return;
    }
    run.deltaE = best;
    run.deltaL = run.means[0] - nearest->lab[0];
    run.deltaA = run.means[1] - nearest->lab[1];
    run.deltaB = run.means[2] - nearest->lab[2];

    const bool light = run.deltaL >= 0;
    const double deltaETolerance =
        std::fabs(nearest->tolerance(light ? QcTolerance::DeltaELight : QcTolerance::DeltaEDark));
    const double deltaLTolerance =
        std::fabs(nearest->tolerance(light ? QcTolerance::DeltaLLight : QcTolerance::DeltaLDark));
    if (run.deltaE >= deltaETolerance)
        run.status = QcStatus::NotOk;
    else if (std::fabs(run.deltaL) >= deltaLTolerance)
        run.status = QcStatus::LightnessOut;
    else
        run.status = QcStatus::Ok;
    // A dE tolerance of 0 means none is set: judged, but no colour shown.
    run.color = deltaETolerance == 0.0 ? kQcWhite : qcStatusColor(run.status);
}

QcGroupOutcome finishReading(QcSet& set, QcRun& run, long long averageRead)
{
    if (averageRead != set.averageCount)
        run.reading = 1;
    set.averageCount =
        static_cast<int>(std::clamp<long long>(averageRead, kQcMinAverage, kQcMaxAverage));

    QcGroupOutcome outcome;
    outcome.averageCount = set.averageCount;
    outcome.spread = run.spread;
    if (run.reading == set.averageCount) {
        outcome.complete = true;
        outcome.means = run.means;
        run.reading = 1;
        run.means = {};
        run.spread = 0;
    } else {
        ++run.reading;
    }
    return outcome;
}

} // namespace lt
