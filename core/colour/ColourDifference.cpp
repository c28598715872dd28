#include "core/colour/ColourDifference.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string>

namespace lt {
namespace {

constexpr double kPi = std::numbers::pi;

double degrees(double radians)
{
    return radians * 180.0 / kPi;
}
double radians(double degrees)
{
    return degrees * kPi / 180.0;
}

double chroma(const Lab& lab)
{
    return std::hypot(lab[1], lab[2]);
}

// Hue angle in degrees, 0 <= h < 360; 0 for a neutral colour.
double hueAngle(double a, double b)
{
    if (a == 0.0 && b == 0.0)
        return 0.0;
    double h = degrees(std::atan2(b, a));
    return h < 0.0 ? h + 360.0 : h;
}

// ΔH* of the CIE 1976 space, from the total difference less lightness and
// chroma; rounding can make the square slightly negative.
double hueDifferenceSquared(const Lab& reference, const Lab& sample)
{
    double da = reference[1] - sample[1];
    double db = reference[2] - sample[2];
    double dC = chroma(reference) - chroma(sample);
    return std::max(0.0, da * da + db * db - dC * dC);
}

} // namespace

double deltaE76(const Lab& reference, const Lab& sample)
{
    double dL = reference[0] - sample[0];
    double da = reference[1] - sample[1];
    double db = reference[2] - sample[2];
    return std::sqrt(dL * dL + da * da + db * db);
}

double deltaE94(const Lab& reference, const Lab& sample)
{
    constexpr double kL = 1.0, kC = 1.0, kH = 1.0, K1 = 0.045, K2 = 0.015;
    double C1 = chroma(reference);
    double dL = reference[0] - sample[0];
    double dC = C1 - chroma(sample);
    double dH2 = hueDifferenceSquared(reference, sample);
    double SL = 1.0;
    double SC = 1.0 + K1 * C1;
    double SH = 1.0 + K2 * C1;
    double termL = dL / (kL * SL);
    double termC = dC / (kC * SC);
    return std::sqrt(termL * termL + termC * termC + dH2 / (kH * kH * SH * SH));
}

double deltaE2000(const Lab& reference, const Lab& sample)
{
    constexpr double kL = 1.0, kC = 1.0, kH = 1.0;
    const double L1 = reference[0], a1 = reference[1], b1 = reference[2];
    const double L2 = sample[0], a2 = sample[1], b2 = sample[2];

    double Cab1 = std::hypot(a1, b1);
    double Cab2 = std::hypot(a2, b2);
    double CabMean = (Cab1 + Cab2) / 2.0;
    double CabMean7 = std::pow(CabMean, 7.0);
    double G = 0.5 * (1.0 - std::sqrt(CabMean7 / (CabMean7 + std::pow(25.0, 7.0))));
    double a1p = (1.0 + G) * a1;
    double a2p = (1.0 + G) * a2;
    double C1p = std::hypot(a1p, b1);
    double C2p = std::hypot(a2p, b2);
    double h1p = hueAngle(a1p, b1);
    double h2p = hueAngle(a2p, b2);

    double dLp = L2 - L1;
    double dCp = C2p - C1p;
    double dhp = 0.0;
    if (C1p * C2p != 0.0) {
        dhp = h2p - h1p;
        if (dhp > 180.0)
            dhp -= 360.0;
        else if (dhp < -180.0)
            dhp += 360.0;
    }
    double dHp = 2.0 * std::sqrt(C1p * C2p) * std::sin(radians(dhp / 2.0));

    double LpMean = (L1 + L2) / 2.0;
    double CpMean = (C1p + C2p) / 2.0;
    double hpMean = h1p + h2p;
    if (C1p * C2p != 0.0) {
        if (std::fabs(h1p - h2p) <= 180.0)
            hpMean = (h1p + h2p) / 2.0;
        else if (h1p + h2p < 360.0)
            hpMean = (h1p + h2p + 360.0) / 2.0;
        else
            hpMean = (h1p + h2p - 360.0) / 2.0;
    }

    double T = 1.0 - 0.17 * std::cos(radians(hpMean - 30.0)) +
        0.24 * std::cos(radians(2.0 * hpMean)) + 0.32 * std::cos(radians(3.0 * hpMean + 6.0)) -
        0.20 * std::cos(radians(4.0 * hpMean - 63.0));
    double dTheta = 30.0 * std::exp(-std::pow((hpMean - 275.0) / 25.0, 2.0));
    double CpMean7 = std::pow(CpMean, 7.0);
    double RC = 2.0 * std::sqrt(CpMean7 / (CpMean7 + std::pow(25.0, 7.0)));
    double LpMeanOff2 = (LpMean - 50.0) * (LpMean - 50.0);
    double SL = 1.0 + 0.015 * LpMeanOff2 / std::sqrt(20.0 + LpMeanOff2);
    double SC = 1.0 + 0.045 * CpMean;
    double SH = 1.0 + 0.015 * CpMean * T;
    double RT = -std::sin(radians(2.0 * dTheta)) * RC;

    double termL = dLp / (kL * SL);
    double termC = dCp / (kC * SC);
    double termH = dHp / (kH * SH);
    return std::sqrt(termL * termL + termC * termC + termH * termH + RT * termC * termH);
}

double deltaECmc(const Lab& reference, const Lab& sample, double lightness, double chromaWeight)
{
    const double L1 = reference[0];
    double C1 = chroma(reference);
    double h1 = hueAngle(reference[1], reference[2]);
    double dL = reference[0] - sample[0];
    double dC = C1 - chroma(sample);
    double dH2 = hueDifferenceSquared(reference, sample);

    double SL = L1 < 16.0 ? 0.511 : 0.040975 * L1 / (1.0 + 0.01765 * L1);
    double SC = 0.0638 * C1 / (1.0 + 0.0131 * C1) + 0.638;
    double C1to4 = C1 * C1 * C1 * C1;
    double F = std::sqrt(C1to4 / (C1to4 + 1900.0));
    double T = (h1 >= 164.0 && h1 <= 345.0) ? 0.56 + std::fabs(0.2 * std::cos(radians(h1 + 168.0)))
                                            : 0.36 + std::fabs(0.4 * std::cos(radians(h1 + 35.0)));
    double SH = SC * (F * T + 1.0 - F);
    double termL = dL / (lightness * SL);
    double termC = dC / (chromaWeight * SC);
    return std::sqrt(termL * termL + termC * termC + dH2 / (SH * SH));
}

double deltaE(DeltaEFormula formula, const Lab& reference, const Lab& sample)
{
    switch (formula) {
    case DeltaEFormula::Cie94:
        return deltaE94(reference, sample);
    case DeltaEFormula::Ciede2000:
        return deltaE2000(reference, sample);
    case DeltaEFormula::Cmc21:
        return deltaECmc(reference, sample, 2.0, 1.0);
    case DeltaEFormula::Cie76:
        break;
    }
    return deltaE76(reference, sample);
}

std::string_view deltaEFormulaName(DeltaEFormula formula)
{
    switch (formula) {
    case DeltaEFormula::Cie94:
        return "dE94";
    case DeltaEFormula::Ciede2000:
        return "dE00";
    case DeltaEFormula::Cmc21:
        return "dE CMC(2:1)";
    case DeltaEFormula::Cie76:
        break;
    }
    return "dE76";
}

std::optional<DeltaEFormula> deltaEFormulaFromName(std::string_view name)
{
    std::string lower;
    for (char c : name)
        if (c != ' ')
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.rfind("de", 0) == 0)
        lower.erase(0, 2);
    if (lower == "76" || lower == "1976")
        return DeltaEFormula::Cie76;
    if (lower == "94" || lower == "1994")
        return DeltaEFormula::Cie94;
    if (lower == "00" || lower == "2000")
        return DeltaEFormula::Ciede2000;
    if (lower == "cmc" || lower == "cmc(2:1)" || lower == "cmc2:1")
        return DeltaEFormula::Cmc21;
    return std::nullopt;
}

DeltaEFormula deltaEFormulaFromIndex(int index)
{
    if (index < 0 || index >= kDeltaEFormulaCount)
        return DeltaEFormula::Cie76;
    return static_cast<DeltaEFormula>(index);
}

} // namespace lt
