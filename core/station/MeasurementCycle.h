#pragma once
// The one road every spectrophotometer sample takes: MeasureSample asks the
// instrument for the spectrum, L*a*b*, XYZ and the densities, applies paper
// white, process-colour detection, solid calibration and dot area, inserts
// the new row at the top of the measurement list, runs the spot-colour step
// (or teaches a new spot colour), fills the current chart patch, and tells
// the observers in one sampleMeasured event. InitRemission prepares the instrument for remission
// measurement (white reference), checking for the XY table where the
// instrument type needs one.
//
// Either call may come from the user-interface thread or from the chart
// worker; while one runs, any other exchange with the instrument is refused
// with kStatusInstrumentBusy.
#include <cstdint>

#include "core/station/InstrumentAccess.h"
#include "core/station/MeasurementObserver.h"

namespace lt {

class Workstation;

// Added to the library's code to name the fetch that failed.
inline constexpr unsigned long kFailedColorSpace0Fetch = 100;
inline constexpr unsigned long kFailedLabFetch = 200;
inline constexpr unsigned long kFailedXyzFetch = 300;
inline constexpr unsigned long kFailedDensityFetch = 400;

inline constexpr const char* kNoXyTableMessage =
    "Break because of these possible reasons:\n1.\tThere is no XY-Table connected,\n"
    "2.\tEnter (XY-Table) has not been pressed,\n3.\tChart Hold (XY-Table) has not been "
    "activated,\n"
    "running as Lumatrak S !";
inline constexpr const char* kStatusMeasureSpotColor = "Measure SpotColor for Identification now!";
inline constexpr const char* kSpotLibraryFullMessage =
    "The spot colour library is full (49 colours) !\nDelete a spot colour before teaching a new "
    "one.";

class MeasurementCycle {
public:
    // kind 7 refreshes the spectrum graph ordinates.
    static constexpr std::uint8_t kKindWithGraph = 7;

    explicit MeasurementCycle(Workstation& workstation);

    // One sample: fetchOnly 0 triggers a measurement, 1 fetches what the
    // instrument measured on its own key. Returns the status of the last
    // fetch (0 ... 10000 success), a link failure plus 0/100/200/300/400
    // (nothing changed but the graph ordinates when the first call
    // succeeded), or kStatusInstrumentBusy.
    unsigned long MeasureSample(std::uint8_t kind, double scale, std::uint8_t fetchOnly);

    // White-reference calibration; the status of GretagInitExecRemission,
    // or kStatusInstrumentBusy.
    unsigned long InitRemission();

    // The list's "ClearList": all rows go, the numbering restarts at 0.
    void clearList();

private:
    unsigned long fetchResults(CTaviSpec& instrument, GretagStruct& work);
    // Fills sample (numbers and row) from the record's latest measurement.
    void evaluateSample(MeasuredSample& sample, bool& teach);
    void teachSpotColor();
    // The chart patch the sample filled, or -1.
    int advanceChart(const MeasuredSample& sample);
    void publishStatus(const std::string& text);

    Workstation& station;
};

} // namespace lt
