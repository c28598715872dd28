#pragma once
// The spectrum graph of the instrument page: the latest spectrum against
// wavelength with its axes (which name their units), movable marker lines
// that read the wavelength and value under them and keep their wavelength
// through zoom and resize, rubber-band zoom, and the welcome picture until
// the first plot. A curve whose measurement was followed by a failed one is
// drawn grey as "previous sample".
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QImage>
#include <QString>
#include <QWidget>

class QAbstractButton;

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
    // The last measurement failed: the curve shown is the previous sample's.
    void setStale(bool stale);
    bool isStale() const { return stale; }
    // Removes every marker ("Clear markers").
    void clearMarkers();
    QAbstractButton* clearMarkersButton() const;
    // What a marker reads: "550 nm  48.3 %" (vertical: wavelength and the
    // curve's value there), "48.3 %" (horizontal); empty for a free slot.
    QString markerReading(int slot) const;
    // The value axis' unit: "%" for remission, "counts" for the white signal.
    QString valueUnit() const;
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
    void paintMarkers(class QPainter& painter) const;
    // The value shown at a height share of the plot, in valueUnit().
    double valueOfHeight(double height) const;
    void showMarkerButton();

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
    bool stale = false;
    class QToolButton* clearButton = nullptr;
};
