#pragma once
// The session with the array spectrometer of the binary protocol: opening
// with its calibration (the wavelength scale it reports), the acquisition
// parameters, the dark and zero references, acquisitions with their count
// statistics, and the axis of the operator's wavelength window.
#include <cstdint>
#include <string>

#include "core/instrument_page/InstrumentSession.h"
#include "core/instrument_page/SessionContext.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

inline constexpr int kIntegrationTimesMs[] = {40, 80, 160, 320, 640, 1280, 2560, 5120, 10240};
inline constexpr int kGainSteps[] = {1, 2};
inline constexpr const char* kPageIlluminations[] = {
    "Neutral", "A", "C", "D65", "D50", "D55", "D75", "B", "G", "P", "Xe"};
inline constexpr float kResamplingStep = 5.0f; // [nm]
inline constexpr int kLastSpectrometerPixel = 255;

// Counts statistics of an acquisition over its pixel window.
struct CountStatistics {
    std::uint16_t minimum = 0;
    std::uint16_t minimumPixel = 0;
    std::uint16_t maximum = 0;
    std::uint16_t maximumPixel = 0;
    std::uint16_t spread = 0; // standard deviation
    std::uint16_t mean = 0;
};

// Over the pixels firstPixel ... lastPixel of a record whose counts start
// at windowStart; pixels the spectrometer did not send are left out.
CountStatistics countStatistics(
    const Aquire& record, int windowStart, int firstPixel, int lastPixel);

// The pixel of a wavelength: (nm - zero) / slope + 0.5, limited to 0 ... 255.
int pixelOfWavelength(double wavelength, double slope, double zero);

// " X= ... dE= ..." of a spectrometer sample.
std::string spectrometerValueLine(const Aquire& record);

class SpectrometerSession final : public InstrumentSession {
public:
    explicit SpectrometerSession(SessionContext& page) : page(page) { }

    // The observer and illuminant table files, and the calibration the
    // spectrometer reported last, from the settings (the page start reads
    // its keys in a fixed order, so these are two steps).
    void loadTableFiles();
    void loadCalibration();

    void initDevice(const DeviceType& type) override;
    void acquire(const DeviceType& type) override;
    void remotePoll() override;
    void newParameter(const DeviceType& type) override;
    void darkReference() override;
    void zeroReference() override;
    bool tellsMeasureMode() const override { return false; }
    void sendMeasureMode(int) override { }

    void closePort();

    // The page's axis becomes the spectrometer's calibration over the
    // operator's wavelength window.
    void useOwnAxis();

    const Aquire& darkRecord() const { return dark; }
    const Aquire& whiteRecord() const { return white; }
    const Aquire& sampleRecord() const { return sample; }
    unsigned char lastAcquisition() const { return lastCommand; }
    unsigned acquisitions() const { return acquisitionCount; }

private:
    unsigned long open();
    unsigned long sendParameters();
    unsigned long acquireInto(Aquire& record, unsigned char command);
    // The operator cancelled an acquisition, which left the port closed:
    // only "Init Device" may follow.
    void abandon(const char* action);
    // After an acquisition: false when it was refused (another exchange runs)
    // or cancelled (reported here), so the exchange ends.
    bool acquisitionGoesOn(unsigned long status, const char* action);

    SessionContext& page;
    ComPort comPort {};
    FileNames fileNames {};
    InitParams calibration {};
    NewParams parameters {};
    Aquire dark {};
    Aquire white {};
    Aquire sample {};
    unsigned char lastCommand = 0;
    unsigned acquisitionCount = 0;
    double slope = kDefaultSpectrometerSlope; // [nm/pixel] as the spectrometer reported
    double zero = kDefaultSpectrometerZero; // [nm]
};

} // namespace lt
