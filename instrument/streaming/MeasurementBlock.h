#pragma once
// The measurement blocks that an instrument in streaming mode sends on its own
// after each trigger, and the caller's record they are decoded into.

#include <cstddef>
#include <cstdint>

namespace lt {

// Byte positions in the caller's record (part of the interface: other hosts
// lay out their records by them).
namespace stream_record {
inline constexpr std::size_t kValuesB = 1112; // 3 doubles
inline constexpr std::size_t kValuesA = 1136; // 3 doubles
inline constexpr std::size_t kValueD = 1160; // double
inline constexpr std::size_t kValueE = 1168; // double
inline constexpr std::size_t kValueF = 1176; // double
inline constexpr std::size_t kValueC = 1184; // double
inline constexpr std::size_t kReadyFlag = 1268; // 32-bit, 1 once filled
inline constexpr std::size_t kSpectrum = 1280; // 36 floats
inline constexpr std::size_t kSpectrumValues = 36;
inline constexpr std::size_t kMinimumSize = kSpectrum + kSpectrumValues * sizeof(float);
} // namespace stream_record

// Whole block lengths (the ":B" and answer character included) by the
// measurement-output mask; 0 for a mask whose block cannot be sized.
inline constexpr std::size_t kBlockColorimetric = 64; // masks 1 to 3: values A and B
inline constexpr std::size_t kBlockWithSingles = 116; // masks 5 to 7: also C, D, E, F
inline constexpr std::size_t kBlockWithSpectrum = 409; // mask 15: also the spectrum
inline constexpr std::size_t kLargestBlock = kBlockWithSpectrum;
std::size_t measurementBlockLength(unsigned mask);

// Decodes a whole block (length measurementBlockLength(mask)) into the
// record and then sets its ready flag. A field whose characters are not hex
// is stored as NaN, so a damaged block never passes for a measurement.
void storeMeasurementBlock(const char* block, std::size_t length, unsigned mask, void* record);

// Whether the record's ready flag is set (read with acquire ordering).
bool measurementRecordReady(const void* record);

} // namespace lt
