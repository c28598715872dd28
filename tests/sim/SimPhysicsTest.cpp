// The physics behind the answers: CIE colorimetry, the print model and the
// status densities give what a printer would find on a press sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "SimTestSupport.h"
#include "sim/CieTables.h"
#include "sim/Colorimetry.h"
#include "sim/Densitometry.h"
#include "sim/SampleLibrary.h"

using namespace ltsim;

namespace {

double deltaE(const Reading& a, const Reading& b)
{
    return std::sqrt(std::pow(a.lab[0] - b.lab[0], 2) + std::pow(a.lab[1] - b.lab[1], 2) +
        std::pow(a.lab[2] - b.lab[2], 2));
}

} // namespace

TEST(SimPhysics, WhitePointsOfThePublishedIlluminants)
{
    struct Case {
        Illuminant illuminant;
        Observer observer;
        double x, z;
    };
    const Case cases[] = {
        {Illuminant::D50, Observer::TwoDegree, 96.42, 82.51},
        {Illuminant::D65, Observer::TwoDegree, 95.04, 108.88},
        {Illuminant::A, Observer::TwoDegree, 109.85, 35.58},
        {Illuminant::C, Observer::TwoDegree, 98.07, 118.22},
        {Illuminant::D65, Observer::TenDegree, 94.81, 107.32},
        {Illuminant::D50, Observer::TenDegree, 96.72, 81.43},
        {Illuminant::D55, Observer::TwoDegree, 95.68, 92.14},
        {Illuminant::D75, Observer::TwoDegree, 94.97, 122.61},
    };
    for (const Case& c : cases) {
        Tristimulus white = whitePoint(c.illuminant, c.observer);
        EXPECT_NEAR(white.x, c.x, 0.1) << static_cast<int>(c.illuminant);
        EXPECT_NEAR(white.y, 100.0, 1e-9);
        EXPECT_NEAR(white.z, c.z, 0.1) << static_cast<int>(c.illuminant);
    }
}

// The simulator and the program weigh with one D50: the simulator's table is
// made by the same daylight formula as the illuminant table the program
// ships (column 8 of ILLUM.txt), so both agree to the last digit printed.
TEST(SimPhysics, D50IsTheDaylightFormulaTheProgramUses)
{
    std::ifstream table(LTRAKW_DATA_DIR "/ILLUM.txt");
    ASSERT_TRUE(table) << "ILLUM.txt";
    std::string line;
    std::getline(table, line); // the comment line
    constexpr int kD50Column = 8;
    int compared = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        double wavelength = 0.0, value = 0.0;
        fields >> wavelength;
        for (int column = 1; column <= kD50Column; ++column)
            fields >> value;
        const int index = static_cast<int>(wavelength - cie::kCieFirstWavelength) / cie::kCieStep;
        if (wavelength < cie::kCieFirstWavelength || index >= cie::kCieSamples)
            continue;
        EXPECT_NEAR(cie::kIlluminantD50[index], value, 1e-4 * value + 1e-6) << wavelength;
        ++compared;
    }
    EXPECT_EQ(compared, cie::kCieSamples);
}

TEST(SimPhysics, PaperProcessInksAndTheirDensities)
{
    Simulator simulator;
    auto paper = simulator.expectedReading("paper");
    ASSERT_TRUE(paper);
    EXPECT_GT(paper->lab[0], 90.0f);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_GE(paper->density[channel], 0.03f);
        EXPECT_LE(paper->density[channel], 0.10f);
    }
    // Black, cyan, magenta, yellow; each solid's own channel leads its chromatic channels.
    const char* solids[] = {"C100", "M100", "Y100"};
    auto black = simulator.expectedReading("K100");
    for (int ink = 0; ink < 3; ++ink) {
        auto solid = simulator.expectedReading(solids[ink]);
        int own = ink + 1;
        EXPECT_GE(solid->density[own], 1.3f) << solids[ink];
        EXPECT_LE(solid->density[own], 1.8f) << solids[ink];
        for (int other = 1; other < 4; ++other) {
            if (other != own) {
                EXPECT_LT(solid->density[other], solid->density[own]) << solids[ink];
            }
        }
    }
    for (int channel = 0; channel < 4; ++channel) {
        for (const char* solid : solids)
            EXPECT_GT(black->density[channel], simulator.expectedReading(solid)->density[channel]);
    }
    // Hues where a printer expects them.
    auto cyan = simulator.expectedReading("C100"), magenta = simulator.expectedReading("M100"),
         yellow = simulator.expectedReading("Y100");
    EXPECT_LT(cyan->lab[1], -20.0f);
    EXPECT_LT(cyan->lab[2], -20.0f);
    EXPECT_GT(magenta->lab[1], 50.0f);
    EXPECT_GT(yellow->lab[2], 70.0f);
}

// The status densities of the model's solids against the ISO 5-3 figures
// for the same spectra: with the published products (not bands) the yellow
// solid reads about 1.11 in its own Status T channel and cyan about 1.55.
// Status E reads yellow higher than T (its blue product is narrower and
// sits where yellow absorbs most); a neutral grey reads -log10(R) in every
// channel, the visual one included.
TEST(SimPhysics, StatusDensitiesFollowTheIsoSpectralProducts)
{
    SampleLibrary library;
    auto densities = [&](const char* sample, DensityFilter filter) {
        return statusDensities(*library.remission(sample), filter);
    };
    EXPECT_NEAR(densities("Y100", DensityFilter::AnsiT).yellow, 1.11, 0.03);
    EXPECT_NEAR(densities("C100", DensityFilter::AnsiT).cyan, 1.55, 0.03);
    EXPECT_GT(densities("Y100", DensityFilter::AnsiE).yellow,
        densities("Y100", DensityFilter::AnsiT).yellow + 0.05);
    EXPECT_DOUBLE_EQ(densities("M100", DensityFilter::Din).magenta,
        densities("M100", DensityFilter::AnsiE).magenta);

    const SpectralCurve grey = SpectralCurve::fromFunction([](double) { return 0.2; });
    for (DensityFilter filter : {DensityFilter::AnsiA, DensityFilter::AnsiT, DensityFilter::AnsiE,
             DensityFilter::Din, DensityFilter::DinNarrowBand}) {
        const ProcessDensities d = statusDensities(grey, filter);
        for (double channel : {d.black, d.cyan, d.magenta, d.yellow})
            EXPECT_NEAR(channel, -std::log10(0.2), 1e-9);
    }
    // The visual product carries illuminant A, whose little blue power makes a
    // sample that reflects only below 500 nm read 1.61 (2.4 % of the product);
    // the luminous efficiency alone would give 1.27.
    const SpectralCurve blueOnly = SpectralCurve::fromFunction(
        [](double wavelength) { return wavelength < 500.0 ? 1.0 : 0.0; });
    EXPECT_NEAR(statusDensities(blueOnly, DensityFilter::AnsiT).black, 1.61, 0.01);
}

TEST(SimPhysics, HalftonesLieBetweenPaperAndSolidAndGainDots)
{
    Simulator simulator;
    double paper = simulator.expectedReading("paper")->density[1];
    double solid = simulator.expectedReading("C100")->density[1];
    double previous = paper;
    for (int percent : {10, 25, 50, 75, 90}) {
        double density = simulator.expectedReading("C" + std::to_string(percent))->density[1];
        EXPECT_GT(density, previous) << percent;
        previous = density;
    }
    EXPECT_LT(previous, solid);
    // Murray-Davies dot area of the 50 % tint shows dot gain above 50 %.
    double tint = simulator.expectedReading("C50")->density[1] - paper;
    double area = (1.0 - std::pow(10.0, -tint)) / (1.0 - std::pow(10.0, -(solid - paper)));
    EXPECT_GT(area, 0.55);
    EXPECT_LT(area, 0.85);
}

// A sheet from a press with 10 % more dot gain: the Murray-Davies dot area
// of every tint grows by about 4a(1 - a) x 10 % (most at 50 %, little at
// 10 % and 90 %), while paper and solids, which carry no dots, read the same.
TEST(SimPhysics, MoreDotGainDarkensTheMidTonesOnly)
{
    Simulator standard;
    Simulator gaining;
    EXPECT_DOUBLE_EQ(standard.dotGain(), kStandardDotGain);
    gaining.setDotGain(kStandardDotGain + 10.0);
    EXPECT_DOUBLE_EQ(gaining.dotGain(), kStandardDotGain + 10.0);
    auto density = [](const Simulator& simulator, const std::string& sample) {
        return simulator.expectedReading(sample)->density[0]; // black channel
    };
    auto dotArea = [&](const Simulator& simulator, int percent) {
        const double paper = density(simulator, "paper");
        const double tint = density(simulator, "K" + std::to_string(percent)) - paper;
        const double solid = density(simulator, "K100") - paper;
        return 100.0 * (1.0 - std::pow(10.0, -tint)) / (1.0 - std::pow(10.0, -solid));
    };
    for (const char* unchanged : {"paper", "K100", "C100", "C100M100Y100"})
        EXPECT_EQ(density(standard, unchanged), density(gaining, unchanged)) << unchanged;
    double largest = 0;
    int largestAt = 0;
    for (int percent : {10, 30, 50, 70, 90}) {
        const double gain = dotArea(gaining, percent) - dotArea(standard, percent);
        EXPECT_GT(gain, 1.0) << percent;
        EXPECT_LT(gain, 15.0) << percent;
        if (gain > largest) {
            largest = gain;
            largestAt = percent;
        }
    }
    EXPECT_GE(largestAt, 30);
    EXPECT_LE(largestAt, 70);
    EXPECT_GT(largest, 6.0);
}

// By default the instrument repeats as a real one does: about 0.02 between
// two readings of paper white, several times that on a black solid; the
// same seed repeats the same readings, and noise switched off repeats
// exactly.
TEST(SimPhysics, RepeatabilityIsRealisticByDefaultAndSeeded)
{
    auto readLab = [](simtest::SimLine& line) {
        line.exchange(";20\r\n", 7);
        std::string lab = line.exchange(";BA0901\r\n", 49);
        Reading reading;
        for (int i = 0; i < 3; ++i)
            reading.lab[i] = simtest::wireFloat(lab, 7 + 8 * i);
        return reading;
    };
    auto meanDifference = [&](simtest::RunningSimulator& sim, const char* sample) {
        sim.simulator->setSample(sample);
        constexpr int kPairs = 20;
        double sum = 0.0;
        for (int pair = 0; pair < kPairs; ++pair)
            sum += deltaE(readLab(*sim.line), readLab(*sim.line));
        return sum / kPairs;
    };
    simtest::RunningSimulator noisy(simtest::optionsFor(DeviceKind::LumatrakS));
    const double onWhite = meanDifference(noisy, "paper");
    EXPECT_GT(onWhite, 0.01);
    EXPECT_LT(onWhite, 0.04);
    EXPECT_GT(meanDifference(noisy, "K100"), 3.0 * onWhite);

    simtest::RunningSimulator first(simtest::optionsFor(DeviceKind::LumatrakS));
    simtest::RunningSimulator second(simtest::optionsFor(DeviceKind::LumatrakS));
    first.simulator->setSample("C50M40Y40");
    second.simulator->setSample("C50M40Y40");
    EXPECT_EQ(deltaE(readLab(*first.line), readLab(*second.line)), 0.0);

    SimulatorOptions options = simtest::optionsFor(DeviceKind::LumatrakS);
    options.noise = 0.0;
    simtest::RunningSimulator quiet(options);
    quiet.simulator->setSample("C50M40Y40");
    EXPECT_LT(deltaE(readLab(*quiet.line), readLab(*quiet.line)), 0.01);
}

TEST(SimPhysics, SampleNamesAndInkCombinations)
{
    SampleLibrary library;
    for (const std::string& name : SampleLibrary::names())
        EXPECT_TRUE(library.remission(name)) << name;
    EXPECT_TRUE(library.remission("c20m30"));
    for (const char* bad : {"", "C", "C101", "C50C20", "X50", "C-5", "C50 M20", "paperx"})
        EXPECT_FALSE(library.remission(bad)) << bad;
    Simulator simulator;
    EXPECT_FALSE(simulator.setSample("C200"));
    EXPECT_EQ(simulator.sample(), "paper");
}

TEST(SimPhysics, SpotColoursHaveTheirHue)
{
    Simulator simulator;
    auto orange = simulator.expectedReading("Orange");
    auto blue = simulator.expectedReading("Reflex Blue");
    EXPECT_GT(orange->lab[1], 30.0f);
    EXPECT_GT(orange->lab[2], 50.0f);
    EXPECT_LT(blue->lab[2], -30.0f);
    EXPECT_LT(blue->lab[0], 40.0f);
}
