// A spectral quantity (remission, transmittance, relative power) sampled every
// 5 nm from 300 to 1000 nm, wide enough for the array spectrometer's pixels.
#pragma once

#include <array>
#include <cmath>

namespace ltsim {

class SpectralCurve {
public:
    static constexpr int kFirstWavelength = 300; // [nm]
    static constexpr int kLastWavelength = 1000; // [nm]
    static constexpr int kStep = 5; // [nm]
    static constexpr int kSamples = (kLastWavelength - kFirstWavelength) / kStep + 1;

    SpectralCurve() { values_.fill(0.0); }

    template <typename Function>
    static SpectralCurve fromFunction(Function function)
    {
        SpectralCurve curve;
        for (int i = 0; i < kSamples; ++i)
            curve.values_[i] = function(wavelengthAt(i));
        return curve;
    }

    static constexpr double wavelengthAt(int index) { return kFirstWavelength + kStep * index; }

    double sample(int index) const { return values_[index]; }
    double& sample(int index) { return values_[index]; }

    // Linear interpolation; constant beyond the ends.
    double at(double wavelength) const
    {
        double position = (wavelength - kFirstWavelength) / kStep;
        if (!(position > 0.0))
            return values_.front();
        if (position >= kSamples - 1)
            return values_.back();
        int index = static_cast<int>(position);
        double fraction = position - index;
        return values_[index] * (1.0 - fraction) + values_[index + 1] * fraction;
    }

private:
    std::array<double, kSamples> values_;
};

// Smooth building blocks of the model spectra.
inline double logisticStep(double wavelength, double edge, double width)
{
    return 1.0 / (1.0 + std::exp(-(wavelength - edge) / width));
}

inline double gaussianBand(double wavelength, double peak, double fullWidthHalfMax)
{
    double t = (wavelength - peak) / fullWidthHalfMax;
    return std::exp(-4.0 * std::log(2.0) * t * t);
}

} // namespace ltsim
