#pragma once
// Keeps the measurement list safe from a crash or a power cut: a copy of it,
// in the list file's format, lives in the config directory. A new row is
// added at the copy's end, so a sample costs the same at any length of the
// list; any other change replaces the copy through the whole-file writer. A
// line cut short by a crash ends the reading, the rows before it are kept.
// An orderly end of the program removes the copy; a copy found at start
// therefore holds the list of a run that ended without closing its window,
// and can be offered back.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/metrics/MeasurementList.h"

namespace lt {

struct SharedRecord;

inline constexpr const char* kListJournalFileName = "ListJournal.txt";

class ListJournal {
public:
    // Follows list from now on; the copy lives in directory. An existing
    // copy stays untouched until the list first changes.
    ListJournal(MeasurementList& list, const std::string& directory);
    ~ListJournal();
    ListJournal(const ListJournal&) = delete;
    ListJournal& operator=(const ListJournal&) = delete;

    // The rows a run that did not end in order left in directory, newest
    // first; empty when there are none (or the copy is unreadable).
    static std::vector<MeasurementRow> leftBehind(const std::string& directory);

    // The orderly end: the copy is removed.
    void discard();
    // False once a copy could not be written (the disk is full, the
    // directory read-only); the reason is in failure().
    bool keeping() const;
    std::string failure() const;
    const std::string& path() const { return file; }

private:
    void keep(const ListChange& change);
    // Each sets rowsInFile on success.
    bool appendNewRows(std::string& reason);
    bool replaceCopy(std::string& reason);

    MeasurementList& rows;
    std::string file;
    int subscription = 0;
    // One change is written at a time; holds the two members below.
    std::mutex writing;
    // The rows the copy holds, oldest first; unknown before the first write
    // and after a failed one (the next change then replaces the copy).
    std::optional<std::size_t> rowsInFile;
    bool discarded = false;
    mutable std::mutex mutex; // holds failureReason
    std::string failureReason;
};

// Puts rows (newest first) back into the record's list after the rows it
// holds, and lets the row numbers continue after the highest one restored.
void restoreListRows(SharedRecord& record, const std::vector<MeasurementRow>& rowsNewestFirst);

} // namespace lt
