#pragma once
// Sine tones for the instrument page's beeps: mono 16-bit samples with a
// short fade at both ends, so a tone starts and stops without a click.
#include <cstdint>
#include <vector>

namespace lt {

inline constexpr unsigned kToneSampleRate = 48000; // [Hz]
inline constexpr unsigned kToneFadeMs = 3; // [ms] rise and fall
inline constexpr double kToneAmplitude = 0.4; // share of full scale
// Longest tone produced; longer requests are cut (a beep, not a siren).
inline constexpr unsigned kToneMaxMs = 5000; // [ms]

std::vector<std::int16_t> synthesizeTone(
    unsigned frequencyHz, unsigned durationMs, unsigned sampleRate = kToneSampleRate);

} // namespace lt
