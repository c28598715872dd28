// Nothing of the measurement list is lost: the copy kept in the config
// directory survives a process killed in the middle of its work and reads
// back row for row; the list file reads back what it wrote; "ClearList" is
// undone once; unsaved rows are known.
#include "core/metrics/ListKeeping.h"
#include "MetricsTestFiles.h"
#include "common/TempDirectory.h"
#include "core/common/WholeFile.h"
#include "core/metrics/ListFile.h"
#include "core/metrics/ListJournal.h"
#include "core/station/SharedRecord.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace lt {
namespace {

MeasurementRow numberedRow(int number)
{
    MeasurementRow row;
    row[column::kNumber] = "  " + std::to_string(number);
    row[column::kCyan] = "0." + std::to_string(100 + number);
    row[column::kDotArea] = "C  51.8";
    row[column::kL] = "-3.21";
    row[column::kSpotName] = kNoSpotNameText;
    return row;
}

TEST(ListFileText, ReadsBackWhatItWroteAndRefusesForeignText)
{
    const std::vector<MeasurementRow> rows = {numberedRow(2), numberedRow(1), numberedRow(0)};
    const std::string text = formatListFileText(rows);
    EXPECT_EQ(parseListFileText(text), rows);
    EXPECT_EQ(parseListFileText(""), std::vector<MeasurementRow> {});
    EXPECT_FALSE(parseListFileText("SC\xA7\r\n1\r\n"));
    // A line cut short (or with a column too many) ends the reading; the
    // older rows before it are kept.
    std::string cut = text.substr(0, text.rfind("\r\n", text.size() - 3) + 2) + "  9\t0.1\t\r\n";
    EXPECT_EQ(
        parseListFileText(cut), (std::vector<MeasurementRow> {numberedRow(1), numberedRow(0)}));
    std::string extra = text;
    extra.insert(extra.size() - 2, "surplus\t");
    EXPECT_EQ(parseListFileText(extra)->size(), 2u);
}

// A measuring process killed without warning (SIGKILL, as a crash or a
// power cut would end it) leaves its list for the next start.
TEST(ListJournal, TheListOfAKilledProcessIsThereAtTheNextStart)
{
    const std::string directory = test::scratchDirectory();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MeasurementList list;
        ListJournal journal(list, directory);
        for (int number = 0; number < 5; ++number)
            list.insertTop(numberedRow(number));
        list.setCell(0, column::kSpotName, "Reflex Blue");
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::vector<MeasurementRow> rows = ListJournal::leftBehind(directory);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][column::kNumber], "  4") << "newest first";
    EXPECT_EQ(rows[0][column::kSpotName], "Reflex Blue");
    EXPECT_EQ(rows[4], numberedRow(0));

    // Restored after rows this run already has, numbering goes on after 4.
    SharedRecord record;
    record.list.insertTop(numberedRow(0));
    record.rowCounter = 1;
    restoreListRows(record, rows);
    EXPECT_EQ(record.list.rowCount(), 6);
    EXPECT_EQ(record.list.row(0), rows[0]);
    EXPECT_EQ(record.list.row(5), numberedRow(0));
    EXPECT_EQ(record.rowCounter, 5);

    // An orderly end leaves nothing behind; neither does a fresh directory.
    MeasurementList list;
    ListJournal journal(list, directory);
    journal.discard();
    EXPECT_TRUE(ListJournal::leftBehind(directory).empty());
}

// A new row only adds its line at the copy's end (the same file, its old
// bytes untouched); every other change replaces the copy. After each step
// the copy is the list file of the list.
TEST(ListJournal, TheCopyFollowsEveryChangeAndANewRowOnlyAddsItsLine)
{
    MeasurementList list;
    ListJournal journal(list, test::scratchDirectory());
    struct Step {
        const char* what;
        std::function<void()> change;
        bool addsALine;
    };
    const std::vector<Step> steps = {
        {"first row: the copy is made", [&] { list.insertTop(numberedRow(0)); }, false},
        {"second row", [&] { list.insertTop(numberedRow(1)); }, true},
        {"third row", [&] { list.insertTop(numberedRow(2)); }, true},
        {"a cell changes", [&] { list.setCell(1, column::kSpotName, "Reflex Blue"); }, false},
        {"row after a change", [&] { list.insertTop(numberedRow(3)); }, true},
        {"newest row removed", [&] { list.removeRow(0); }, false},
        {"list cleared", [&] { list.clear(); }, false},
        {"row into the empty copy", [&] { list.insertTop(numberedRow(4)); }, true},
        {"row after it", [&] { list.insertTop(numberedRow(5)); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const std::string before = test::fileBytes(journal.path());
        const ino_t inodeBefore = testing::inodeOf(journal.path());
        step.change();
        const std::string after = test::fileBytes(journal.path());
        EXPECT_EQ(after, formatListFileText(list));
        EXPECT_EQ(ListJournal::leftBehind(directoryOfPath(journal.path())), list.rows());
        if (step.addsALine) {
            EXPECT_EQ(testing::inodeOf(journal.path()), inodeBefore);
            EXPECT_EQ(after.substr(0, before.size()), before);
        }
    }
    EXPECT_TRUE(journal.keeping());
}

// Rows added from two threads at once all reach the copy, each once.
TEST(ListJournal, RowsFromTwoThreadsAllReachTheCopy)
{
    MeasurementList list;
    ListJournal journal(list, test::scratchDirectory());
    auto addRows = [&list](int first) {
        for (int number = first; number < first + 150; ++number)
            list.insertTop(numberedRow(number));
    };
    std::thread other(addRows, 1000);
    addRows(0);
    other.join();
    EXPECT_EQ(test::fileBytes(journal.path()), formatListFileText(list));
    EXPECT_EQ(ListJournal::leftBehind(directoryOfPath(journal.path())).size(), 300u);
}

TEST(ListJournal, AnUnwritableDirectoryIsNoticedAndTheNextChangeWritesTheWholeList)
{
    const std::string directory = test::scratchDirectory() + "/missing";
    MeasurementList list;
    ListJournal journal(list, directory);
    EXPECT_TRUE(journal.keeping());
    list.insertTop(numberedRow(0));
    EXPECT_FALSE(journal.keeping());
    EXPECT_EQ(journal.failure(), "No such file or directory");

    std::filesystem::create_directory(directory);
    list.insertTop(numberedRow(1));
    EXPECT_TRUE(journal.keeping());
    EXPECT_EQ(ListJournal::leftBehind(directory), list.rows()) << "the row that failed is kept too";
}

TEST(ListKeeping, ClearListIsUndoneOnceUntilANewRowArrives)
{
    SharedRecord record;
    ListKeeping keeping(record);
    auto clear = [&] {
        record.list.clear();
        record.rowCounter = 0;
    };
    EXPECT_FALSE(keeping.hasUnsavedRows());
    for (int number = 0; number < 3; ++number)
        record.list.insertTop(numberedRow(number));
    record.rowCounter = 3;
    EXPECT_TRUE(keeping.hasUnsavedRows());
    const std::vector<MeasurementRow> before = record.list.rows();

    keeping.clearKeepingRows(clear);
    EXPECT_FALSE(keeping.hasUnsavedRows()) << "nothing left to lose";
    // Clearing the empty list again keeps the undo.
    keeping.clearKeepingRows(clear);
    ASSERT_TRUE(keeping.canUndoClear());
    EXPECT_TRUE(keeping.undoClear());
    EXPECT_EQ(record.list.rows(), before);
    EXPECT_EQ(record.rowCounter, 3);
    EXPECT_TRUE(keeping.hasUnsavedRows());
    EXPECT_FALSE(keeping.undoClear()) << "once";

    // Saved rows stay saved through a clear and its undo.
    keeping.markSaved();
    keeping.clearKeepingRows(clear);
    EXPECT_TRUE(keeping.undoClear());
    EXPECT_FALSE(keeping.hasUnsavedRows());

    // A row measured after the clear ends the chance to undo it.
    keeping.clearKeepingRows(clear);
    record.list.insertTop(numberedRow(0));
    EXPECT_FALSE(keeping.canUndoClear());
    EXPECT_FALSE(keeping.undoClear());
    EXPECT_EQ(record.list.rowCount(), 1);
}

} // namespace
} // namespace lt
