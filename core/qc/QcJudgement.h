#pragma once
// How a reading is judged against a quality-control set: the running means
// of a group of readings and their spread (dEA), the nearest reference
// entry, and the verdict against that entry's light or dark tolerances.
// The match is made on every reading against the running mean, so the
// displays follow each reading; only a complete group may be logged.
#include "core/qc/QcSet.h"

namespace lt {

// The colour difference between a sample and a reference by the operator's
// formula (CIE 1976 unless another was chosen). Every colour difference of
// the judgement, the nearest-entry search and dEA included, goes through
// this one function.
double qcColorDifference(
    const Lab& sample, const Lab& reference, DeltaEFormula formula = DeltaEFormula::Cie76);

// The running state of the judgement.
struct QcRun {
    int reading = 1; // k: the reading's place in its group, 1-based
    Lab means {}; // running means of L*, a*, b* over the group
    double spread = 0; // dEA: running mean of each reading's distance from the mean
    int match = 0; // number of the nearest entry, 0 = none
    double deltaE = 0, deltaL = 0, deltaA = 0, deltaB = 0;
    QcStatus status = QcStatus::None;
    QcRgb color = kQcWhite; // status colour, white where no tolerance is set
};

// The group's state after a reading, as the page shows it.
struct QcGroupOutcome {
    bool complete = false; // the group is complete: its means may be logged
    Lab means {}; // of the complete group
    double spread = 0; // dEA shown
    int averageCount = kQcMinAverage; // MN in use, for the "Average:" field
};

// Steps of one reading: means and dEA updated, the nearest entry matched and
// judged, every colour difference by formula. A list without entries leaves
// no match and a white status.
void judgeReading(
    const QcSet& set, QcRun& run, const Lab& reading, DeltaEFormula formula = DeltaEFormula::Cie76);

// The group bookkeeping after judgeReading: averageRead is the number in
// the "Average:" field. When it differs from set.averageCount a new group
// starts (the reading's place becomes 1, the means stay); the count in use
// is limited to 1..10 and stored in the set. A complete group resets the
// running means and dEA.
QcGroupOutcome finishReading(QcSet& set, QcRun& run, long long averageRead);

} // namespace lt
