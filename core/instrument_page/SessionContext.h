#pragma once
// What the instrument page and the session that talks to its instrument
// share: the page's state (controls, ready flag, texts, the operator's
// spectrometer settings, the wavelength axis in force) and the page's
// common steps (outcome, beeps, remote mode, progress, cancel).
//
// While an exchange runs the worker alone writes it; the atomic fields may
// be read from any thread at any time.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/common/SpectralAxes.h"
#include "core/station/DeviceTypes.h"

namespace lt {

class Workstation;
class ExchangeControl;

inline constexpr unsigned long kBeepHz = 800; // [Hz]
inline constexpr unsigned long kHighBeepHz = 1600; // [Hz] second tone of the failure sequence
inline constexpr unsigned long kShortBeepMs = 30; // [ms] measurement beeps
inline constexpr unsigned long kLinkLostBeepMs = 50; // [ms] the two beeps when remote mode stops
inline constexpr unsigned kLinkLostPauseMs = 100; // [ms] between those two beeps

inline constexpr const char* kCommNotSupported = "COMM Number not supported !";
inline constexpr const char* kWhiteReferenceFailed = "White reference failed ! (Port?)";
inline constexpr const char* kErrorWithComm = "Error with Comm !";
inline constexpr const char* kErrorWithCommPower = "Error with Comm! (Power, Port)";
inline constexpr const char* kPageCaption = "TaviLight";
inline constexpr const char* kSpectrometerTitle = "HighRes Spectrometer";

// The actions as the status line names them.
inline constexpr const char* kInitDeviceAction = "Init Device";
inline constexpr const char* kAcquireAction = "Acquire";
inline constexpr const char* kRemoteAction = "Remote";
inline constexpr const char* kRemoteMeasurementAction = "Measurement by the instrument's key";
inline constexpr const char* kNewParameterAction = "New Parameter";
inline constexpr const char* kDarkRefAction = "DarkRef";
inline constexpr const char* kZeroRefAction = "ZeroRef";
inline constexpr const char* kMeasureModeAction = "Measure mode";

inline constexpr const char* kNoDeviceTypeProblem =
    "No device type chosen: choose one under \"Device Type :\"";
inline constexpr const char* kCancelledProblem = "Cancelled by the operator";
inline constexpr const char* kCancelledAcquisitionProblem =
    "Cancelled by the operator: the acquisition was abandoned and the port closed; "
    "\"Init Device\" opens it again";

// Enabled state and captions of the page's controls.
struct PageControls {
    bool acquire = false;
    bool remote = false;
    bool darkRef = false;
    bool zeroRef = false;
    bool newParameter = false;
    bool transmissionButton = false;
    bool spectrometerSettings = false; // limits, scans, integration time, gain, illumination
    bool remoteOn = false; // caption "Remote On" / "Remote Off"
};

// How an operator action that talked to the instrument ended, for the
// main window's status line.
struct ExchangeOutcome {
    const char* action; // "Init Device", "Acquire", ...
    unsigned long status; // library status; 0 success
    int port; // COM number
    bool measurement; // a sample was measured (its code carries the fetch offset)
    bool failed;
    std::string problem; // words for a failure that has no status code
};

// The wavelength axis of the page's graph and the pixel window in force.
struct WavelengthAxis {
    double slope = kRemissionWavelengthStep; // [nm/pixel]
    double zero = kRemissionFirstWavelength; // [nm]
    int firstPixel = 0;
    int lastPixel = kRemissionPoints - 1;
    double low = kRemissionFirstWavelength; // [nm]
    double high = kRemissionLastWavelength; // [nm]
};

// The spectrophotometers' fixed 380 ... 730 nm axis.
inline constexpr WavelengthAxis kFixedAxis {};

struct SessionContext {
    using Beeper = std::function<void(unsigned long frequencyHz, unsigned long durationMs)>;

    SessionContext(Workstation& workstation, Beeper beeper);

    const DeviceType& device() const { return deviceType(type); }
    int measureMode() const;
    bool beepOn() const;

    // The running exchange was asked to stop.
    bool cancelled() const;
    // Progress of the running exchange (nothing without one).
    void report(const std::string& step, int done, int total, unsigned paceMs = 0);
    void changed();
    void finished(const char* action, unsigned long status, bool measurement = false,
        std::string problem = {});
    void beepSuccess();
    void beepFailure();
    void startRemote();
    void stopRemote(bool writeSetting);
    // "Trouble with Comm n !" and its possible reasons.
    void reportCommTrouble();

    Workstation& station;
    Beeper beep;
    std::function<void()> onChange;
    std::function<void(const ExchangeOutcome&)> onOutcome;
    ExchangeControl* runningExchange = nullptr; // while an exchange runs

    PageControls state;
    std::atomic<bool> timerRunning {false};
    std::atomic<bool> remotePaused {false}; // another page holds the poll
    std::atomic<bool> ready {false};
    std::atomic<bool> servicePortOpen {false};
    std::atomic<int> port {1};
    unsigned long result = 0;
    int type = 0; // entry of kDeviceTypes
    std::string identityText;
    std::string values;

    // The operator's spectrometer settings.
    int integrationTime = 4;
    int gain = 0;
    int scanCount = 1;
    int minWavelength = 350; // [nm]
    int maxWavelength = 850; // [nm]
    int illuminant = 0;

    WavelengthAxis axis;
};

} // namespace lt
