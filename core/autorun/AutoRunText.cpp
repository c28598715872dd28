#include "core/autorun/AutoRunText.h"

#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

std::string counted(int count, const char* one, const char* many)
{
    return formatInteger(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string durationText(int seconds)
{
    if (seconds < 0)
        seconds = 0;
    if (seconds >= kSecondsPerHour)
        return formatInteger(seconds / kSecondsPerHour) + " h " +
            formatInteger(seconds % kSecondsPerHour / kSecondsPerMinute) + " min";
    if (seconds >= kSecondsPerMinute)
        return formatInteger(seconds / kSecondsPerMinute) + " min " +
            formatInteger(seconds % kSecondsPerMinute) + " s";
    return formatInteger(seconds) + " s";
}

std::string progressText(const AutoRunProgress& progress)
{
    std::string text = "Patch " + formatInteger(progress.patch + 1) + " of " +
        formatInteger(progress.patchCount) + ": " + progress.name;
    if (!progress.measuring)
        return text + " (measured before, skipped)";
    if (progress.secondsLeft >= 0)
        text += ", about " + durationText(progress.secondsLeft) + " left";
    return text;
}

std::string summaryText(const AutoRunSummary& summary)
{
    const char* how = "";
    switch (summary.end) {
    case AutoRunEnd::Finished:
        how = "Run finished";
        break;
    case AutoRunEnd::Cancelled:
        how = "Run cancelled";
        break;
    case AutoRunEnd::MeasurementFailed:
        how = "Run ended on a failing patch";
        break;
    case AutoRunEnd::AlignmentCancelled:
        return "Alignment cancelled: nothing was measured.";
    case AutoRunEnd::NotStarted:
        return {};
    }
    return std::string(how) + ": " + counted(summary.measured, "patch", "patches") + " measured, " +
        counted(summary.retries, "retry", "retries") + ", " +
        durationText(static_cast<int>(summary.seconds + 0.5)) + ".";
}

} // namespace lt
