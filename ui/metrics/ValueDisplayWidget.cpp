#include "ui/metrics/ValueDisplayWidget.h"

#include <QPainter>

namespace lt {

namespace {

constexpr const char* kTitle = "Colour Densitometer";
constexpr QPoint kTitlePosition {10, 7};
const QColor kBoxFill {240, 240, 235};
// The display needs room for three boxes and the title above them.
constexpr int kPreferredWidth = 620;
constexpr int kMinimumWidth = 560;
constexpr int kBottomMargin = 8;
constexpr int kSmallestValueSize = 12; // [pixel] font size a long value may shrink to

// The large font, made smaller when text (a long spot name) would run out
// of its box.
QFont fittingFont(QFont font, const QString& text)
{
    const int room = ValueDisplayGeometry::kBoxWidth - 2 * ValueDisplayGeometry::kTextIndent;
    while (
        font.pixelSize() > kSmallestValueSize && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 2);
    return font;
}

} // namespace

ValueDisplayWidget::ValueDisplayWidget(ContentSource source, QWidget* parent)
    : QWidget(parent), content(std::move(source))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ValueDisplayWidget::sizeHint() const
{
    return {kPreferredWidth, valueDisplayGeometry(kPreferredWidth).boxBottom + kBottomMargin};
}

QSize ValueDisplayWidget::minimumSizeHint() const
{
    return {kMinimumWidth, valueDisplayGeometry(kMinimumWidth).boxBottom + kBottomMargin};
}

void ValueDisplayWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont pageFont = font();
    const QFontMetrics pageMetrics(pageFont);
    painter.drawText(kTitlePosition.x(), kTitlePosition.y() + pageMetrics.ascent(), kTitle);

    const ValueDisplayGeometry geometry = valueDisplayGeometry(width());
    painter.setPen(palette().color(QPalette::WindowText));
    for (int left : geometry.boxLeft) {
        const QRect box(left, geometry.boxBottom - ValueDisplayGeometry::kBoxHeight,
            ValueDisplayGeometry::kBoxWidth, ValueDisplayGeometry::kBoxHeight);
        painter.fillRect(box, kBoxFill);
        painter.drawRect(box);
    }

    const ValueDisplayContent shown = content ? content() : ValueDisplayContent {};
    QFont valueFont = pageFont;
    valueFont.setPixelSize(ValueDisplayGeometry::kValueFontHeight);
    const QFontMetrics valueMetrics(valueFont);
    painter.setPen(Qt::black);
    for (int i = 0; i < 3; ++i) {
        painter.setFont(pageFont);
        painter.drawText(geometry.textLeft[i], geometry.labelTop + pageMetrics.ascent(),
            QString::fromLatin1(shown.labels[i].c_str()));
        if (!shown.valuesShown)
            continue;
        const QString value = QString::fromLatin1(shown.values[i].c_str());
        painter.setFont(fittingFont(valueFont, value));
        const bool lowered = i == 2 && shown.thirdValueLowered;
        const int top = geometry.valueTop + (lowered ? ValueDisplayGeometry::kLoweredValueDrop : 0);
        painter.drawText(
            geometry.textLeft[i], top + valueMetrics.ascent() - valueMetrics.descent(), value);
    }
}

} // namespace lt
