// The main window: title, tabs, and a key press that ends a zoomed graph.
#include "PageFixture.h"

#include <QTabWidget>
#include <QTest>

#include "ui/graph/SpectrumGraphWidget.h"

TEST_F(PageTest, SheetHasItsTitleAndTheFourTabsInOrder)
{
    createSheet();
    EXPECT_EQ(sheet->windowTitle().toStdString(), "Huevia-NOVU    LtrakW    V1.433");
    ASSERT_EQ(sheet->tabs()->count(), 4);
    EXPECT_EQ(sheet->tabs()->tabText(0).toStdString(), "Spectrum");
    EXPECT_EQ(sheet->tabs()->tabText(1).toStdString(), "Color Metrics");
    EXPECT_EQ(sheet->tabs()->tabText(2).toStdString(), "Quality Control");
    EXPECT_EQ(sheet->tabs()->tabText(3).toStdString(), "Service");
    EXPECT_EQ(sheet->tabs()->widget(0), sheet->instrumentPage());
    EXPECT_FALSE(sheet->windowIcon().isNull());
    EXPECT_NE(sheet->simulatorMenu(), nullptr);
}

TEST_F(PageTest, KeyPressEndsTheZoomLikeARightClick)
{
    createSheet();
    SpectrumGraphWidget* graph = page().graph();
    std::vector<std::uint16_t> ordinates(36, 40000);
    for (int i = 0; i < 36; ++i)
        ordinates[i] = static_cast<std::uint16_t>(10000 + 1000 * i);
    graph->showRemission(ordinates, 56540);
    const QPoint from = graph->rect().center() - QPoint(60, 40);
    QTest::mousePress(graph, Qt::LeftButton, {}, from);
    QTest::mouseMove(graph, from + QPoint(120, 80));
    QTest::mouseRelease(graph, Qt::LeftButton, {}, from + QPoint(120, 80));
    ASSERT_TRUE(graph->isZoomed());
    const double zoomedFirst = graph->viewport().firstWavelength;
    EXPECT_GT(zoomedFirst, 380.0);
    // A marker line dragged in from the left margin, for the picture.
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(graph, QPoint(graph->width() / 2, 100));
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(graph->width() / 2, 100));
    EXPECT_EQ(graph->mouse().markerCount(), 1);
    screenshot("zoomed-with-marker");

    QTest::keyClick(sheet->tabs(), Qt::Key_Space);
    EXPECT_FALSE(graph->isZoomed());
    EXPECT_DOUBLE_EQ(graph->viewport().firstWavelength, 380.0);
    EXPECT_DOUBLE_EQ(graph->viewport().lastWavelength, 730.0);
}

TEST_F(PageTest, SimulatorMenuFollowsTheDeviceTypeChosenOnThePage)
{
    createSheet();
    page().deviceTypeBox()->setCurrentIndex(3);
    Q_EMIT page().deviceTypeBox()->activated(3);
    EXPECT_EQ(simulator->device(), ltsim::DeviceKind::Spectrometer);
    Q_EMIT page().deviceTypeBox()->activated(2);
    EXPECT_EQ(simulator->device(), ltsim::DeviceKind::Spectrolino);
    EXPECT_EQ(readSetting("TaviLight", "Brand"), "2");
}
