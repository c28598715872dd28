// The array spectrometer: a line of pixels behind a grating, read out as raw
// 16-bit counts over a small binary protocol (baud-probe echo, wavelength
// calibration, acquisition parameters, acquisition).
#pragma once

#include <array>
#include <cstdint>

#include "Bench.h"
#include "Instrument.h"

namespace ltsim {

class SpectrometerInstrument : public Instrument {
public:
    explicit SpectrometerInstrument(Bench& bench);

    std::size_t requestLength(std::string_view pending, bool lineIdle) const override;
    std::size_t replyLength(std::string_view request) const override;
    Reply answer(std::string_view request) override;

    // Acquisition parameters as last received.
    struct Parameters {
        std::uint8_t integrationCode = 4; // 0 ... 8: 40 ms doubling up to 10240 ms
        std::uint8_t gainCode = 0; // 0: gain 1, 1: gain 2
        std::uint8_t scans = 1; // averaged read-outs
        int firstPixel = 0;
        int lastPixel = kSpectrometerPixels - 1;
    };
    const Parameters& parameters() const { return parameters_; }

    // Counts of one acquisition; the light reaching the line depends on the kind.
    enum class Light { Dark, WhiteReference, Sample };
    std::array<std::uint16_t, kSpectrometerPixels> acquire(Light light);

    static double integrationTimeMs(std::uint8_t code);

private:
    Reply calibration() const;
    Reply newParameters(std::string_view request);
    Reply acquisition(std::uint8_t command);

    Bench& bench_;
    Parameters parameters_;
    // The lamp stays in standby until a white reference has been taken under the
    // current parameters; an acquisition with the lamp in standby reads dark.
    bool lampOn_ = false;
};

} // namespace ltsim
