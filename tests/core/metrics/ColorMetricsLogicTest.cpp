// The colour metrics page's logic with a virtual Lumatrak: calibrations,
// density mode, colour difference, numbering, spot-colour teaching, the
// value display and the density parameters' way to the instrument.
#include "core/metrics/ColorMetricsLogic.h"
#include "SimulatedStation.h"

#include "core/common/NumberText.h"
#include "core/metrics/DensityParametersForm.h"
#include "core/metrics/SpotLibraryFile.h"
#include "core/settings/IniFile.h"

#include <cmath>

namespace lt {
namespace {

using test::FakeInstrumentPage;

class ColorMetricsLogicTest : public test::SimulatedStation {
protected:
    void SetUp() override
    {
        SimulatedStation::SetUp();
        logic = std::make_unique<ColorMetricsLogic>(*station);
    }

    void TearDown() override
    {
        logic.reset();
        SimulatedStation::TearDown();
    }

    std::string stored(const char* section, const char* key)
    {
        return station->settings().applicationFile().getString(section, key).value_or("<missing>");
    }

    double cellNumber(int row, int column)
    {
        return parseReal(station->list().cell(row, column)).value_or(NAN);
    }

    std::unique_ptr<ColorMetricsLogic> logic;
    FakeInstrumentPage instrumentPage;
};

TEST_F(ColorMetricsLogicTest, StartsAbsoluteAndWritesItsKeysBack)
{
    EXPECT_EQ(logic->densityMode(), DensityMode::Absolute);
    EXPECT_EQ(logic->metric(), Metric::ProcessColor);
    EXPECT_EQ(stored("TaviDens", "Metric"), "1");
    EXPECT_EQ(stored("CHARTS", "ChartType"), "0");
    EXPECT_EQ(stored("SC", "SCFile"), "SCFile.txt");
    EXPECT_EQ(logic->listPath(), stored("LIST", "ListName"));
    EXPECT_NE(stored("CHARTS", "ChartName"), "<missing>");
    EXPECT_EQ(station->record().spotScratchPath, configDirectory + "/SpotTmp.txt");
}

TEST_F(ColorMetricsLogicTest, ReadsTheMetricClampedAndTheSpotLibraryFromTheSettings)
{
    IniFile& file = station->settings().applicationFile();
    file.writeString("TaviDens", "Metric", "0");
    std::filesystem::copy_file(
        test::goldenPath("spot_two_entries.txt"), configDirectory + "/Spots.txt");
    file.writeString("SC", "SCFile", "Spots.txt");
    logic->initialise();
    EXPECT_EQ(logic->metric(), Metric::ProcessColor);
    EXPECT_EQ(stored("TaviDens", "Metric"), "1");
    EXPECT_EQ(spotColorChoices(station->record()),
        (std::vector<std::string> {"none", "Reflex Blue", "Warm Red"}));

    file.writeString("TaviDens", "Metric", "7");
    logic->initialise();
    EXPECT_EQ(logic->metric(), Metric::SpotColor);
    EXPECT_EQ(stored("TaviDens", "Metric"), "4");
}

TEST_F(ColorMetricsLogicTest, SolidBeforeWhiteAsksForPaperWhiteFirst)
{
    logic->setDensityMode(DensityMode::Relative);
    logic->calibrateSolid();
    EXPECT_EQ(logic->statusText(), "Calibrate paper white first !");
    EXPECT_EQ(station->record().processSolidRequest, 0);
    EXPECT_EQ(station->record().spotSolidState, SpotSolidNone);
}

TEST_F(ColorMetricsLogicTest, RelativeCalibrationThenAbsoluteAgain)
{
    openInstrument();
    SharedRecord& record = station->record();
    logic->setDensityMode(DensityMode::Relative);
    logic->calibrateWhite();
    EXPECT_EQ(logic->statusText(), "Calibrate paper white now !");
    EXPECT_EQ(record.paperWhiteState, PaperWhiteRequested);

    measure("paper");
    EXPECT_EQ(logic->statusText(), "Densities now relative to paper white!");
    EXPECT_EQ(station->list().cell(0, column::kCyan), "0.000");

    logic->calibrateSolid();
    EXPECT_EQ(logic->statusText(), "Calibrate solid colour for percentages now !");
    EXPECT_EQ(record.processSolidRequest, 1);
    measure("C100");
    EXPECT_EQ(station->list().cell(0, column::kDotArea), "C  100.0");
    measure("C50");
    const double relativeCyan = cellNumber(0, column::kCyan);

    // "Absolute" after the calibration: the next samples are as measured.
    logic->setDensityMode(DensityMode::Absolute);
    EXPECT_EQ(logic->statusText(), "");
    EXPECT_EQ(record.paperWhiteState, PaperWhiteAbsolute);
    measure("C50");
    EXPECT_GT(cellNumber(0, column::kCyan), relativeCyan + 0.01);
    measure("paper");
    EXPECT_GT(cellNumber(0, column::kYellow), 0.01) << "paper is no longer the zero";
}

TEST_F(ColorMetricsLogicTest, ColourDifferenceNeedsExactlyTwoRows)
{
    openInstrument();
    measure("C50");
    measure("M50");
    measure("Y50");

    logic->compareRows({0});
    EXPECT_EQ(logic->statusText(), "  Select 2 Items !");
    logic->compareRows({0, 1, 2});
    EXPECT_EQ(logic->statusText(), "  Select 2 Items !");

    logic->compareRows({0, 2});
    const double dL = cellNumber(0, column::kL) - cellNumber(2, column::kL);
    const double da = cellNumber(0, column::kA) - cellNumber(2, column::kA);
    const double db = cellNumber(0, column::kB) - cellNumber(2, column::kB);
    const double expected = std::sqrt(dL * dL + da * da + db * db);
    EXPECT_EQ(logic->statusText(), "   dE:   " + formatFixed(expected, 3, 3) + "  ");
    EXPECT_GT(expected, 20.0) << "yellow and cyan are far apart";

    // CIEDE2000 chosen: the first row is the reference, the text names the
    // formula, and the choice is kept for the next start.
    logic->setDeltaEFormula(DeltaEFormula::Ciede2000);
    logic->compareRows({0, 2});
    const Lab first {
        cellNumber(0, column::kL), cellNumber(0, column::kA), cellNumber(0, column::kB)};
    const Lab second {
        cellNumber(2, column::kL), cellNumber(2, column::kA), cellNumber(2, column::kB)};
    EXPECT_EQ(
        logic->statusText(), "   dE00:   " + formatFixed(deltaE2000(first, second), 3, 3) + "  ");
    EXPECT_EQ(ColorMetricsLogic(*station).deltaEFormula(), DeltaEFormula::Ciede2000);
}

TEST_F(ColorMetricsLogicTest, ClearListRestartsTheNumbering)
{
    openInstrument();
    measure("paper");
    measure("paper");
    EXPECT_EQ(station->list().cell(0, column::kNumber), "  1");
    logic->clearList();
    EXPECT_EQ(station->list().rowCount(), 0);
    measure("paper");
    EXPECT_EQ(station->list().cell(0, column::kNumber), "  0");
}

TEST_F(ColorMetricsLogicTest, TeachingASpotColourNamesItThroughTheSpotIdPrompt)
{
    openInstrument();
    logic->requestSpotColor();
    EXPECT_EQ(logic->statusText(), "Measure SpotColor for Identification now!");
    op.spotNames.push_back(SpotColorNameAnswer {"Reflex Blue from the press room", true});
    measure("Reflex Blue");

    ASSERT_EQ(op.spotPrompts.size(), 1u);
    EXPECT_EQ(op.spotPrompts[0].presetName, "S1");
    const SpotColorLibrary& library = station->record().spotColors;
    ASSERT_EQ(library.count(), 1);
    EXPECT_EQ(library.entry(1)->name, "Reflex Blue from the")
        << "a taught name keeps 20 characters";
    EXPECT_EQ(library.entry(1)->name.size(), 20u);
    EXPECT_EQ(library.entry(1)->kind, SpotKind::Narrow);
    EXPECT_EQ(library.selection(), 1);
    EXPECT_EQ(station->list().cell(0, column::kSpotName), "    --")
        << "the teaching sample has no spot value";

    measure("Reflex Blue");
    EXPECT_EQ(station->list().cell(0, column::kSpotName).substr(0, 11), "Reflex Blue");
    EXPECT_GT(cellNumber(0, column::kSpotDensity), 0.5);

    // Cancelling a second teaching leaves the library as it was.
    logic->requestSpotColor();
    measure("Rubine Red");
    EXPECT_EQ(op.spotPrompts.back().presetName, "S2");
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(library.selection(), 1);
}

TEST_F(ColorMetricsLogicTest, TheValueDisplayShowsTheNewestRowInEachMetric)
{
    EXPECT_FALSE(logic->valueDisplay().valuesShown);
    EXPECT_EQ(logic->valueDisplay().labels[0], "Proc.Density");

    openInstrument();
    logic->setDensityMode(DensityMode::Relative);
    logic->calibrateWhite();
    measure("paper");
    logic->calibrateSolid();
    measure("M100");
    measure("M50");

    ValueDisplayContent shown = logic->valueDisplay();
    ASSERT_TRUE(shown.valuesShown);
    EXPECT_EQ(shown.values[0], station->list().cell(0, column::kMagenta));
    EXPECT_EQ(shown.values[1], station->list().cell(0, column::kDotArea).substr(3));
    EXPECT_EQ(shown.values[2], "M");

    logic->setMetric(Metric::Lab);
    EXPECT_EQ(stored("TaviDens", "Metric"), "2");
    shown = logic->valueDisplay();
    EXPECT_EQ(shown.labels, (std::array<std::string, 3> {"L", "a", "b"}));
    EXPECT_EQ(shown.values[0], station->list().cell(0, column::kL));

    logic->setMetric(Metric::Xyz);
    EXPECT_EQ(logic->valueDisplay().values[2], station->list().cell(0, column::kZ));

    logic->setMetric(Metric::SpotColor);
    shown = logic->valueDisplay();
    EXPECT_EQ(shown.labels, (std::array<std::string, 3> {"SpotDensity", "%", "SpotColor"}));
    EXPECT_EQ(shown.values, (std::array<std::string, 3> {"--   ", "--", "    --"}));
}

TEST_F(ColorMetricsLogicTest, SaveListRemembersOnlyANonEmptySave)
{
    openInstrument();
    const std::string before = stored("LIST", "ListName");
    op.files.push_back(configDirectory + "/empty.txt");
    logic->saveList();
    EXPECT_EQ(stored("LIST", "ListName"), before);

    measure("paper");
    op.files.push_back(configDirectory + "/one.txt");
    logic->saveList();
    EXPECT_EQ(stored("LIST", "ListName"), configDirectory + "/one.txt");
    EXPECT_EQ(op.fileQuestions.back().startPath, configDirectory + "/empty.txt");
}

// The density parameters' round trip to the instrument and the settings.

TEST_F(ColorMetricsLogicTest, ParametersNeedAnInitialisedInstrument)
{
    instrumentPage.initialised = false;
    instrumentPage.liveReading = true;
    bool dialogShown = false;
    logic->editDensityParameters(&instrumentPage, [&] { dialogShown = true; });
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(op.texts(), (std::vector<std::string> {"Initialize Instrument first !"}));
    EXPECT_TRUE(instrumentPage.liveReading) << "the live reading runs again";

    logic->editDensityParameters(nullptr, [&] { dialogShown = true; });
    EXPECT_FALSE(dialogShown);
}

TEST_F(ColorMetricsLogicTest, CancelStillSendsTheParametersAndRewritesTheKeys)
{
    openInstrument();
    DensityParameterBlock& block = station->record().densityParameters;
    block.setReal(slot::kSlopeCyan, 1.25f);
    block.setReal(slot::kSlopeBlack, 0.75f);
    block.setInteger(slot::kFilterType, 1);
    block.setInteger(slot::kIllumType, 3);
    block.setInteger(slot::kObserverType, 1);
    sim.clearRequests();
    instrumentPage.liveReading = true;

    bool liveDuringDialog = true;
    logic->editDensityParameters(
        &instrumentPage, [&] { liveDuringDialog = instrumentPage.liveReading; });

    EXPECT_FALSE(liveDuringDialog);
    EXPECT_TRUE(instrumentPage.liveReading);
    EXPECT_EQ(instrumentPage.illuminant, 3);
    const ltsim::MeasurementConditions conditions = sim.conditions();
    EXPECT_FLOAT_EQ(conditions.densitySlopes[0], 0.75f);
    EXPECT_FLOAT_EQ(conditions.densitySlopes[1], 1.25f);
    EXPECT_EQ(conditions.filterCode, '1');
    EXPECT_EQ(conditions.observerCode, '1');
    EXPECT_EQ(stored("TaviDens", "DSlopeC"), "1.250000");
    EXPECT_EQ(stored("TaviDens", "DSlopeK"), "0.750000");
    EXPECT_EQ(stored("TaviDens", "DYNY"), "1.000000");
    EXPECT_EQ(stored("TaviDens", "FilterType"), "1");
    EXPECT_EQ(stored("TaviDens", "IllumType"), "3");
    EXPECT_EQ(stored("TaviDens", "ObserverType"), "1");
}

TEST_F(ColorMetricsLogicTest, ThePrototypeGetsNoCommandsButTheKeysAreWritten)
{
    station->record().instrumentType = InstrumentPrototype;
    station->record().densityParameters.setReal(slot::kSlopeMagenta, 1.5f);
    sim.clearRequests();
    logic->editDensityParameters(&instrumentPage, [] {});
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_EQ(stored("TaviDens", "DSlopeM"), "1.500000");
}

TEST_F(ColorMetricsLogicTest, ATextThatIsNoNumberKeepsTheSlotButIsStoredAsTyped)
{
    DensityParameterChoice choice = currentDensityParameters(*station);
    EXPECT_EQ(choice.texts[0], "1.000");
    choice.texts[0] = "1.1"; // slope Cyan
    choice.texts[1] = "steep"; // slope Magenta
    choice.texts[9] = "2.5e0"; // Yule-Nielsen Spot
    choice.filter = 3;
    choice.illumination = -1; // nothing chosen: stays
    applyDensityParameters(*station, choice);

    const DensityParameterBlock& block = station->record().densityParameters;
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeCyan), 1.1f);
    EXPECT_FLOAT_EQ(block.real(slot::kSlopeMagenta), 1.0f);
    EXPECT_FLOAT_EQ(block.real(slot::kYuleNielsenSpot), 2.5f);
    EXPECT_EQ(block.integer(slot::kFilterType), 3);
    EXPECT_EQ(block.integer(slot::kIllumType), 4);
    EXPECT_EQ(stored("TaviDens", "DSlopeC"), "1.1");
    EXPECT_EQ(stored("TaviDens", "DSlopeM"), "steep");
    EXPECT_EQ(stored("TaviDens", "DYNS"), "2.5e0");
}

} // namespace
} // namespace lt
