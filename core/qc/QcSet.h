#pragma once
// A quality-control set: up to 200 reference colours (L*, a*, b* with a
// short comment), each with its own colour-difference and lightness
// tolerances for samples lighter and darker than the reference, and a log of
// up to 300 judged samples. The tables have fixed capacities; every edit
// keeps within them, and every number taken in is bounded so that each line
// of the set's file stays short enough for the reader.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/colour/ColourDifference.h"

namespace lt {

inline constexpr int kQcMaxEntries = 200;
inline constexpr int kQcMaxMatches = 300;
inline constexpr std::size_t kQcCommentCapacity = 99; // longer comments are cut on load
inline constexpr std::size_t kQcEnteredCommentLength = 15; // "Add" and "Insert" keep this much
inline constexpr std::size_t kQcNameLength = 7; // illuminant and observer names

// Entries 1..100 start with these tolerances, the others with 0.
inline constexpr int kQcEntriesWithDefaultTolerances = 100;
inline constexpr double kQcDefaultDeltaE = 2.0;
inline constexpr double kQcDefaultDeltaL = 1.5;
// A typed tolerance is kept when 0 < value < this; otherwise 0 is stored.
inline constexpr double kQcToleranceLimit = 20.0;
// Every number stored in the set lies within +-kQcValueLimit.
inline constexpr double kQcValueLimit = 9999.99;

inline constexpr int kQcMinAverage = 1; // readings per judgement
inline constexpr int kQcMaxAverage = 10;

enum class QcStatus : std::int32_t { None = 0, NotOk = 1, LightnessOut = 2, Ok = 3 };

struct QcRgb {
    std::uint8_t r = 255, g = 255, b = 255;
    friend bool operator==(const QcRgb&, const QcRgb&) = default;
};

inline constexpr QcRgb kQcWhite {255, 255, 255};

// "-", "N", "L", "Y" in files; read in either case, anything else is None.
char qcStatusLetter(QcStatus status);
QcStatus qcStatusOfLetter(char letter);
// White, red, yellow, green.
QcRgb qcStatusColor(QcStatus status);

enum class QcTolerance { DeltaELight = 0, DeltaLLight = 1, DeltaEDark = 2, DeltaLDark = 3 };
inline constexpr int kQcTolerances = 4;
using QcTolerances = std::array<double, kQcTolerances>; // in QcTolerance order

struct QcEntry {
    double number = 0; // 1-based position in the list
    Lab lab {};
    QcTolerances tolerances {};

    friend bool operator==(const QcEntry&, const QcEntry&) = default;
    double tolerance(QcTolerance which) const { return tolerances[static_cast<int>(which)]; }
};

struct QcMatch {
    std::int32_t recordNumber = 0; // 1-based position in the log
    std::int32_t matchedEntry = 0; // number of the nearest entry, 0 = none
    QcStatus status = QcStatus::None;
    Lab lab {}; // the averaged sample as shown
    double deltaE = 0, deltaL = 0, deltaA = 0, deltaB = 0; // sample minus entry

    friend bool operator==(const QcMatch&, const QcMatch&) = default;
};

// The number as the set keeps it: not-a-number reads 0, magnitudes are
// limited to kQcValueLimit.
double qcBoundedValue(double value);

enum class QcEditResult { Done, ListFull, LogFull, NoSuchEntry };

struct QcSet {
    QcSet(); // the start state of the page: empty lists, default tolerances

    std::string customer; // path of the file last read or written
    std::string illuminantName; // "N", "A", "C", "D65", "D50" ...
    std::int32_t illuminantCode = 0;
    std::string observerName; // "2" or "10"
    std::int32_t observerCode = 0;
    int entryCount = 0; // N1
    int matchCount = 0; // N2
    int averageCount = kQcMinAverage; // MN
    std::array<QcEntry, kQcMaxEntries> entries {}; // entry n in slot n - 1
    std::array<std::string, kQcMaxEntries> comments {};
    std::array<QcMatch, kQcMaxMatches> matches {};

    // Entry n (1..entryCount), or null.
    const QcEntry* entry(int number) const;

    // A new entry at the end; its tolerances are those its slot holds.
    QcEditResult appendEntry(const Lab& lab, std::string_view comment);
    // New L*, a*, b* and comment for entry n; number and tolerances stay.
    QcEditResult replaceEntry(int number, const Lab& lab, std::string_view comment);
    // Removes entry n; the entries below move up one slot and are renumbered,
    // their values as the list shows them (two decimals). Tolerances stay
    // with their slots.
    QcEditResult deleteEntry(int number);
    // Tolerances of entries 1..upToNumber become 0 (none for 0); the list is emptied.
    void clearEntries(int upToNumber);

    // A typed tolerance for entry n (1..200): kept when 0 < value < 20,
    // otherwise 0 is stored.
    QcEditResult setTolerance(int number, QcTolerance which, double value);
    // The four values as they are into every entry in use.
    void setToleranceAll(const QcTolerances& values);
    // The light (dE light, dL light) or dark (dE dark, dL dark) pair of entry n.
    QcEditResult setLimits(int number, bool light, double deltaE, double deltaL);

    // Appends a match record numbered matchCount + 1.
    QcEditResult logMatch(QcMatch match);

    // Illuminant and observer by their names; unknown names give code 0.
    void setIlluminant(std::string_view name);
    void setObserver(std::string_view name);
};

// The list's texts of entry n: number "%d", comment, L, a, b "%3.2f".
struct QcListRow {
    std::string number, comment, l, a, b;
};
QcListRow qcListRow(const QcSet& set, int number);

} // namespace lt
