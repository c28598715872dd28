// "SaveList": the list file's exact bytes, and what happens to the file and
// to the remembered path when the operator cancels, the list is empty or the
// disk refuses the data.
#include "core/metrics/ListFile.h"
#include "MetricsTestFiles.h"
#include "common/ScriptedOperator.h"
#include "core/metrics/TextFileName.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace lt {
namespace {

// The three rows of the golden files, inserted oldest first as the
// measurement cycle does (the newest ends up at the top).
void fillThreeRows(MeasurementList& list, bool withSpotColor)
{
    const MeasurementRow rows[3] = {
        {"  0", "0.000", "0.000", "0.000", "0.000", "-  -", "94.12", "0.53", "-3.21", "82.10",
            "85.52", "88.90"},
        {"  1", "1.402", "0.451", "0.062", "0.133", "C  100.0", "55.03", "-37.12", "-50.33",
            "17.64", "23.05", "62.80"},
        {"  2", "0.601", "0.233", "0.041", "0.062", "C  58.3", "74.91", "-19.66", "-26.40", "42.35",
            "48.11", "75.02"},
    };
    const char* spotDensities[3] = {"0.00", "0.12", "1.05"};
    const char* spotAreas[3] = {"--   ", "--   ", "62.4"};
    for (int i = 0; i < 3; ++i) {
        MeasurementRow row = rows[i];
        row[column::kSpotDensity] = withSpotColor ? spotDensities[i] : kNoSpotDensityText;
        row[column::kSpotDotArea] = withSpotColor ? spotAreas[i] : kNoSpotDotAreaText;
        row[column::kSpotName] = withSpotColor ? "Reflex Blue" : kNoSpotNameText;
        list.insertTop(row);
    }
}

class ListFileTest : public ::testing::Test {
protected:
    std::string directory = test::scratchDirectory();
    std::string target = directory + "/list.txt";
    testing::ScriptedOperator op;
    MeasurementList list;
    std::string listPath = "/home/operator/MyList.txt";
};

TEST_F(ListFileTest, WritesTheRowsOldestFirstExactlyAsTheListShowsThem)
{
    fillThreeRows(list, false);
    ASSERT_EQ(list.cell(0, column::kNumber), "  2");
    op.files.push_back(target);
    EXPECT_TRUE(SaveList(list, op, listPath));
    EXPECT_EQ(test::fileBytes(target), test::fileBytes(test::goldenPath("list_three_rows.txt")));
    EXPECT_EQ(listPath, target);
    EXPECT_TRUE(op.messages.empty());

    ASSERT_EQ(op.fileQuestions.size(), 1u);
    EXPECT_EQ(op.fileQuestions[0].title, "Save List");
    EXPECT_EQ(op.fileQuestions[0].startPath, "/home/operator/MyList.txt");
    EXPECT_EQ(op.fileQuestions[0].filter, " ListFiles(*.txt) ");
}

TEST_F(ListFileTest, WritesTheSpotColumnsAsShown)
{
    fillThreeRows(list, true);
    op.files.push_back(target);
    EXPECT_TRUE(SaveList(list, op, listPath));
    EXPECT_EQ(
        test::fileBytes(target), test::fileBytes(test::goldenPath("list_three_rows_spot.txt")));
}

TEST_F(ListFileTest, EmptyCellsStayEmptyAndLongListsAreWrittenWhole)
{
    MeasurementRow sparse {};
    sparse[column::kNumber] = "  0";
    list.insertTop(sparse);
    EXPECT_EQ(formatListFileText(list),
        std::string(kListFileHeader) + "  0" + std::string(14, '\t') + "\t\r\n");

    list.clear();
    constexpr int kManyRows = 1500;
    for (int i = 0; i < kManyRows; ++i) {
        MeasurementRow row {};
        row[column::kNumber] = "  " + std::to_string(i);
        list.insertTop(row);
    }
    op.files.push_back(target);
    EXPECT_TRUE(SaveList(list, op, listPath));
    const std::string text = test::fileBytes(target);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kManyRows + 1);
    EXPECT_NE(text.find("\r\n  0\t"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 23), "  1499" + std::string(15, '\t') + "\r\n");
}

TEST_F(ListFileTest, AnEmptyListLeavesAnEmptyFileAndIsNotRemembered)
{
    test::writeBytes(target, "an older list");
    op.files.push_back(target);
    EXPECT_FALSE(SaveList(list, op, listPath));
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(test::fileBytes(target), "");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ListFileTest, CancellingWritesNothing)
{
    fillThreeRows(list, false);
    op.files.push_back(std::nullopt);
    EXPECT_FALSE(SaveList(list, op, listPath));
    EXPECT_EQ(listPath, "/home/operator/MyList.txt");
    EXPECT_TRUE(std::filesystem::is_empty(directory));
}

TEST_F(ListFileTest, AMissingDirectoryIsReportedWithThePath)
{
    fillThreeRows(list, false);
    const std::string nowhere = directory + "/no/such/dir/list.txt";
    op.files.push_back(nowhere);
    EXPECT_FALSE(SaveList(list, op, listPath));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Wrong Path or no Space: " + nowhere + "\nNo such file or directory");
}

TEST_F(ListFileTest, AFolderWithoutWritePermissionIsReportedWithTheSystemsReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into any folder";
    fillThreeRows(list, false);
    const std::string locked = directory + "/locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    op.files.push_back(locked + "/list.txt");
    EXPECT_FALSE(SaveList(list, op, listPath));
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Wrong Path or no Space: " + locked + "/list.txt\nPermission denied");
}

TEST_F(ListFileTest, AFailedWriteLeavesThePreviousFileIntact)
{
    fillThreeRows(list, false);
    const std::string previous = "the previous list, which must survive";
    test::writeBytes(target, previous);

    // A file size limit below the list's size makes the write fail part way,
    // as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit original {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit small = original;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    op.files.push_back(target);
    const bool saved = SaveList(list, op, listPath);
    setrlimit(RLIMIT_FSIZE, &original);

    EXPECT_FALSE(saved);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Write file failed!\nFile too large");
    EXPECT_EQ(test::fileBytes(target), previous);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 1);
}

TEST(TextFileName, SavedTextFilesEndInTxt)
{
    EXPECT_EQ(withTextExtension("/home/op/list"), "/home/op/list.txt");
    EXPECT_EQ(withTextExtension("/home/op/list.csv"), "/home/op/list.txt");
    EXPECT_EQ(withTextExtension("/home/op/list.txt"), "/home/op/list.txt");
    EXPECT_EQ(withTextExtension("/home/op.d/list"), "/home/op.d/list.txt")
        << "a dot of a directory";
    EXPECT_EQ(withTextExtension("/home/op/.hidden"), "/home/op/.hidden.txt");
    EXPECT_EQ(withTextExtension("list.old.txt"), "list.old.txt");
}

} // namespace
} // namespace lt
