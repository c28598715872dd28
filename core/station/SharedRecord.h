#pragma once
// The measurement state of the whole run, created once at start-up and never
// grown: the records exchanged with the instrument library and their
// spectrum buffers, the densitometer's parameters and calibration state, the
// spot-colour library, the measurement list, the latest sample as the
// spectrum graph needs it, and the progress of a chart measurement. Every
// page reaches the same instance through the Workstation.
//
// Who writes what. The measuring thread is the thread that holds the
// instrument (an InstrumentAccess exchange): the exchange worker, the chart
// worker, or the user-interface thread in tools and tests without one.
// - measurement, calibration and their spectra: the measuring thread only,
//   while it holds the instrument; others read them only while they hold it
//   themselves (the spreadsheet export inside a sampleMeasured event).
// - The latest graph sample: the measuring thread publishes it; readers take
//   a copy under the record's lock (latestGraph()).
// - densityParameters: the operator edits them on the user-interface thread
//   and a measurement writes paper white and solids into them; both sides
//   go through densityParameterSnapshot() and changeDensityParameters(),
//   which lock. Direct access is for start-up and single-threaded tests.
// - The states, counters and choices below (paper white, solid requests,
//   row counter, beep, instrument type, measure mode, chart progress) are
//   atomic: either thread may read or write them.
// - list: locked inside; reads return copies (see MeasurementList).
// - spotColors: taught by the measuring thread, edited by the density
//   parameters dialog while no measurement runs (remote mode rests).
// - spotFilePath, spotScratchPath: the user-interface thread only.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/common/SpectralAxes.h"
#include "core/metrics/DensityParameterBlock.h"
#include "core/metrics/MeasurementList.h"
#include "core/metrics/SpotColorLibrary.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

inline constexpr int kSpectrumPoints = CTaviSpec::kSpectrumValues; // 380 ... 730 nm
static_assert(kSpectrumPoints == kRemissionPoints);
// The library copies its whole spectrum buffer into the host's, so the host's
// buffers are that long although only the first 36 values are a spectrum.
inline constexpr int kSpectrumBufferFloats = CTaviSpec::kSpectrumBufferSize;

enum PaperWhiteState : std::int32_t {
    PaperWhiteAbsolute = 0, // densities as measured
    PaperWhiteRequested = 1, // the next sample is paper white
    PaperWhiteTaken = 2, // process paper white stored, spot paper white not yet
    PaperWhiteRelative = 3 // densities are relative to paper white
};

enum SpotSolidState : std::int32_t {
    SpotSolidNone = 0,
    SpotSolidRequested = 1,
    SpotSolidCalibrated = 2
};

// Instrument types as the instrument page offers them.
enum InstrumentType : std::int32_t {
    InstrumentLumatrakS = 0,
    InstrumentLumatrakA = 1, // with XY table
    InstrumentSpectrolino = 2,
    InstrumentPrototype = 3, // array spectrometer
    InstrumentNone = 4
};

enum MeasureMode : std::int32_t {
    MeasureReflection = 0,
    MeasureTransmission = 1,
    MeasureEmission = 2
};

// The latest sample as the spectrum graph and the instrument page show it.
struct GraphSample {
    std::uint16_t pointCount = 0;
    std::array<std::uint16_t, kSpectrumPoints> ordinates {}; // 0 ... 65535
    std::uint16_t referenceOrdinate = 0; // the 100 % line
    std::array<float, kProcessColors>
        densities {}; // Cyan, Magenta, Yellow, Black after paper white
    float minimumCmy = 0.0f; // of Cyan, Magenta, Yellow
    float maximumCmy = 0.0f;
};

enum ChartType : std::int32_t { ChartIt873 = 0, ChartTqCmyk = 1, ChartTqRgb = 2 };

inline constexpr int kChartPatchesIt873 = 928;
inline constexpr int kChartPatchesTqCmyk = 210;
inline constexpr int kChartPatchesTqRgb = 135;

// Patches of a chart type; 0 for an unknown type.
constexpr int chartPatchCount(std::int32_t chartType)
{
    return chartType == ChartIt873 ? kChartPatchesIt873
        : chartType == ChartTqCmyk ? kChartPatchesTqCmyk
        : chartType == ChartTqRgb  ? kChartPatchesTqRgb
                                   : 0;
}

// Where a chart measurement stands. While active, each sample fills the
// current patch (when it is 0 ... patch count - 1) and moves to the next.
struct ChartProgress {
    std::atomic<bool> active {false};
    std::atomic<std::int32_t> chartType {ChartIt873};
    std::atomic<std::int32_t> currentPatch {-1}; // -1: none
    std::atomic<std::int32_t> previousPatch {-1};
};

struct SharedRecord {
    SharedRecord();
    SharedRecord(const SharedRecord&) = delete;
    SharedRecord& operator=(const SharedRecord&) = delete;

    // Measurement: the cycle refills its conditions on every call; its result
    // fields hold the latest sample. Spectrum points at measurementSpectrum.
    GretagStruct measurement {};
    std::array<float, kSpectrumBufferFloats> measurementSpectrum {};
    // White-reference calibration, with a spectrum buffer of its own.
    GretagStruct calibration {};
    std::array<float, kSpectrumBufferFloats> calibrationSpectrum {};

    DensityParameterBlock densityParameters;
    // A copy of the density parameters taken under the lock.
    DensityParameterBlock densityParameterSnapshot() const;
    // Changes the density parameters under the lock; change must not
    // notify observers or reach for the record again.
    template <class Change>
    void changeDensityParameters(Change change)
    {
        std::lock_guard lock(parameterMutex);
        change(densityParameters);
    }
    // Takes over the slots in which after differs from before (what a
    // measurement computed on its copy), leaving the operator's edits of
    // all other slots made meanwhile.
    void mergeDensityParameters(
        const DensityParameterBlock& before, const DensityParameterBlock& after);

    std::atomic<std::int32_t> paperWhiteState {PaperWhiteAbsolute};
    std::atomic<std::int32_t> processSolidRequest {
        0}; // 1: the next sample's process density becomes its solid
    std::atomic<std::int32_t> spotSolidState {SpotSolidNone};

    // Printed into the first column of the next row, then incremented.
    std::atomic<std::int32_t> rowCounter {0};
    std::atomic<std::int32_t> beepOption {1};

    // Chosen on the instrument page.
    std::atomic<std::int32_t> instrumentType {InstrumentLumatrakS};
    std::atomic<std::int32_t> measureMode {MeasureReflection};

    SpotColorLibrary spotColors;
    std::string spotFilePath; // library file in use
    std::string spotScratchPath; // where deleting entries compacts the library

    MeasurementList list;
    ChartProgress chart;

    // The latest sample as the spectrum graph shows it: a copy taken under
    // the lock, and its replacement by the measuring thread.
    GraphSample latestGraph() const;
    void publishGraph(const GraphSample& sample);

    // What the colour metrics page resets when it initialises: row counter,
    // paper-white state, both solid requests, the chart measurement flag,
    // current and previous patch (to 0), the process paper-white and solid
    // densities (slots 20-23, 30-33) and the request to teach a spot colour.
    void resetForColorMetricsPage();

private:
    mutable std::mutex parameterMutex;
    mutable std::mutex graphMutex;
    GraphSample graph;
};

} // namespace lt
