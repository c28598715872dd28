// The spectrum graph widget under the mouse: the welcome picture, markers,
// zoom and its end.
#include "PageFixture.h"

#include <QImage>
#include <QTest>

#include "ui/graph/SpectrumGraphWidget.h"

namespace {

class GraphWidget : public ::testing::Test {
protected:
    void SetUp() override { lt::testing::testApplication(); }

    static std::string shippedPicture()
    {
        return std::string(LTRAKW_SOURCE_DIR) + "/data/SWelcome.bmp";
    }
};

} // namespace

TEST_F(GraphWidget, MissingPictureIsReportedOnceAndTheGraphStaysWhite)
{
    std::vector<QString> reports;
    SpectrumGraphWidget graph(QStringLiteral("/nonexistent/SWelcome.bmp"), nullptr,
        [&](const QString& path) { reports.push_back(path); });
    graph.resize(400, 300);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].toStdString(), "/nonexistent/SWelcome.bmp");
    EXPECT_FALSE(graph.hasWelcomePicture());
    const QImage image = graph.grab().toImage();
    EXPECT_EQ(image.pixelColor(200, 150), QColor(Qt::white));
    graph.repaint();
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(GraphWidget, WelcomePictureShowsUntilTheFirstCurve)
{
    SpectrumGraphWidget graph(QString::fromStdString(shippedPicture()));
    graph.resize(400, 300);
    ASSERT_TRUE(graph.showsWelcomePicture());
    std::vector<std::uint16_t> ordinates(36, 56540);
    graph.showRemission(ordinates, 56540);
    EXPECT_FALSE(graph.showsWelcomePicture());
    // The flat 100 % line, drawn in green at 85 % of the plot height.
    const lt::PlotArea plot = graph.plotArea();
    const int y = plot.baseline() - static_cast<int>(0.85 * plot.height + 0.5);
    const QImage image = graph.grab().toImage();
    const QColor line = image.pixelColor(plot.left + plot.width / 2, y);
    EXPECT_GT(line.green(), 100);
    EXPECT_LT(line.red(), 100);
}

TEST_F(GraphWidget, SmallDragDoesNotZoomRightClickEndsAZoom)
{
    SpectrumGraphWidget graph(QString::fromStdString(shippedPicture()));
    graph.resize(500, 400);
    std::vector<std::uint16_t> ordinates(36, 30000);
    graph.showRemission(ordinates, 56540);

    QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(200, 100));
    QTest::mouseMove(&graph, QPoint(208, 150));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(208, 150));
    EXPECT_FALSE(graph.isZoomed());

    QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(200, 100));
    QTest::mouseMove(&graph, QPoint(300, 200));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(300, 200));
    ASSERT_TRUE(graph.isZoomed());
    EXPECT_GT(graph.viewport().firstWavelength, 380.0);
    EXPECT_LT(graph.viewport().lastWavelength - graph.viewport().firstWavelength, 350.0);

    QTest::mousePress(&graph, Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_FALSE(graph.isZoomed());
    EXPECT_DOUBLE_EQ(graph.viewport().firstWavelength, 380.0);
}

TEST_F(GraphWidget, MarkerIsCreatedInTheMarginAndDeletedThere)
{
    SpectrumGraphWidget graph(QString::fromStdString(shippedPicture()));
    graph.resize(500, 400);
    QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(2, 200));
    QTest::mouseMove(&graph, QPoint(250, 200));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(250, 200));
    EXPECT_EQ(graph.mouse().markerCount(), 1);
    QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(252, 120));
    QTest::mouseMove(&graph, QPoint(3, 120));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(3, 120));
    EXPECT_EQ(graph.mouse().markerCount(), 0);
}
