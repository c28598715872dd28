// The judgement of readings against a set: running means and dEA over a
// group, the nearest entry, light and dark tolerances and the status colour.
#include "core/qc/QcJudgement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lt {
namespace {

constexpr QcRgb kRed {255, 0, 0};
constexpr QcRgb kYellow {255, 255, 0};
constexpr QcRgb kGreen {0, 255, 0};

QcSet setOf(std::initializer_list<Lab> labs, QcTolerances tolerances = {2.0, 1.5, 2.0, 1.5})
{
    QcSet set;
    for (const Lab& lab : labs) {
        set.appendEntry(lab, "");
        set.entries[set.entryCount - 1].tolerances = tolerances;
    }
    return set;
}

struct Verdict {
    const char* story;
    QcTolerances tolerances; // dE light, dL light, dE dark, dL dark of the one entry
    Lab sample; // against the entry L 50, a 0, b 0
    QcStatus status;
    QcRgb color;
};

TEST(QcJudgementTest, JudgesAgainstTheLightOrDarkTolerancesWithGreaterOrEqual)
{
    const Verdict verdicts[] = {
        {"within both", {2.0, 1.5, 2.0, 1.5}, {50.5, 0.5, 0.0}, QcStatus::Ok, kGreen},
        {"dE equal to the tolerance is not OK", {2.0, 1.5, 2.0, 1.5}, {50.0, 2.0, 0.0},
            QcStatus::NotOk, kRed},
        {"lightness out", {3.0, 1.0, 3.0, 1.0}, {51.5, 0.0, 0.0}, QcStatus::LightnessOut, kYellow},
        {"|dL| equal to the tolerance is out", {3.0, 1.0, 3.0, 1.0}, {49.0, 0.0, 0.0},
            QcStatus::LightnessOut, kYellow},
        {"dL 0 counts as light", {1.0, 1.0, 5.0, 5.0}, {50.0, 1.5, 0.0}, QcStatus::NotOk, kRed},
        {"dark samples use the dark pair", {1.0, 1.0, 5.0, 5.0}, {48.0, 0.0, 0.0}, QcStatus::Ok,
            kGreen},
        {"light samples use the light pair", {5.0, 5.0, 1.0, 1.0}, {52.0, 0.0, 0.0}, QcStatus::Ok,
            kGreen},
        {"negative tolerances count by their size", {-2.0, -1.5, -2.0, -1.5}, {50.5, 0.0, 0.0},
            QcStatus::Ok, kGreen},
        {"a dE tolerance of 0: judged not OK but shown white", {0.0, 1.5, 2.0, 1.5},
            {50.5, 0.0, 0.0}, QcStatus::NotOk, kQcWhite},
    };
    for (const Verdict& verdict : verdicts) {
        SCOPED_TRACE(verdict.story);
        const QcSet set = setOf({{50.0, 0.0, 0.0}}, verdict.tolerances);
        QcRun run;
        judgeReading(set, run, verdict.sample);
        EXPECT_EQ(run.match, 1);
        EXPECT_EQ(run.status, verdict.status);
        EXPECT_EQ(run.color, verdict.color);
    }
}

TEST(QcJudgementTest, MatchesTheNearestEntryAndKeepsTheEarlierOnTies)
{
    const QcSet set = setOf({{50, 10, 0}, {50, -10, 0}, {60, 0, 0}, {50, 10, 0}});
    QcRun run;
    judgeReading(set, run, {50, 0, 0}); // 10 from entries 1, 2 and 4
    EXPECT_EQ(run.match, 1);
    EXPECT_DOUBLE_EQ(run.deltaE, 10.0);
    EXPECT_DOUBLE_EQ(run.deltaA, -10.0);
    EXPECT_DOUBLE_EQ(run.deltaB, 0.0);

    run = QcRun();
    judgeReading(set, run, {58, 0, 1});
    EXPECT_EQ(run.match, 3);
    EXPECT_DOUBLE_EQ(run.deltaL, -2.0);
    EXPECT_DOUBLE_EQ(run.deltaB, 1.0);
    EXPECT_NEAR(run.deltaE, std::sqrt(5.0), 1e-12);
}

// A saturated red sample between two references: 3 units lighter in L*, or
// 4 units more chroma. CIE 1976 finds the lighter one nearer (3 < 4) and
// judges the sample out; CIEDE2000, which weighs chroma differences of
// saturated colours far less, finds the other nearer and within tolerance.
TEST(QcJudgementTest, TheChosenFormulaDecidesTheMatchAndTheVerdict)
{
    const Lab sample {50, 60, 0};
    const Lab lighter {53, 60, 0};
    const Lab moreChroma {50, 64, 0};
    const QcSet set = setOf({lighter, moreChroma});
    struct Case {
        DeltaEFormula formula;
        int match;
        double deltaE;
        QcStatus status;
    } cases[] = {
        {DeltaEFormula::Cie76, 1, 3.0, QcStatus::NotOk},
        {DeltaEFormula::Ciede2000, 2, deltaE2000(moreChroma, sample), QcStatus::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(deltaEFormulaName(c.formula)));
        QcRun run;
        judgeReading(set, run, sample, c.formula);
        EXPECT_EQ(run.match, c.match);
        EXPECT_NEAR(run.deltaE, c.deltaE, 1e-12);
        EXPECT_EQ(run.status, c.status);
    }
    EXPECT_LT(deltaE2000(moreChroma, sample), 1.5); // well inside the 2.0 tolerance

    // dEA by the formula too, the group's mean as the reference.
    QcRun run;
    judgeReading(set, run, {50, 60, 0}, DeltaEFormula::Ciede2000);
    run.reading = 2;
    judgeReading(set, run, {50, 64, 0}, DeltaEFormula::Ciede2000);
    const double second = deltaE2000({50, 62, 0}, {50, 64, 0});
    EXPECT_NEAR(run.spread, second / 2.0, 1e-12);
    EXPECT_LT(second, 1.0); // CIE 1976 would give 2
}

TEST(QcJudgementTest, AnEmptyListGivesNoMatchAndWhiteButTheMeansAdvance)
{
    QcSet set;
    QcRun run;
    run.status = QcStatus::Ok;
    run.color = kGreen;
    judgeReading(set, run, {40, 2, 4});
    EXPECT_EQ(run.match, 0);
    EXPECT_EQ(run.status, QcStatus::None);
    EXPECT_EQ(run.color, kQcWhite);
    EXPECT_EQ(run.means, (Lab {40, 2, 4}));
}

TEST(QcJudgementTest, AveragingOneCompletesEveryReadingWithItselfAndNoSpread)
{
    QcSet set = setOf({{50, 0, 0}});
    QcRun run;
    for (const Lab& reading : {Lab {51, 1, 1}, Lab {49, -1, 2}}) {
        judgeReading(set, run, reading);
        const QcGroupOutcome group = finishReading(set, run, 1);
        EXPECT_TRUE(group.complete);
        EXPECT_EQ(group.means, reading);
        EXPECT_DOUBLE_EQ(group.spread, 0.0);
        EXPECT_EQ(run.reading, 1);
        EXPECT_EQ(run.means, (Lab {}));
    }
}

TEST(QcJudgementTest, AveragingThreeCompletesOnTheThirdReadingAndTheFourthStartsAgain)
{
    QcSet set = setOf({{50, 0, 0}});
    QcRun run;
    const Lab readings[] = {{50, 0, 0}, {53, 3, 0}, {56, 0, 3}, {40, 0, 0}};
    std::vector<QcGroupOutcome> groups;
    for (const Lab& reading : readings) {
        judgeReading(set, run, reading);
        groups.push_back(finishReading(set, run, 3));
    }
    EXPECT_FALSE(groups[0].complete);
    EXPECT_FALSE(groups[1].complete);
    ASSERT_TRUE(groups[2].complete);
    EXPECT_NEAR(groups[2].means[0], 53.0, 1e-12);
    EXPECT_NEAR(groups[2].means[1], 1.0, 1e-12);
    EXPECT_NEAR(groups[2].means[2], 1.0, 1e-12);
    // dEA: the mean of each reading's distance from the mean of its group so far.
    const double second = std::hypot(1.5, 1.5);
    const double third = qcColorDifference({53, 1, 1}, {56, 0, 3});
    EXPECT_NEAR(groups[2].spread, (0.0 + second + third) / 3.0, 1e-12);
    EXPECT_FALSE(groups[3].complete);
    EXPECT_EQ(run.means, (Lab {40, 0, 0}));
    EXPECT_EQ(run.reading, 2);
}

TEST(QcJudgementTest, AChangedCountStartsANewGroupWithoutClearingTheMeans)
{
    QcSet set = setOf({{50, 0, 0}});
    QcRun run;
    judgeReading(set, run, {50, 0, 0});
    EXPECT_FALSE(finishReading(set, run, 3).complete);
    // The count becomes 1 in the middle of the group: the reading is still
    // averaged with the first, then the group counts as complete.
    judgeReading(set, run, {54, 0, 0});
    const QcGroupOutcome group = finishReading(set, run, 1);
    EXPECT_TRUE(group.complete);
    EXPECT_DOUBLE_EQ(group.means[0], 52.0);
    EXPECT_EQ(set.averageCount, 1);

    // Back to 2: the reading seen with the change restarts the count, means kept.
    judgeReading(set, run, {50, 0, 0});
    EXPECT_FALSE(finishReading(set, run, 2).complete);
    judgeReading(set, run, {52, 0, 0});
    EXPECT_TRUE(finishReading(set, run, 2).complete);
}

TEST(QcJudgementTest, TheCountInUseIsLimitedToOneToTen)
{
    QcSet set;
    QcRun run;
    for (auto [read, used] : {std::pair {0LL, 1}, {-4LL, 1}, {10LL, 10}, {25LL, 10}, {4LL, 4}}) {
        judgeReading(set, run, {});
        EXPECT_EQ(finishReading(set, run, read).averageCount, used) << read;
        EXPECT_EQ(set.averageCount, used);
    }
}

} // namespace
} // namespace lt
