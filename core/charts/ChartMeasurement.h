#pragma once
// The colour metrics page's chart button: "StartChart" opens the chart of
// the chosen type (when the instrument has been initialised), shows every
// patch white, makes the chart active, and starts the list afresh; "Stop
// Chart" closes it again. The values stay in the chart until the next start;
// the chart file path is kept for the whole run.
#include <memory>
#include <string>

#include "core/charts/ChartSession.h"

namespace lt {

class InstrumentPageLink;
class Workstation;

inline constexpr const char* kStartChartCaption = "StartChart"; // before the first chart
inline constexpr const char* kStopChartCaption = "Stop Chart";
inline constexpr const char* kRestartChartCaption = "Start Chart"; // after a chart was closed
inline constexpr const char* kInitializeFirstMessage = "Please Initialize first !";
inline constexpr const char* kNotImplementedMessage = "Not yet implemented !";
inline constexpr const char* kNotImplementedCaption = "Version 1.00";

class ChartMeasurement {
public:
    // Reads "ChartName" (the path the chart file dialogs start from).
    explicit ChartMeasurement(Workstation& workstation);
    ~ChartMeasurement();

    // "StartChart": the opened chart, or null when the instrument is not
    // initialised or the chart type is unknown (the operator was told).
    ChartSession* start(const InstrumentPageLink* instrumentPage);
    // "Stop Chart".
    void stop();

    // The open chart, or null.
    ChartSession* session() const { return open.get(); }
    const std::string& chartPath() const { return path; }

private:
    Workstation& station;
    std::string path;
    std::unique_ptr<ChartSession> open;
};

} // namespace lt
