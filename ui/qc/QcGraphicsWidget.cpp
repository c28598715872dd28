#include "ui/qc/QcGraphicsWidget.h"

#include <QPainter>

namespace {

constexpr int kMinimumWidth = 420; // [px]
constexpr int kMinimumHeight = 360;
constexpr int kPreferredWidth = 520;
constexpr int kPreferredHeight = 440;
constexpr int kLabelBox = 40; // [px] room given to a label around its anchor

QColor colorOf(const lt::QcRgb& rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

void paintQcDrawing(QPainter& painter, const lt::QcDrawing& drawing)
{
    for (const lt::QcFill& fill : drawing.fills)
        painter.fillRect(fill.left, fill.top, fill.width, fill.height, colorOf(fill.color));
    for (const lt::QcLine& line : drawing.lines) {
        painter.setPen(colorOf(line.color));
        painter.drawLine(line.x1, line.y1, line.x2, line.y2);
    }
    painter.setPen(Qt::black);
    const int textHeight = painter.fontMetrics().height();
    for (const lt::QcLabel& label : drawing.labels) {
        const QString text = QString::fromLatin1(label.text.c_str());
        QRect box(label.x, label.y - textHeight / 2, kLabelBox, textHeight);
        Qt::Alignment alignment = Qt::AlignLeft;
        if (label.anchor == lt::QcAnchor::Right) {
            box.moveRight(label.x);
            alignment = Qt::AlignRight;
        } else if (label.anchor == lt::QcAnchor::Centre) {
            box.moveLeft(label.x - kLabelBox / 2);
            alignment = Qt::AlignHCenter;
        }
        painter.drawText(box, alignment | Qt::AlignVCenter, text);
    }
}

QcGraphicsWidget::QcGraphicsWidget(std::function<lt::QcGraphicsState()> state, QWidget* parent)
    : QWidget(parent), currentState(std::move(state))
{
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QcGraphicsWidget::setPicture(const QImage& image)
{
    picture = image;
    scaledPicture = QImage();
    update();
}

lt::QcGraphicsLayout QcGraphicsWidget::layout() const
{
    return lt::qcGraphicsLayout(width(), height());
}

QSize QcGraphicsWidget::sizeHint() const
{
    return {kPreferredWidth, kPreferredHeight};
}

void QcGraphicsWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const lt::QcGraphicsLayout frames = layout();
    if (!picture.isNull()) {
        const lt::QcFrame& plane = frames.plane;
        const QSize size(plane.width() + 1, plane.height() + 1);
        // Scaled once per size: every sample repaints the plane.
        if (scaledPicture.size() != size)
            scaledPicture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(QPoint(plane.left, plane.top), scaledPicture);
    }
    paintQcDrawing(painter, lt::qcGraphicsDrawing(frames, currentState()));
}
