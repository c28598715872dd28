#pragma once
// What the instrument page does, without drawing it: device type and port,
// opening and identifying the instrument (with the baud-rate retry), the
// white-reference calibration, measurements, the remote mode that fetches
// the instrument's own key presses, and the array spectrometer's
// parameters, references and count statistics. The page (a Qt view)
// forwards every click here and shows controls() afterwards.
//
// Every exchange with the instrument runs on the workstation's exchange
// worker and takes its exchange guard; a click while another exchange runs
// is refused, never queued. While an exchange runs the worker alone changes
// the controller: the page reads it again when the exchange has ended
// (exchangeRunning() false). What other pages ask of it (deviceReady,
// commNumber, portOpenForService) may be read at any time.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/common/SpectralAxes.h"
#include "core/station/ExchangeWorker.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

class Workstation;

inline constexpr int kDeviceTypeCount = 5; // four instruments and the empty entry
inline constexpr const char* kDeviceTypeNames[kDeviceTypeCount] = {
    "Lumatrak S", "Lumatrak A", "Spectrolino", "ProtoType", ""};
inline constexpr int kIntegrationTimesMs[] = {40, 80, 160, 320, 640, 1280, 2560, 5120, 10240};
inline constexpr int kGainSteps[] = {1, 2};
inline constexpr const char* kPageIlluminations[] = {
    "Neutral", "A", "C", "D65", "D50", "D55", "D75", "B", "G", "P", "Xe"};

// Baud rates tried, in this order, when an instrument does not answer.
inline constexpr std::uint16_t kBaudRetryRates[] = {
    9600, 19200, 57600, 28800, 4800, 2400, 1200, 600, 300, 150, 110};
// GretagPortOpenAndInit's status when the instrument did not answer at this rate.
inline constexpr std::uint32_t kStatusNoAnswerAtRate = 2;

inline constexpr unsigned kRemotePollMs = 200; // [ms] remote-mode timer
inline constexpr unsigned long kBeepHz = 800; // [Hz]
inline constexpr unsigned long kHighBeepHz = 1600; // [Hz] second tone of the failure sequence
inline constexpr unsigned long kShortBeepMs = 30; // [ms] measurement beeps
inline constexpr unsigned long kLinkLostBeepMs = 50; // [ms] the two beeps when remote mode stops
inline constexpr unsigned kLinkLostPauseMs = 100; // [ms] between those two beeps

inline constexpr float kResamplingStep = 5.0f; // [nm]

inline constexpr int kLastSpectrometerPixel = 255;

inline constexpr const char* kCommNotSupported = "COMM Number not supported !";
inline constexpr const char* kWhiteReferenceFailed = "White reference failed ! (Port?)";
inline constexpr const char* kErrorWithComm = "Error with Comm !";
inline constexpr const char* kErrorWithCommPower = "Error with Comm! (Power, Port)";
inline constexpr const char* kPageCaption = "TaviLight";
inline constexpr const char* kSpectrometerTitle = "HighRes Spectrometer";

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

// "V" and the first 11 characters of the 24 hex digits of the identity
// reply (two digits per character; a pair starting with "0" or not hex
// ends the text).
std::string decodeIdentity(const char* hexDigits, std::size_t length);

// The pixel of a wavelength: (nm - zero) / slope + 0.5, limited to 0 ... 255.
int pixelOfWavelength(double wavelength, double slope, double zero);

// " X= ... dE= ..." of a spectrometer sample.
std::string spectrometerValueLine(const Aquire& record);

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

inline constexpr const char* kNoDeviceTypeProblem =
    "No device type chosen: choose one under \"Device Type :\"";
inline constexpr const char* kCancelledProblem = "Cancelled by the operator";
inline constexpr const char* kCancelledAcquisitionProblem =
    "Cancelled by the operator: the acquisition was abandoned and the port closed; "
    "\"Init Device\" opens it again";

class InstrumentController {
public:
    using Beeper = std::function<void(unsigned long frequencyHz, unsigned long durationMs)>;

    // Reads the page's settings (writing each straight back); a CommNumber
    // other than 1 or 2 is reported to the operator. Remote mode starts when
    // "Remote" is 1.
    InstrumentController(Workstation& workstation, Beeper beeper);

    // Operator actions. Those that talk to the instrument run on the
    // workstation's exchange worker and are refused while an exchange runs.
    void initDevice();
    // One measurement: its status (also kept as lastResult()) when it ran
    // on the calling thread, kStatusInstrumentBusy when refused, kStatusOk
    // when it was started on the worker (its status comes with the outcome).
    unsigned long acquire();
    void toggleRemote();
    void remotePoll();
    void selectDeviceType(int type);
    void selectPort(int portNumber);
    void selectMeasureMode(int mode);
    void toggleTransmission();
    void setBeep(bool on);
    void selectIntegrationTime(int index);
    void selectGain(int index);
    void selectIllumination(int index);
    // The operator's text of "No of Scans"; returns the text the field must
    // show instead (when the number was out of range), or nothing.
    std::optional<std::string> editScans(const std::string& text);
    void editLowLimit(const std::string& text);
    void editHighLimit(const std::string& text);
    void newParameter();
    void darkReference();
    void zeroReference();

    // While the density parameters are sent the remote poll rests: true
    // when it was running; resumeRemote starts it again.
    bool pauseRemote();
    void resumeRemote();
    // The illuminant chosen in the density parameters (slot 43).
    void followIlluminant(int index);
    // The service link takes the port: remote mode ends (not stored).
    void endRemoteForService();
    // A Lumatrak S was opened by "Init Device" and its port is still held.
    bool portOpenForService() const { return servicePortOpen; }

    // An exchange runs: the page shows the controller again once it ended.
    bool exchangeRunning() const;

    // What the page shows.
    const PageControls& controls() const { return state; }
    bool remoteTimerRunning() const { return timerRunning; }
    int deviceType() const { return type; }
    int commNumber() const { return port; }
    int measureMode() const;
    bool beepOn() const;
    bool deviceReady() const { return ready; }
    unsigned long lastResult() const { return result; }
    const std::string& identity() const { return identityText; }
    const std::string& valueLine() const { return values; }
    int integrationTimeIndex() const { return integrationTime; }
    int gainIndex() const { return gain; }
    int scans() const { return scanCount; }
    int lowLimit() const { return minWavelength; } // [nm]
    int highLimit() const { return maxWavelength; } // [nm]
    int illumination() const { return illuminant; }

    // The spectrometer's calibration and pixel window, and its records.
    double slope() const { return axisSlope; } // [nm/pixel]
    double zero() const { return axisZero; } // [nm]
    int firstPixel() const { return windowFirst; }
    int lastPixel() const { return windowLast; }
    // Wavelength window of the spectrometer curve in force.
    double firstWavelength() const { return windowLow; } // [nm]
    double lastWavelength() const { return windowHigh; } // [nm]
    const Aquire& darkRecord() const { return dark; }
    const Aquire& whiteRecord() const { return white; }
    const Aquire& sampleRecord() const { return sample; }
    // What the last successful spectrometer acquisition was: 0 none, else
    // its command; acquisitions() counts them, so the page knows when to plot.
    unsigned char lastAcquisition() const { return lastCommand; }
    unsigned acquisitions() const { return acquisitionCount; }

    // Called after every change the page must show (controls, graph, texts).
    void setChangeHandler(std::function<void()> handler) { onChange = std::move(handler); }
    // Called when an action that talked to the instrument has ended.
    void setOutcomeHandler(std::function<void(const ExchangeOutcome&)> handler)
    {
        onOutcome = std::move(handler);
    }

private:
    // Runs exchange on the worker as action; false when refused.
    bool runExchange(const char* action, bool cancellable, std::function<void()> exchange);
    bool cancelled() const;
    // A spectrometer acquisition that the operator cancelled left the port
    // closed: only "Init Device" may follow.
    void abandonSpectrometer(const char* action);
    void initDeviceNow();
    void acquireNow();
    void remotePollNow();
    void newParameterNow();
    void darkReferenceNow();
    void zeroReferenceNow();
    void sendMeasureMode(int mode);
    unsigned long openWithBaudRetry();
    unsigned long whiteReference();
    unsigned long initSpectrometer();
    unsigned long sendSpectrometerParameters();
    unsigned long spectrometerAcquire(Aquire& record, unsigned char command);
    void reportCommTrouble();
    void startRemote();
    void stopRemote(bool writeSetting);
    void beepSuccess();
    void beepFailure();
    void useFixedAxis();
    void useSpectrometerAxis();
    void changed();
    void finished(const char* action, unsigned long status, bool measurement = false,
        std::string problem = {});

    Workstation& station;
    Beeper beep;
    std::function<void()> onChange;
    std::function<void(const ExchangeOutcome&)> onOutcome;
    PageControls state;
    ExchangeControl* runningExchange = nullptr; // while an exchange runs
    std::atomic<bool> timerRunning {false};
    std::atomic<bool> remotePaused {false}; // another page holds the poll
    std::atomic<bool> ready {false};
    std::atomic<bool> servicePortOpen {false};
    unsigned long result = 0;
    int type = 0;
    int brand = 0;
    std::atomic<int> port {1};
    int integrationTime = 4;
    int gain = 0;
    int scanCount = 1;
    int minWavelength = 350; // [nm]
    int maxWavelength = 850; // [nm]
    int illuminant = 0;
    std::string identityText;
    std::string values;

    ComPort comPort {};
    FileNames fileNames {};
    InitParams calibration {};
    NewParams parameters {};
    Aquire dark {};
    Aquire white {};
    Aquire sample {};
    unsigned char lastCommand = 0;
    unsigned acquisitionCount = 0;

    double spectrometerSlope = kDefaultSpectrometerSlope; // [nm/pixel] as the spectrometer reported
    double spectrometerZero = kDefaultSpectrometerZero; // [nm]
    double axisSlope = kRemissionWavelengthStep;
    double axisZero = kRemissionFirstWavelength;
    int windowFirst = 0;
    int windowLast = kRemissionPoints - 1;
    double windowLow = kRemissionFirstWavelength; // [nm]
    double windowHigh = kRemissionLastWavelength; // [nm]
};

} // namespace lt
