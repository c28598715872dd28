#pragma once
// Observer and illuminant tables of the array spectrometer's colour
// computation, and the loader of their two text files.

namespace lt {

inline constexpr int kCieTableRows = 100; // rows kept per file; further rows are ignored
inline constexpr int kObserverValueColumns = 6; // 2 degree x y z, then 10 degree x y z
inline constexpr int kIlluminantStoredColumns = 6; // file columns 1, 8, 9, 2, 10, 3
inline constexpr float kObserverFirstWavelength = 380.0f; // [nm] row 0 of the observer file
inline constexpr float kIlluminantFirstWavelength = 300.0f; // [nm] row 0 of the illuminant file
inline constexpr float kTableStep = 5.0f; // [nm] between rows of both files

// Loader results.
inline constexpr int kTablesLoaded = 0;
inline constexpr int kTablesNoObserverName = 1;
inline constexpr int kTablesObserverNotOpened = 2;
inline constexpr int kTablesIlluminantNotOpened = 3;

struct CieTables {
    float observerWavelength[kCieTableRows] = {}; // [nm]
    float observer[kObserverValueColumns][kCieTableRows] = {}; // colour-matching functions
    float illuminantWavelength[kCieTableRows] = {}; // [nm]
    float illuminant[kIlluminantStoredColumns][kCieTableRows] = {}; // relative spectral power
    int observerRows = 0;
    int illuminantRows = 0;
};

// Reads both table files into `tables` (cleared first). A file's first line is
// skipped when it starts with ";"; otherwise only its first character is lost.
// Rows are read until one does not convert, at most kCieTableRows of them.
int loadCieTables(const char* observerPath, const char* illuminantPath, CieTables& tables);

// The stored illuminant column that weighs the spectrum for an illuminant index
// (1 A, 2 C, 3 D65, 4 D50, 5 D55, 6 D75), or -1 for equal energy.
int illuminantColumnForIndex(int illuminantIndex);

} // namespace lt
