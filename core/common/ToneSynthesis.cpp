#include "core/common/ToneSynthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lt {

std::vector<std::int16_t> synthesizeTone(
    unsigned frequencyHz, unsigned durationMs, unsigned sampleRate)
{
    std::vector<std::int16_t> samples;
    if (sampleRate == 0)
        return samples;
    durationMs = std::min(durationMs, kToneMaxMs);
    const std::size_t count = static_cast<std::size_t>(sampleRate) * durationMs / 1000;
    // Above half the sample rate a sine cannot be represented: silence.
    const bool audible = frequencyHz > 0 && frequencyHz < sampleRate / 2;
    const std::size_t fade =
        std::min<std::size_t>(count / 2, std::size_t {sampleRate} * kToneFadeMs / 1000);
    samples.resize(count, 0);
    if (!audible)
        return samples;
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    for (std::size_t i = 0; i < count; ++i) {
        double envelope = 1.0;
        if (fade > 0 && i < fade)
            envelope = static_cast<double>(i) / fade;
        else if (fade > 0 && i >= count - fade)
            envelope = static_cast<double>(count - 1 - i) / fade;
        samples[i] = static_cast<std::int16_t>(
            std::lround(32767.0 * kToneAmplitude * envelope * std::sin(step * i)));
    }
    return samples;
}

} // namespace lt
