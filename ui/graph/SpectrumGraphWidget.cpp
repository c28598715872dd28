#include "ui/graph/SpectrumGraphWidget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolButton>

#include "core/graph/SpectrumGraphPicture.h"

namespace {

// Room around the plot for the value labels (left) and wavelength labels (below).
constexpr int kLeftMargin = 58; // [px]
constexpr int kRightMargin = 12; // [px]
constexpr int kBottomMargin = 34; // [px]
constexpr int kLabelGap = 16; // [px] labels of the value axis end this far left of it
constexpr int kPenWidth = 2; // [px] markers and curve
const QColor kCurveColour(0, 140, 0);
const QColor kStaleCurveColour(150, 150, 150);
const QColor kMarkerTextBackground(255, 255, 255, 210);
constexpr int kMarkerTextGap = 4; // [px] between a marker and its reading
constexpr int kButtonMargin = 4; // [px]
constexpr const char* kStaleNote = "Last measurement failed: previous sample shown";
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
    clearButton = new QToolButton(this);
    clearButton->setText(QStringLiteral("Clear markers"));
    clearButton->setToolTip(QStringLiteral("Removes every marker line from the graph."));
    clearButton->setVisible(false);
    connect(clearButton, &QToolButton::clicked, this, &SpectrumGraphWidget::clearMarkers);
}

QAbstractButton* SpectrumGraphWidget::clearMarkersButton() const
{
    return clearButton;
}

void SpectrumGraphWidget::setStale(bool isStale)
{
    if (stale == isStale)
        return;
    stale = isStale;
    update();
}

void SpectrumGraphWidget::clearMarkers()
{
    pointer.clearMarkers();
    showMarkerButton();
    update();
}

void SpectrumGraphWidget::showMarkerButton()
{
    clearButton->adjustSize();
    clearButton->move(width() - clearButton->width() - kButtonMargin, kButtonMargin);
    clearButton->setVisible(pointer.markerCount() > 0 && pointer.drag() == lt::GraphDrag::None);
}

QString SpectrumGraphWidget::valueUnit() const
{
    return type == lt::CurveType::WhiteSignal ? QStringLiteral("counts") : QStringLiteral("%");
}

double SpectrumGraphWidget::valueOfHeight(double height) const
{
    if (type == lt::CurveType::WhiteSignal)
        return height * lt::whiteSignalFullScale(spectrometer);
    return lt::remissionStepsOfHeight(height) / lt::kRemissionStepsPerPercent;
}

QString SpectrumGraphWidget::markerReading(int slot) const
{
    if (slot < 0 || slot >= lt::kGraphMarkerSlots)
        return {};
    const lt::GraphMarker& marker = pointer.markers()[static_cast<std::size_t>(slot)];
    const int decimals = type == lt::CurveType::WhiteSignal ? 0 : 1;
    auto valueText = [&](double height) {
        return QString::number(valueOfHeight(height), 'f', decimals) + QLatin1Char(' ') +
            valueUnit();
    };
    if (marker.isHorizontal())
        return valueText(marker.place);
    if (!marker.isVertical())
        return {};
    QString text = QString::number(marker.place, 'f', 0) + QStringLiteral(" nm");
    if (const auto height = lt::curveHeightAtX(points, marker.x, view))
        text += QStringLiteral("  ") + valueText(*height);
    return text;
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
    pointer.followViewport(view);
    showMarkerButton();
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

    // The units at the ends of the axes.
    const QString wavelengthUnit = QStringLiteral("nm");
    painter.drawText(plot.right() - metrics.horizontalAdvance(wavelengthUnit),
        plot.baseline() + 2 * metrics.height(), wavelengthUnit);
    painter.drawText(kZoomTextX + metrics.horizontalAdvance(QStringLiteral("Zoom")) + kLabelGap,
        metrics.ascent() + 1, QStringLiteral("[%1]").arg(valueUnit()));

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

    paintMarkers(painter);

    if (points.size() >= 2) {
        const lt::PlotArea plot = view.plot;
        painter.setClipRect(QRect(plot.left, plot.top, plot.width + 1, plot.height + 1));
        painter.setRenderHint(QPainter::Antialiasing);
        QPolygon polyline;
        polyline.reserve(static_cast<int>(points.size()));
        for (const lt::CurvePoint& point : points)
            polyline << QPoint(point.x, point.y);
        painter.setPen(QPen(stale ? kStaleCurveColour : kCurveColour, kPenWidth));
        painter.drawPolyline(polyline);
        painter.setClipping(false);
    }
    if (stale) {
        const QString note = QString::fromLatin1(kStaleNote);
        const QFontMetrics metrics = painter.fontMetrics();
        const QRect box(view.plot.left + kLabelGap, metrics.height() + kLabelGap,
            metrics.horizontalAdvance(note) + 2 * kMarkerTextGap,
            metrics.height() + kMarkerTextGap);
        painter.fillRect(box, QColor(255, 235, 235));
        painter.setPen(QColor(176, 0, 0));
        painter.drawText(box, Qt::AlignCenter, note);
    }
}

void SpectrumGraphWidget::paintMarkers(QPainter& painter) const
{
    const QFontMetrics metrics = painter.fontMetrics();
    for (int slot = 0; slot < lt::kGraphMarkerSlots; ++slot) {
        const lt::GraphMarker& marker = pointer.markers()[static_cast<std::size_t>(slot)];
        if (marker.isFree())
            continue;
        painter.setPen(QPen(Qt::black, kPenWidth));
        QPoint textAt;
        const QString reading = markerReading(slot);
        const int textWidth = metrics.horizontalAdvance(reading);
        if (marker.isVertical()) {
            painter.drawLine(marker.x, 0, marker.x, height());
            // Beside the line, on the side with room, below the top.
            const int left = marker.x + kMarkerTextGap + textWidth < width()
                ? marker.x + kMarkerTextGap
                : marker.x - kMarkerTextGap - textWidth;
            textAt = QPoint(left, 2 * metrics.height() + kLabelGap + slot % 3 * metrics.height());
        } else {
            painter.drawLine(0, marker.y, width(), marker.y);
            const int top = marker.y - kMarkerTextGap - metrics.descent() > metrics.ascent()
                ? marker.y - kMarkerTextGap - metrics.descent()
                : marker.y + kMarkerTextGap + metrics.ascent();
            textAt = QPoint(view.plot.right() - textWidth - kMarkerTextGap, top);
        }
        const QRect back(
            textAt.x() - 1, textAt.y() - metrics.ascent(), textWidth + 2, metrics.height());
        painter.fillRect(back, kMarkerTextBackground);
        painter.setPen(Qt::black);
        painter.drawText(textAt, reading);
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
    showMarkerButton();
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
    showMarkerButton();
    update();
}
