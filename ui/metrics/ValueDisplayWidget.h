#pragma once
// The painted top of the colour metrics page: the title and the three boxes
// with the newest sample's values in large type.
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ContentSource content;
};

} // namespace lt
