// The physics behind the answers: CIE colorimetry, the print model and the
// status densities give what a printer would find on a press sheet.
#include <gtest/gtest.h>

#include <cmath>

#include "SimTestSupport.h"
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

TEST(SimPhysics, SameSampleTwiceWithoutNoiseAndWithNoise)
{
    simtest::RunningSimulator quiet(simtest::optionsFor(DeviceKind::LumatrakS));
    quiet.simulator->setSample("C50M40Y40");
    auto readLab = [](simtest::SimLine& line) {
        line.exchange(";20\r\n", 7);
        std::string lab = line.exchange(";BA0901\r\n", 49);
        Reading reading;
        for (int i = 0; i < 3; ++i)
            reading.lab[i] = simtest::wireFloat(lab, 7 + 8 * i);
        return reading;
    };
    EXPECT_LT(deltaE(readLab(*quiet.line), readLab(*quiet.line)), 0.01);

    SimulatorOptions options = simtest::optionsFor(DeviceKind::LumatrakS);
    options.noise = 0.003;
    simtest::RunningSimulator noisy(options);
    noisy.simulator->setSample("C50M40Y40");
    double difference = deltaE(readLab(*noisy.line), readLab(*noisy.line));
    EXPECT_GT(difference, 0.01);
    EXPECT_LT(difference, 2.0);
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
