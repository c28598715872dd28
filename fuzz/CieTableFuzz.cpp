// The array spectrometer's observer and illuminant table loader on arbitrary
// files: the input carries the observer file, a NUL, then the illuminant
// file. The loader must keep within its 100 rows and store only numbers.

#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "instrument/spectrometer/CieTables.h"

namespace {

void checkRows(const float* wavelengths, int rows, const char* which)
{
    lt::fuzz::check(rows >= 0 && rows <= lt::kCieTableRows, "row count out of range in", which);
    for (int row = 0; row < rows; ++row)
        lt::fuzz::check(std::isfinite(wavelengths[row]), "wavelength not a number in", which);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static lt::CieTables tables;
    lt::fuzz::FuzzInput input(data, size);
    const std::string observer = lt::fuzz::scratch().write("XYZ2.txt", input.part());
    const std::string illuminant = lt::fuzz::scratch().write("ILLUM.txt", input.remaining());
    const int result = lt::loadCieTables(observer.c_str(), illuminant.c_str(), tables);
    lt::fuzz::check(result == lt::kTablesLoaded, "existing table files not loaded");
    checkRows(tables.observerWavelength, tables.observerRows, "the observer table");
    checkRows(tables.illuminantWavelength, tables.illuminantRows, "the illuminant table");
    for (int column = 0; column < lt::kObserverValueColumns; ++column)
        for (int row = 0; row < tables.observerRows; ++row)
            lt::fuzz::check(
                std::isfinite(tables.observer[column][row]), "observer value not finite");
    for (int column = 0; column < lt::kIlluminantStoredColumns; ++column)
        for (int row = 0; row < tables.illuminantRows; ++row)
            lt::fuzz::check(
                std::isfinite(tables.illuminant[column][row]), "illuminant value not finite");
    return 0;
}
