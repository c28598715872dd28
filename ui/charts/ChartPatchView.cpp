#include "ui/charts/ChartPatchView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include "core/charts/ChartCompareLogic.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/charts/ChartSession.h"
#include "core/charts/DifferenceScale.h"
#include "core/common/NumberText.h"

namespace lt {

namespace {

// Grid cells large enough to judge a patch's colour; the IT8.7/3 chart with
// its 38 x 26 cells still fits a 1280 x 1024 screen with the dialog around it.
constexpr int kIt873Pitch = 27; // [px]
constexpr int kTqPitch = 42; // [px]
constexpr int kLabelMargin = 26; // [px] room for the row and column labels
constexpr QColor kBackground {236, 236, 236};
const QColor kNotCompared(
    kNotComparedGround.red, kNotComparedGround.green, kNotComparedGround.blue);
const QColor kHatch(kNotComparedHatch.red, kNotComparedHatch.green, kNotComparedHatch.blue);

QRect toQRect(const PatchRect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

} // namespace

ChartPatchView::ChartPatchView(ChartSession& session, QWidget* parent)
    : QWidget(parent), chart(session), pitch(session.type() == ChartIt873 ? kIt873Pitch : kTqPitch),
      rects(chartPatchRects(session.type(), kLabelMargin, kLabelMargin, pitch))
{
    setObjectName("ChartPatches");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

QSize ChartPatchView::sizeHint() const
{
    int right = 0, bottom = 0;
    for (const PatchRect& r : rects) {
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
    }
    return {right + pitch / 2, bottom + pitch / 4};
}

QSize ChartPatchView::minimumSizeHint() const
{
    return sizeHint();
}

QRect ChartPatchView::patchRect(int patch) const
{
    if (patch < 0 || patch >= static_cast<int>(rects.size()))
        return {};
    return toQRect(rects[static_cast<std::size_t>(patch)]);
}

void ChartPatchView::repaintPatch(int patch)
{
    const QRect rect = patchRect(patch);
    if (!rect.isNull())
        update(rect);
}

std::string ChartPatchView::patchDescription(int patch) const
{
    const bool rgb = chart.description().deviceChannels == 3;
    const char* channels[] = {rgb ? "R" : "C", rgb ? "G" : "M", rgb ? "B" : "Y", "K"};
    const DeviceValues nominal = ChartReferenceTable(chart.type())[static_cast<std::size_t>(patch)];
    std::string text = chart.names().name(patch) + "  ";
    for (int k = 0; k < chart.description().deviceChannels; ++k)
        text += std::string(channels[k]) + formatFixed(nominal[k], 0);
    const Triple xyz = chart.tables().entry(patch).xyz;
    text += "   X " + formatFixed(xyz[0], 2) + "  Y " + formatFixed(xyz[1], 2) + "  Z " +
        formatFixed(xyz[2], 2);
    if (differences) {
        const std::optional<double> difference = differences->patchDifference(patch);
        text += "  " + std::string(deltaEFormulaName(differences->comparison().formula)) + " " +
            (difference ? formatFixed(*difference, 2) : std::string("not compared"));
    }
    return text;
}

void ChartPatchView::showDifferences(const ChartCompareLogic* comparison)
{
    differences = comparison;
    update();
}

QColor ChartPatchView::shownColor(int patch) const
{
    if (differences) {
        const std::optional<double> difference = differences->patchDifference(patch);
        if (!difference)
            return kNotCompared;
        const PatchRgb colour = differenceColor(*difference);
        return QColor(colour.red, colour.green, colour.blue);
    }
    const PatchRgb colour = chart.colorOf(patch);
    return QColor(colour.red, colour.green, colour.blue);
}

void ChartPatchView::paintPatch(QPainter& painter, int patch) const
{
    painter.fillRect(patchRect(patch), shownColor(patch));
    if (differences && !differences->patchDifference(patch))
        painter.fillRect(patchRect(patch), QBrush(kHatch, Qt::BDiagPattern));
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(patchRect(patch).adjusted(0, 0, -1, -1));
}

void ChartPatchView::paintLabels(QPainter& painter) const
{
    painter.setPen(Qt::black);
    const ChartDescription& description = chart.description();
    for (int column = 0; column < description.screenColumns; ++column)
        painter.drawText(QRect(kLabelMargin + column * pitch, 0, pitch, kLabelMargin),
            Qt::AlignCenter, QString::number(column + 1));
    for (int row = 0; row < description.screenRows; ++row)
        painter.drawText(QRect(0, kLabelMargin + row * pitch, kLabelMargin - 4, pitch),
            Qt::AlignRight | Qt::AlignVCenter, QString(QChar('A' + row)));
}

void ChartPatchView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), kBackground);
    paintLabels(painter);
    const QRegion region = event->region();
    for (int i = 0; i < chart.patchCount(); ++i)
        if (region.intersects(patchRect(i)))
            paintPatch(painter, i);

    const int current = chart.currentPatch();
    if (!markShown || current < 0 || current > chart.patchCount())
        return;
    const PatchMark mark = patchMark(rects[static_cast<std::size_t>(current)]);
    painter.fillRect(toQRect(mark.black), Qt::black);
    painter.fillRect(toQRect(mark.white), Qt::white);
}

void ChartPatchView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const int before = chart.currentPatch();
    const int hit = hitPatch(rects, chart.patchCount(), at.x(), at.y());
    chart.selectPatch(hit);
    repaintPatch(before);
    repaintPatch(hit);
    Q_EMIT patchChosen(hit);
}

bool ChartPatchView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int patch = hitPatch(rects, chart.patchCount(), help->pos().x(), help->pos().y());
    if (patch < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(
        help->globalPos(), QString::fromStdString(patchDescription(patch)), this, patchRect(patch));
    return true;
}

} // namespace lt
