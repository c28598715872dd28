// The spectrophotometers of the ASCII-hex protocol (Lumatrak S and A,
// Spectrolino): handshake and identity, measurement conditions, white
// calibration, measurement and its fetches, the measurement key, the XY table
// of the Lumatrak A, the streaming output and the firmware loader.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Bench.h"
#include "FirmwareLoader.h"
#include "Instrument.h"
#include "Measurement.h"
#include "XyTable.h"

namespace ltsim {

class AsciiInstrument : public Instrument {
public:
    AsciiInstrument(DeviceKind kind, Bench& bench);

    std::size_t requestLength(std::string_view pending, bool lineIdle) const override;
    std::size_t replyLength(std::string_view request) const override;
    Reply answer(std::string_view request) override;

    // The operator pressed the measurement key: measure what lies under the head.
    void pressKey();

    std::string identity() const { return identity_; }
    void setIdentity(std::string_view identity);
    const MeasurementConditions& conditions() const { return conditions_; }
    unsigned streamingMask() const { return streamingMask_; }
    bool inLoader() const { return inLoader_; }
    const FirmwareLoader& loader() const { return loader_; }
    FirmwareLoader& loader() { return loader_; }
    bool hasTable() const;

    // One request of the protocol: its leading text, its length without CR LF,
    // the length of its reply and whether only the table model knows it.
    struct Route {
        std::string_view prefix;
        std::size_t textLength;
        std::size_t replyLength;
        bool needsTable;
        Reply (AsciiInstrument::*handle)(std::string_view text);
    };

private:
    const Route* route(std::string_view text) const;
    static std::string_view requestText(std::string_view request);
    void takeMeasurement();
    std::string streamingBlock() const;

    Reply handshake(std::string_view);
    Reply extendedHandshake(std::string_view);
    Reply tableHandshake(std::string_view);
    Reply flowControl(std::string_view text);
    Reply measureMode(std::string_view text);
    Reply lineSpeed(std::string_view text);
    Reply identify(std::string_view);
    Reply acknowledge(std::string_view);
    Reply parameters(std::string_view text);
    Reply densitySlopes(std::string_view text);
    Reply readSlopes(std::string_view);
    Reply calibrate(std::string_view text);
    Reply trigger(std::string_view);
    Reply spectrum(std::string_view text);
    Reply colorimetric(std::string_view text);
    Reply densities(std::string_view);
    Reply alternateReading(std::string_view);
    Reply keyQuery(std::string_view);
    Reply outputRegister(std::string_view text);
    Reply glossQuery(std::string_view);
    Reply serviceQuery(std::string_view text);
    Reply enterLoader(std::string_view);
    Reply unknown(std::string_view);
    Reply tableAcknowledge(std::string_view);
    Reply headUp(std::string_view);
    Reply headDown(std::string_view);
    Reply tableHome(std::string_view);
    Reply tableStatus(std::string_view);
    Reply tableInfo(std::string_view);
    Reply tableToWhiteTile(std::string_view);
    Reply tablePosition(std::string_view text);
    Reply tableLineSpeed(std::string_view text);
    Reply moveAbsolute(std::string_view text);
    Reply moveRelative(std::string_view text);
    Reply tableMove(bool moved);

    static const Route kRoutes[];

    DeviceKind kind_;
    Bench& bench_;
    XyTable table_;
    FirmwareLoader loader_;
    std::string identity_;
    MeasurementConditions conditions_;
    char flowControl_ = 'F';
    Measurement current_ {};
    SpectralCurve whiteReference_;
    bool calibrated_ = false;
    unsigned streamingMask_ = 0;
    // The latest output-register writes (register, value not zero), oldest first.
    std::vector<std::pair<int, bool>> outputWrites_;
    bool inLoader_ = false;
};

} // namespace ltsim
