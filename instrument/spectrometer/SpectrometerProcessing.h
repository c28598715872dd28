#pragma once
// Turning one received acquisition of the array spectrometer into corrected
// counts, dark and white references, reflectance or density per pixel and
// the colour values of the Aquire record.

#include <cstdint>

#include "instrument/include/LtRecordCodes.h"
#include "instrument/spectrometer/SpectrometerState.h"

namespace lt {

// The byte sent to the spectrometer for a command.
std::uint8_t acquisitionByteFor(unsigned char command);

// Integration time [ms] of a parameter code 1..9, 0 for other codes. The
// fixed pause of SpecAquire uses the rounded long times (5200, 10400); the
// wait of SpecDataReady the nominal ones.
std::uint32_t pauseIntegrationMs(std::uint8_t code);
std::uint32_t nominalIntegrationMs(std::uint8_t code);

// Processes `count` big-endian 16-bit values (2 * count bytes) received for
// `command`; count must not exceed kAquireMaxCounts.
void processAcquisition(SpectrometerData& state, Aquire& record, unsigned char command,
    const std::uint8_t* values, int count);

// Steps of processAcquisition, each usable on its own.
void placeReceivedCounts(SpectrometerData& state, const std::uint8_t* values, int count);
void updateReferences(SpectrometerData& state, unsigned char command, int count);
void computeColourValues(SpectrometerData& state, Aquire& record);

} // namespace lt
