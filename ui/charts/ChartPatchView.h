#pragma once
// The patches of the open chart, each painted in the colour of its last
// measurement (white while unmeasured), with the grid's column and row
// labels and the mark on the patch the next measurement fills. A click on a
// patch makes it the next target. A measured patch repaints only itself and
// the patch the mark moved to. While a comparison with another chart is
// shown, each patch is painted in the colour of its difference instead
// (hatched where it was not compared).
#include <string>
#include <vector>

#include <QWidget>

#include "core/charts/ChartGeometry.h"

namespace lt {

class ChartCompareLogic;
class ChartSession;

class ChartPatchView : public QWidget {
    Q_OBJECT
public:
    explicit ChartPatchView(ChartSession& session, QWidget* parent = nullptr);

    // Repaints one patch (or the end cell) after its values or the mark changed.
    void repaintPatch(int patch);
    // Where patch is drawn, in this widget's coordinates (the end cell for the patch count).
    QRect patchRect(int patch) const;
    // "B03  C40M20Y0K0   X 21.30  Y 18.02  Z 35.77": name, nominal values,
    // measurement, and "  dE00 1.23" while differences are shown.
    std::string patchDescription(int patch) const;

    // Paints the patches by their difference in comparison (not owned), or
    // by their measured colours again for null.
    void showDifferences(const ChartCompareLogic* comparison);
    bool showsDifferences() const { return differences != nullptr; }
    // The mark of the next patch is left out of printed charts.
    void setMarkShown(bool shown) { markShown = shown; }
    // The colour patch is painted in now (hatched patches: their ground).
    QColor shownColor(int patch) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The operator clicked: the mark now stands on patch (-1: on none).
    void patchChosen(int patch);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void paintPatch(QPainter& painter, int patch) const;
    void paintLabels(QPainter& painter) const;

    ChartSession& chart;
    const ChartCompareLogic* differences = nullptr;
    bool markShown = true;
    int pitch; // [px] one grid cell
    std::vector<PatchRect> rects;
};

} // namespace lt
