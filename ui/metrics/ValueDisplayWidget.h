#pragma once
// The painted top of the colour metrics page: the title and the three boxes
// with the newest sample's values in large type. The display scales with
// the page's width (boxes, type and height together), so its texts stay
// whole from the smallest window to a 4K screen.
#include <functional>

#include <QWidget>

#include "core/metrics/ValueDisplay.h"

namespace lt {

class ValueDisplayWidget : public QWidget {
    Q_OBJECT
public:
    using ContentSource = std::function<ValueDisplayContent()>;

    explicit ValueDisplayWidget(ContentSource source, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // Where box i (0 ... 2) is drawn at the current width.
    QRect boxRect(int box) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ContentSource content;
};

} // namespace lt
