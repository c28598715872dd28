#include "ui/charts/DifferenceLegend.h"

#include <QLinearGradient>
#include <QPainter>

#include "core/charts/DifferenceScale.h"

namespace lt {

namespace {

constexpr int kBarLines = 18; // the bar's width in lines of text
constexpr const char* kNotComparedText = "not compared";

QColor qColor(const PatchRgb& rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

DifferenceLegend::DifferenceLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName("DifferenceLegend");
}

void DifferenceLegend::setCaption(const QString& caption)
{
    text = caption;
    update();
}

QSize DifferenceLegend::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const int scale = metrics.horizontalAdvance(QStringLiteral("0")) + line * (kBarLines + 4) +
        metrics.horizontalAdvance(kNotComparedText);
    return {std::max(scale, metrics.horizontalAdvance(text)) + line, 3 * line + line / 2};
}

void DifferenceLegend::paintInto(QPainter& painter, const QRect& rect) const
{
    // Every length in lines of the painter's font, so that the legend looks
    // the same in the window and on paper.
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    const int gap = line / 2;
    const int margin = metrics.horizontalAdvance(QStringLiteral("00")) / 2; // for the "0" label
    painter.setPen(Qt::black);
    painter.drawText(
        QRect(rect.left(), rect.top(), rect.width(), line), Qt::AlignLeft | Qt::AlignVCenter, text);

    // The bar: the colour scale from the first to the last stop.
    const int barWidth = line * kBarLines;
    const double top = kDifferenceStops.back().deltaE;
    const QRect bar(rect.left() + margin, rect.top() + line, barWidth, line * 7 / 8);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (const DifferenceStop& stop : kDifferenceStops)
        gradient.setColorAt(stop.deltaE / top, qColor(stop.color));
    painter.fillRect(bar, gradient);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    for (const DifferenceStop& stop : kDifferenceStops) {
        const int x = bar.left() + static_cast<int>(stop.deltaE / top * (bar.width() - 1));
        painter.drawLine(x, bar.bottom(), x, bar.bottom() + line / 4);
        QString label = QString::number(stop.deltaE, 'f', 0);
        if (&stop == &kDifferenceStops.back())
            label += "+";
        const int labelWidth = metrics.horizontalAdvance(label);
        painter.drawText(QRect(x - labelWidth, bar.bottom() + line / 4, 2 * labelWidth, line),
            Qt::AlignCenter, label);
    }

    // Patches without a partner or without a measurement.
    const QRect swatch(bar.right() + 2 * line, bar.top(), bar.height(), bar.height());
    painter.fillRect(swatch, qColor(kNotComparedGround));
    painter.fillRect(swatch, QBrush(qColor(kNotComparedHatch), Qt::BDiagPattern));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.drawText(QRect(swatch.right() + gap, swatch.top() - line, rect.right() - swatch.right(),
                         swatch.height() + 2 * line),
        Qt::AlignLeft | Qt::AlignVCenter, kNotComparedText);
}

void DifferenceLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintInto(painter, rect());
}

} // namespace lt
