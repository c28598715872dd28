#include "core/metrics/ColorMetricsLogic.h"
#include "core/station/DeviceTypes.h"

#include "core/colour/ColorArithmetic.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/ListFile.h"
#include "core/metrics/SpotLibraryFile.h"
#include "core/settings/DensitySettings.h"
#include "core/station/InstrumentPageLink.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

// After the density parameters were edited the instrument gets the four
// slopes (Black, Cyan, Magenta, Yellow), then the measurement conditions
// (illuminant, observer, filter) with this extra option.
constexpr std::uint8_t kExtraOptionOn = 1;
// The exchange that sends them, as the status line and progress name it.
const char* const kParameterAction = "Parameter";

} // namespace

ColorMetricsLogic::ColorMetricsLogic(Workstation& workstation)
    : station(workstation), keeping(workstation.record())
{
    station.addObserver(this);
    initialise();
}

ColorMetricsLogic::~ColorMetricsLogic()
{
    station.removeObserver(this);
}

void ColorMetricsLogic::initialise()
{
    SharedRecord& record = station.record();
    Settings& settings = station.settings();
    record.resetForColorMetricsPage();
    mode = DensityMode::Absolute;

    listFile = settings.load(keys::kListName);
    formula = deltaEFormulaFromIndex(settings.load(keys::kDeltaEFormula));
    settings.load(keys::kChartName);
    record.chart.chartType = settings.load(keys::kChartType);

    record.spotColors.clear();
    record.spotScratchPath = spotScratchPath(settings);
    const std::string spotFile = settings.load(keys::kSpotColorFile);
    LoadSpotFile(record, station.op(), settingsRelativePath(settings, spotFile));

    shownMetric = metricFromSetting(settings.load(keys::kMetric));
}

void ColorMetricsLogic::calibrateWhite()
{
    SharedRecord& record = station.record();
    record.paperWhiteState = PaperWhiteRequested;
    record.processSolidRequest = 0;
    record.spotSolidState = SpotSolidNone;
    showStatus(kStatusCalibratePaperWhite);
}

void ColorMetricsLogic::calibrateSolid()
{
    SharedRecord& record = station.record();
    if (record.paperWhiteState < PaperWhiteTaken) {
        showStatus(kStatusCalibratePaperWhiteFirst);
        return;
    }
    showStatus(kStatusCalibrateSolid);
    record.processSolidRequest = 1;
    record.spotSolidState = SpotSolidRequested;
}

void ColorMetricsLogic::setDensityMode(DensityMode newMode)
{
    SharedRecord& record = station.record();
    mode = newMode;
    record.paperWhiteState = PaperWhiteAbsolute;
    record.processSolidRequest = 0;
    if (newMode == DensityMode::Absolute)
        showStatus("");
}

void ColorMetricsLogic::compareRows(const std::vector<int>& selectedRows)
{
    if (selectedRows.size() != 2) {
        showStatus(kStatusSelectTwoItems);
        return;
    }
    const MeasurementList& list = station.list();
    if (auto difference =
            colorDifferenceOfRows(list.row(selectedRows[0]), list.row(selectedRows[1]), formula))
        showStatus(formatColorDifference(*difference, formula));
}

void ColorMetricsLogic::setDeltaEFormula(DeltaEFormula chosen)
{
    formula = chosen;
    station.settings().store(keys::kDeltaEFormula, static_cast<int>(chosen));
}

void ColorMetricsLogic::clearList()
{
    keeping.clearKeepingRows([this] { station.cycle().clearList(); });
}

bool ColorMetricsLogic::undoClearList()
{
    return keeping.undoClear();
}

void ColorMetricsLogic::requestSpotColor()
{
    showStatus(kStatusMeasureSpotColor);
    station.record().spotColors.newEntryRequested = true;
}

bool ColorMetricsLogic::saveList()
{
    if (!SaveList(station.list(), station.op(), listFile))
        return false;
    station.settings().store(keys::kListName, listFile);
    keeping.markSaved();
    return true;
}

void ColorMetricsLogic::setMetric(Metric metric)
{
    shownMetric = metric;
    station.settings().store(keys::kMetric, static_cast<int>(metric));
    station.notify([](MeasurementObserver& observer) { observer.valueAreaChanged(); });
}

ValueDisplayContent ColorMetricsLogic::valueDisplay() const
{
    // A cleared list shows only the labels.
    const bool hasRows = station.list().rowCount() > 0;
    std::lock_guard lock(stateMutex);
    return valueDisplayContent(shownMetric, hasRows && newest ? &*newest : nullptr);
}

int ColorMetricsLogic::chartType() const
{
    return station.record().chart.chartType;
}

void ColorMetricsLogic::setChartType(int chartType)
{
    station.record().chart.chartType = chartType;
    station.settings().store(keys::kChartType, chartType);
}

void ColorMetricsLogic::editDensityParameters(
    InstrumentPageLink* instrumentPage, const std::function<void()>& editDialog)
{
    // The live reading polls the instrument; it rests until the parameters
    // have been sent, so no poll runs between the commands.
    const bool paused = instrumentPage && instrumentPage->pauseLiveReading();
    if (!instrumentPage || !instrumentPage->instrumentInitialised()) {
        tellOperator(station.op(), kInitializeInstrumentFirstMessage);
    } else {
        editDialog();
        const DensityParameterBlock parameters = station.record().densityParameterSnapshot();
        instrumentPage->selectIlluminant(parameters.integer(slot::kIllumType));
        storeDensityParameters(station.settings(), parameters);
        // Sent on the exchange worker; the live reading rests until then.
        if (station.exchanges().start(kParameterAction, false,
                [this, parameters, instrumentPage, paused](ExchangeControl&) {
                    sendDensityParameters(parameters);
                    if (paused)
                        instrumentPage->resumeLiveReading();
                }))
            return;
    }
    if (paused)
        instrumentPage->resumeLiveReading();
}

void ColorMetricsLogic::sendDensityParameters(DensityParameterBlock parameters)
{
    // Only the spectrophotometers take density parameters.
    const DeviceType& type = deviceType(station.record().instrumentType);
    if (type.family == InstrumentFamily::Spectrophotometer) {
        // Answers are not examined: a failed download leaves the
        // instrument's previous parameters, which the next measurement shows.
        if (InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin()) {
            exchange.instrument().GretagCMD(kCmdDensitySlopes, parameters.data());
            GretagStruct conditions {};
            conditions.Illuminant = static_cast<std::uint8_t>(parameters.integer(slot::kIllumType));
            conditions.Observer =
                static_cast<std::uint8_t>(parameters.integer(slot::kObserverType));
            conditions.Filter = static_cast<std::uint8_t>(parameters.integer(slot::kFilterType));
            conditions.ExtraOption = kExtraOptionOn;
            exchange.instrument().GretagCMD(kCmdMeasurementConditions, &conditions);
        }
    }
}

std::string ColorMetricsLogic::statusText() const
{
    std::lock_guard lock(stateMutex);
    return status;
}

void ColorMetricsLogic::sampleMeasured(const MeasuredSample& sample)
{
    std::lock_guard lock(stateMutex);
    newest = sample;
}

void ColorMetricsLogic::statusTextChanged(const std::string& text)
{
    std::lock_guard lock(stateMutex);
    status = text;
}

void ColorMetricsLogic::showStatus(const std::string& text)
{
    station.notify([&](MeasurementObserver& observer) { observer.statusTextChanged(text); });
}

} // namespace lt
