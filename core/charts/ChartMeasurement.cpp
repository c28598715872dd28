#include "core/charts/ChartMeasurement.h"

#include "core/station/InstrumentPageLink.h"
#include "core/station/Workstation.h"

namespace lt {

ChartMeasurement::ChartMeasurement(Workstation& workstation)
    : station(workstation), path(workstation.settings().load(keys::kChartName))
{
}

ChartMeasurement::~ChartMeasurement()
{
    stop();
}

ChartSession* ChartMeasurement::start(const InstrumentPageLink* instrumentPage)
{
    if (open)
        return open.get();
    if (!instrumentPage || !instrumentPage->instrumentInitialised()) {
        station.op().showMessage(
            kInitializeFirstMessage, "", MessageButtons::Ok, MessageIcon::Exclamation);
        return nullptr;
    }
    const ChartDescription* chart = findChartDescription(station.record().chart.chartType);
    if (!chart) {
        station.op().showMessage(kNotImplementedMessage, kNotImplementedCaption, MessageButtons::Ok,
            MessageIcon::Exclamation);
        return nullptr;
    }
    open = std::make_unique<ChartSession>(station, chart->type, path);
    open->tables().setDisplayValues(chart->patchCount, kWhiteDisplayValue);
    station.record().chart.active = true;
    station.cycle().clearList();
    return open.get();
}

void ChartMeasurement::stop()
{
    station.record().chart.active = false;
    open.reset();
}

} // namespace lt
