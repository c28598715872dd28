#pragma once
// The spectrum graph of the instrument page: the latest spectrum against
// wavelength with its axes, movable marker lines and rubber-band zoom, and
// the welcome picture until the first plot.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QImage>
#include <QString>
#include <QWidget>

#include "core/graph/SpectrumGraphGeometry.h"
#include "core/graph/SpectrumGraphMouse.h"

class SpectrumGraphWidget : public QWidget {
    Q_OBJECT
public:
    // Told the path of a welcome picture that cannot be opened.
    using MissingPictureReport = std::function<void(const QString& path)>;

    // Reads the welcome picture from picturePath; a missing file is reported
    // through report (by default a message box), an unusable one silently
    // leaves the graph white.
    explicit SpectrumGraphWidget(
        const QString& picturePath, QWidget* parent = nullptr, MissingPictureReport report = {});

    // A Lumatrak or Spectrolino sample: graph ordinates, fullOrdinate = 100 %.
    void showRemission(std::span<const std::uint16_t> ordinates, double fullOrdinate);
    // The spectrometer: type WhiteSignal or SpectrometerRemission over the
    // wavelength window [firstWavelength, lastWavelength].
    void showSpectrometer(lt::CurveType type, const lt::SpectrometerCounts& counts,
        double firstWavelength, double lastWavelength);

    bool isZoomed() const { return zoomed; }
    // Ends a zoom and shows the full range again (right click, key press).
    void endZoom();

    bool showsWelcomePicture() const { return !welcome.isNull() && !plotted; }
    bool hasWelcomePicture() const { return !welcome.isNull(); }
    lt::CurveType curveType() const { return type; }
    const std::vector<lt::CurvePoint>& curve() const { return points; }
    const lt::SpectrumGraphMouse& mouse() const { return pointer; }
    const lt::GraphViewport& viewport() const { return view; }
    lt::PlotArea plotArea() const;

Q_SIGNALS:
    void zoomChanged(bool zoomed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void prepareCurve();
    lt::GraphViewport fullViewport() const;
    void paintAxes(class QPainter& painter) const;

    QImage welcome;
    bool plotted = false;
    lt::CurveType type = lt::CurveType::Remission;
    std::vector<std::uint16_t> ordinates;
    double fullOrdinate = lt::kOrdinateFullRemission;
    std::vector<std::uint16_t> sampleCounts, darkCounts, whiteCounts;
    lt::SpectrometerCounts spectrometer;
    double firstWavelength = lt::kRemissionFirstWavelength; // [nm]
    double lastWavelength = 730.0; // [nm]
    bool zoomed = false;
    lt::GraphViewport view;
    std::vector<lt::CurvePoint> points;
    lt::SpectrumGraphMouse pointer;
};
