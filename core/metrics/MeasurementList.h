#pragma once
// The measurement list: fifteen text columns per sample, the newest row at
// index 0. It is the only store of past samples; the list file, the colour
// difference, the large value display and the spreadsheet export read its
// texts back. The list view only displays it.
//
// Rows may be added from the automatic chart measurement's worker thread
// while the user-interface thread reads: every call is safe from any thread,
// and reads return copies. Change observers are called on the thread that
// made the change, after the change and outside the list's lock.
#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace lt {

inline constexpr int kListColumns = 15;
using MeasurementRow = std::array<std::string, kListColumns>;

namespace column {
inline constexpr int kNumber = 0;
inline constexpr int kCyan = 1;
inline constexpr int kMagenta = 2;
inline constexpr int kYellow = 3;
inline constexpr int kBlack = 4;
inline constexpr int kDotArea = 5;
inline constexpr int kL = 6;
inline constexpr int kA = 7;
inline constexpr int kB = 8;
inline constexpr int kX = 9;
inline constexpr int kY = 10;
inline constexpr int kZ = 11;
inline constexpr int kSpotDensity = 12;
inline constexpr int kSpotDotArea = 13;
inline constexpr int kSpotName = 14;
} // namespace column

struct ListColumnFormat {
    const char* header;
    int width; // [pixel]
    bool alignRight;
};

// Headers, widths and alignment of the fifteen columns.
inline constexpr std::array<ListColumnFormat, kListColumns> kListColumnFormats {{
    {"1: No  ", 50, true},
    {"Cyan   ", 70, true},
    {"Magenta ", 70, true},
    {"Yellow  ", 70, true},
    {"Black  ", 70, true},
    {"%    ", 70, true},
    {"7:     L    ", 70, true},
    {"a    ", 70, true},
    {"b    ", 70, true},
    {"10:     X    ", 70, true},
    {"Y    ", 70, true},
    {"Z    ", 70, true},
    {"SpotDens.", 80, true},
    {"Spot %  ", 80, true},
    {"SpotColor", 80, false},
}};

// Texts of the spot columns when no spot colour value is shown.
inline constexpr const char* kNoSpotDensityText = "--   ";
inline constexpr const char* kNoSpotDotAreaText = "--   ";
inline constexpr const char* kNoSpotNameText = "    --";

struct ListChange {
    enum class Kind { RowInserted, RowChanged, RowRemoved, Cleared };
    Kind kind;
    int row; // the row concerned; 0 for Cleared
};

class MeasurementList {
public:
    using Observer = std::function<void(const ListChange&)>;

    // Puts row at index 0; the other rows move down by one.
    void insertTop(const MeasurementRow& row);
    // Sets one cell; false when row or column do not exist.
    bool setCell(int row, int column, const std::string& text);
    bool removeRow(int row);
    void clear();

    int rowCount() const;
    // A copy of the row; all cells empty when it does not exist.
    MeasurementRow row(int index) const;
    std::string cell(int row, int column) const;
    // All rows, newest first.
    std::vector<MeasurementRow> rows() const;

    // A cell addressed by the row's age: position 0 is the oldest row. New
    // rows never change the position of the others, so a reader that knows
    // how many rows it has seen finds them again while more are being added.
    // Empty when the row or column does not exist.
    std::string cellFromOldest(std::size_t position, int column) const;

    // Hands every row from position from on to visit, oldest first, without
    // copying the list; the list is locked meanwhile (visit must not change
    // it). Returns the number of rows the list held.
    std::size_t visitOldestFirst(
        const std::function<void(const MeasurementRow&)>& visit, std::size_t from = 0) const;

    // Returns an id for unsubscribe.
    int subscribe(Observer observer);
    void unsubscribe(int id);

private:
    void notify(const ListChange& change);
    std::string cellLocked(std::size_t position, int column) const;

    mutable std::mutex mutex;
    std::deque<MeasurementRow> storage; // index 0 = newest (stored oldest first)
    std::mutex observerMutex;
    std::vector<std::pair<int, Observer>> observers;
    int nextObserverId = 1;
};

} // namespace lt
