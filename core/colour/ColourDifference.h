#pragma once
// Colour differences between two CIELAB colours by the formulas the printing
// trade uses: CIE 1976 (the plain Euclidean distance), CIE 1994 with the
// graphic-arts weights, CIEDE2000, and CMC(l:c). Each intermediate term has
// the name it has in the published formula.
#include <array>
#include <optional>
#include <string_view>

namespace lt {

using Lab = std::array<double, 3>; // L*, a*, b*

double deltaE76(const Lab& reference, const Lab& sample);
// CIE94 with the graphic-arts parameters kL = 1, K1 = 0.045, K2 = 0.015;
// not symmetric: the first colour is the reference (its chroma weighs).
double deltaE94(const Lab& reference, const Lab& sample);
double deltaE2000(const Lab& reference, const Lab& sample);
// CMC(l:c); l = 2, c = 1 for acceptability, 1:1 for perceptibility. Not
// symmetric: the first colour is the reference.
double deltaECmc(
    const Lab& reference, const Lab& sample, double lightness = 2.0, double chroma = 1.0);

// The formula the operator chose for every colour difference the program
// shows ("DeltaEFormula" in section "TaviDens"; 0 keeps CIE 1976).
enum class DeltaEFormula { Cie76 = 0, Cie94 = 1, Ciede2000 = 2, Cmc21 = 3 };
inline constexpr int kDeltaEFormulaCount = 4;

double deltaE(DeltaEFormula formula, const Lab& reference, const Lab& sample);
// "dE76", "dE94", "dE00", "dE CMC(2:1)".
std::string_view deltaEFormulaName(DeltaEFormula formula);
// The formula of a name as written by deltaEFormulaName or the short command
// line forms "76", "94", "00"/"2000", "cmc" (case-insensitive).
std::optional<DeltaEFormula> deltaEFormulaFromName(std::string_view name);
DeltaEFormula deltaEFormulaFromIndex(int index); // out of range: CIE 1976

} // namespace lt
