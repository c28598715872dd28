// Editing a quality-control set: the list, the tolerance slots, the log and
// the capacities of the tables.
#include "core/qc/QcSet.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lt {
namespace {

TEST(QcSetTest, StartsWithDefaultTolerancesForTheFirstHundredSlots)
{
    const QcSet set;
    EXPECT_EQ(set.entryCount, 0);
    EXPECT_EQ(set.matchCount, 0);
    EXPECT_EQ(set.entries[0].tolerances, (QcTolerances {2.0, 1.5, 2.0, 1.5}));
    EXPECT_EQ(set.entries[99].tolerances, (QcTolerances {2.0, 1.5, 2.0, 1.5}));
    EXPECT_EQ(set.entries[100].tolerances, (QcTolerances {}));
    EXPECT_EQ(set.entries[199].tolerances, (QcTolerances {}));
}

TEST(QcSetTest, DeleteMovesEntriesUpAsListedWhileTolerancesStayWithTheirSlots)
{
    QcSet set;
    set.appendEntry({50.004, 1.006, -2.0}, "first");
    set.appendEntry({60.126, 3.0, 4.0}, "second");
    set.appendEntry({70.0, -5.555, 6.0}, "third");
    set.entries[0].tolerances = {1, 1, 1, 1};
    set.entries[1].tolerances = {2, 2, 2, 2};
    set.entries[2].tolerances = {3, 3, 3, 3};

    ASSERT_EQ(set.deleteEntry(2), QcEditResult::Done);
    ASSERT_EQ(set.entryCount, 2);
    EXPECT_EQ(set.comments[0], "first");
    EXPECT_EQ(set.comments[1], "third");
    EXPECT_EQ(set.entries[1].number, 2);
    // The values as the list shows them, two decimals.
    EXPECT_DOUBLE_EQ(set.entries[0].lab[0], 50.0);
    EXPECT_DOUBLE_EQ(set.entries[0].lab[1], 1.01);
    EXPECT_DOUBLE_EQ(set.entries[1].lab[1], -5.55);
    // The third entry now sits in slot 2 and judges with slot 2's tolerances.
    EXPECT_EQ(set.entries[1].tolerances, (QcTolerances {2, 2, 2, 2}));
    EXPECT_EQ(set.entries[2].tolerances, (QcTolerances {3, 3, 3, 3}));

    EXPECT_EQ(set.deleteEntry(3), QcEditResult::NoSuchEntry);
    EXPECT_EQ(set.deleteEntry(0), QcEditResult::NoSuchEntry);
    EXPECT_EQ(set.entryCount, 2);
}

TEST(QcSetTest, AppendCutsTheCommentAndKeepsTheSlotsTolerances)
{
    QcSet set;
    set.entries[0].tolerances = {4, 3, 2, 1};
    set.appendEntry({1, 2, 3}, "A comment longer than fifteen\tcharacters");
    EXPECT_EQ(set.comments[0], "A comment longe");
    EXPECT_EQ(set.entries[0].tolerances, (QcTolerances {4, 3, 2, 1}));
    set.appendEntry({1, 2, 3}, "tab\there");
    EXPECT_EQ(set.comments[1], "tab here"); // a tab would split the file's line
    set.replaceEntry(1, {9, 8, 7}, "new");
    EXPECT_EQ(set.entries[0].lab, (Lab {9, 8, 7}));
    EXPECT_EQ(set.entries[0].number, 1);
    EXPECT_EQ(set.replaceEntry(3, {}, ""), QcEditResult::NoSuchEntry);
}

TEST(QcSetTest, TheTablesRefuseTheirTwoHundredFirstEntryAndThreeHundredFirstMatch)
{
    QcSet set;
    for (int i = 0; i < kQcMaxEntries; ++i)
        ASSERT_EQ(set.appendEntry({double(i), 0, 0}, ""), QcEditResult::Done);
    EXPECT_EQ(set.appendEntry({1, 1, 1}, "one too many"), QcEditResult::ListFull);
    EXPECT_EQ(set.entryCount, kQcMaxEntries);
    EXPECT_EQ(set.comments[kQcMaxEntries - 1], "");

    for (int i = 0; i < kQcMaxMatches; ++i)
        ASSERT_EQ(set.logMatch({}), QcEditResult::Done);
    EXPECT_EQ(set.matches[kQcMaxMatches - 1].recordNumber, kQcMaxMatches);
    EXPECT_EQ(set.logMatch({}), QcEditResult::LogFull);
    EXPECT_EQ(set.matchCount, kQcMaxMatches);
}

TEST(QcSetTest, TypedTolerancesAreKeptOnlyBetweenZeroAndTwenty)
{
    QcSet set;
    const std::pair<double, double> typed[] = {
        {1.25, 1.25}, {19.99, 19.99}, {20.0, 0.0}, {0.0, 0.0}, {-1.0, 0.0}, {250.0, 0.0}};
    for (auto [value, kept] : typed) {
        ASSERT_EQ(set.setTolerance(7, QcTolerance::DeltaEDark, value), QcEditResult::Done);
        EXPECT_EQ(set.entries[6].tolerance(QcTolerance::DeltaEDark), kept) << value;
    }
    const QcSet before = set;
    EXPECT_EQ(set.setTolerance(0, QcTolerance::DeltaELight, 1.0), QcEditResult::NoSuchEntry);
    EXPECT_EQ(set.setTolerance(201, QcTolerance::DeltaELight, 1.0), QcEditResult::NoSuchEntry);
    EXPECT_EQ(set.entries, before.entries);
}

TEST(QcSetTest, AllCopiesToTheEntriesInUseAndLimitsCopyMagnitudes)
{
    QcSet set;
    set.appendEntry({}, "");
    set.appendEntry({}, "");
    set.setToleranceAll({25, -1, 3, 4}); // as entered, no range test
    EXPECT_EQ(set.entries[0].tolerances, (QcTolerances {25, -1, 3, 4}));
    EXPECT_EQ(set.entries[1].tolerances, (QcTolerances {25, -1, 3, 4}));
    EXPECT_EQ(set.entries[2].tolerances, (QcTolerances {2, 1.5, 2, 1.5}));

    set.setLimits(2, true, -3.5, -1.25);
    EXPECT_EQ(set.entries[1].tolerances, (QcTolerances {3.5, 1.25, 3, 4}));
    set.setLimits(2, false, 0.5, -0.75);
    EXPECT_EQ(set.entries[1].tolerances, (QcTolerances {3.5, 1.25, 0.5, 0.75}));
}

TEST(QcSetTest, ClearEmptiesTheListAndZeroesTolerancesUpToTheNumberShown)
{
    QcSet set;
    for (int i = 0; i < 5; ++i)
        set.appendEntry({}, "");
    set.clearEntries(3);
    EXPECT_EQ(set.entryCount, 0);
    EXPECT_EQ(set.entries[2].tolerances, (QcTolerances {}));
    EXPECT_EQ(set.entries[3].tolerances, (QcTolerances {2, 1.5, 2, 1.5}));
    set.clearEntries(500); // never past the table
    EXPECT_EQ(set.entries[199].tolerances, (QcTolerances {}));
}

TEST(QcSetTest, NumbersTakenInAreBoundedSoEveryFileLineStaysShort)
{
    QcSet set;
    set.appendEntry({1e300, -1e300, std::nan("")}, "");
    EXPECT_EQ(set.entries[0].lab, (Lab {kQcValueLimit, -kQcValueLimit, 0.0}));
    QcMatch match;
    match.deltaE = 1e20;
    set.logMatch(match);
    EXPECT_EQ(set.matches[0].deltaE, kQcValueLimit);
}

TEST(QcSetTest, NamesIlluminantsAndObserversByTheirCodes)
{
    QcSet set;
    const std::pair<const char*, int> illuminants[] = {
        {"N", 1}, {"A", 10}, {"C", 11}, {"D65", 30}, {"D50", 20}, {"D55", 0}, {"", 0}};
    for (auto [name, code] : illuminants) {
        set.setIlluminant(name);
        EXPECT_EQ(set.illuminantName, name);
        EXPECT_EQ(set.illuminantCode, code) << name;
    }
    for (auto [name, code] : {std::pair {"2", 1}, {"10", 2}, {"15", 0}}) {
        set.setObserver(name);
        EXPECT_EQ(set.observerCode, code) << name;
    }
    set.setIlluminant("D65-with-a-long-name");
    EXPECT_EQ(set.illuminantName, "D65-wit");
}

TEST(QcSetTest, StatusLettersAndColours)
{
    for (auto [status, letter] : {std::pair {QcStatus::None, '-'}, {QcStatus::NotOk, 'N'},
             {QcStatus::LightnessOut, 'L'}, {QcStatus::Ok, 'Y'}}) {
        EXPECT_EQ(qcStatusLetter(status), letter);
        EXPECT_EQ(qcStatusOfLetter(letter), status);
        EXPECT_EQ(qcStatusOfLetter(static_cast<char>(std::tolower(letter))), status);
    }
    EXPECT_EQ(qcStatusOfLetter('x'), QcStatus::None);
    EXPECT_EQ(qcStatusColor(QcStatus::NotOk), (QcRgb {255, 0, 0}));
    EXPECT_EQ(qcStatusColor(QcStatus::LightnessOut), (QcRgb {255, 255, 0}));
    EXPECT_EQ(qcStatusColor(QcStatus::Ok), (QcRgb {0, 255, 0}));
    EXPECT_EQ(qcStatusColor(QcStatus::None), kQcWhite);
}

} // namespace
} // namespace lt
