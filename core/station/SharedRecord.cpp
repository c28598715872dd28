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

void SharedRecord::resetForColorMetricsPage()
{
    rowCounter = 0;
    paperWhiteState = PaperWhiteAbsolute;
    processSolidRequest = 0;
    spotSolidState = SpotSolidNone;
    chart.active = false;
    chart.currentPatch = 0;
    chart.previousPatch = 0;
    for (int color = Cyan; color <= Black; ++color) {
        densityParameters.setReal(slot::paperWhite(static_cast<ProcessColor>(color)), 0.0f);
        densityParameters.setReal(slot::solid(static_cast<ProcessColor>(color)), 0.0f);
    }
    spotColors.newEntryRequested = false;
}

} // namespace lt
