#pragma once
// The session with a spectrophotometer of the ASCII protocol (Lumatrak S,
// Lumatrak A, Spectrolino): opening with the baud-rate retry and the
// instrument's identity, the white reference, measurements by trigger and
// fetch, the remote poll of the instrument's key, and the measuring mode.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/instrument_page/InstrumentSession.h"
#include "core/instrument_page/SessionContext.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

// Baud rates tried, in this order, when an instrument does not answer.
inline constexpr std::uint16_t kBaudRetryRates[] = {
    9600, 19200, 57600, 28800, 4800, 2400, 1200, 600, 300, 150, 110};

// "V" and the first 11 characters of the 24 hex digits of the identity
// reply (two digits per character; a pair starting with "0" or not hex
// ends the text).
std::string decodeIdentity(const char* hexDigits, std::size_t length);

class SpectrophotometerSession final : public InstrumentSession {
public:
    explicit SpectrophotometerSession(SessionContext& page) : page(page) { }

    void initDevice(const DeviceType& type) override;
    void acquire(const DeviceType& type) override;
    void remotePoll() override;
    void newParameter(const DeviceType& type) override;
    void darkReference() override;
    void zeroReference() override;
    bool tellsMeasureMode() const override { return true; }
    void sendMeasureMode(int mode) override;

private:
    unsigned long openWithBaudRetry(const DeviceType& type);
    unsigned long whiteReference();
    // Ends Init Device after a failure, cancelled or shown by showFailure;
    // false when status is success.
    bool endedByFailure(unsigned long status, const std::function<void()>& showFailure);

    SessionContext& page;
    ComPort comPort {};
};

} // namespace lt
