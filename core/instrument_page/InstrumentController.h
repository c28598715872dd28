#pragma once
// What the instrument page does, without drawing it: device type and port,
// the operator's settings, the remote mode's timer, and the instrument's
// exchanges, which it hands to the session of the chosen device type's
// family (SpectrophotometerSession, SpectrometerSession). The page (a Qt
// view) forwards every click here and shows controls() afterwards.
//
// Every exchange with the instrument runs on the workstation's exchange
// worker and takes its exchange guard; a click while another exchange runs
// is refused, never queued. While an exchange runs the worker alone changes
// the controller: the page reads it again when the exchange has ended
// (exchangeRunning() false). What other pages ask of it (deviceReady,
// commNumber, portOpenForService) may be read at any time.
#include <functional>
#include <optional>
#include <string>

#include "core/instrument_page/SessionContext.h"
#include "core/instrument_page/SpectrometerSession.h"
#include "core/instrument_page/SpectrophotometerSession.h"
#include "core/station/DeviceTypes.h"

namespace lt {

inline constexpr unsigned kRemotePollMs = 200; // [ms] remote-mode timer

class InstrumentController {
public:
    using Beeper = SessionContext::Beeper;

    // Reads the page's settings (writing each straight back); a CommNumber
    // other than 1 or 2 is reported to the operator. Remote mode starts when
    // "Remote" is 1.
    InstrumentController(Workstation& workstation, Beeper beeper);
    // Ends a running exchange first (the main window has let one end before
    // it closed); the spectrometer's port closes with the page.
    ~InstrumentController();

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
    bool portOpenForService() const { return page.servicePortOpen; }

    // An exchange runs: the page shows the controller again once it ended.
    bool exchangeRunning() const;

    // What the page shows.
    const PageControls& controls() const { return page.state; }
    bool remoteTimerRunning() const { return page.timerRunning; }
    int deviceType() const { return page.type; }
    int commNumber() const { return page.port; }
    int measureMode() const { return page.measureMode(); }
    bool beepOn() const { return page.beepOn(); }
    bool deviceReady() const { return page.ready; }
    unsigned long lastResult() const { return page.result; }
    const std::string& identity() const { return page.identityText; }
    const std::string& valueLine() const { return page.values; }
    int integrationTimeIndex() const { return page.integrationTime; }
    int gainIndex() const { return page.gain; }
    int scans() const { return page.scanCount; }
    int lowLimit() const { return page.minWavelength; } // [nm]
    int highLimit() const { return page.maxWavelength; } // [nm]
    int illumination() const { return page.illuminant; }

    // The axis in force (the spectrometer's calibration and pixel window,
    // or the spectrophotometers' fixed one), and the spectrometer's records.
    double slope() const { return page.axis.slope; } // [nm/pixel]
    double zero() const { return page.axis.zero; } // [nm]
    int firstPixel() const { return page.axis.firstPixel; }
    int lastPixel() const { return page.axis.lastPixel; }
    double firstWavelength() const { return page.axis.low; } // [nm]
    double lastWavelength() const { return page.axis.high; } // [nm]
    const Aquire& darkRecord() const { return spectrometer.darkRecord(); }
    const Aquire& whiteRecord() const { return spectrometer.whiteRecord(); }
    const Aquire& sampleRecord() const { return spectrometer.sampleRecord(); }
    // What the last successful spectrometer acquisition was: 0 none, else
    // its command; acquisitions() counts them, so the page knows when to plot.
    unsigned char lastAcquisition() const { return spectrometer.lastAcquisition(); }
    unsigned acquisitions() const { return spectrometer.acquisitions(); }

    // Called after every change the page must show (controls, graph, texts).
    void setChangeHandler(std::function<void()> handler) { page.onChange = std::move(handler); }
    // Called when an action that talked to the instrument has ended.
    void setOutcomeHandler(std::function<void(const ExchangeOutcome&)> handler)
    {
        page.onOutcome = std::move(handler);
    }

private:
    // The session of the chosen device type's family.
    InstrumentSession& session();
    // Runs exchange on the worker as action; false when refused.
    bool runExchange(const char* action, bool cancellable, std::function<void()> exchange);
    // Tells the instrument the measuring mode when its session must.
    void sendMeasureMode(int mode);

    SessionContext page;
    SpectrophotometerSession spectrophotometer {page};
    SpectrometerSession spectrometer {page};
    int brand = 0; // the stored device type, also outside the list
};

} // namespace lt
