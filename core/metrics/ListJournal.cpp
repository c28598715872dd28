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
    subscription = rows.subscribe([this](const ListChange&) { write(); });
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

void ListJournal::write()
{
    std::string reason;
    const bool written = replaceFileContent(file, formatListFileText(rows), &reason) ==
        FileWriteResult::Written;
    std::lock_guard lock(mutex);
    failureReason = written ? std::string() : reason.empty() ? std::string("?") : reason;
}

void ListJournal::discard()
{
    rows.unsubscribe(subscription);
    subscription = 0;
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
