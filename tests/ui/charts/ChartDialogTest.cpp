// The chart dialogs as the operator meets them, on Qt's offscreen platform
// against the virtual Lumatrak: "StartChart" on the colour metrics page, the
// white chart with its mark, clicks, measurements that colour the marked
// patch and move the mark, "Stop Chart", and XYAuto with the Lumatrak A:
// the whole chart measured on the table, cancelled and run again. With
// LTRAKW_SCREENSHOT_DIR set,
// each dialog is saved half measured as a picture there, with the page.
#include "tests/ui/common/MetricsPageFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/AligningOperator.h"
#include "common/TempDirectory.h"
#include "core/autorun/AutoMeasureChart.h"
#include "core/charts/ChartCompareLogic.h"
#include "core/charts/ChartMeasurement.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/charts/ChartSession.h"
#include "core/charts/DifferenceScale.h"
#include "core/common/NumberText.h"
#include "ui/charts/ChartComparisonView.h"
#include "ui/charts/ChartDialog.h"
#include "ui/charts/ChartPatchView.h"
#include "ui/charts/DifferenceLegend.h"
#include "ui/charts/InitAutoDialog.h"
#include "ui/metrics/TaviDens.h"

namespace lt {
namespace {

using testing::keepPicture;
using testing::screenshotDirectory;

// Remembers the areas that the view repaints.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            areas.push_back(static_cast<QPaintEvent*>(event)->region().boundingRect());
        return false;
    }
    std::vector<QRect> areas;
};

// The ink combination the simulator prints for a patch's nominal values.
std::string inkOf(ChartType chart, int patch)
{
    const DeviceValues v = ChartReferenceTable(chart)[static_cast<std::size_t>(patch)];
    if (chart == ChartTqRgb)
        return "C" + std::to_string(100 - static_cast<int>(v[0])) + "M" +
            std::to_string(100 - static_cast<int>(v[1])) + "Y" +
            std::to_string(100 - static_cast<int>(v[2]));
    return "C" + std::to_string(static_cast<int>(v[0])) + "M" +
        std::to_string(static_cast<int>(v[1])) + "Y" + std::to_string(static_cast<int>(v[2])) +
        "K" + std::to_string(static_cast<int>(v[3]));
}

class ChartDialogTest : public test::MetricsPageFixture {
protected:
    ChartDialogTest() : MetricsPageFixture(true) { }

    QPushButton* chartButton() { return page->findChild<QPushButton*>("StartChart"); }

    ChartDialog& startChart(ChartType chart)
    {
        auto* combo = page->findChild<QComboBox*>("ChartType");
        combo->setCurrentIndex(chart);
        Q_EMIT combo->activated(chart);
        chartButton()->click();
        QApplication::processEvents();
        EXPECT_NE(page->chartDialog(), nullptr);
        return *page->chartDialog();
    }

    QColor shownColour(ChartDialog& dialog, int patch)
    {
        ChartPatchView* view = dialog.patchView();
        const QImage image = view->grab().toImage();
        const QRect rect = view->patchRect(patch);
        // Three quarters along the diagonal: clear of the mark's black half.
        return image.pixelColor(rect.left() + rect.width() * 3 / 4, rect.top() + rect.height() / 4);
    }

    void clickPatch(ChartDialog& dialog, QPoint at)
    {
        QTest::mouseClick(dialog.patchView(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
};

TEST_F(ChartDialogTest, StartShowsTheWhiteChartBesideThePageAndStopClosesIt)
{
    ChartDialog& dialog = startChart(ChartTqCmyk);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "TQ CMYK standard");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.xyAutoButton()->isVisible());
    EXPECT_FALSE(dialog.cancelButton()->isVisible());
    EXPECT_EQ(chartButton()->text(), "Stop Chart");
    EXPECT_FALSE(page->findChild<QComboBox*>("ChartType")->isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel*>("NextPatch")->text(), "Next patch: A01");
    EXPECT_EQ(shownColour(dialog, 1), QColor(Qt::white));
    const QRect first = dialog.patchView()->patchRect(0);
    EXPECT_EQ(dialog.patchView()->grab().toImage().pixelColor(first.topLeft() + QPoint(2, 2)),
        QColor(Qt::black))
        << "the mark on the first patch";

    chartButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(page->chartDialog(), nullptr);
    EXPECT_EQ(chartButton()->text(), "Start Chart");
    EXPECT_TRUE(page->findChild<QComboBox*>("ChartType")->isEnabled());
    EXPECT_FALSE(station->record().chart.active);
}

TEST_F(ChartDialogTest, AMeasurementColoursTheClickedPatchAndRepaintsOnlyTwoPatches)
{
    ChartDialog& dialog = startChart(ChartTqCmyk);
    clickPatch(dialog, dialog.patchView()->patchRect(17).center());
    EXPECT_EQ(station->record().chart.currentPatch, 17);

    PaintRecorder recorder;
    dialog.patchView()->installEventFilter(&recorder);
    measure("C100");
    QApplication::processEvents();
    dialog.patchView()->removeEventFilter(&recorder); // before grabbing paints it all
    EXPECT_EQ(station->record().chart.currentPatch, 18);
    EXPECT_EQ(dialog.findChild<QLabel*>("NextPatch")->text(), "Next patch: B04");
    const auto c100 = sim.expectedReading("C100");
    EXPECT_EQ(dialog.patchView()->patchDescription(17),
        "B03  C40M0Y0K0   X " + formatFixed(c100->xyz[0], 2) + "  Y " +
            formatFixed(c100->xyz[1], 2) + "  Z " + formatFixed(c100->xyz[2], 2));

    const QColor cyan = shownColour(dialog, 17);
    EXPECT_LT(cyan.red(), cyan.green() - 60);
    EXPECT_LT(cyan.red(), cyan.blue() - 60);
    const QRect viewArea = dialog.patchView()->rect();
    ASSERT_FALSE(recorder.areas.empty());
    for (const QRect& area : recorder.areas)
        EXPECT_LT(area.width() * area.height(), viewArea.width() * viewArea.height() / 20)
            << "a repaint of the whole chart: " << area.x() << "," << area.y() << " "
            << area.width() << "x" << area.height();
}

TEST_F(ChartDialogTest, It873ChartFitsTheScreenAndAClickOnAGapSelectsNothing)
{
    ChartDialog& dialog = startChart(ChartIt873);
    dialog.adjustSize();
    EXPECT_LE(dialog.width(), 1280);
    EXPECT_LE(dialog.height(), 1024 - 60) << "room for the title bar and a panel";
    const QRect patch = dialog.patchView()->patchRect(0);
    EXPECT_GE(patch.width(), 20);
    EXPECT_GE(patch.height(), 20);

    const QRect neighbour = dialog.patchView()->patchRect(1); // "00A2" right of it
    clickPatch(dialog, QPoint((patch.right() + neighbour.left()) / 2, patch.center().y()));
    EXPECT_EQ(station->record().chart.currentPatch, -1);
    EXPECT_EQ(dialog.findChild<QLabel*>("NextPatch")->text(), "Click the patch to measure next");
    measure("C100");
    QApplication::processEvents();
    EXPECT_EQ(station->record().chart.currentPatch, -1);
    EXPECT_EQ(shownColour(dialog, 0), QColor(Qt::white));
    EXPECT_EQ(station->list().rowCount(), 1) << "the list still gets the sample";
}

TEST_F(ChartDialogTest, ChartNeedsAnInitialisedInstrument)
{
    instrumentPage.initialised = false;
    chartButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(page->chartDialog(), nullptr);
    ASSERT_FALSE(op.messages.empty());
    EXPECT_EQ(op.messages.back().text, kInitializeFirstMessage);
    EXPECT_EQ(chartButton()->text(), "StartChart");
}

// Each chart measured half through the measurement cycle, every patch with
// its own nominal inks on the simulator: the painted colours follow the
// measured ones (cyan solids cyan, the grey ramp neutral).
TEST_F(ChartDialogTest, HalfMeasuredChartsShowTheirPrintedColours)
{
    for (ChartType chart : {ChartTqCmyk, ChartTqRgb, ChartIt873}) {
        SCOPED_TRACE(chart);
        ChartDialog& dialog = startChart(chart);
        const int count = chartPatchCount(chart);
        // Every patch when pictures are asked for, else the first rows.
        const int measured = screenshotDirectory().isEmpty() ? 20 : count / 2;
        for (int i = 0; i < measured; ++i)
            measure(inkOf(chart, i).c_str());
        QApplication::processEvents();
        EXPECT_EQ(station->record().chart.currentPatch, measured);

        const int tqGreyRamp = 2; // "A03": 20 % of each ink, or 80 % RGB
        if (chart != ChartIt873) {
            const QColor grey = shownColour(dialog, tqGreyRamp);
            EXPECT_NEAR(grey.red(), grey.green(), 30);
            EXPECT_NEAR(grey.green(), grey.blue(), 30);
            EXPECT_LT(grey.green(), 250);
        } else {
            const QColor cyan = shownColour(dialog, 0); // "00A1": cyan solid
            EXPECT_LT(cyan.red(), cyan.green() - 60);
            EXPECT_LT(cyan.red(), cyan.blue() - 60);
        }
        EXPECT_EQ(shownColour(dialog, count - 1), QColor(Qt::white));
        keepPicture(dialog, QString("chart_%1_half").arg(chart));
        if (chart == ChartIt873)
            keepPicture(*page, "metrics_stop_chart");
        chartButton()->click();
        QApplication::processEvents();
    }
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "Print..." of the report window, the print dialog answered with a PDF file.
void printToPdf(ChartComparisonView& view, const std::string& pdf)
{
    view.setPrintDialog([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    view.findChild<QPushButton*>("PrintReport")->click();
}

// "Compare..." as the operator meets it: the first patches measured and
// saved as the reference, the same patches measured again and compared
// (green, no difference), a patch measured with another ink (the report and
// its colour follow at once), the report saved and printed to PDF, and the
// window closed (the measured colours come back).
TEST_F(ChartDialogTest, CompareShowsTheReportColoursThePatchesAndSavesAndPrintsIt)
{
    testing::TempDirectory files;
    const int measured = 16;
    ChartDialog& first = startChart(ChartTqCmyk);
    for (int i = 0; i < measured; ++i)
        measure(inkOf(ChartTqCmyk, i).c_str());
    const std::string reference = files.file("reference.txt");
    op.files.push_back(reference);
    first.findChild<QPushButton*>("Save")->click();
    chartButton()->click();
    QApplication::processEvents();

    ChartDialog& dialog = startChart(ChartTqCmyk);
    for (int i = 0; i < measured; ++i)
        measure(inkOf(ChartTqCmyk, i).c_str());
    QApplication::processEvents();
    EXPECT_FALSE(dialog.differenceLegend()->isVisible());
    op.files.push_back(reference);
    dialog.compareButton()->click();
    QApplication::processEvents();
    ASSERT_TRUE(op.messages.empty()) << op.messages.front().text;
    ASSERT_NE(dialog.comparisonView(), nullptr);
    EXPECT_TRUE(dialog.comparisonView()->isVisible());
    EXPECT_EQ(op.fileQuestions.back().title, kCompareOpenTitle);
    const std::string report = dialog.comparisonView()->reportText().toStdString();
    EXPECT_EQ(report, dialog.comparison().report());
    EXPECT_NE(report.find("Chart comparison (dE76)"), std::string::npos) << report;
    EXPECT_NE(report.find("16 of 210 patches measured"), std::string::npos) << report;
    EXPECT_EQ(dialog.comparison().comparison().all.count, measured);
    EXPECT_DOUBLE_EQ(dialog.comparison().comparison().all.maximum, 0.0);
    EXPECT_TRUE(dialog.differenceLegend()->isVisible());
    EXPECT_EQ(dialog.differenceLegend()->caption(), "dE76 of each patch against reference.txt");
    ChartPatchView* view = dialog.patchView();
    const PatchRgb green = differenceColor(0.0);
    EXPECT_EQ(view->shownColor(3), QColor(green.red, green.green, green.blue));
    EXPECT_EQ(view->shownColor(100), QColor(235, 235, 235)) << "not measured: not compared";
    EXPECT_NE(view->patchDescription(3).find("dE76 0.00"), std::string::npos);

    // Patch 16 measured: the reference holds paper white there (it was not
    // measured when the reference was saved), so a cyan solid is far off.
    measure("C100");
    QApplication::processEvents();
    EXPECT_EQ(dialog.comparison().comparison().all.count, measured + 1);
    EXPECT_GT(dialog.comparison().comparison().all.maximum, 40.0);
    EXPECT_EQ(view->shownColor(measured), QColor(110, 0, 20)) << "beyond the last stop";
    EXPECT_NE(dialog.comparisonView()->reportText().toStdString().find("B02 "), std::string::npos);
    keepPicture(dialog, "chart_comparison_dialog");
    keepPicture(*dialog.comparisonView(), "chart_comparison_report");

    // A file that cannot be compared is refused; the comparison shown stays.
    const std::string damaged = files.file("damaged.txt");
    std::ofstream(damaged) << "BEGIN_DATA\n1 2\nEND_DATA\n";
    const std::string shownReport = dialog.comparison().report();
    op.files.push_back(damaged);
    dialog.compareButton()->click();
    ASSERT_EQ(op.messages.size(), 1u);
    op.messages.clear();
    EXPECT_EQ(dialog.comparison().report(), shownReport);
    EXPECT_EQ(dialog.comparison().referencePath(), reference);
    EXPECT_TRUE(view->showsDifferences());

    const std::string saved = files.file("report.txt");
    op.files.push_back(saved);
    dialog.comparisonView()->findChild<QPushButton*>("SaveReport")->click();
    EXPECT_EQ(contentOf(saved), dialog.comparison().report());

    const std::string pdf = files.file("comparison.pdf");
    printToPdf(*dialog.comparisonView(), pdf);
    EXPECT_TRUE(op.messages.empty());
    const std::string printed = commandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(printed.find("Chart comparison (dE76)"), std::string::npos) << printed;
    EXPECT_NE(printed.find("of each patch against reference.txt"), std::string::npos) << printed;
    testing::keepPdfPictures(pdf, "chart_comparison_print", 60);
    dialog.comparisonView()->setPrintDialog([](QPrinter&) { return false; });
    dialog.comparisonView()->findChild<QPushButton*>("PrintReport")->click();
    EXPECT_EQ(op.texts(), (std::vector<std::string> {kComparisonNotPrintedMessage}));

    dialog.comparisonView()->findChild<QPushButton*>("Close")->click();
    QApplication::processEvents();
    EXPECT_EQ(dialog.comparisonView(), nullptr);
    EXPECT_FALSE(view->showsDifferences());
    EXPECT_FALSE(dialog.differenceLegend()->isVisible());
    EXPECT_EQ(shownColour(dialog, 100), QColor(Qt::white));
}

// The whole chart printed on a press with 10 % more dot gain, compared with
// the chart from the standard press: paper and solids stay green, the
// mid-tones of the black ramp (row J) turn furthest towards red. Under a
// window manager (LTRAKW_SCREENSHOT_DIR with the xcb platform) the screen
// is kept as a picture with the chart and its report side by side.
TEST_F(ChartDialogTest, APressWithMoreDotGainColoursTheMidTones)
{
    testing::TempDirectory files;
    const int count = chartPatchCount(ChartTqCmyk);
    ChartDialog& standard = startChart(ChartTqCmyk);
    for (int i = 0; i < count; ++i)
        measure(inkOf(ChartTqCmyk, i).c_str());
    const std::string reference = files.file("standard_press.txt");
    op.files.push_back(reference);
    standard.findChild<QPushButton*>("Save")->click();
    chartButton()->click();

    sim.setDotGain(ltsim::kStandardDotGain + 10.0);
    ChartDialog& dialog = startChart(ChartTqCmyk);
    for (int i = 0; i < count; ++i)
        measure(inkOf(ChartTqCmyk, i).c_str());
    op.files.push_back(reference);
    dialog.compareButton()->click();
    QApplication::processEvents();
    ASSERT_TRUE(op.messages.empty()) << op.messages.front().text;
    const ChartCompareLogic& comparison = dialog.comparison();
    EXPECT_EQ(comparison.comparison().all.count, count);

    const int paper = 142, blackSolid = 143, black50 = 146, black10 = 149, black90 = 144;
    const PatchRgb green = differenceColor(0.0);
    for (int unchanged : {paper, blackSolid})
        EXPECT_EQ(
            dialog.patchView()->shownColor(unchanged), QColor(green.red, green.green, green.blue))
            << unchanged;
    EXPECT_GT(*comparison.patchDifference(black50), 2 * *comparison.patchDifference(black10));
    EXPECT_GT(*comparison.patchDifference(black50), *comparison.patchDifference(black90));
    const QColor midTone = dialog.patchView()->shownColor(black50);
    EXPECT_GT(midTone.red(), midTone.green());

    if (!screenshotDirectory().isEmpty() && QGuiApplication::platformName() == "xcb") {
        dialog.move(0, 0);
        const int screenRight = dialog.screen()->geometry().right();
        dialog.comparisonView()->move(
            std::min(dialog.frameGeometry().right() + 10,
                screenRight - dialog.comparisonView()->frameGeometry().width()),
            0);
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QTest::qWait(50);
        }
        std::system(("import -window root '" + screenshotDirectory().toStdString() +
            "/chart_comparison_screen.png'")
                        .c_str());
    }
    keepPicture(dialog, "chart_comparison_dot_gain");
    keepPicture(*dialog.comparisonView(), "chart_comparison_dot_gain_report");
    if (!screenshotDirectory().isEmpty()) {
        const std::string pdf = files.file("dot_gain.pdf");
        printToPdf(*dialog.comparisonView(), pdf);
        testing::keepPdfPictures(pdf, "chart_comparison_dot_gain_print", 100);
    }
}

// A file that is no chart, and a chart with nothing measured yet, are
// refused with the reason; nothing is shown.
TEST_F(ChartDialogTest, CompareRefusesWhatCannotBeCompared)
{
    testing::TempDirectory files;
    ChartDialog& dialog = startChart(ChartTqCmyk);
    const std::string damaged = files.file("damaged.txt");
    std::ofstream(damaged) << "NUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID RGB_R\n";
    op.files.push_back(damaged);
    dialog.compareButton()->click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text.rfind("This chart cannot be compared:\n", 0), 0u)
        << op.messages[0].text;

    measure(inkOf(ChartTqCmyk, 0).c_str());
    const std::string reference = files.file("reference.txt");
    op.files.push_back(reference);
    dialog.findChild<QPushButton*>("Save")->click();
    // A fresh chart: nothing measured to compare.
    chartButton()->click();
    ChartDialog& fresh = startChart(ChartTqCmyk);
    op.files.push_back(reference);
    fresh.compareButton()->click();
    EXPECT_EQ(op.messages.back().text, kNothingMeasuredMessage);
    EXPECT_EQ(fresh.comparisonView(), nullptr);
    EXPECT_FALSE(fresh.patchView()->showsDifferences());
}

// The automatic run measures for many seconds on a busy machine.
constexpr int kRunPatienceMs = 60000;

TEST_F(ChartDialogTest, XYAutoMeasuresTheChartOnTheTableCancelsAndRunsAgain)
{
    // A Lumatrak A with the TQ RGB chart on its table, a little turned.
    sim.setDevice(ltsim::DeviceKind::LumatrakA);
    sim.placeChart({true, ltsim::ChartKind::TqRgb, 1200.0, 900.0, ltsim::kTqPitch, 0.5});
    openInstrument(InstrumentLumatrakA);
    testing::AligningOperator aligner(sim);
    station->setOperator(aligner);
    instrumentPage.liveReading = true;
    ChartDialog& dialog = startChart(ChartTqRgb);
    ASSERT_TRUE(dialog.xyAutoButton()->isVisible());
    std::vector<bool> runChanges;
    QObject::connect(page.get(), &CTaviDens::chartRunChanged, [&](bool running) {
        runChanges.push_back(running);
        // While the run lasts the chart cannot be closed.
        EXPECT_EQ(chartButton()->isEnabled(), !running);
    });
    auto* load = dialog.findChild<QPushButton*>("Load");

    // Cancel during the run: the patch being measured is the last one.
    dialog.xyAutoButton()->click();
    EXPECT_FALSE(instrumentPage.liveReading) << "remote mode ends before the run";
    EXPECT_FALSE(load->isVisible());
    EXPECT_FALSE(dialog.xyAutoButton()->isVisible());
    ASSERT_TRUE(testing::waitFor(
        [&] { return dialog.runLine()->text().startsWith("Patch 10 of 135"); }, kRunPatienceMs));
    EXPECT_TRUE(dialog.cancelButton()->isVisible());
    keepPicture(dialog, "chart_run_in_progress");
    dialog.cancelButton()->click();
    ASSERT_TRUE(testing::waitFor(
        [&] { return !dialog.autoRun().running() && load->isVisible(); }, kRunPatienceMs));
    const int cancelledAt = station->record().chart.currentPatch;
    EXPECT_GE(cancelledAt, 10);
    EXPECT_LT(cancelledAt, 135);
    EXPECT_TRUE(dialog.runLine()->text().startsWith(
        QString("Run cancelled: %1 patches measured, 0 retries, ").arg(cancelledAt)))
        << dialog.runLine()->text().toStdString();
    EXPECT_FALSE(dialog.cancelButton()->isVisible());
    EXPECT_TRUE(dialog.xyAutoButton()->isVisible());
    EXPECT_EQ(runChanges, (std::vector<bool> {true, false}));

    // Again: every patch, from "A01" on.
    dialog.xyAutoButton()->click();
    ASSERT_TRUE(testing::waitFor(
        [&] { return !dialog.autoRun().running() && load->isVisible(); }, kRunPatienceMs));
    EXPECT_TRUE(
        dialog.runLine()->text().startsWith("Run finished: 135 patches measured, 0 retries"))
        << dialog.runLine()->text().toStdString();
    EXPECT_EQ(dialog.findChild<QLabel*>("NextPatch")->text(), "Every patch is measured");
    EXPECT_EQ(aligner.alignments, 2);
    EXPECT_TRUE(chartButton()->isEnabled());
    auto* chart = static_cast<ChartSession*>(station->chartPatchStore());
    for (int patch : {0, 67, 134})
        EXPECT_NE(chart->tables().entry(patch).xyz, (Triple {100.0f, 100.0f, 100.0f})) << patch;
    keepPicture(dialog, "chart_run_finished");

    // Without the table's instrument XYAuto goes.
    page->followDeviceType(InstrumentLumatrakS);
    EXPECT_FALSE(dialog.xyAutoButton()->isVisible());
    station->setOperator(op);
}

TEST_F(ChartDialogTest, InitAutoTakesTheCornersWhereTheHeadStandsAndStartsOnlyWithAllThree)
{
    sim.setDevice(ltsim::DeviceKind::LumatrakA);
    openInstrument(InstrumentLumatrakA);
    ChartAlignment alignment(
        AlignmentChart::It873,
        [this](int operation, void* data) {
            return AutoMeasureChart::instrumentTableOperation(*station, operation, data);
        },
        op);
    InitAutoDialog dialog(alignment);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "InitAuto");
    EXPECT_TRUE(dialog.startButton()->isDefault());
    EXPECT_EQ(dialog.cornerLabel(0)->text(), "P1 13A1");

    const std::optional<ltsim::TablePosition> p1 = sim.patchPosition("13A1");
    sim.setHeadPosition(*p1);
    dialog.setButton(0)->click();
    EXPECT_EQ(dialog.cornerLabel(0)->text(), QString("P1 13A1 at %1, %2").arg(p1->x).arg(p1->y));
    EXPECT_NE(sim.headPosition(), *p1) << "the head moved on towards P2";
    dialog.startButton()->click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Wrong Initialization Coordinates !");
    EXPECT_TRUE(dialog.isVisible());
    dialog.close(); // the close box does nothing
    EXPECT_TRUE(dialog.isVisible());

    dialog.setButton(0)->click();
    for (int corner : {1, 2}) {
        sim.setHeadPosition(*sim.patchPosition(corner == 1 ? "12F6" : "00N13"));
        dialog.setButton(corner)->click();
    }
    EXPECT_EQ(sim.headPosition(), *p1) << "after P3 the head returns to P1";
    keepPicture(dialog, "initauto");
    dialog.startButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NEAR(alignment.steps().columnStepX, ltsim::kIt8Pitch, 1.0);
}

} // namespace
} // namespace lt
