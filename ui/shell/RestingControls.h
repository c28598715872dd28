#pragma once
// Controls that would start an exchange with the instrument rest while
// another one runs: disabled, with a tooltip that says why. Their own
// tooltips come back when they are released; their enabled state is then
// the owner's to set again.
#include <QList>
#include <QString>

class QWidget;

void restControls(const QList<QWidget*>& controls, const QString& why);
void releaseControls(const QList<QWidget*>& controls);
