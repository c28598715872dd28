// The spreadsheet export against a real, headless LibreOffice Calc: ten
// measurements from the simulator land in their cells by both sets and both
// directions, survive a store as .xls, .xlsx and .ods (read back through
// Calc's own CSV export), and the client's codes hold for a workbook opened
// by path and one closed from another connection.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "core/metrics/SimulatedStation.h"
#include "core/spreadsheet/CellPlacement.h"
#include "core/spreadsheet/ExcelExport.h"
#include "core/spreadsheet/SpreadsheetTransfer.h"

namespace lt {
namespace {

namespace css = com::sun::star;

const std::string kPipe = "ltrakw_test_" + std::to_string(::getpid());

// Runs soffice to turn a workbook into CSV (first sheet) and reads it as
// a grid of texts.
std::vector<std::vector<std::string>> workbookAsCsv(
    const std::string& workbook, const std::string& dir)
{
    std::string profile = "file://" + dir + "/convert-profile";
    std::string command = std::string(LTRAKW_OFFICE_PROGRAM_DIR) + "/soffice -env:UserInstallation="
        + profile + " --headless --convert-to csv --outdir " + dir + "/csv " + workbook
        + " >/dev/null 2>&1";
    // A conversion that starts while the machine is very busy sometimes gives
    // up on its first start; it is tried again before the test fails.
    int status = -1;
    for (int attempt = 0; attempt < 3 && status != 0; ++attempt)
        status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    std::string stem = std::filesystem::path(workbook).stem().string();
    std::ifstream in(dir + "/csv/" + stem + ".csv");
    std::vector<std::vector<std::string>> grid;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::string cell;
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted) {
                cells.push_back(cell);
                cell.clear();
            } else
                cell += c;
        }
        cells.push_back(cell);
        grid.push_back(cells);
    }
    std::filesystem::remove(dir + "/csv/" + stem + ".csv");
    return grid;
}

std::string cellText(const std::vector<std::vector<std::string>>& grid, int row, int column)
{
    if (row - 1 >= static_cast<int>(grid.size()) ||
        column - 1 >= static_cast<int>(grid[row - 1].size()))
        return {};
    return grid[row - 1][column - 1];
}

// Closes every workbook of the office behind kPipe, as another program would.
void closeWorkbooksFromAnotherConnection()
{
    auto local = cppu::defaultBootstrap_InitialComponentContext();
    auto resolver = css::bridge::UnoUrlResolver::create(local);
    css::uno::Reference<css::uno::XComponentContext> remote(
        resolver->resolve(rtl::OUString::createFromAscii(
            ("uno:pipe,name=" + kPipe + ";urp;StarOffice.ComponentContext").c_str())),
        css::uno::UNO_QUERY_THROW);
    auto desktop = css::frame::Desktop::create(remote);
    auto all = desktop->getComponents()->createEnumeration();
    while (all->hasMoreElements()) {
        css::uno::Reference<css::util::XCloseable> closeable(
            all->nextElement(), css::uno::UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
    }
}

int officeProcesses()
{
    // The bracket keeps pgrep from counting the shell that runs it.
    FILE* pipe = ::popen(("pgrep -f -c '[a]ccept=pipe,name=" + kPipe + "'").c_str(), "r");
    int count = 0;
    if (pipe) {
        if (std::fscanf(pipe, "%d", &count) != 1)
            count = 0;
        ::pclose(pipe);
    }
    return count;
}

class CalcEndToEnd : public test::SimulatedStation {
protected:
    void SetUp() override
    {
        ::setenv("LTRAKW_CALC_HEADLESS", "1", 1);
        ::setenv("LTRAKW_CALC_PIPE", kPipe.c_str(), 1);
        ::setenv("URE_BOOTSTRAP",
            (std::string("vnd.sun.star.pathname:") + LTRAKW_OFFICE_PROGRAM_DIR + "/fundamentalrc")
                .c_str(),
            1);
        SimulatedStation::SetUp();
    }
    void TearDown() override
    {
        SimulatedStation::TearDown();
        EXPECT_EQ(officeProcesses(), 0) << "an office process was left behind";
    }
};

TEST_F(CalcEndToEnd, TenMeasurementsLandInTheirCellsInEveryFormat)
{
    openInstrument();
    ExcelExport exporter(station->settings(), op);
    exporter.open();
    ASSERT_EQ(exporter.initExcel(), excel::kOk);
    EXPECT_EQ(exporter.sheetNames().size(), 1u);
    SpreadsheetTransfer transfer(*station, exporter);

    // Set 1: number and the three chromatic densities; set 2: L* a* b* as text
    // and the first two spectral values.
    CellPlacement placement = exporter.placementFields();
    placement.sets[0] = {1, 4, 1, "A", 1};
    placement.sets[1] = {7, 5, 1, "F", 6};
    std::map<std::pair<int, int>, CellValue> expected;
    const char* samples[] = {"paper", "C100", "M100", "Y100", "K100"};
    for (int direction : {placement::kVertical, placement::kHorizontal}) {
        placement.direction = direction;
        if (direction == placement::kHorizontal) {
            placement.sets[0].firstRow = 20;
            placement.sets[1].firstRow = 30;
        }
        exporter.setPlacementFields(placement);
        for (const char* sample : samples) {
            measure(sample);
            const auto& spectrum = station->record().measurementSpectrum;
            for (const CellWrite& write : placeMeasurement(exporter.placementFields(),
                     station->list().row(0), std::span<const float>(spectrum.data(), 36)))
                expected[{write.row, write.column}] = write.value;
        }
    }
    ASSERT_EQ(expected.size(), 10u * 9u);

    for (const char* name : {"book.xls", "book.xlsx", "book.ods"}) {
        std::string path = configDirectory + "/" + name;
        exporter.saveWorkbook(path);
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        auto grid = workbookAsCsv(path, configDirectory);
        for (const auto& [cell, value] : expected) {
            std::string text = cellText(grid, cell.first, cell.second);
            if (const long* number = std::get_if<long>(&value))
                EXPECT_EQ(text, std::to_string(*number))
                    << name << " " << ExcelClient::CellName(cell.first, cell.second);
            else if (const double* real = std::get_if<double>(&value))
                EXPECT_NEAR(std::stod(text.empty() ? "nan" : text), *real, 1e-8) << name;
            else
                EXPECT_EQ(text, std::get<std::string>(value)) << name;
        }
    }
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(exporter.close()); // "Close Excel Automation first !"
    exporter.closeExcel();
    EXPECT_TRUE(exporter.close());
}

TEST_F(CalcEndToEnd, OpenByPathSheetsByNameAndAWorkbookClosedElsewhere)
{
    std::string path = configDirectory + "/kept.ods";
    {
        ExcelClient maker;
        ASSERT_EQ(maker.InitNew(), excel::kOk);
        ASSERT_EQ(maker.WriteCell(2, 3, CellKind::Text, std::string("kept")), excel::kOk);
        ASSERT_EQ(maker.SaveWorkbook(path), excel::kOk);
        ASSERT_EQ(maker.Close(), excel::kOk);
    }
    ExcelClient client;
    EXPECT_EQ(client.InitOpen(configDirectory + "/missing.xls"), excel::kWorkbookNotFound);
    EXPECT_EQ(client.Init(false, path, "Sheet1", 0), excel::kOk);
    EXPECT_EQ(client.Init(false, path, "Sheet1", 0), excel::kStartedTwice);
    EXPECT_EQ(client.SelectSheet("Nowhere"), excel::kWorksheetNotFound);
    int32_t count = 0;
    EXPECT_EQ(client.GetSheetCount(count), excel::kOk);
    EXPECT_GE(count, 1);
    EXPECT_EQ(client.WriteCell(1, 1, CellKind::Real, 0.5), excel::kOk);

    closeWorkbooksFromAnotherConnection();
    for (int i = 0; i < 50 && client.IsReady(); ++i)
        ::usleep(20000);
    EXPECT_FALSE(client.IsReady());
    EXPECT_EQ(client.WriteCell(1, 1, CellKind::Real, 0.5), excel::kClosedByUser);
    EXPECT_EQ(client.Close(), excel::kOk);
}

} // namespace
} // namespace lt
