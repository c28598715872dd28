// The chart dialogs as the operator meets them, on Qt's offscreen platform
// against the virtual Lumatrak: "StartChart" on the colour metrics page, the
// white chart with its mark, clicks, measurements that colour the marked
// patch and move the mark, "Stop Chart". With LTRAKW_SCREENSHOT_DIR set,
// each dialog is saved half measured as a picture there, with the page.
#include "core/metrics/SimulatedStation.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <cstdlib>

#include "core/charts/ChartMeasurement.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/charts/ChartSession.h"
#include "core/common/NumberText.h"
#include "ui/charts/ChartDialog.h"
#include "ui/charts/ChartPatchView.h"
#include "ui/metrics/TaviDens.h"

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

namespace lt {
namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "chart_view_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return *app;
}

const char* screenshotDirectory()
{
    return std::getenv("LTRAKW_SCREENSHOT_DIR");
}

void keepPicture(QWidget& widget, const std::string& name)
{
    if (const char* directory = screenshotDirectory())
        widget.grab().save(
            QString::fromLocal8Bit(directory) + "/" + QString::fromStdString(name) + ".png");
}

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

class ChartDialogTest : public test::SimulatedStation {
protected:
    void SetUp() override
    {
        application();
        SimulatedStation::SetUp();
        openInstrument();
        page = std::make_unique<CTaviDens>(*station);
        page->setInstrumentPage(&instrumentPage);
        page->resize(760, 620);
        page->show();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        page.reset();
        SimulatedStation::TearDown();
    }

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

    test::FakeInstrumentPage instrumentPage;
    std::unique_ptr<CTaviDens> page;
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
    EXPECT_EQ(op.messages.back(), kInitializeFirstMessage);
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
        const int measured = screenshotDirectory() ? count / 2 : 20;
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
        keepPicture(dialog, "chart_" + std::to_string(chart) + "_half");
        if (chart == ChartIt873)
            keepPicture(*page, "metrics_stop_chart");
        chartButton()->click();
        QApplication::processEvents();
    }
}

} // namespace
} // namespace lt
