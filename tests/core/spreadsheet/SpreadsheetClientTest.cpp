// The spreadsheet client and the export dialog's logic against an
// in-memory spreadsheet application: codes, messages, the placement of a
// measurement's values in cells.
#include <cmath>

#include <gtest/gtest.h>

#include "FakeSpreadsheet.h"
#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/settings/Settings.h"
#include "core/spreadsheet/CellPlacement.h"
#include "core/spreadsheet/ExcelClient.h"
#include "core/spreadsheet/ExcelExport.h"

namespace lt {
namespace {

using test::fakeFactory;
using test::FakeOffice;

TEST(ExcelClient, CellNamesSavePathsAndMessages)
{
    const std::pair<std::pair<int, int>, const char*> names[] = {{{1, 1}, "A1"}, {{1, 26}, "Z1"},
        {{5, 27}, "AA5"}, {{65536, 256}, "IV65536"}, {{0, 1}, ""}, {{1, 257}, ""}, {{65537, 1}, ""},
        {{1, 0}, ""}};
    for (const auto& [cell, name] : names)
        EXPECT_EQ(ExcelClient::CellName(cell.first, cell.second), name);

    EXPECT_EQ(ExcelClient::workbookPath("/data/book"), "/data/book.xls");
    EXPECT_EQ(ExcelClient::workbookPath("/data.v2/book"), "/data.v2/book.xls");
    EXPECT_EQ(ExcelClient::workbookPath("C:\\data.v2\\book"), "C:\\data.v2\\book.xls");
    EXPECT_EQ(ExcelClient::workbookPath("/data/book.xlsx"), "/data/book.xlsx");

    EXPECT_EQ(ExcelClient::errorText(-102), "Worksheet or Application was closed by user.");
    EXPECT_EQ(
        ExcelClient::errorText(-106), "Could not save File (Error in given Path or File exists !)");
    EXPECT_NE(ExcelClient::errorText(-110).find("LibreOffice Calc is probably not installed"),
        std::string::npos);
    for (int code : {-99, -108, -109, 5})
        EXPECT_EQ(ExcelClient::errorText(code), "An unspecified Error occurred.");
}

TEST(ExcelClient, StartsOnceOpensOrRefusesAndEndsTheApplicationOnFailure)
{
    FakeOffice office;
    office.installed = false;
    ExcelClient missing(fakeFactory(office));
    EXPECT_EQ(missing.InitNew(), excel::kNotInstalled);
    EXPECT_EQ(ExcelClient([] { return std::unique_ptr<SpreadsheetAutomation>(); }).InitNew(),
        excel::kNotInstalled);

    office.installed = true;
    ExcelClient client(fakeFactory(office));
    EXPECT_EQ(client.InitOpen("/nowhere.xls"), excel::kWorkbookNotFound);
    EXPECT_EQ(office.quits, 1);
    EXPECT_FALSE(client.IsReady());

    office.filesOnDisk.insert("/book.xls");
    office.sheetsOfFile["/book.xls"] = {"Paper", "Solids"};
    EXPECT_EQ(client.Init(false, "/book.xls", "Inks", 0), excel::kWorksheetNotFound);
    EXPECT_EQ(office.calls.back(), "quit");
    EXPECT_EQ(office.calls[office.calls.size() - 2], "closeWorkbook");

    EXPECT_EQ(client.Init(false, "/book.xls", "Solids", 0), excel::kOk);
    EXPECT_EQ(client.Init(false, "/book.xls", "Solids", 0), excel::kStartedTwice);
    std::string name;
    EXPECT_EQ(client.GetSheetName(2, name), excel::kOk);
    EXPECT_EQ(name, "Solids");
    EXPECT_EQ(client.WriteCell(0, 1, CellKind::Integer, 3L), excel::kCellOutOfRange);
    EXPECT_EQ(client.WriteCell(1, 1, CellKind::Byte, 300L), excel::kOk);
    EXPECT_EQ(std::get<long>(office.cells["Solids"]["A1"]), 44); // 300 as an unsigned byte
    EXPECT_EQ(client.SelectSheet("Nothing"), excel::kWorksheetNotFound);

    // The operator closes the workbook in the application.
    office.closeWorkbookFromOutside();
    EXPECT_FALSE(client.IsReady());
    EXPECT_EQ(client.Show(), excel::kClosedByUser);
    EXPECT_EQ(client.WriteCell(1, 1, CellKind::Integer, 1L), excel::kClosedByUser);
    office.calls.clear();
    EXPECT_EQ(client.Close(), excel::kOk);
    EXPECT_EQ(office.calls, std::vector<std::string>({"quit"}));
    EXPECT_EQ(client.Close(), excel::kNotStarted);
    EXPECT_EQ(client.Show(), excel::kNotStarted);
}

TEST(CellPlacement, ColumnLettersAndTheExamplesOfBothDirections)
{
    const std::pair<const char*, int> columns[] = {
        {"A", 1}, {"ab", 28}, {"GZ", 208}, {"HA", 0}, {"A1", 0}, {"ABC", 0}, {"", 0}};
    for (const auto& [letters, column] : columns)
        EXPECT_EQ(columnFromLetters(letters).value_or(0), column) << letters;

    MeasurementRow row;
    row[column::kNumber] = "3";
    for (int c = 1; c < kListColumns; ++c)
        row[c] = "c" + std::to_string(c);
    CellPlacement placement;
    placement.sets[0] = {1, 4, 1, "A", 1};
    placement.sets[1] = {1, 0, 1, "F", 6};

    placement.direction = placement::kVertical;
    std::vector<CellWrite> writes = placeMeasurement(placement, row, {});
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(ExcelClient::CellName(writes[0].row, writes[0].column), "A4");
    EXPECT_EQ(std::get<long>(writes[0].value), 3);
    EXPECT_EQ(ExcelClient::CellName(writes[3].row, writes[3].column), "D4");
    EXPECT_EQ(std::get<std::string>(writes[3].value), "c3");

    placement.direction = placement::kHorizontal;
    writes = placeMeasurement(placement, row, {});
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(
            ExcelClient::CellName(writes[k].row, writes[k].column), "D" + std::to_string(k + 1));

    // A first value of 0 leaves its cell empty and shifts the others; a
    // non-numeric number places the values in the first cell's row.
    row[column::kNumber] = "x";
    placement.direction = placement::kVertical;
    placement.sets[0] = {0, 3, 2, "B", 2};
    writes = placeMeasurement(placement, row, {});
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(ExcelClient::CellName(writes[0].row, writes[0].column), "C2");
    EXPECT_EQ(std::get<long>(writes[0].value), 0);
}

TEST(CellPlacement, SpectralValuesRunOnFromSetOneIntoSetTwoAndNeverPastTheSpectrum)
{
    std::vector<float> spectrum(36);
    for (int i = 0; i < 36; ++i)
        spectrum[i] = 0.1f * static_cast<float>(i) + 0.123456789f;
    MeasurementRow row;
    row[column::kNumber] = "0";
    CellPlacement placement;
    placement.direction = placement::kVertical;
    placement.sets[0] = {16, 30, 1, "A", 1};
    placement.sets[1] = {40, 10, 3, "A", 1};
    std::vector<CellWrite> writes = placeMeasurement(placement, row, spectrum);
    // 30 values from set 1, then the remaining 6 of set 2's 10: the spectrum ends.
    ASSERT_EQ(writes.size(), 36u);
    EXPECT_DOUBLE_EQ(std::get<double>(writes[0].value), 0.12345679);
    EXPECT_EQ(writes[30].row, 3);
    EXPECT_DOUBLE_EQ(std::get<double>(writes[30].value),
        std::trunc(static_cast<double>(spectrum[30]) * 1e8) / 1e8);
    EXPECT_EQ(writes[35].column, 6);
}

TEST(ExcelExport, OpeningForcesTheRangesAndInitParStoresTheFields)
{
    testing::TempDirectory dir;
    Settings settings(dir.path());
    settings.store(keys::kExcelDirection, 0);
    settings.store(keys::kExcelStart1, 2500);
    settings.store(keys::kExcelLength2, -4);
    settings.store(keys::kExcelColumnInit2, "A1");
    testing::ScriptedOperator op;
    ExcelExport dialog(settings, op);
    dialog.open();
    CellPlacement fields = dialog.placementFields();
    EXPECT_EQ(fields.direction, placement::kHorizontal);
    EXPECT_EQ(fields.sets[0].firstValue, 2000);
    EXPECT_EQ(fields.sets[1].count, 0);
    EXPECT_EQ(fields.sets[1].columnLetters, "");
    EXPECT_EQ(settings.load(keys::kExcelStart1), 2000);
    EXPECT_EQ(settings.load(keys::kExcelColumnInit2), "");

    fields.sets[0].columnLetters = "ab";
    fields.sets[1].columnLetters = "ABC";
    fields.sets[1].firstRow = 7;
    dialog.setPlacementFields(fields);
    dialog.storeFields();
    EXPECT_EQ(settings.load(keys::kExcelColumnInit1), "AB");
    EXPECT_EQ(settings.load(keys::kExcelRowInit2), 7);
    EXPECT_EQ(dialog.placementFields().sets[1].columnLetters, "");
}

TEST(ExcelExport, TheOperatorsRoadFromMissingWorkbookToTransfersAndClose)
{
    testing::TempDirectory dir;
    Settings settings(dir.path());
    testing::ScriptedOperator op;
    FakeOffice office;
    ExcelExport dialog(settings, op, fakeFactory(office));
    dialog.open();

    // A missing workbook: the question; Cancel leaves no workbook.
    dialog.setFileName("/missing.xls");
    op.messageAnswer = MessageAnswer::Cancel;
    EXPECT_EQ(dialog.initExcel(), excel::kWorkbookNotFound);
    EXPECT_EQ(op.messages.back().text,
        "File does not exist, do you want to create a default Workbook file?");
    dialog.showExcel();
    EXPECT_EQ(
        op.messages.back().text, "Please initialize Excel before usage of the automation server.");

    // OK creates a default workbook.
    op.messageAnswer = MessageAnswer::Ok;
    EXPECT_EQ(dialog.initExcel(), excel::kOk);
    EXPECT_EQ(dialog.fileName(), "");
    EXPECT_EQ(dialog.sheetNames(), std::vector<std::string>({"Sheet1"}));
    EXPECT_EQ(dialog.selectedSheet(), 0);

    MeasurementRow row;
    row[column::kNumber] = "2";
    row[column::kL] = "52.100";
    CellPlacement fields = dialog.placementFields();
    fields.sets[0] = {1, 1, 1, "A", 1};
    fields.sets[1] = {7, 1, 1, "B", 2};
    dialog.setPlacementFields(fields);
    EXPECT_EQ(dialog.Transfer(row, {}), 0);
    EXPECT_EQ(std::get<long>(office.cells["Sheet1"]["A3"]), 2);
    EXPECT_EQ(std::get<std::string>(office.cells["Sheet1"]["B3"]), "52.100");

    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(op.messages.back().text, "Close Excel Automation first !");
    EXPECT_EQ(op.messages.back().caption, "TDens");

    // Closed in the application: every transfer says so, and Close still works.
    office.closeWorkbookFromOutside();
    std::size_t shown = op.messages.size();
    EXPECT_EQ(dialog.Transfer(row, {}), 1);
    EXPECT_EQ(dialog.Transfer(row, {}), 1);
    EXPECT_EQ(op.messages.size(), shown + 2);
    EXPECT_EQ(op.messages.back().text, "Worksheet or Application was closed by user.");
    EXPECT_TRUE(dialog.close());
    dialog.closeExcel();
    EXPECT_FALSE(dialog.hasClient());
    EXPECT_FALSE(dialog.workbookCommandsEnabled());
    EXPECT_FALSE(office.running);
}

} // namespace
} // namespace lt
