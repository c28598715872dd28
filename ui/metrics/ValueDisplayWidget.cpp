#include "ui/metrics/ValueDisplayWidget.h"

#include <algorithm>

#include <QPainter>
#include <QResizeEvent>

namespace lt {

namespace {

constexpr const char* kTitle = "Colour Densitometer";
constexpr QPoint kTitlePosition {10, 7};
const QColor kBoxFill {240, 240, 235};
// The display needs room for three boxes and the title above them.
constexpr int kPreferredWidth = 620;
constexpr int kMinimumWidth = 560;
constexpr int kSmallestValueSize = 12; // [pixel] font size a long value may shrink to

// The large font, made smaller when text (a long spot name) would run out
// of its box.
QFont fittingFont(QFont font, const QString& text, int room)
{
    while (
        font.pixelSize() > kSmallestValueSize && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 2);
    return font;
}

// The page's font grown by the display's scale (titles and labels).
QFont scaledFont(QFont font, double scale)
{
    if (scale <= 1.0)
        return font;
    if (font.pixelSize() > 0)
        font.setPixelSize(static_cast<int>(font.pixelSize() * scale));
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

} // namespace

ValueDisplayWidget::ValueDisplayWidget(ContentSource source, QWidget* parent)
    : QWidget(parent), content(std::move(source))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QSize ValueDisplayWidget::sizeHint() const
{
    return {kPreferredWidth, heightForWidth(kPreferredWidth)};
}

QSize ValueDisplayWidget::minimumSizeHint() const
{
    return {kMinimumWidth, heightForWidth(kMinimumWidth)};
}

int ValueDisplayWidget::heightForWidth(int width) const
{
    return valueDisplayGeometry(width).height;
}

QRect ValueDisplayWidget::boxRect(int box) const
{
    const ValueDisplayGeometry geometry = valueDisplayGeometry(width());
    return {geometry.boxLeft[static_cast<std::size_t>(box)], geometry.boxTop, geometry.boxWidth,
        geometry.boxHeight};
}

void ValueDisplayWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A layout that ignores the height for the width still gets the whole
    // display: the widget asks for the height it needs at its new width.
    const int needed = heightForWidth(event->size().width());
    if (minimumHeight() != needed)
        setFixedHeight(needed);
}

void ValueDisplayWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ValueDisplayGeometry geometry = valueDisplayGeometry(width());
    const QFont labelFont = scaledFont(font(), geometry.scale);
    const QFontMetrics labelMetrics(labelFont);
    painter.setFont(labelFont);
    painter.drawText(static_cast<int>(kTitlePosition.x() * geometry.scale),
        static_cast<int>(kTitlePosition.y() * geometry.scale) + labelMetrics.ascent(), kTitle);

    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < 3; ++i) {
        const QRect box = boxRect(i);
        painter.fillRect(box, kBoxFill);
        painter.drawRect(box);
    }

    const ValueDisplayContent shown = content ? content() : ValueDisplayContent {};
    QFont valueFont = font();
    valueFont.setPixelSize(geometry.valueFontHeight);
    const QFontMetrics valueMetrics(valueFont);
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < 3; ++i) {
        painter.setFont(labelFont);
        painter.drawText(geometry.textLeft[i], geometry.labelTop + labelMetrics.ascent(),
            QString::fromLatin1(shown.labels[i].c_str()));
        if (!shown.valuesShown)
            continue;
        const QString value = QString::fromLatin1(shown.values[i].c_str());
        const QFont fitted = fittingFont(valueFont, value, geometry.textRoom);
        painter.setFont(fitted);
        const bool lowered = i == 2 && shown.thirdValueLowered;
        const int top = geometry.valueTop + (lowered ? geometry.loweredValueDrop : 0);
        // A lowered name with descenders still ends above the box's edge.
        const int lowestBaseline = geometry.boxBottom - 1 - QFontMetrics(fitted).descent();
        painter.drawText(geometry.textLeft[i],
            std::min(top + valueMetrics.ascent() - valueMetrics.descent(), lowestBaseline), value);
    }
}

} // namespace lt
