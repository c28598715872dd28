// The set's text: the exact bytes written, what the reader takes from a
// text, and every text it refuses.
#include "core/qc/QcText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/qc/QcSetFile.h"

namespace lt {
namespace {

std::string golden(const std::string& name)
{
    std::ifstream in(std::string(LTRAKW_QC_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The set of the golden file "set_with_log.txt".
QcSet setWithLog()
{
    QcSet set;
    set.customer = "/home/press/sets/job42.txt";
    set.appendEntry({55.12, -37.5, -50.0}, "Cyan 100");
    set.appendEntry({48.0, 74.25, -3.1}, "Magenta 100");
    set.appendEntry({95.0, 0.0, -2.0}, "");
    set.entries[1].tolerances = {3.0, 1.0, 2.5, 1.2};
    set.entries[2].tolerances = {1.0, 0.5, 1.0, 0.5};
    set.logMatch({0, 1, QcStatus::Ok, {55.2, -37.4, -49.8}, 0.24, 0.08, 0.1, 0.2});
    set.logMatch({0, 2, QcStatus::NotOk, {50.0, 70.0, -3.0}, 4.95, 2.0, -4.25, 0.1});
    prepareQcSetForWriting(set, 4, 0, 3); // D50, 2 degrees, three readings
    return set;
}

const std::string kHead = "#1\tLumatrak Quality Control\r\n#2\tCustomer:\tx\r\n"
                          "#3\tIllumination:\tD65\tObs:\t10\r\n";

QcParseResult parse(const std::string& text, QcSet& set)
{
    return ParseQcText(text, "/sets/read.txt", set);
}

TEST(QcTextTest, ASetWithALogIsWrittenByteForByteAsTheGoldenFile)
{
    EXPECT_EQ(ComposeQcText(setWithLog()), golden("set_with_log.txt"));
}

TEST(QcTextTest, TheGoldenFileReadsBackIntoTheSameEntriesWithAnEmptyLog)
{
    QcSet read;
    ASSERT_TRUE(parse(golden("set_with_log.txt"), read).complete);
    const QcSet written = setWithLog();
    EXPECT_EQ(read.entryCount, 3);
    EXPECT_EQ(read.matchCount, 0);
    EXPECT_EQ(read.averageCount, 3);
    EXPECT_EQ(read.customer, "/sets/read.txt");
    EXPECT_EQ(read.illuminantName, "D50");
    EXPECT_EQ(read.illuminantCode, 20);
    EXPECT_EQ(read.observerName, "2");
    EXPECT_EQ(read.observerCode, 1);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(read.entries[slot], written.entries[slot]) << slot;
        EXPECT_EQ(read.comments[slot], written.comments[slot]) << slot;
    }
    // Saved again, the "#8" section is gone.
    const std::string again = ComposeQcText(read);
    EXPECT_EQ(again.find("#8"), std::string::npos);
    EXPECT_TRUE(again.ends_with("#7\r\n"));
}

TEST(QcTextTest, RoundTripKeepsCommentsOfEveryLengthAndAllTwoHundredEntries)
{
    QcSet set;
    for (int i = 0; i < kQcMaxEntries; ++i)
        set.appendEntry({i * 0.5, -i * 0.25, i - 100.0}, std::string(i % 16, 'c'));
    set.comments[7] = std::string(kQcCommentCapacity, 'x'); // as a loaded set may hold
    prepareQcSetForWriting(set, 3, 1, 1);
    const std::string text = ComposeQcText(set);
    EXPECT_NE(text.find("\r\n9\tcccccccc\t\t4.00"), std::string::npos); // 8 characters: padded
    EXPECT_NE(text.find("\r\n10\tccccccccc\t4.50"), std::string::npos); // 9: not padded

    QcSet read;
    ASSERT_TRUE(parse(text, read).complete);
    EXPECT_EQ(read.entryCount, kQcMaxEntries);
    EXPECT_EQ(read.entries, set.entries);
    EXPECT_EQ(read.comments, set.comments);
    EXPECT_EQ(ComposeQcText(read),
        text.substr(0, text.find("#2")) + "#2\tCustomer:\t/sets/read.txt\r\n" +
            text.substr(text.find("#3")));
}

TEST(QcTextTest, SelectionsWithoutACodeAreWrittenByNameAndReadAsCodeZero)
{
    QcSet set;
    prepareQcSetForWriting(set, 5, 1, 0); // D55, 10 degrees, MN below 1
    EXPECT_EQ(set.illuminantName, "D55");
    EXPECT_EQ(set.illuminantCode, 0);
    EXPECT_EQ(set.averageCount, 1);
    prepareQcSetForWriting(set, 42, 7, 99);
    EXPECT_EQ(set.illuminantName, "?");
    EXPECT_EQ(set.observerName, "?");
    EXPECT_EQ(set.averageCount, 10);
    const std::string text = ComposeQcText(set);
    EXPECT_NE(text.find("#3\tIllumination:\t?\tObs:\t?\r\n#4\tN1:\t0\tN2:\t0\tMN:\t10\r\n"),
        std::string::npos);

    QcSet read;
    ASSERT_TRUE(
        parse("#1\r\n#3\tIllumination:\tD55\tObs:\t10\r\n#4\tN1:\t0\tN2:\t0\tMN:\t2\r\n", read)
            .complete);
    EXPECT_EQ(read.illuminantName, "D55");
    EXPECT_EQ(read.illuminantCode, 0);
    EXPECT_EQ(read.observerName, "10");
    EXPECT_EQ(read.observerCode, 2);

    // An illuminant named like the observer's label keeps both names.
    ASSERT_TRUE(
        parse("#1\r\n#3\tIllumination:\tObs:\tObs:\t2\r\n#4\tN1:\t0\tN2:\t0\tMN:\t2\r\n", read)
            .complete);
    EXPECT_EQ(read.illuminantName, "Obs:");
    EXPECT_EQ(read.observerName, "2");
}

TEST(QcTextTest, ReadsWhatItMayAndIgnoresWhatItMay)
{
    struct Case {
        const char* story;
        std::string text;
        bool complete;
        int entries;
    };
    const std::string counts = "#4\tN1:\t1\tN2:\t5\tMN:\t0\r\n";
    const std::string entry = "1\tGrey\t\t50.00\t0.00\t0.00\t1.00\t1.00\t1.00\t1.00\r\n";
    const Case cases[] = {
        {"only #1 and #2", "#1\r\n#2\tCustomer:\tsomewhere\r\n", true, 0},
        {"an empty line after #4 is ignored", kHead + counts + "\r\n" + entry, true, 1},
        {"a letter after #4 is ignored", kHead + counts + "Remark\r\n" + entry, true, 1},
        {"LF line ends", "#1\n#4\tN1:\t1\tN2:\t0\tMN:\t1\n1\tGrey\t\t1\t2\t3\t4\t5\t6\t7\n", true,
            1},
        {"## and a lone # are skipped", kHead + counts + "##\r\n#\r\n" + entry, true, 1},
        {"match lines after #8 are not kept", kHead + counts + entry + "#8\r\n1\t1\ty\t1\t2\t3\r\n",
            true, 1},
        {"no line end after the last line", kHead + counts + entry.substr(0, entry.size() - 2),
            true, 1},
        {"an empty line between #2 and #3", "#1\r\n#2\tCustomer:\tx\r\n\r\n#3\r\n", false, 0},
        {"a blank starting a line before #4", "#1\r\n #2\r\n", false, 0},
        {"entry number above 200", kHead + counts + "201\tFar\t\t1\t2\t3\t4\t5\t6\t7\r\n", false,
            1},
        {"more than 200 entries announced", kHead + "#4\tN1:\t201\tN2:\t0\tMN:\t1\r\n", false, 0},
        {"a line longer than 200 characters",
            kHead + counts + "1\t" + std::string(250, 'c') + "\t1\t2\t3\t4\t5\t6\t7\r\n", false, 1},
        {"an entry line cut short", kHead + counts + "1\tGrey\t\t50.00\t0.0", false, 1},
        {"an announced entry missing", kHead + "#4\tN1:\t2\tN2:\t0\tMN:\t1\r\n" + entry + "#7\r\n",
            false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.story);
        QcSet set;
        const QcParseResult result = parse(c.text, set);
        EXPECT_EQ(result.complete, c.complete) << result.reason;
        if (c.complete)
            EXPECT_EQ(set.entryCount, c.entries);
        else
            EXPECT_GT(result.line, 0);
    }
}

TEST(QcTextTest, TheReaderTakesCommentsNumbersAndTheAveragingCountAsWritten)
{
    QcSet set;
    set.comments[1] = "kept";
    const std::string text = kHead + std::string("#4\tN1:\t1\tN2:\t0\tMN:\t25\r\n") + "1\t" +
        std::string(120, 'k') + "\t1.5\tnone\t-3\t0\t0\t0\t0\r\n";
    ASSERT_TRUE(parse(text, set).complete);
    EXPECT_EQ(set.comments[0], std::string(kQcCommentCapacity, 'k'));
    EXPECT_EQ(set.entries[0].lab, (Lab {1.5, 0.0, -3.0}));
    EXPECT_EQ(set.averageCount, 10);
    EXPECT_EQ(set.comments[1], "kept"); // slots the text does not name keep their contents
}

TEST(QcTextTest, TheSignatureIsTheFirstTwoBytes)
{
    EXPECT_TRUE(isQcText("#1"));
    EXPECT_TRUE(isQcText("#1\tanything"));
    EXPECT_FALSE(isQcText("#"));
    EXPECT_FALSE(isQcText(" #1"));
    EXPECT_FALSE(isQcText(std::string("\0#1", 3)));
    QcSet set;
    EXPECT_FALSE(parse("#2\r\n", set).complete);
}

TEST(QcTextTest, ALongCustomerPathKeepsItsLineWithinTheLimit)
{
    QcSet set;
    set.customer = "/" + std::string(280, 'p') + "/end.txt";
    const std::string text = ComposeQcText(set);
    const std::size_t start = text.find("#2");
    const std::size_t end = text.find("\r\n", start);
    EXPECT_LE(end + 2 - start, kQcMaxLineLength);
    EXPECT_NE(text.find("...pp"), std::string::npos);
    EXPECT_NE(text.find("/end.txt\r\n"), std::string::npos);
    QcSet read;
    EXPECT_TRUE(parse(text, read).complete);
}

} // namespace
} // namespace lt
