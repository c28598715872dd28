#pragma once
// What the "Color Metrics" tab does, without drawing anything: its start
// (calibration state reset, keys read and written back, spot library
// loaded), the calibration buttons "White", "Solid", "Absolute" and
// "Relative", the colour difference of two rows, "ClearList", "InitSpotClr",
// "SaveList", the chart type, the choice of what the large display shows,
// and the round trip of the density parameters to the instrument. The page
// view forwards clicks here and repaints from it; the status line reaches
// every MeasurementObserver of the workstation.
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/metrics/DensityParameterBlock.h"
#include "core/metrics/ListKeeping.h"
#include "core/metrics/ValueDisplay.h"
#include "core/station/MeasurementObserver.h"

namespace lt {

class Workstation;
class InstrumentPageLink;

inline constexpr const char* kStatusCalibratePaperWhite = "Calibrate paper white now !";
inline constexpr const char* kStatusSelectTwoItems = "  Select 2 Items !";
inline constexpr const char* kInitializeInstrumentFirstMessage = "Initialize Instrument first !";

enum class DensityMode { Absolute, Relative };

class ColorMetricsLogic : private MeasurementObserver {
public:
    // Initialises the page's state at once (see initialise()).
    explicit ColorMetricsLogic(Workstation& workstation);
    ~ColorMetricsLogic() override;
    ColorMetricsLogic(const ColorMetricsLogic&) = delete;
    ColorMetricsLogic& operator=(const ColorMetricsLogic&) = delete;

    // Resets the calibration state and the row numbering, reads "ListName",
    // "ChartName", "ChartType", "SCFile" and "Metric" (writing them back),
    // and loads the spot-colour library.
    void initialise();

    // "White": the next sample is paper white.
    void calibrateWhite();
    // "Solid": the next sample is a solid (after paper white).
    void calibrateSolid();
    // "Absolute" / "Relative".
    void setDensityMode(DensityMode mode);
    DensityMode densityMode() const { return mode; }

    // "dE" over the list rows selected (indices into the list, newest 0).
    void compareRows(const std::vector<int>& selectedRows);
    // The formula of "dE" (stored as "DeltaEFormula"; CIE 1976 by default).
    DeltaEFormula deltaEFormula() const { return formula; }
    void setDeltaEFormula(DeltaEFormula chosen);
    // "ClearList"; the rows are kept for one undo.
    void clearList();
    // Ctrl+Z after "ClearList": the rows come back while no new row has
    // arrived. False when there was nothing to undo.
    bool undoClearList();
    bool canUndoClearList() const { return keeping.canUndoClear(); }
    // Rows measured since the list was last saved (for the close question).
    bool hasUnsavedRows() const { return keeping.hasUnsavedRows(); }
    // "InitSpotClr": the next sample teaches a spot colour.
    void requestSpotColor();
    // "SaveList"; remembers the path as "ListName" after a non-empty save,
    // which is what it returns.
    bool saveList();

    // "ProcessColor", "Lab", "XYZ", "SpotColor" (1 ... 4).
    Metric metric() const { return shownMetric; }
    void setMetric(Metric metric);
    ValueDisplayContent valueDisplay() const;

    // Chart combo box: 0 IT8.7/3, 1 TQ ICC CMYK, 2 TQ ICC RGB.
    int chartType() const;
    void setChartType(int chartType);

    // "Parameter": runs editDialog (the modal "DensityParameters" dialog)
    // when the instrument is initialised, then sends the parameters to the
    // instrument and stores them. The live reading of the instrument page
    // rests meanwhile.
    void editDensityParameters(
        InstrumentPageLink* instrumentPage, const std::function<void()>& editDialog);

    // The status line as the page and the measurement cycle last set it.
    std::string statusText() const;
    const std::string& listPath() const { return listFile; }

private:
    // Keeps the sample for the value display.
    void sampleMeasured(const MeasuredSample& sample) override;
    void statusTextChanged(const std::string& text) override;
    void showStatus(const std::string& text);
    // The parameters to the instrument, on the thread that holds it.
    void sendDensityParameters(DensityParameterBlock parameters);

    Workstation& station;
    ListKeeping keeping;
    DensityMode mode = DensityMode::Absolute;
    Metric shownMetric = Metric::ProcessColor;
    DeltaEFormula formula = DeltaEFormula::Cie76;
    std::string listFile;
    mutable std::mutex stateMutex;
    std::string status;
    std::optional<MeasuredSample> newest; // shown by the value display
};

} // namespace lt
