#pragma once
// The patches of the open chart, each painted in the colour of its last
// measurement (white while unmeasured), with the grid's column and row
// labels and the mark on the patch the next measurement fills. A click on a
// patch makes it the next target. A measured patch repaints only itself and
// the patch the mark moved to.
#include <string>
#include <vector>

#include <QWidget>

#include "core/charts/ChartGeometry.h"

namespace lt {

class ChartSession;

class ChartPatchView : public QWidget {
    Q_OBJECT
public:
    explicit ChartPatchView(ChartSession& session, QWidget* parent = nullptr);

    // Repaints one patch (or the end cell) after its values or the mark changed.
    void repaintPatch(int patch);
    // Where patch is drawn, in this widget's coordinates (the end cell for the patch count).
    QRect patchRect(int patch) const;
    // "B03  C40M20Y0K0   X 21.30  Y 18.02  Z 35.77": name, nominal values, measurement.
    std::string patchDescription(int patch) const;

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
    int pitch; // [px] one grid cell
    std::vector<PatchRect> rects;
};

} // namespace lt
