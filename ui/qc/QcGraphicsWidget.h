#pragma once
// The quality-control page's graphics: the dL bar, the L bar and the a*b*
// plane over its picture. It only paints: where everything goes comes from
// the core's geometry, what is shown from the page's logic.
#include <functional>

#include <QImage>
#include <QWidget>

#include "core/qc/QcPageGeometry.h"

class QPainter;

class QcGraphicsWidget : public QWidget {
    Q_OBJECT
public:
    // state: what to show at the moment of painting.
    explicit QcGraphicsWidget(
        std::function<lt::QcGraphicsState()> state, QWidget* parent = nullptr);

    // The a*b* picture under the plane (a null image: none).
    void setPicture(const QImage& image);
    bool hasPicture() const { return !picture.isNull(); }

    lt::QcGraphicsLayout layout() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<lt::QcGraphicsState()> currentState;
    QImage picture;
    QImage scaledPicture; // the picture at the plane's size
};

// Paints the primitives of a drawing: fills, then lines, then texts.
void paintQcDrawing(QPainter& painter, const lt::QcDrawing& drawing);
