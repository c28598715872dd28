#include "core/metrics/ListJournal.h"

#include <algorithm>
#include <cstdio>

#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"
#include "core/metrics/ListFile.h"
#include "core/station/SharedRecord.h"

namespace lt {

namespace {

// A list of a few thousand rows stays far below this; a larger copy is
// not the program's and is not read.
constexpr std::size_t kJournalReadLimit = 64u << 20;

std::string journalPath(const std::string& directory)
{
    return directory + "/" + kListJournalFileName;
}

} // namespace

ListJournal::ListJournal(MeasurementList& list, const std::string& directory)
    : rows(list), file(journalPath(directory))
{
    subscription = rows.subscribe([this](const ListChange& change) { keep(change); });
}

ListJournal::~ListJournal()
{
    rows.unsubscribe(subscription);
}

std::vector<MeasurementRow> ListJournal::leftBehind(const std::string& directory)
{
    std::string text;
    if (readFileHead(journalPath(directory), kJournalReadLimit, text) != FileReadResult::Read)
        return {};
    return parseListFileText(text).value_or(std::vector<MeasurementRow> {});
}

void ListJournal::keep(const ListChange& change)
{
    std::lock_guard lock(writing);
    if (discarded)
        return;
    std::string reason;
    // Rows are only ever added at the newest end, so the rows past those the
    // copy holds are the new ones, whichever thread's change is told first.
    const bool written = change.kind == ListChange::Kind::RowInserted && rowsInFile
        ? appendNewRows(reason)
        : replaceCopy(reason);
    if (!written)
        rowsInFile.reset();
    std::lock_guard state(mutex);
    failureReason = written ? std::string() : reason.empty() ? std::string("?") : reason;
}

bool ListJournal::appendNewRows(std::string& reason)
{
    std::size_t rowCount = 0;
    const std::string lines = formatListFileLines(rows, *rowsInFile, rowCount);
    if (rowCount < *rowsInFile) // rows went away before their change was told
        return replaceCopy(reason);
    if (!lines.empty() && appendFileContent(file, lines, &reason) != FileWriteResult::Written)
        return false;
    rowsInFile = rowCount;
    return true;
}

bool ListJournal::replaceCopy(std::string& reason)
{
    std::size_t rowCount = 0;
    const std::string text = formatListFileLines(rows, 0, rowCount);
    if (replaceFileContent(file, text, &reason) != FileWriteResult::Written)
        return false;
    rowsInFile = rowCount;
    return true;
}

void ListJournal::discard()
{
    rows.unsubscribe(subscription);
    subscription = 0;
    // A change told before the unsubscription must not bring the copy back.
    std::lock_guard lock(writing);
    discarded = true;
    std::remove(file.c_str());
}

bool ListJournal::keeping() const
{
    std::lock_guard lock(mutex);
    return failureReason.empty();
}

std::string ListJournal::failure() const
{
    std::lock_guard lock(mutex);
    return failureReason;
}

void restoreListRows(SharedRecord& record, const std::vector<MeasurementRow>& rowsNewestFirst)
{
    std::int32_t nextNumber = record.rowCounter;
    for (auto row = rowsNewestFirst.rbegin(); row != rowsNewestFirst.rend(); ++row) {
        record.list.insertTop(*row);
        if (const auto number = parseInteger((*row)[column::kNumber]))
            nextNumber = std::max(nextNumber, static_cast<std::int32_t>(*number + 1));
    }
    record.rowCounter = nextNumber;
}

} // namespace lt
