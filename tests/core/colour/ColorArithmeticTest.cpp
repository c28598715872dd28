// The densitometer's arithmetic on numbers a printer would recognise.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/colour/ColorArithmetic.h"

namespace lt {
namespace {

ProcessDensities cmyk(float c, float m, float y, float k = 0.0f)
{
    return {c, m, y, k};
}

DensityParameterBlock neutralBlock()
{
    DensityParameterBlock block;
    for (int i = slot::kYuleNielsenFirst; i <= slot::kYuleNielsenSpot; ++i)
        block.setReal(i, 1.0f);
    block.setReal(slot::kSlopeSpot, 1.0f);
    return block;
}

TEST(ProcessColorDetection, ChromaticSamplesAndNearNeutralOnes)
{
    EXPECT_EQ(detectProcessColor(cmyk(0.10f, 0.11f, 0.10f)), Black) << "near-neutral";
    EXPECT_EQ(detectProcessColor(cmyk(1.20f, 0.20f, 0.05f)), Cyan);
    EXPECT_EQ(detectProcessColor(cmyk(0.10f, 1.30f, 0.40f)), Magenta);
    EXPECT_EQ(detectProcessColor(cmyk(0.05f, 0.10f, 0.90f)), Yellow);
    EXPECT_EQ(detectProcessColor(cmyk(0.001f, 0.001f, 0.001f)), Black) << "near-empty";
    EXPECT_EQ(detectProcessColor(cmyk(0.0f, 0.0f, 0.0f, 1.6f)), Black);
    EXPECT_EQ(detectProcessColor(cmyk(-0.01f, 0.3f, -0.02f, 2.0f)), Magenta)
        << "black density takes no part";
}

TEST(ProcessColorDetection, TiesGoToTheEarlierColour)
{
    EXPECT_EQ(detectProcessColor(cmyk(1.0f, 1.0f, 0.1f)), Cyan);
    EXPECT_EQ(detectProcessColor(cmyk(0.1f, 0.9f, 0.9f)), Magenta);
}

TEST(DotArea, MurrayDaviesAndClamps)
{
    EXPECT_NEAR(dotArea(0.3, 1.5, 1.0), 51.51, 0.01); // (1 - 10^-0.3) / (1 - 10^-1.5) * 100
    EXPECT_DOUBLE_EQ(dotArea(1.5, 1.5, 1.0), 100.0);
    EXPECT_DOUBLE_EQ(dotArea(0.0, 1.5, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(dotArea(1.8, 1.5, 1.0), 100.0);
    EXPECT_DOUBLE_EQ(dotArea(-0.05, 1.5, 1.0), 0.0);
    EXPECT_LT(dotArea(0.3, 1.5, 2.0), dotArea(0.3, 1.5, 1.0))
        << "Yule-Nielsen n > 1 lowers the area";
}

TEST(DotArea, DegenerateFactorsAndSolidsGiveNumbers)
{
    EXPECT_DOUBLE_EQ(dotArea(0.3, 1.5, 0.0), dotArea(0.3, 1.5, 1.0))
        << "factor 0 works as Murray-Davies";
    EXPECT_DOUBLE_EQ(dotArea(0.3, 1.5, -2.0), dotArea(0.3, 1.5, 1.0));
    EXPECT_DOUBLE_EQ(dotArea(0.3, 0.0, 1.0), 0.0) << "no solid, no meaningful area";
    EXPECT_DOUBLE_EQ(dotArea(std::nan(""), 1.5, 1.0), 0.0);
}

TEST(ProcessStep, PaperWhiteSolidAndDotAreaTogether)
{
    DensityParameterBlock block = neutralBlock();
    std::int32_t paperWhite = 1;
    std::int32_t solidRequest = 0;

    ProcessDensities paper = cmyk(0.08f, 0.09f, 0.10f, 0.11f);
    EXPECT_TRUE(applyPaperWhite(paper, block, paperWhite));
    EXPECT_EQ(paperWhite, 2);
    EXPECT_EQ(paper, cmyk(0.0f, 0.0f, 0.0f, 0.0f)) << "the paper sample itself reads 0.000";
    EXPECT_FLOAT_EQ(block.real(slot::paperWhite(Black)), 0.11f);

    solidRequest = 1;
    ProcessDensities solid = cmyk(1.48f, 0.49f, 0.20f, 0.51f);
    EXPECT_FALSE(applyPaperWhite(solid, block, paperWhite));
    EXPECT_NEAR(solid[Cyan], 1.40, 1e-6);
    ProcessOutcome solidOutcome = applyProcessColor(solid, block, solidRequest);
    EXPECT_EQ(solidOutcome.color, Cyan);
    EXPECT_TRUE(solidOutcome.solidTaken);
    EXPECT_EQ(solidRequest, 0);
    EXPECT_NEAR(block.real(slot::solid(Cyan)), 1.40, 1e-6);
    EXPECT_FLOAT_EQ(block.real(slot::solid(Magenta)), 0.0f)
        << "only the detected colour's solid is taken";
    EXPECT_DOUBLE_EQ(solidOutcome.dotArea, 100.0);

    ProcessDensities tint = cmyk(0.38f, 0.20f, 0.13f, 0.15f);
    applyPaperWhite(tint, block, paperWhite);
    ProcessOutcome tintOutcome = applyProcessColor(tint, block, solidRequest);
    EXPECT_EQ(block.integer(slot::kProcessColorIndex), Cyan);
    EXPECT_NEAR(
        tintOutcome.dotArea, (1 - std::pow(10, -0.30)) / (1 - std::pow(10, -1.40)) * 100, 1e-3);
    EXPECT_FLOAT_EQ(block.real(slot::kDotArea), static_cast<float>(tintOutcome.dotArea));
    EXPECT_EQ(
        formatProcessDotArea(Cyan, tintOutcome.dotArea, block.real(slot::solid(Cyan))), "C  51.9");
    EXPECT_EQ(formatProcessDotArea(Magenta, 40.0, 0.0f), "-  -");
    EXPECT_EQ(formatProcessDotArea(Yellow, 5.04, 1.0f), "Y  5.0");
}

// A spectrum whose value at index i is i / 100, so a window's mean names its indices.
std::array<float, 40> rampSpectrum()
{
    std::array<float, 40> spectrum {};
    for (int i = 0; i < 36; ++i)
        spectrum[i] = static_cast<float>(i) / 100.0f;
    return spectrum;
}

SpotColorEntry entryAt(double centre, const std::array<double, 7>& weights = kNarrowWindowWeights)
{
    SpotColorEntry entry = makeSpotColorEntry(centre);
    entry.kind = SpotKind::Narrow;
    entry.weights = weights;
    return entry;
}

TEST(SpotDensity, WindowIndicesFollowTheCentre)
{
    EXPECT_EQ(spotWindowCentreIndex(430.0), 5);
    EXPECT_EQ(spotWindowCentreIndex(650.0), 27);
    EXPECT_EQ(spotWindowCentreIndex(439.4), 5) << "truncated, not rounded";
    auto spectrum = rampSpectrum();
    // Uniform weights: r is the mean of indices 2..8 at 430 nm and 24..30 at 650 nm.
    std::array<double, 7> uniform {1, 1, 1, 1, 1, 1, 1};
    EXPECT_NEAR(
        *spotDensity(entryAt(430.0, uniform), spectrum.data(), 1.0), std::log10(1 / 0.05), 1e-6);
    EXPECT_NEAR(
        *spotDensity(entryAt(650.0, uniform), spectrum.data(), 1.0), std::log10(1 / 0.27), 1e-6);
    // The narrow window weighs 0.5, 1, 0.5 around the centre.
    EXPECT_NEAR(*spotDensity(entryAt(500.0), spectrum.data(), 2.0), 2 * std::log10(1 / 0.12), 1e-6);
}

TEST(SpotDensity, DarkWindowAndWindowsAtTheEdges)
{
    std::array<float, 40> black {};
    EXPECT_DOUBLE_EQ(*spotDensity(entryAt(500.0), black.data(), 1.5), 6.0)
        << "4 times the spot slope";
    EXPECT_EQ(spotWindowCentreIndex(300.0), 3)
        << "a file's centre below the spectrum keeps the window inside";
    EXPECT_EQ(spotWindowCentreIndex(900.0), 32);
    EXPECT_EQ(spotWindowCentreIndex(1e300), 32);
    EXPECT_EQ(spotWindowCentreIndex(std::nan("")), std::nullopt);
    SpotColorEntry noWeights = entryAt(500.0, {0, 0, 0, 0, 0, 0, 0});
    EXPECT_DOUBLE_EQ(*spotDensity(noWeights, rampSpectrum().data(), 1.0), 4.0);
}

TEST(SpotStep, PaperWhiteThenSolidThenTint)
{
    DensityParameterBlock block = neutralBlock();
    SpotColorEntry entry = entryAt(500.0); // window 9..15, narrow weights on 11..13
    std::array<float, 40> spectrum {};
    std::int32_t paperWhite = 2; // the process step has just taken paper white
    std::int32_t spotSolid = 0;

    spectrum[11] = spectrum[12] = spectrum[13] = 0.8f;
    SpotOutcome paper = applySpotColor(entry, spectrum.data(), block, paperWhite, spotSolid);
    EXPECT_EQ(paperWhite, 3);
    EXPECT_NEAR(block.real(slot::kPaperWhiteSpot), std::log10(1 / 0.8), 1e-6);
    EXPECT_EQ(paper.densityText, "0.00");
    EXPECT_EQ(paper.dotAreaText, "--   ");
    EXPECT_FALSE(paper.status);

    spotSolid = 1; // Solid pressed
    spectrum[11] = spectrum[12] = spectrum[13] = 0.08f;
    SpotOutcome solid = applySpotColor(entry, spectrum.data(), block, paperWhite, spotSolid);
    EXPECT_EQ(spotSolid, 2);
    EXPECT_NEAR(block.real(slot::kSolidSpot), 1.0, 1e-6);
    EXPECT_EQ(solid.densityText, "1.00");
    EXPECT_EQ(solid.dotAreaText, "100.0");

    spectrum[11] = spectrum[12] = spectrum[13] = 0.8f * std::pow(10.0f, -0.3f);
    SpotOutcome tint = applySpotColor(entry, spectrum.data(), block, paperWhite, spotSolid);
    EXPECT_EQ(tint.densityText, "0.30");
    EXPECT_EQ(tint.dotAreaText, "55.4"); // (1 - 10^-0.3) / (1 - 10^-1) * 100
    EXPECT_NEAR(entry.density, 0.30, 1e-5);
    EXPECT_EQ(tint.nameText, entry.name);
}

TEST(SpotStep, SolidRequestedWithoutPaperWhite)
{
    DensityParameterBlock block = neutralBlock();
    SpotColorEntry entry = entryAt(500.0);
    std::array<float, 40> spectrum {};
    spectrum[11] = spectrum[12] = spectrum[13] = 0.1f;
    std::int32_t paperWhite = 0;
    std::int32_t spotSolid = 1;
    SpotOutcome outcome = applySpotColor(entry, spectrum.data(), block, paperWhite, spotSolid);
    EXPECT_EQ(spotSolid, 0);
    EXPECT_EQ(outcome.status, std::string(kStatusCalibratePaperWhiteFirst));
    EXPECT_EQ(outcome.densityText, "1.00") << "absolute spot density";

    paperWhite = 2;
    spotSolid = 1;
    outcome = applySpotColor(entry, spectrum.data(), block, paperWhite, spotSolid);
    EXPECT_EQ(outcome.status, std::string(kStatusCalibrateSolid));
    EXPECT_EQ(spotSolid, 1) << "the solid is taken with the next sample";
}

TEST(SpotWindowCentre, DarkestPointBetween430And650)
{
    std::array<float, 40> spectrum;
    spectrum.fill(0.9f);
    spectrum[2] = 0.01f; // 400 nm: outside the search
    spectrum[30] = 0.01f; // 680 nm: outside the search
    spectrum[14] = 0.2f;
    spectrum[20] = 0.2f;
    EXPECT_DOUBLE_EQ(findSpotWindowCentre(spectrum.data()), 520.0)
        << "the lower wavelength wins a tie";
    spectrum.fill(1.0f);
    spectrum[9] = 1.05f;
    EXPECT_DOUBLE_EQ(findSpotWindowCentre(spectrum.data()), 430.0)
        << "nothing below 100 %: still inside";
    spectrum[24] = 0.99f;
    EXPECT_DOUBLE_EQ(findSpotWindowCentre(spectrum.data()), 620.0);

    SpotColorEntry entry = makeSpotColorEntry(620.0);
    EXPECT_EQ(entry.wavelengths, (std::array<double, 7> {590, 600, 610, 620, 630, 640, 650}));
    EXPECT_EQ(entry.weights, kWideWindowWeights);
    EXPECT_EQ(entry.kind, SpotKind::Wide);
}

TEST(ColorDifference, OfTwoListRows)
{
    MeasurementRow first {}, second {};
    first[column::kL] = "50.00";
    first[column::kA] = "10.00";
    first[column::kB] = "-5.00";
    second[column::kL] = "53.00";
    second[column::kA] = "14.00";
    second[column::kB] = "-5.00";
    auto deltaE = colorDifferenceOfRows(first, second);
    ASSERT_TRUE(deltaE);
    EXPECT_DOUBLE_EQ(*deltaE, 5.0);
    EXPECT_EQ(formatColorDifference(*deltaE), "   dE:   5.000  ");
    second[column::kB] = "--";
    EXPECT_EQ(colorDifferenceOfRows(first, second), std::nullopt);
}

TEST(GraphOrdinates, ScaleClampsAndReferenceLine)
{
    EXPECT_EQ(graphOrdinate(1.2, kGraphScale), 65535);
    EXPECT_EQ(graphOrdinate(1.0, kGraphScale), 56540);
    EXPECT_EQ(graphOrdinate(-0.1, kGraphScale), 0);
    EXPECT_EQ(graphOrdinate(0.5, kGraphScale), 28270); // trunc(55704.75 * 0.5 * 1.015 + 0.5)
    EXPECT_EQ(graphOrdinate(1.17, kGraphScale), 65535)
        << "just below over-range still fits 16 bits";
    EXPECT_EQ(graphOrdinate(std::nan(""), kGraphScale), 0);
    EXPECT_EQ(graphReferenceOrdinate(kGraphScale), 56540);
}

TEST(ChartPatch, FourthRootsBesideTheMeasuredValues)
{
    ChartPatchValues values = chartPatchValues(81.0, 16.0, 0.0);
    EXPECT_EQ(values.xyz, (std::array<double, 3> {81.0, 16.0, 0.0}));
    EXPECT_DOUBLE_EQ(values.rootsXyz[0], 3.0);
    EXPECT_DOUBLE_EQ(values.rootsXyz[1], 2.0);
    EXPECT_DOUBLE_EQ(chartPatchValues(-1.0, 0, 0).rootsXyz[0], 0.0);
}

} // namespace
} // namespace lt
