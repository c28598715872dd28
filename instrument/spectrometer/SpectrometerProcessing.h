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

// What the spectrometer itself integrates per scan for a code: the host
// sends the index of its integration-time list (0 ... 8 for 40 ... 10240 ms),
// one below the code the pauses above are read with. 0 for other codes.
std::uint32_t instrumentIntegrationMs(std::uint8_t code);

// The integration of an acquisition [ms] that a wait of coveredPerScanMs per
// scan before its reply does not cover: the read of the reply waits that
// much longer, so that a long acquisition is taken rather than failed by
// the read's time-out.
std::uint64_t integrationBeyondMs(
    std::uint8_t code, std::uint8_t scans, std::uint32_t coveredPerScanMs);

// Processes `count` big-endian 16-bit values (2 * count bytes) received for
// `command`; count must not exceed kAquireMaxCounts.
void processAcquisition(SpectrometerData& state, Aquire& record, unsigned char command,
    const std::uint8_t* values, int count);

// Steps of processAcquisition, each usable on its own.
void placeReceivedCounts(SpectrometerData& state, const std::uint8_t* values, int count);
void updateReferences(SpectrometerData& state, unsigned char command, int count);
void computeColourValues(SpectrometerData& state, Aquire& record);

} // namespace lt
