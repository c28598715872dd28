#include "SampleLibrary.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ltsim {

namespace {

struct SpotInk {
    const char* name;
    double (*remission)(double wavelength); // solid on the paper
};

// Spot-colour solids as the spectra of their pigments look on coated paper.
const SpotInk kSpotInks[] = {
    {"Orange", [](double w) { return 0.035 + 0.84 * logisticStep(w, 572.0, 11.0); }},
    {"Warm Red",
        [](double w) {
            return 0.035 + 0.05 * gaussianBand(w, 405.0, 40.0) +
                0.83 * logisticStep(w, 598.0, 10.0);
        }},
    {"Rubine Red",
        [](double w) {
            return 0.03 + 0.22 * gaussianBand(w, 415.0, 60.0) + 0.80 * logisticStep(w, 612.0, 13.0);
        }},
    {"Reflex Blue",
        [](double w) {
            return 0.02 + 0.24 * gaussianBand(w, 445.0, 70.0) + 0.55 * logisticStep(w, 690.0, 16.0);
        }},
    {"Green",
        [](double w) {
            return 0.03 + 0.42 * gaussianBand(w, 515.0, 70.0) + 0.5 * logisticStep(w, 740.0, 15.0);
        }},
    {"Violet",
        [](double w) {
            return 0.04 + 0.38 * gaussianBand(w, 420.0, 70.0) + 0.62 * logisticStep(w, 640.0, 15.0);
        }},
};

const char* const kProcessSamples[] = {"C100", "M100", "Y100", "K100", "C50", "M50", "Y50", "K50",
    "C100M100", "C100Y100", "M100Y100", "C100M100Y100", "C50M40Y40", "C20", "M20", "Y20", "K20",
    "C70M70Y70K100"};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
            std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

SampleLibrary::SampleLibrary(double dotGain) : print_(dotGain)
{
}

std::vector<std::string> SampleLibrary::names()
{
    std::vector<std::string> list = {"paper", "white", "light trap"};
    for (const char* name : kProcessSamples)
        list.emplace_back(name);
    for (const SpotInk& ink : kSpotInks)
        list.emplace_back(ink.name);
    return list;
}

std::optional<InkCoverage> SampleLibrary::parseCoverage(std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    InkCoverage coverage;
    bool seen[4] = {};
    std::size_t position = 0;
    while (position < name.size()) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[position])));
        const char* inks = "CMYK";
        const char* found = std::char_traits<char>::find(inks, 4, letter);
        if (!found)
            return std::nullopt;
        int ink = static_cast<int>(found - inks);
        if (seen[ink])
            return std::nullopt;
        seen[ink] = true;
        ++position;
        double percent = 0.0;
        auto [end, error] =
            std::from_chars(name.data() + position, name.data() + name.size(), percent);
        if (error != std::errc() || end == name.data() + position)
            return std::nullopt;
        if (!(percent >= 0.0 && percent <= 100.0))
            return std::nullopt;
        position = static_cast<std::size_t>(end - name.data());
        double* slot[4] = {&coverage.cyan, &coverage.magenta, &coverage.yellow, &coverage.black};
        *slot[ink] = percent;
    }
    return coverage;
}

std::optional<SpectralCurve> SampleLibrary::remission(std::string_view name) const
{
    if (equalsIgnoringCase(name, "paper"))
        return print_.paper();
    if (equalsIgnoringCase(name, "white"))
        return SpectralCurve::fromFunction([](double) { return 1.0; });
    if (equalsIgnoringCase(name, "light trap"))
        return SpectralCurve();
    for (const SpotInk& ink : kSpotInks) {
        if (!equalsIgnoringCase(name, ink.name))
            continue;
        return SpectralCurve::fromFunction(
            [&](double w) { return std::min(ink.remission(w), print_.paper().at(w)); });
    }
    if (auto coverage = parseCoverage(name))
        return print_.print(*coverage);
    return std::nullopt;
}

} // namespace ltsim
