#include "ui/graph/SpectrumGraphWidget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "core/graph/SpectrumGraphPicture.h"

namespace {

// Room around the plot for the value labels (left) and wavelength labels (below).
constexpr int kLeftMargin = 58; // [px]
constexpr int kRightMargin = 12; // [px]
constexpr int kBottomMargin = 34; // [px]
constexpr int kLabelGap = 16; // [px] labels of the value axis end this far left of it
constexpr int kPenWidth = 2; // [px] markers and curve
const QColor kCurveColour(0, 140, 0);
constexpr int kZoomTextX = 15, kZoomTextY = 15;

void showMissingPicture(const QString& path)
{
    QMessageBox::warning(nullptr, QStringLiteral("Bitmap cannot be found !"), path);
}

QString numberText(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return QString::fromLatin1(text);
}

} // namespace

SpectrumGraphWidget::SpectrumGraphWidget(
    const QString& picturePath, QWidget* parent, MissingPictureReport report)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    const lt::WelcomePicture picture = lt::readWelcomePicture(picturePath.toStdString());
    if (picture.status == lt::PictureStatus::Missing) {
        (report ? report : showMissingPicture)(picturePath);
    } else if (picture.status == lt::PictureStatus::Loaded) {
        welcome.loadFromData(picture.file.data(), static_cast<int>(picture.file.size()), "BMP");
    }
    view = fullViewport();
}

lt::PlotArea SpectrumGraphWidget::plotArea() const
{
    lt::PlotArea plot;
    plot.left = kLeftMargin;
    plot.top = 0;
    plot.width = std::max(1, width() - kLeftMargin - kRightMargin);
    plot.height = std::max(1, height() - kBottomMargin);
    return plot;
}

lt::GraphViewport SpectrumGraphWidget::fullViewport() const
{
    lt::GraphViewport full;
    full.plot = plotArea();
    full.firstWavelength = firstWavelength;
    full.lastWavelength = lastWavelength;
    return full;
}

void SpectrumGraphWidget::showRemission(std::span<const std::uint16_t> values, double full)
{
    type = lt::CurveType::Remission;
    ordinates.assign(values.begin(), values.end());
    fullOrdinate = full;
    const double lastPoint = ordinates.empty() ? 0.0 : static_cast<double>(ordinates.size() - 1);
    const double newLast = lt::kRemissionFirstWavelength + lt::kRemissionWavelengthStep * lastPoint;
    if (firstWavelength != lt::kRemissionFirstWavelength || lastWavelength != newLast)
        zoomed = false;
    firstWavelength = lt::kRemissionFirstWavelength;
    lastWavelength = std::max(newLast, firstWavelength + lt::kRemissionWavelengthStep);
    plotted = true;
    prepareCurve();
}

void SpectrumGraphWidget::showSpectrometer(
    lt::CurveType curveType, const lt::SpectrometerCounts& counts, double first, double last)
{
    type = curveType;
    sampleCounts.assign(counts.sample.begin(), counts.sample.end());
    darkCounts.assign(counts.dark.begin(), counts.dark.end());
    whiteCounts.assign(counts.white.begin(), counts.white.end());
    spectrometer = counts;
    spectrometer.sample = sampleCounts;
    spectrometer.dark = darkCounts;
    spectrometer.white = whiteCounts;
    if (first != firstWavelength || last != lastWavelength)
        zoomed = false;
    firstWavelength = first;
    lastWavelength = last > first ? last : first + 1;
    plotted = true;
    prepareCurve();
}

void SpectrumGraphWidget::endZoom()
{
    if (!zoomed)
        return;
    zoomed = false;
    prepareCurve();
    Q_EMIT zoomChanged(false);
}

void SpectrumGraphWidget::prepareCurve()
{
    if (!zoomed)
        view = fullViewport();
    else
        view.plot = plotArea();
    if (!plotted) {
        points.clear();
    } else if (type == lt::CurveType::Remission) {
        points = lt::remissionCurve(ordinates, fullOrdinate, view);
    } else {
        points = lt::spectrometerCurve(type, spectrometer, firstWavelength, lastWavelength, view);
    }
    update();
}

void SpectrumGraphWidget::resizeEvent(QResizeEvent*)
{
    prepareCurve();
}

void SpectrumGraphWidget::paintAxes(QPainter& painter) const
{
    const lt::PlotArea plot = view.plot;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.left, plot.top, plot.left, plot.baseline());
    painter.drawLine(plot.left, plot.baseline(), plot.right(), plot.baseline());
    const QFontMetrics metrics = painter.fontMetrics();

    for (const lt::AxisTick& tick :
        lt::wavelengthTicks(view.firstWavelength, view.lastWavelength, zoomed)) {
        const int x = static_cast<int>(std::lround(view.xOfWavelength(tick.value)));
        painter.drawLine(x, plot.baseline(), x, plot.baseline() + tick.length);
        if (tick.labelled) {
            const QString text = numberText(tick.label);
            const int textWidth = metrics.horizontalAdvance(text);
            painter.drawText(
                x - textWidth / 2, plot.baseline() + tick.length + metrics.ascent() + 1, text);
        }
    }

    std::vector<lt::AxisTick> valueTicks;
    std::function<double(double)> heightOf;
    if (type == lt::CurveType::WhiteSignal) {
        const double fullScale = lt::whiteSignalFullScale(spectrometer);
        valueTicks =
            lt::signalTicks(fullScale, view.lowHeight * fullScale, view.highHeight * fullScale);
        heightOf = [fullScale](double value) { return value / fullScale; };
    } else {
        valueTicks = lt::remissionTicks(lt::remissionStepsOfHeight(view.lowHeight),
            lt::remissionStepsOfHeight(view.highHeight));
        heightOf = [](double steps) { return lt::heightOfRemissionSteps(steps); };
    }
    for (const lt::AxisTick& tick : valueTicks) {
        const int y = static_cast<int>(std::lround(view.yOfHeight(heightOf(tick.value))));
        painter.drawLine(plot.left - tick.length, y, plot.left, y);
        if (tick.labelled) {
            const QString text = numberText(tick.label);
            const int textWidth = metrics.horizontalAdvance(text);
            const int baselineY = std::max(metrics.ascent(), y + metrics.ascent() / 2);
            painter.drawText(plot.left - kLabelGap - textWidth, baselineY, text);
        }
    }
}

void SpectrumGraphWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (showsWelcomePicture()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), welcome);
        return;
    }
    painter.fillRect(rect(), Qt::white);
    if (!plotted)
        return;
    paintAxes(painter);
    painter.setPen(Qt::black);
    if (zoomed)
        painter.drawText(kZoomTextX, kZoomTextY, QStringLiteral("Zoom"));

    if (pointer.drag() == lt::GraphDrag::ZoomRectangle) {
        const lt::PixelRect band = pointer.zoomRectangle();
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRect(QPoint(band.left, band.top), QPoint(band.right, band.bottom)).normalized());
    }

    painter.setPen(QPen(Qt::black, kPenWidth));
    for (const lt::GraphMarker& marker : pointer.markers()) {
        if (marker.isVertical())
            painter.drawLine(marker.x, 0, marker.x, height());
        else if (marker.isHorizontal())
            painter.drawLine(0, marker.y, width(), marker.y);
    }

    if (points.size() >= 2) {
        const lt::PlotArea plot = view.plot;
        painter.setClipRect(QRect(plot.left, plot.top, plot.width + 1, plot.height + 1));
        painter.setRenderHint(QPainter::Antialiasing);
        QPolygon polyline;
        polyline.reserve(static_cast<int>(points.size()));
        for (const lt::CurvePoint& point : points)
            polyline << QPoint(point.x, point.y);
        painter.setPen(QPen(kCurveColour, kPenWidth));
        painter.drawPolyline(polyline);
    }
}

void SpectrumGraphWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        endZoom();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    pointer.leftPress(at.x(), at.y());
    update();
}

void SpectrumGraphWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    pointer.move(at.x(), at.y());
    update();
}

void SpectrumGraphWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const std::optional<lt::PixelRect> band = pointer.leftRelease(at.x(), at.y(), view.plot);
    if (band && !zoomed && plotted) {
        view = lt::zoomInto(view, *band);
        zoomed = true;
        prepareCurve();
        Q_EMIT zoomChanged(true);
    }
    update();
}
