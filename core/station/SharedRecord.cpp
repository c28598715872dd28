#include "core/station/SharedRecord.h"

#include "core/settings/SettingsKeys.h"

namespace lt {

namespace {
constexpr float kNeutralSlope = 1.0f;
constexpr float kMurrayDaviesFactor = 1.0f;
} // namespace

SharedRecord::SharedRecord()
{
    measurement.Spectrum = measurementSpectrum.data();
    calibration.Spectrum = calibrationSpectrum.data();
    // Until the settings are read the densitometer works with neutral
    // parameters: slopes 1, Murray-Davies, and the settings' default types.
    for (int index : {slot::kSlopeBlack, slot::kSlopeCyan, slot::kSlopeMagenta, slot::kSlopeYellow,
             slot::kSlopeSpot})
        densityParameters.setReal(index, kNeutralSlope);
    for (int index = slot::kYuleNielsenFirst; index <= slot::kYuleNielsenSpot; ++index)
        densityParameters.setReal(index, kMurrayDaviesFactor);
    densityParameters.setInteger(slot::kFilterType, keys::kFilterType.defaultValue);
    densityParameters.setInteger(slot::kIllumType, keys::kIllumType.defaultValue);
    densityParameters.setInteger(slot::kObserverType, keys::kObserverType.defaultValue);
}

DensityParameterBlock SharedRecord::densityParameterSnapshot() const
{
    std::lock_guard lock(parameterMutex);
    return densityParameters;
}

void SharedRecord::mergeDensityParameters(
    const DensityParameterBlock& before, const DensityParameterBlock& after)
{
    std::lock_guard lock(parameterMutex);
    for (std::size_t slot = 0; slot < after.words.size(); ++slot)
        if (after.words[slot] != before.words[slot])
            densityParameters.words[slot] = after.words[slot];
}

GraphSample SharedRecord::latestGraph() const
{
    std::lock_guard lock(graphMutex);
    return graph;
}

void SharedRecord::publishGraph(const GraphSample& sample)
{
    std::lock_guard lock(graphMutex);
    graph = sample;
}

void SharedRecord::resetForColorMetricsPage()
{
    rowCounter = 0;
    paperWhiteState = PaperWhiteAbsolute;
    processSolidRequest = 0;
    spotSolidState = SpotSolidNone;
    chart.active = false;
    chart.currentPatch = 0;
    chart.previousPatch = 0;
    changeDensityParameters([](DensityParameterBlock& block) {
        for (int color = Cyan; color <= Black; ++color) {
            block.setReal(slot::paperWhite(static_cast<ProcessColor>(color)), 0.0f);
            block.setReal(slot::solid(static_cast<ProcessColor>(color)), 0.0f);
        }
    });
    spotColors.newEntryRequested = false;
}

} // namespace lt
