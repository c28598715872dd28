// The spot-colour library on disk: loading, saving, deleting with
// compaction through the scratch file, and the combo box selection.
#include "core/metrics/SpotLibraryFile.h"
#include "MetricsTestFiles.h"
#include "common/ScriptedOperator.h"

#include "core/colour/ColorArithmetic.h"
#include "core/metrics/SpotColorText.h"
#include "core/settings/Settings.h"
#include "core/station/SharedRecord.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace lt {
namespace {

SpotColorEntry colour(const std::string& name, double centre, SpotKind kind = SpotKind::Wide)
{
    SpotColorEntry entry = makeSpotColorEntry(centre);
    entry.kind = kind;
    entry.name = name;
    if (kind == SpotKind::Narrow)
        entry.weights = kNarrowWindowWeights;
    return entry;
}

class SpotLibraryFileTest : public ::testing::Test {
protected:
    std::string directory = test::scratchDirectory();
    Settings settings {directory};
    SharedRecord record;
    testing::ScriptedOperator op;
    SpotColorLibrary& library = record.spotColors;

    void fill(std::initializer_list<const char*> names)
    {
        double centre = 450;
        for (const char* name : names)
            library.append(colour(name, centre += 20));
    }
};

TEST_F(SpotLibraryFileTest, LoadsTheGoldenFileAndWritesItBackByteForByte)
{
    fill({"Old"});
    library.select(1);
    ASSERT_TRUE(LoadSpotFile(record, op, test::goldenPath("spot_two_entries.txt")));
    EXPECT_EQ(library.count(), 2);
    EXPECT_EQ(library.selection(), 0);
    EXPECT_EQ(record.spotFilePath, test::goldenPath("spot_two_entries.txt"));
    EXPECT_EQ(
        spotColorChoices(record), (std::vector<std::string> {"none", "Reflex Blue", "Warm Red"}));
    EXPECT_EQ(library.entry(1)->kind, SpotKind::Narrow);
    EXPECT_DOUBLE_EQ(library.entry(2)->centreWavelength(), 520.0);

    const std::string copy = directory + "/copy.txt";
    ASSERT_TRUE(SaveSpotFile(record, op, copy));
    EXPECT_EQ(test::fileBytes(copy), test::fileBytes(test::goldenPath("spot_two_entries.txt")));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SpotLibraryFileTest, AFileThatCannotBeOpenedChangesNothing)
{
    fill({"Kept"});
    library.select(1);
    record.spotFilePath = "before";
    EXPECT_FALSE(LoadSpotFile(record, op, directory + "/missing.txt"));
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(library.selection(), 1);
    EXPECT_EQ(record.spotFilePath, "before");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SpotLibraryFileTest, AForeignFileEmptiesTheLibraryWithAMessage)
{
    fill({"A", "B"});
    const std::string foreign = directory + "/foreign.txt";
    test::writeBytes(foreign, "No.\tCyan\tMag.\r\n  0\t0.1\t0.2\r\n");
    EXPECT_TRUE(LoadSpotFile(record, op, foreign));
    EXPECT_EQ(op.texts(), (std::vector<std::string> {"This is no SpotColor file !\n" + foreign}));
    EXPECT_EQ(library.count(), 0);
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none"}));

    // A directory opens but cannot be read: both problems are told.
    op.messages.clear();
    EXPECT_TRUE(LoadSpotFile(record, op, directory));
    EXPECT_EQ(op.texts(),
        (std::vector<std::string> {
            "Read file failed!", "This is no SpotColor file !\n" + directory}));
}

TEST_F(SpotLibraryFileTest, ADamagedFileNamesItsLineAndKeepsTheEntriesBeforeIt)
{
    const std::string damaged = directory + "/damaged.txt";
    std::string text = test::fileBytes(test::goldenPath("spot_two_entries.txt"));
    // Line 14 is the second entry's second window line.
    std::size_t start = 0;
    for (int line = 1; line < 14; ++line)
        start = text.find('\n', start) + 1;
    text.replace(start, text.find('\t', start) - start, "five");
    test::writeBytes(damaged, text);
    EXPECT_TRUE(LoadSpotFile(record, op, damaged));
    EXPECT_EQ(op.texts(),
        (std::vector<std::string> {"Damaged SpotColor file !\n" + damaged +
            ", line 14: the wavelength is not a number.\n1 spot colour before it was loaded."}));
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none", "Reflex Blue"}));
}

TEST_F(SpotLibraryFileTest, AFailedSaveIsReportedAndKeepsThePreviousFile)
{
    fill({"A"});
    const std::string nowhere = directory + "/missing/dir/SC.txt";
    EXPECT_FALSE(SaveSpotFile(record, op, nowhere));
    EXPECT_EQ(op.texts(),
        (std::vector<std::string> {
            "Wrong Path or no Space: " + nowhere + "\nNo such file or directory"}));

    // Renaming onto a directory fails after the data was written.
    op.messages.clear();
    const std::string occupied = directory + "/occupied";
    std::filesystem::create_directory(occupied);
    EXPECT_FALSE(SaveSpotFile(record, op, occupied));
    EXPECT_EQ(op.texts(), (std::vector<std::string> {"Write file failed!\nIs a directory"}));
    EXPECT_TRUE(std::filesystem::is_directory(occupied));
    EXPECT_EQ(library.count(), 1);
}

TEST_F(SpotLibraryFileTest, DeletingCompactsThroughTheScratchFile)
{
    fill({"A", "B", "C"});
    library.select(3);
    const int selected = deleteSpotColorChoice(record, settings, op, 2);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none", "A", "C"}));
    EXPECT_EQ(library.count(), 2);
    EXPECT_EQ(library.selection(), 1);
    EXPECT_EQ(library.entry(1)->name, "A");

    const std::string scratch = directory + "/SpotTmp.txt";
    EXPECT_EQ(record.spotFilePath, scratch);
    EXPECT_EQ(settings.load(keys::kSpotColorFile), scratch);
    const auto onDisk = parseSpotFileText(test::fileBytes(scratch));
    ASSERT_EQ(onDisk.entries.size(), 2u);
    EXPECT_EQ(onDisk.entries[1].name, "C");
}

// Deleting drops the one entry asked for, whatever the others hold: an entry
// the file cannot carry stays in the library (it is only not written).
TEST_F(SpotLibraryFileTest, DeletingNeverDropsAnotherEntry)
{
    fill({"A", "B", "Far", "D"});
    library.entry(3)->wavelengths[3] = 1e250;
    library.select(4);
    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 1), 0);
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none", "B", "Far", "D"}));
    EXPECT_EQ(library.count(), 3);
    EXPECT_DOUBLE_EQ(library.entry(2)->centreWavelength(), 1e250);
    EXPECT_TRUE(op.messages.empty());
    const auto onDisk = parseSpotFileText(test::fileBytes(directory + "/SpotTmp.txt"));
    ASSERT_EQ(onDisk.entries.size(), 2u);
    EXPECT_EQ(onDisk.entries[0].name, "B");
    EXPECT_EQ(onDisk.entries[1].name, "D");

    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 3), 2);
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none", "B", "Far"}));
    EXPECT_EQ(library.selection(), 2);
}

TEST_F(SpotLibraryFileTest, DeletingTheOnlyEntryLeavesNoneAndAnEmptyScratchFile)
{
    fill({"Only"});
    library.select(1);
    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 1), 0);
    EXPECT_EQ(library.count(), 0);
    EXPECT_EQ(library.selection(), 0);
    EXPECT_EQ(test::fileBytes(directory + "/SpotTmp.txt"), "SC\xA7\r\n0\r\n");
}

TEST_F(SpotLibraryFileTest, NoneAndPositionsBeyondTheListAreNotDeleted)
{
    fill({"A"});
    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 0), 0);
    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 5), 5);
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(library.entry(1)->kind, SpotKind::Wide);
    EXPECT_FALSE(std::filesystem::exists(directory + "/SpotTmp.txt"));
}

TEST_F(SpotLibraryFileTest, AnUnwritableScratchFileNeverBringsBackAnOlderLibrary)
{
    fill({"A", "B"});
    settings.store(keys::kSpotColorFile, "SCFile.txt");
    // The scratch name is taken by a directory: the compaction cannot be
    // written, so nothing may be read back from there.
    std::filesystem::create_directory(directory + "/SpotTmp.txt");
    EXPECT_EQ(deleteSpotColorChoice(record, settings, op, 1), 0);
    EXPECT_EQ(op.texts(), (std::vector<std::string> {"Write file failed!\nIs a directory"}));
    EXPECT_EQ(spotColorChoices(record), (std::vector<std::string> {"none", "B"}));
    EXPECT_EQ(settings.load(keys::kSpotColorFile), "SCFile.txt");
}

TEST_F(SpotLibraryFileTest, ChoosingNoneReturnsToAbsoluteDensities)
{
    fill({"A", "B", "C"});
    library.entry(2)->kind = SpotKind::Deleted;
    record.paperWhiteState = PaperWhiteRelative;
    record.spotSolidState = SpotSolidCalibrated;

    selectSpotColorChoice(record, 2); // "none", "A", "C": position 2 is "C"
    EXPECT_EQ(library.selection(), 3);
    EXPECT_EQ(record.paperWhiteState, PaperWhiteRelative);

    selectSpotColorChoice(record, 0);
    EXPECT_EQ(library.selection(), 0);
    EXPECT_EQ(record.paperWhiteState, PaperWhiteAbsolute);
    EXPECT_EQ(record.spotSolidState, SpotSolidNone);
}

} // namespace
} // namespace lt
