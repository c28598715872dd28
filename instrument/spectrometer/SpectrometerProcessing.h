#pragma once
// Turning one received acquisition of the array spectrometer into corrected
// counts, dark and white references, reflectance or density per pixel and
// the colour values of the Aquire record.

#include <cstdint>

#include "instrument/spectrometer/SpectrometerState.h"

namespace lt {

// Acquisition commands of SpecAquire.
inline constexpr unsigned char kCommandDark = 1;
inline constexpr unsigned char kCommandWhite = 2;
inline constexpr unsigned char kCommandDensity = 4;
inline constexpr unsigned char kCommandReflectance = 5;
inline constexpr unsigned char kCommandReflectance6 = 6;
inline constexpr unsigned char kCommandReflectance7 = 7;
inline constexpr unsigned char kCommandZero = 20;          // white reference
inline constexpr unsigned char kCommandDarkOnly = 21;      // dark reference without colour values
inline constexpr unsigned char kCommandDarkWindow = 22;    // dark reference, takes the window
inline constexpr unsigned char kCommandDensity31 = 31;
inline constexpr unsigned char kCommandReflectance32 = 32;

// The byte sent to the spectrometer for a command.
std::uint8_t acquisitionByteFor(unsigned char command);

// Integration time [ms] of a parameter code 1..9, 0 for other codes. The
// fixed pause of SpecAquire uses the rounded long times (5200, 10400); the
// wait of SpecDataReady the nominal ones.
std::uint32_t pauseIntegrationMs(std::uint8_t code);
std::uint32_t nominalIntegrationMs(std::uint8_t code);

// Processes `count` big-endian 16-bit values (2 * count bytes) received for
// `command`; count must not exceed kAquireMaxCounts.
void processAcquisition(SpectrometerData& state, Aquire& record, unsigned char command, const std::uint8_t* values,
                        int count);

// Steps of processAcquisition, each usable on its own.
void placeReceivedCounts(SpectrometerData& state, const std::uint8_t* values, int count);
void updateReferences(SpectrometerData& state, unsigned char command, int count);
void computeColourValues(SpectrometerData& state, Aquire& record);

}  // namespace lt
