#pragma once
// The scale under a chart whose patches show their colour difference to a
// compared chart: the colours from no difference to 10 and more, with the
// values of the stops, the formula and the reference's name, and the hatched
// box of patches that were not compared.
#include <QWidget>

namespace lt {

class DifferenceLegend : public QWidget {
    Q_OBJECT
public:
    explicit DifferenceLegend(QWidget* parent = nullptr);

    // "dE00 against reference.ti3".
    void setCaption(const QString& caption);
    QString caption() const { return text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Paints the legend into rect of painter (the window and the printout).
    void paintInto(QPainter& painter, const QRect& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text;
};

} // namespace lt
