#pragma once
// What keeps the operator from losing measurements on the colour metrics
// page: whether the list holds rows that were never saved (the close
// question asks about them), and the rows of the last "ClearList", which
// one undo puts back as long as no new row has arrived since.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "core/metrics/MeasurementList.h"

namespace lt {

struct SharedRecord;

class ListKeeping {
public:
    explicit ListKeeping(SharedRecord& record);
    ~ListKeeping();
    ListKeeping(const ListKeeping&) = delete;
    ListKeeping& operator=(const ListKeeping&) = delete;

    // True when the list has rows and some arrived after the last save.
    bool hasUnsavedRows() const;
    // The whole list was written to a file.
    void markSaved();

    // Runs clear (the "ClearList" of the page), keeping the rows and the
    // next row number for one undo.
    void clearKeepingRows(const std::function<void()>& clear);
    bool canUndoClear() const;
    // Puts the cleared rows back with their numbering; false when there is
    // nothing to undo (never cleared, already undone, or a new row came).
    bool undoClear();

private:
    void listChanged(const ListChange& change);

    SharedRecord& shared;
    int subscription = 0;
    std::atomic<bool> unsaved {false};
    mutable std::mutex mutex;
    bool undoPossible = false;
    std::vector<MeasurementRow> clearedRows; // newest first
    std::int32_t clearedRowCounter = 0;
    bool clearedUnsaved = false;
};

} // namespace lt
