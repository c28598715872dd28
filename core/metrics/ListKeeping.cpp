#include "core/metrics/ListKeeping.h"

#include "core/station/SharedRecord.h"

namespace lt {

ListKeeping::ListKeeping(SharedRecord& record) : shared(record)
{
    subscription = shared.list.subscribe([this](const ListChange& change) { listChanged(change); });
}

ListKeeping::~ListKeeping()
{
    shared.list.unsubscribe(subscription);
}

void ListKeeping::listChanged(const ListChange& change)
{
    if (change.kind != ListChange::Kind::RowInserted)
        return;
    unsaved = true;
    std::lock_guard lock(mutex);
    undoPossible = false;
    clearedRows.clear();
}

bool ListKeeping::hasUnsavedRows() const
{
    return unsaved && shared.list.rowCount() > 0;
}

void ListKeeping::markSaved()
{
    unsaved = false;
}

void ListKeeping::clearKeepingRows(const std::function<void()>& clear)
{
    std::vector<MeasurementRow> rows = shared.list.rows();
    const std::int32_t counter = shared.rowCounter;
    const bool wasUnsaved = hasUnsavedRows();
    clear();
    std::lock_guard lock(mutex);
    // Clearing an empty list keeps what an earlier clear left to undo.
    if (rows.empty())
        return;
    clearedRows = std::move(rows);
    clearedRowCounter = counter;
    clearedUnsaved = wasUnsaved;
    undoPossible = true;
}

bool ListKeeping::canUndoClear() const
{
    std::lock_guard lock(mutex);
    return undoPossible;
}

bool ListKeeping::undoClear()
{
    std::vector<MeasurementRow> rows;
    std::int32_t counter = 0;
    bool wasUnsaved = false;
    {
        std::lock_guard lock(mutex);
        if (!undoPossible)
            return false;
        undoPossible = false;
        rows.swap(clearedRows);
        counter = clearedRowCounter;
        wasUnsaved = clearedUnsaved;
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        shared.list.insertTop(*row);
    shared.rowCounter = counter;
    unsaved = wasUnsaved;
    return true;
}

} // namespace lt
