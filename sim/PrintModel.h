// Offset print on coated paper: paper white, the four process inks and their
// halftones, by a spectral Yule-Nielsen modified Neugebauer model.
#pragma once

#include "SpectralCurve.h"
#include "ltsim/Simulator.h"

namespace ltsim {

// Ink coverage in per cent of the four process inks.
struct InkCoverage {
    double cyan = 0.0, magenta = 0.0, yellow = 0.0, black = 0.0; // [%]
};

class PrintModel {
public:
    // Mechanical dot gain at 50 % coverage, spread over the tone scale as
    // 4a(1 - a), so paper and solids stay as they are.
    explicit PrintModel(double dotGainAtHalf = kStandardDotGain);

    double dotGain() const { return dotGain_; } // [% at 50 %]

    const SpectralCurve& paper() const { return paper_; }

    // Remission of a halftone print of the given coverages.
    SpectralCurve print(const InkCoverage& coverage) const;

    // Remission of a solid ink film of the given single-pass transmittance on the paper.
    SpectralCurve solidOnPaper(const SpectralCurve& inkTransmittanceSquared) const;

    // The ink film seen in transmission (the print without its paper).
    SpectralCurve filmTransmittance(const SpectralCurve& remission) const;

private:
    // Effective dot area [0, 1] of a nominal coverage [%] after dot gain.
    double effectiveArea(double percent) const;

    double dotGain_;
    SpectralCurve paper_;
    // Double-pass transmittance of each ink film (cyan, magenta, yellow, black).
    SpectralCurve inkFilm_[4];
    // Remission of the 16 Neugebauer primaries, indexed by a bit set of inks (1 C, 2 M, 4 Y, 8 K).
    SpectralCurve primaries_[16];
};

} // namespace ltsim
