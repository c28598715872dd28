// The printed set laid out without a printer: cells at fixed columns,
// continuation pages, page numbers and the summary of the log.
#include "core/qc/QcPrintLayout.h"

#include <gtest/gtest.h>

#include <map>

#include "core/qc/QcLogSummary.h"
#include "core/qc/QcText.h"

namespace lt {
namespace {

// Every character 10 units wide, lines 20 units high.
QcPrintMetrics metrics(int pageHeight)
{
    QcPrintMetrics m;
    m.pageWidth = 2000;
    m.pageHeight = pageHeight;
    m.lineHeight = 20;
    m.columnGap = 15;
    m.textWidth = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
    return m;
}

QcSet setOf(int entries)
{
    QcSet set;
    for (int i = 0; i < entries; ++i)
        set.appendEntry({50.0 + i, -i * 1.5, 3.0}, i % 2 ? "Long comment" : "Cyan");
    return set;
}

const QcPrintCell* cellOf(const std::vector<QcPrintPage>& pages, const std::string& text)
{
    for (const QcPrintPage& page : pages)
        for (const QcPrintCell& cell : page.cells)
            if (cell.text == text)
                return &cell;
    return nullptr;
}

TEST(QcPrintLayoutTest, EntryColumnsLineUpWhateverTheCommentsLength)
{
    const QcSet set = setOf(3);
    const auto pages = qcPrintLayout(ComposeQcText(set), {}, metrics(2000));
    ASSERT_EQ(pages.size(), 1u);
    // The L values 50.00, 51.00, 52.00 after "Cyan" (padded) and "Long comment" (not).
    const QcPrintCell* first = cellOf(pages, "50.00");
    const QcPrintCell* second = cellOf(pages, "51.00");
    const QcPrintCell* head = cellOf(pages, "L:");
    ASSERT_TRUE(first && second && head);
    EXPECT_EQ(first->x, second->x);
    EXPECT_EQ(second->y - first->y, 20);
    // Column: "#6" / "1".."3" (20), "Comment" / "Long comment" (120), then L.
    EXPECT_EQ(head->x, 20 + 15 + 120 + 15);
    EXPECT_EQ(first->x, head->x); // right-aligned numbers of the widest width
    // Numbers are right-aligned: "-1.50" starts one character left of "0.00".
    const QcPrintCell* a0 = cellOf(pages, "0.00");
    const QcPrintCell* a1 = cellOf(pages, "-1.50");
    ASSERT_TRUE(a0 && a1);
    EXPECT_EQ(a0->x - a1->x, 10);
}

TEST(QcPrintLayoutTest, ALongSetContinuesOnFurtherPagesWithNumbersAndEndsWithTheSummary)
{
    QcSet set = setOf(kQcMaxEntries);
    set.logMatch({0, 1, QcStatus::Ok, {50, 0, 3}, 1.0, 0.5, 0, 0});
    set.logMatch({0, 2, QcStatus::LightnessOut, {51, 0, 3}, 3.0, 2.0, 0, 0});
    const std::string text = ComposeQcText(set);
    const std::vector<std::string> summary = qcLogSummaryLines(summariseLog(set));
    // 50 lines per page: 48 of text and a free line above the page number.
    const auto pages = qcPrintLayout(text, summary, metrics(1000));
    const int lines =
        6 + kQcMaxEntries + 1 + 1 + 2 + 1 + 2; // heads, entries, #7, #8, log, gap, summary
    ASSERT_EQ(pages.size(), static_cast<std::size_t>((lines + 47) / 48));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const QcPrintCell& footer = pages[p].cells.back();
        EXPECT_EQ(footer.text, qcPageFooter(int(p) + 1, int(pages.size())));
        EXPECT_EQ(footer.y, 980);
        for (const QcPrintCell& cell : pages[p].cells)
            EXPECT_LT(cell.y, 1000);
    }
    // Entry 200 is there, and the summary closes the last page.
    std::map<std::string, int> lastPage;
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const QcPrintCell& cell : pages[p].cells)
            lastPage[cell.text] = int(p);
    EXPECT_TRUE(lastPage.count("200"));
    EXPECT_EQ(lastPage[summary.back()], int(pages.size()) - 1);
}

TEST(QcPrintLayoutTest, CellsBeyondThePrintableWidthAreLeftOut)
{
    QcPrintMetrics narrow = metrics(2000);
    narrow.pageWidth = 200;
    const auto pages = qcPrintLayout(ComposeQcText(setOf(1)), {}, narrow);
    for (const QcPrintCell& cell : pages[0].cells)
        EXPECT_LT(cell.x, 200) << cell.text;
}

TEST(QcPrintLayoutTest, TheSummaryCountsTheLogByStatusWithMeanAndLargestDeltaE)
{
    QcSet set;
    EXPECT_EQ(qcLogSummaryLines(summariseLog(set)),
        (std::vector<std::string> {"Summary of the log: no matches logged"}));
    for (auto [status, deltaE] : {std::pair {QcStatus::Ok, 0.5}, {QcStatus::Ok, 1.0},
             {QcStatus::NotOk, 4.5}, {QcStatus::LightnessOut, 1.5}, {QcStatus::None, 0.5}}) {
        QcMatch match;
        match.status = status;
        match.deltaE = deltaE;
        set.logMatch(match);
    }
    const QcLogSummary summary = summariseLog(set);
    EXPECT_EQ(summary.matches, 5);
    EXPECT_EQ(summary.withinTolerance, 2);
    EXPECT_EQ(summary.colorOut, 1);
    EXPECT_EQ(summary.lightnessOut, 1);
    EXPECT_EQ(summary.notJudged, 1);
    EXPECT_DOUBLE_EQ(summary.meanDeltaE, 1.6);
    EXPECT_DOUBLE_EQ(summary.largestDeltaE, 4.5);
    EXPECT_EQ(qcLogSummaryLines(summary),
        (std::vector<std::string> {"Summary of the log: 5 matches, 2 within tolerance, 1 lightness "
                                   "out, 1 colour out, 1 not judged",
            "dE of the matches: mean 1.60, largest 4.50"}));
}

} // namespace
} // namespace lt
