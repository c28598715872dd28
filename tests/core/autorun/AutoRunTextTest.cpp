// The words of the automatic run's progress line and summary.
#include <gtest/gtest.h>

#include "core/autorun/AutoRunText.h"

namespace lt {
namespace {

TEST(AutoRunText, ProgressAndSummaryReadAsTheOperatorExpects)
{
    struct ProgressCase {
        AutoRunProgress progress;
        const char* text;
    };
    const ProgressCase progressCases[] = {
        {{0, 928, "00A1", true, -1}, "Patch 1 of 928: 00A1"},
        {{300, 928, "04B5", true, 725}, "Patch 301 of 928: 04B5, about 12 min 5 s left"},
        {{12, 928, "00A13", false, -1}, "Patch 13 of 928: 00A13 (measured before, skipped)"},
        {{134, 135, "I15", true, 0}, "Patch 135 of 135: I15, about 0 s left"},
    };
    for (const ProgressCase& c : progressCases)
        EXPECT_EQ(progressText(c.progress), c.text);

    struct SummaryCase {
        AutoRunSummary summary;
        const char* text;
    };
    const SummaryCase summaryCases[] = {
        {{AutoRunEnd::Finished, 928, 0, 3725.4},
            "Run finished: 928 patches measured, 0 retries, 1 h 2 min."},
        {{AutoRunEnd::Cancelled, 1, 1, 59.6},
            "Run cancelled: 1 patch measured, 1 retry, 1 min 0 s."},
        {{AutoRunEnd::MeasurementFailed, 3, 2, 4.0},
            "Run ended on a failing patch: 3 patches measured, 2 retries, 4 s."},
        {{AutoRunEnd::AlignmentCancelled, 0, 0, 9.0}, "Alignment cancelled: nothing was measured."},
        {{AutoRunEnd::NotStarted, 0, 0, 0.0}, ""},
    };
    for (const SummaryCase& c : summaryCases)
        EXPECT_EQ(summaryText(c.summary), c.text);
}

} // namespace
} // namespace lt
