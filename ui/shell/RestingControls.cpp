#include "ui/shell/RestingControls.h"

#include <QVariant>
#include <QWidget>

namespace {
// Where a resting control keeps its own tooltip.
constexpr const char* kOwnToolTip = "ltOwnToolTip";
} // namespace

void restControls(const QList<QWidget*>& controls, const QString& why)
{
    for (QWidget* control : controls) {
        if (!control->property(kOwnToolTip).isValid())
            control->setProperty(kOwnToolTip, control->toolTip());
        control->setEnabled(false);
        control->setToolTip(why);
    }
}

void releaseControls(const QList<QWidget*>& controls)
{
    for (QWidget* control : controls) {
        const QVariant own = control->property(kOwnToolTip);
        if (!own.isValid())
            continue;
        control->setToolTip(own.toString());
        control->setProperty(kOwnToolTip, QVariant());
    }
}
