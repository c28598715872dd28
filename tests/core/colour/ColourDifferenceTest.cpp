#include "core/colour/ColourDifference.h"

#include <gtest/gtest.h>

namespace lt {
namespace {

struct Pair {
    Lab reference;
    Lab sample;
    double expected;
};

// The 34 pairs published with the CIEDE2000 implementation notes (Sharma,
// Wu and Dalal, Color Research and Application 30, 2005), given to four
// decimals. They cover the hue-angle wrap-arounds, neutral colours and the
// blue region where the rotation term acts.
const Pair kCiede2000Pairs[] = {
    {{50.0000, 2.6772, -79.7751}, {50.0000, 0.0000, -82.7485}, 2.0425},
    {{50.0000, 3.1571, -77.2803}, {50.0000, 0.0000, -82.7485}, 2.8615},
    {{50.0000, 2.8361, -74.0200}, {50.0000, 0.0000, -82.7485}, 3.4412},
    {{50.0000, -1.3802, -84.2814}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -1.1848, -84.8006}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -0.9009, -85.5211}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, 0.0000, 0.0000}, {50.0000, -1.0000, 2.0000}, 2.3669},
    {{50.0000, -1.0000, 2.0000}, {50.0000, 0.0000, 0.0000}, 2.3669},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0009}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0010}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0011}, 7.2195},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0012}, 7.2195},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0009, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0010, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0011, -2.4900}, 4.7461},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 0.0000, -2.5000}, 4.3065},
    {{50.0000, 2.5000, 0.0000}, {73.0000, 25.0000, -18.0000}, 27.1492},
    {{50.0000, 2.5000, 0.0000}, {61.0000, -5.0000, 29.0000}, 22.8977},
    {{50.0000, 2.5000, 0.0000}, {56.0000, -27.0000, -3.0000}, 31.9030},
    {{50.0000, 2.5000, 0.0000}, {58.0000, 24.0000, 15.0000}, 19.4535},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.1736, 0.5854}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2972, 0.0000}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 1.8634, 0.5757}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2592, 0.3350}, 1.0000},
    {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
    {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
    {{61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}, 1.8731},
    {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
    {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
    {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
    {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
    {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
    {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
    {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
};

TEST(ColourDifference, Ciede2000MatchesThePublishedPairsAndIsSymmetric)
{
    for (const Pair& pair : kCiede2000Pairs) {
        EXPECT_NEAR(deltaE2000(pair.reference, pair.sample), pair.expected, 1e-4)
            << pair.reference[0] << " " << pair.reference[1] << " " << pair.reference[2];
        EXPECT_NEAR(deltaE2000(pair.sample, pair.reference), pair.expected, 1e-4);
    }
}

// CIE94 (graphic arts: kL = 1, K1 = 0.045, K2 = 0.015) and CMC(2:1) weigh by
// the reference colour; the values were checked by hand from the formulas
// and agree with independent colour-science implementations to 1e-9.
TEST(ColourDifference, Cie94AndCmcWeighByTheReference)
{
    const Lab blue {50.0, 0.0, -82.7485};
    struct Case {
        Lab reference;
        Lab sample;
        double cie94;
        double cmc21;
    };
    const Case cases[] = {
        {{50.0, 2.6772, -79.7751}, blue, 1.395038867858738, 1.738736105726153},
        {{50.0, 3.1571, -77.2803}, blue, 1.934100551629726, 2.496608439221487},
        {{50.0, 2.8361, -74.0200}, blue, 2.454335664982251, 3.304945005947143},
        {{100.0, 21.5721, 272.2282}, {100.0, 426.6795, 72.3959}, 83.77923225560292,
            172.70478669085625},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(deltaE94(c.reference, c.sample), c.cie94, 1e-6);
        EXPECT_NEAR(deltaECmc(c.reference, c.sample, 2.0, 1.0), c.cmc21, 1e-6);
        EXPECT_NEAR(deltaE(DeltaEFormula::Cmc21, c.reference, c.sample), c.cmc21, 1e-6);
    }
    // The first colour is the reference: swapping changes the weights.
    EXPECT_GT(std::abs(deltaE94(blue, cases[0].reference) - cases[0].cie94), 1e-3);
}

TEST(ColourDifference, EveryFormulaIsZeroForEqualColoursAndDefaultsToCie1976)
{
    const Lab grey {50.0, 0.0, 0.0};
    const Lab cyan {55.0, -37.0, -50.0};
    for (int i = 0; i < kDeltaEFormulaCount; ++i) {
        DeltaEFormula formula = deltaEFormulaFromIndex(i);
        EXPECT_DOUBLE_EQ(deltaE(formula, cyan, cyan), 0.0) << deltaEFormulaName(formula);
        EXPECT_DOUBLE_EQ(deltaE(formula, grey, grey), 0.0);
        EXPECT_EQ(deltaEFormulaFromName(deltaEFormulaName(formula)), formula);
    }
    EXPECT_DOUBLE_EQ(deltaE76({50, 0, 0}, {53, 4, 0}), 5.0);
    EXPECT_EQ(deltaEFormulaFromIndex(7), DeltaEFormula::Cie76);
    EXPECT_EQ(deltaEFormulaFromIndex(-1), DeltaEFormula::Cie76);
    EXPECT_EQ(deltaEFormulaFromName("2000"), DeltaEFormula::Ciede2000);
    EXPECT_EQ(deltaEFormulaFromName("CMC"), DeltaEFormula::Cmc21);
    EXPECT_EQ(deltaEFormulaFromName("dE99"), std::nullopt);
}

} // namespace
} // namespace lt
