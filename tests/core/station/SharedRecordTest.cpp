// The measurement list and the spot-colour library as the pages use them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/metrics/MeasurementList.h"
#include "core/metrics/SpotColorLibrary.h"
#include "core/station/SharedRecord.h"

namespace lt {
namespace {

MeasurementRow numbered(int n)
{
    MeasurementRow row {};
    row[column::kNumber] = "  " + std::to_string(n);
    return row;
}

TEST(MeasurementList, NewestRowIsAlwaysRowZero)
{
    MeasurementList list;
    std::vector<ListChange> changes;
    int id = list.subscribe([&](const ListChange& change) { changes.push_back(change); });
    for (int n = 0; n < 3; ++n)
        list.insertTop(numbered(n));
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cell(0, column::kNumber), "  2");
    EXPECT_EQ(list.cell(2, column::kNumber), "  0");
    EXPECT_TRUE(list.setCell(1, column::kSpotName, "S1"));
    EXPECT_EQ(list.row(1)[column::kSpotName], "S1");
    EXPECT_FALSE(list.setCell(3, 0, "x"));
    EXPECT_FALSE(list.setCell(0, kListColumns, "x"));
    EXPECT_EQ(list.cell(7, 0), "");
    EXPECT_TRUE(list.removeRow(0));
    EXPECT_EQ(list.cell(0, column::kNumber), "  1");
    auto rows = list.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][column::kNumber], "  0");
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);
    list.unsubscribe(id);
    list.insertTop(numbered(9));
    ASSERT_EQ(changes.size(), 6u);
    EXPECT_EQ(changes[0].kind, ListChange::Kind::RowInserted);
    EXPECT_EQ(changes[3].kind, ListChange::Kind::RowChanged);
    EXPECT_EQ(changes[3].row, 1);
    EXPECT_EQ(changes[5].kind, ListChange::Kind::Cleared);
}

TEST(MeasurementList, ReadersOnAnotherThreadSeeWholeRows)
{
    MeasurementList list;
    std::thread writer([&] {
        for (int n = 0; n < 2000; ++n)
            list.insertTop(numbered(n));
    });
    for (int i = 0; i < 2000; ++i) {
        MeasurementRow top = list.row(0);
        EXPECT_TRUE(top[column::kNumber].empty() || top[column::kNumber].rfind("  ", 0) == 0);
    }
    writer.join();
    EXPECT_EQ(list.rowCount(), 2000);
}

TEST(SpotColorLibrary, NoneEntryAndFortyNineMore)
{
    SpotColorLibrary library;
    ASSERT_NE(library.entry(0), nullptr);
    EXPECT_EQ(library.entry(0)->name, "none");
    EXPECT_EQ(library.entry(0)->kind, SpotKind::None);
    EXPECT_EQ(library.selectedColor(), nullptr);
    for (int n = 1; n <= SpotColorLibrary::kMaxEntries; ++n) {
        SpotColorEntry entry;
        entry.name = "S" + std::to_string(n);
        ASSERT_NE(library.append(entry), nullptr) << n;
    }
    EXPECT_TRUE(library.isFull());
    EXPECT_EQ(library.append(SpotColorEntry {}), nullptr) << "the fiftieth entry is refused";
    EXPECT_EQ(library.count(), 49);
    library.select(49);
    EXPECT_EQ(library.selectedColor()->name, "S49");
    library.removeLast();
    EXPECT_EQ(library.selection(), 48);
    library.select(60);
    EXPECT_EQ(library.selection(), 0);
    library.clear();
    EXPECT_EQ(library.count(), 0);
    EXPECT_EQ(library.entry(1), nullptr);
    EXPECT_EQ(library.entry(0)->name, "none");
}

TEST(SpotColorLibrary, ComboPositionsSkipDeletedEntries)
{
    SpotColorLibrary library;
    for (const char* name : {"A", "B", "C"}) {
        SpotColorEntry entry;
        entry.name = name;
        library.append(entry);
    }
    library.entry(2)->kind = SpotKind::Deleted;
    EXPECT_EQ(library.placeOfVisible(0), 0);
    EXPECT_EQ(library.placeOfVisible(1), 1);
    EXPECT_EQ(library.placeOfVisible(2), 3);
    EXPECT_EQ(library.placeOfVisible(3), 0);
    EXPECT_EQ(library.visiblePosition(3), 2);
    EXPECT_EQ(library.visiblePosition(2), 0);
    library.select(2);
    EXPECT_EQ(library.selectedColor(), nullptr) << "a deleted entry gives no density";
}

TEST(SharedRecord, FixedStorageAndColorMetricsReset)
{
    SharedRecord record;
    EXPECT_EQ(record.measurement.Spectrum, record.measurementSpectrum.data());
    EXPECT_EQ(record.calibration.Spectrum, record.calibrationSpectrum.data());
    EXPECT_EQ(record.measurementSpectrum.size(), 40u) << "the library copies its whole buffer";
    EXPECT_FLOAT_EQ(record.densityParameters.real(slot::kSlopeBlack), 1.0f);
    EXPECT_FLOAT_EQ(record.densityParameters.real(slot::yuleNielsen(Yellow)), 1.0f);
    EXPECT_EQ(record.densityParameters.integer(slot::kFilterType), 2);

    record.rowCounter = 12;
    record.paperWhiteState = PaperWhiteRelative;
    record.spotSolidState = SpotSolidCalibrated;
    record.chart.active = true;
    record.densityParameters.setReal(slot::solid(Magenta), 1.3f);
    record.densityParameters.setReal(slot::kSolidSpot, 0.9f);
    record.spotColors.newEntryRequested = true;
    record.resetForColorMetricsPage();
    EXPECT_EQ(record.rowCounter, 0);
    EXPECT_EQ(record.paperWhiteState, PaperWhiteAbsolute);
    EXPECT_EQ(record.spotSolidState, SpotSolidNone);
    EXPECT_FALSE(record.chart.active);
    EXPECT_EQ(record.chart.currentPatch, 0);
    EXPECT_FLOAT_EQ(record.densityParameters.real(slot::solid(Magenta)), 0.0f);
    EXPECT_FLOAT_EQ(record.densityParameters.real(slot::kSolidSpot), 0.9f)
        << "the spot solid stays";
    EXPECT_FALSE(record.spotColors.newEntryRequested);
    EXPECT_EQ(chartPatchCount(ChartTqRgb), 135);
    EXPECT_EQ(chartPatchCount(7), 0);
}

} // namespace
} // namespace lt

namespace lt {
namespace {

// A measurement computes paper white on its copy of the density parameters
// while the operator edits a slope: both land, neither undoes the other.
TEST(SharedRecordSnapshots, AMeasurementsMergeKeepsTheOperatorsEditsMadeMeanwhile)
{
    SharedRecord record;
    const DensityParameterBlock before = record.densityParameterSnapshot();
    DensityParameterBlock measured = before;
    measured.setReal(slot::paperWhite(Cyan), 0.07f);

    record.changeDensityParameters(
        [](DensityParameterBlock& block) { block.setReal(slot::kSlopeCyan, 1.25f); });
    record.mergeDensityParameters(before, measured);

    const DensityParameterBlock now = record.densityParameterSnapshot();
    EXPECT_FLOAT_EQ(now.real(slot::paperWhite(Cyan)), 0.07f);
    EXPECT_FLOAT_EQ(now.real(slot::kSlopeCyan), 1.25f);
}

// The measuring thread publishes graph samples whose ordinates are all one
// value and edits the parameters' paper white; readers on another thread
// never see a sample or a block half old and half new.
TEST(SharedRecordSnapshots, ReadersNeverSeeAHalfWrittenSampleOrParameterBlock)
{
    constexpr int kRounds = 20000;
    SharedRecord record;
    std::atomic<bool> done {false};
    std::thread measuring([&] {
        for (int round = 1; round <= kRounds; ++round) {
            GraphSample sample;
            sample.pointCount = kSpectrumPoints;
            sample.ordinates.fill(static_cast<std::uint16_t>(round));
            record.publishGraph(sample);
            record.changeDensityParameters([round](DensityParameterBlock& block) {
                for (int color = Cyan; color <= Black; ++color)
                    block.setReal(slot::paperWhite(static_cast<ProcessColor>(color)),
                        static_cast<float>(round));
            });
        }
        done = true;
    });
    int torn = 0;
    while (!done) {
        const GraphSample seen = record.latestGraph();
        if (seen.ordinates.front() != seen.ordinates.back())
            ++torn;
        const DensityParameterBlock block = record.densityParameterSnapshot();
        if (block.real(slot::paperWhite(Cyan)) != block.real(slot::paperWhite(Black)))
            ++torn;
    }
    measuring.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(record.latestGraph().ordinates[0], kRounds);
}

} // namespace
} // namespace lt
