// Marker lines of the spectrum graph as an operator uses them: each reads
// the wavelength and the value under it, keeps its wavelength when the
// window is resized or the graph zoomed and unzoomed, and all go at once
// with "Clear markers". The axes name their units.
#include "../instrument_page/PageFixture.h"

#include <QAbstractButton>
#include <QTest>

#include "ui/graph/SpectrumGraphWidget.h"

namespace {

class GraphMarkers : public ::testing::Test {
protected:
    void SetUp() override
    {
        lt::testing::testApplication();
        graph = std::make_unique<SpectrumGraphWidget>(
            QStringLiteral("/nonexistent/SWelcome.bmp"), nullptr, [](const QString&) {});
        graph->resize(600, 400);
        graph->show();
        // A remission rising by 2 % per 10 nm from 10 % at 380 nm.
        std::vector<std::uint16_t> ordinates;
        for (int i = 0; i < lt::kRemissionPointCount; ++i)
            ordinates.push_back(
                static_cast<std::uint16_t>(lt::kOrdinateFullRemission * (0.10 + 0.02 * i)));
        graph->showRemission(ordinates, lt::kOrdinateFullRemission);
        QApplication::processEvents();
    }

    int xOf(double wavelength) const
    {
        return static_cast<int>(std::lround(graph->viewport().xOfWavelength(wavelength)));
    }

    // A vertical marker pulled out of the left margin to wavelength.
    void placeVerticalMarker(double wavelength)
    {
        QTest::mousePress(graph.get(), Qt::LeftButton, {}, QPoint(2, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(xOf(wavelength), 100),
            graph->mapToGlobal(QPointF(xOf(wavelength), 100)), Qt::NoButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(graph.get(), &move);
        QTest::mouseRelease(graph.get(), Qt::LeftButton, {}, QPoint(xOf(wavelength), 100));
    }

    std::unique_ptr<SpectrumGraphWidget> graph;
};

// The reading's wavelength (whole nm) and value (per cent) as numbers.
std::pair<int, double> reading(const QString& text)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 4)
        return {-1, -1.0};
    return {words[0].toInt(), words[2].toDouble()};
}

} // namespace

TEST_F(GraphMarkers, AMarkerReadsItsWavelengthAndValueThroughResizeAndZoom)
{
    EXPECT_EQ(graph->valueUnit(), "%");
    placeVerticalMarker(550);
    ASSERT_EQ(graph->mouse().markerCount(), 1);
    auto [wavelength, value] = reading(graph->markerReading(0));
    EXPECT_NEAR(wavelength, 550, 1) << graph->markerReading(0).toStdString();
    // 10 % + 17 steps of 2 %: 44 % at 550 nm, within a pixel's worth.
    EXPECT_NEAR(value, 44.0, 0.6) << graph->markerReading(0).toStdString();
    const int placed = wavelength;

    graph->resize(1100, 700);
    QApplication::processEvents();
    EXPECT_EQ(reading(graph->markerReading(0)).first, placed);
    const double place = graph->mouse().markers()[0].place;
    EXPECT_EQ(graph->mouse().markers()[0].x, xOf(place)) << "the line moved with the axis";

    // Zoom into 500 ... 650 nm: the marker stands at 550 nm there too.
    QTest::mousePress(graph.get(), Qt::LeftButton, {}, QPoint(xOf(500), 50));
    QTest::mouseRelease(graph.get(), Qt::LeftButton, {}, QPoint(xOf(650), 500));
    ASSERT_TRUE(graph->isZoomed());
    EXPECT_EQ(reading(graph->markerReading(0)).first, placed);
    EXPECT_NEAR(graph->viewport().wavelengthOfX(graph->mouse().markers()[0].x), placed, 0.5);
    // A zoom on the marker's far side puts it off the plot, but not away.
    graph->endZoom();
    QTest::mousePress(graph.get(), Qt::LeftButton, {}, QPoint(xOf(600), 50));
    QTest::mouseRelease(graph.get(), Qt::LeftButton, {}, QPoint(xOf(700), 500));
    ASSERT_TRUE(graph->isZoomed());
    graph->endZoom();
    ASSERT_EQ(graph->mouse().markerCount(), 1);
    EXPECT_EQ(graph->mouse().markers()[0].x, xOf(place));
}

TEST_F(GraphMarkers, AHorizontalMarkerReadsItsValueAndAllMarkersClearAtOnce)
{
    EXPECT_FALSE(graph->clearMarkersButton()->isVisible());
    const int y50 = static_cast<int>(
        std::lround(graph->viewport().yOfHeight(lt::heightOfRemissionSteps(5000))));
    QTest::mousePress(graph.get(), Qt::LeftButton, {}, QPoint(200, 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, y50), graph->mapToGlobal(QPointF(200, y50)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(graph.get(), &move);
    QTest::mouseRelease(graph.get(), Qt::LeftButton, {}, QPoint(200, y50));
    placeVerticalMarker(450);
    placeVerticalMarker(650);
    ASSERT_EQ(graph->mouse().markerCount(), 3);
    const QString horizontal = graph->markerReading(0);
    EXPECT_TRUE(horizontal.endsWith(" %")) << horizontal.toStdString();
    EXPECT_NEAR(horizontal.split(' ')[0].toDouble(), 50.0, 0.3);

    ASSERT_TRUE(graph->clearMarkersButton()->isVisible());
    graph->clearMarkersButton()->click();
    EXPECT_EQ(graph->mouse().markerCount(), 0);
    EXPECT_FALSE(graph->clearMarkersButton()->isVisible());
    EXPECT_EQ(graph->markerReading(0), "");
}
