#include "core/station/MeasurementCycle.h"

#include <algorithm>

#include "core/common/NumberText.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"

namespace lt {

namespace {

constexpr std::uint8_t kOutputEmissionCalibration = 8;
constexpr std::uint8_t kColorSpace0 = 0;
constexpr std::uint8_t kColorSpaceLab = 1;
constexpr std::uint8_t kColorSpaceXyz = 4;

constexpr std::uint8_t kTablePresent = 4;
constexpr std::uint32_t kTableSettleMs = 50;
constexpr const char* kNoXyTableCaption = "Lumatrak A";
constexpr const char* kSpotIdCaption = "SpotID";

// 10000 ("port not open") is a failure too: nothing was measured.
bool failed(unsigned long status)
{
    return status >= kStatusPortNotOpen;
}

// Measurement conditions common to measurement and calibration.
void fillConditions(GretagStruct& g, const DensityParameterBlock& block)
{
    g.Illuminant = static_cast<std::uint8_t>(block.integer(slot::kIllumType));
    g.Observer = static_cast<std::uint8_t>(block.integer(slot::kObserverType));
    g.Filter = static_cast<std::uint8_t>(block.integer(slot::kFilterType));
    g.Reserved1 = 0;
    g.ExtraOption = 1;
}

} // namespace

MeasurementCycle::MeasurementCycle(Workstation& workstation) : station(workstation)
{
}

void MeasurementCycle::publishStatus(const std::string& text)
{
    station.notify([&](MeasurementObserver& observer) { observer.statusTextChanged(text); });
}

unsigned long MeasurementCycle::fetchResults(CTaviSpec& instrument, GretagStruct& work)
{
    struct Fetch {
        std::uint8_t outputType;
        std::uint8_t colorSpace;
        unsigned long failureOffset;
    };
    // The colour space of the density fetch is not sent; it stays at the last colorimetric one.
    static constexpr Fetch kFetches[] = {
        {kOutputColorimetric, kColorSpace0, kFailedColorSpace0Fetch},
        {kOutputColorimetric, kColorSpaceLab, kFailedLabFetch},
        {kOutputColorimetric, kColorSpaceXyz, kFailedXyzFetch},
        {kOutputDensity, kColorSpaceXyz, kFailedDensityFetch},
    };
    unsigned long status = 0;
    for (const Fetch& fetch : kFetches) {
        work.OutputType = fetch.outputType;
        work.ColorSpace = fetch.colorSpace;
        work.StartStep = kStartFetch;
        status = instrument.GretagExecRemission(&work);
        if (failed(status))
            return status + fetch.failureOffset;
    }
    return status;
}

unsigned long MeasurementCycle::MeasureSample(
    std::uint8_t kind, double scale, std::uint8_t fetchOnly)
{
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    SharedRecord& record = station.record();

    // Results go into a working copy that becomes the latest sample only when
    // every fetch succeeded.
    GretagStruct work = record.measurement;
    fillConditions(work, record.densityParameterSnapshot());
    work.OutputType = kOutputSpectrum;
    work.SpectrumVariant = 0;
    work.Spectrum = record.measurementSpectrum.data();
    work.StartStep = fetchOnly ? kStartFetch : kStartTrigger;
    unsigned long status = exchange.instrument().GretagExecRemission(&work);
    if (failed(status))
        return status;

    MeasuredSample sample;
    sample.graph = record.latestGraph();
    if (kind == kKindWithGraph) {
        GraphSample& graph = sample.graph;
        for (int i = 0; i < kSpectrumPoints; ++i)
            graph.ordinates[i] = graphOrdinate(record.measurementSpectrum[i], scale);
        graph.pointCount = kSpectrumPoints;
        graph.referenceOrdinate = graphReferenceOrdinate(scale);
        record.publishGraph(graph);
        station.notify([&](MeasurementObserver& observer) { observer.graphChanged(graph); });
    }

    status = fetchResults(exchange.instrument(), work);
    if (failed(status))
        return status;
    record.measurement = work;
    sample.graph.referenceOrdinate = graphReferenceOrdinate(scale);

    bool teach = false;
    evaluateSample(sample, teach);
    record.publishGraph(sample.graph);
    record.list.insertTop(sample.row);

    if (teach)
        teachSpotColor();

    sample.chartPatch = advanceChart(sample);
    station.notify([&](MeasurementObserver& observer) { observer.sampleMeasured(sample); });
    return status;
}

void MeasurementCycle::evaluateSample(MeasuredSample& sample, bool& teach)
{
    SharedRecord& record = station.record();
    // Worked on a copy; the slots the sample changes go back at the end.
    const DensityParameterBlock before = record.densityParameterSnapshot();
    DensityParameterBlock block = before;
    const GretagStruct& g = record.measurement;
    MeasurementRow& row = sample.row;

    // The instrument delivers Black, Cyan, Magenta, Yellow.
    ProcessDensities densities {g.Density[1], g.Density[2], g.Density[3], g.Density[0]};
    std::int32_t paperWhiteState = record.paperWhiteState;
    std::int32_t processSolidRequest = record.processSolidRequest;
    std::int32_t spotSolidState = record.spotSolidState;

    if (applyPaperWhite(densities, block, paperWhiteState))
        publishStatus(kStatusPaperWhiteTaken);
    row[column::kCyan] = formatFixed(densities[Cyan], 3, 3);
    row[column::kMagenta] = formatFixed(densities[Magenta], 3, 3);
    row[column::kYellow] = formatFixed(densities[Yellow], 3, 3);
    row[column::kBlack] = formatFixed(densities[Black], 3, 3);

    GraphSample& graph = sample.graph;
    graph.densities = densities;
    graph.minimumCmy = std::min({densities[Cyan], densities[Magenta], densities[Yellow]});
    graph.maximumCmy = std::max({densities[Cyan], densities[Magenta], densities[Yellow]});

    ProcessOutcome process = applyProcessColor(densities, block, processSolidRequest);
    if (process.solidTaken)
        publishStatus("");
    row[column::kDotArea] = formatProcessDotArea(
        process.color, process.dotArea, block.real(slot::solid(process.color)));

    for (int i = 0; i < 3; ++i) {
        row[column::kL + i] = formatFixed(g.ColorTriple1[i], 2, 3);
        row[column::kX + i] = formatFixed(g.ColorTriple4[i], 2, 3);
        sample.lab[i] = g.ColorTriple1[i];
        sample.xyz[i] = g.ColorTriple4[i];
    }

    sample.number = record.rowCounter.fetch_add(1);
    row[column::kNumber] = "  " + formatInteger(sample.number);

    row[column::kSpotDensity] = kNoSpotDensityText;
    row[column::kSpotDotArea] = kNoSpotDotAreaText;
    row[column::kSpotName] = kNoSpotNameText;
    teach = record.spotColors.newEntryRequested.exchange(false);
    if (!teach) {
        if (SpotColorEntry* spot = record.spotColors.selectedColor()) {
            SpotOutcome outcome = applySpotColor(
                *spot, record.measurementSpectrum.data(), block, paperWhiteState, spotSolidState);
            row[column::kSpotDensity] = outcome.densityText;
            row[column::kSpotDotArea] = outcome.dotAreaText;
            row[column::kSpotName] = outcome.nameText;
            if (outcome.status)
                publishStatus(*outcome.status);
        }
    }

    record.mergeDensityParameters(before, block);
    record.paperWhiteState = paperWhiteState;
    record.processSolidRequest = processSolidRequest;
    record.spotSolidState = spotSolidState;

    sample.densities = densities;
    sample.processColor = process.color;
    sample.dotArea = process.dotArea;
    sample.solidKnown = block.real(slot::solid(process.color)) != 0.0f;
    sample.spotSolidKnown = spotSolidState == SpotSolidCalibrated;
}

void MeasurementCycle::teachSpotColor()
{
    SharedRecord& record = station.record();
    SpotColorLibrary& library = record.spotColors;
    if (library.isFull()) {
        station.op().showMessage(
            kSpotLibraryFullMessage, kSpotIdCaption, MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    double centre = findSpotWindowCentre(record.measurementSpectrum.data());
    SpotColorEntry* entry = library.append(makeSpotColorEntry(centre));
    publishStatus("");

    Settings& settings = station.settings();
    SpotColorNamePrompt prompt;
    prompt.centreWavelength = centre;
    prompt.presetName = "S" + formatInteger(library.count());
    prompt.narrow = settings.load(keys::kNarrowFilter) == 1;
    prompt.onWindowChosen = [&settings](bool narrow) {
        settings.store(keys::kNarrowFilter, narrow ? 1 : 0);
    };
    std::optional<SpotColorNameAnswer> answer = station.op().askSpotColorName(prompt);
    if (answer) {
        entry->name = answer->name.substr(0, SpotColorEntry::kTaughtNameLength);
        entry->kind = answer->narrow ? SpotKind::Narrow : SpotKind::Wide;
        entry->weights = answer->narrow ? kNarrowWindowWeights : kWideWindowWeights;
    } else {
        library.removeLast();
    }
    library.select(library.count());
}

int MeasurementCycle::advanceChart(const MeasuredSample& sample)
{
    ChartProgress& chart = station.record().chart;
    if (!chart.active)
        return -1;
    int patch = chart.currentPatch;
    if (patch < 0 || patch >= chartPatchCount(chart.chartType))
        return -1;
    if (ChartPatchStore* store = station.chartPatchStore())
        store->storePatchValues(
            patch, chartPatchValues(sample.xyz[0], sample.xyz[1], sample.xyz[2]));
    chart.previousPatch = patch;
    chart.currentPatch = patch + 1;
    station.notify(
        [&](MeasurementObserver& observer) { observer.chartPatchMeasured(patch, patch + 1); });
    return patch;
}

unsigned long MeasurementCycle::InitRemission()
{
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    SharedRecord& record = station.record();
    GretagStruct& calibration = record.calibration;
    std::int32_t mode = record.measureMode;
    fillConditions(calibration, record.densityParameterSnapshot());
    calibration.OutputType =
        mode == MeasureEmission ? kOutputEmissionCalibration : kOutputColorimetric;
    calibration.MeasureMode = static_cast<std::uint8_t>(mode);
    calibration.Spectrum = record.calibrationSpectrum.data();

    std::uint8_t tableReply[8] = {};
    exchange.instrument().GretagCMD(kCmdTableDetection, tableReply);
    unsigned char withTable = 0;
    if (record.instrumentType == InstrumentLumatrakA) {
        if (tableReply[0] == kTablePresent) {
            withTable = 1;
        } else {
            station.op().showMessage(
                kNoXyTableMessage, kNoXyTableCaption, MessageButtons::Ok, MessageIcon::Exclamation);
            record.instrumentType = InstrumentLumatrakS;
            station.notify([](MeasurementObserver& observer) {
                observer.instrumentTypeChanged(InstrumentLumatrakS);
            });
        }
    }
    clock().sleepMs(kTableSettleMs);
    return exchange.instrument().GretagInitExecRemission(&calibration, withTable);
}

void MeasurementCycle::clearList()
{
    SharedRecord& record = station.record();
    record.list.clear();
    record.rowCounter = 0;
}

} // namespace lt
