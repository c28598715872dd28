// The samples that can lie under the measuring head, by name: paper, the
// white and black references, process-ink prints of any coverage and a few
// spot colours.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PrintModel.h"
#include "SpectralCurve.h"

namespace ltsim {

class SampleLibrary {
public:
    // Prints come from a press with this dot gain at 50 % [percentage points].
    explicit SampleLibrary(double dotGain = kStandardDotGain);

    // The named samples offered to the operator, in a sensible order.
    static std::vector<std::string> names();

    // Remission of a sample: a library name (case-insensitive) or an ink
    // combination such as "C50M40Y40" or "K20" (each ink at most once, 0 ... 100 %).
    std::optional<SpectralCurve> remission(std::string_view name) const;

    const PrintModel& printModel() const { return print_; }

    // Parses an ink combination; nullopt when the name is none.
    static std::optional<InkCoverage> parseCoverage(std::string_view name);

private:
    PrintModel print_;
};

} // namespace ltsim
