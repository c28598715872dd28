#pragma once
// The "Simulator" menu of the main window, present only when a port is
// attached to the built-in simulator: which sample lies under the
// instrument's head, the instrument's own measurement key, a press with
// more dot gain for the prints, which instrument
// model answers, a dropped line to try the program's reaction and the line
// brought back ("Reconnect"). Its
// checks follow changes made in the simulator strip or on the instrument page.
#include <QMenu>

#include "sim/include/ltsim/Simulator.h"

class QActionGroup;
class SimulatorControl;

class SimulatorMenu : public QMenu {
    Q_OBJECT
public:
    SimulatorMenu(SimulatorControl& control, QWidget* parent = nullptr);

    // The instrument page's device type (0 ... 3) chooses the model that answers.
    void followDeviceType(int deviceType);

    QActionGroup* sampleActions() const { return samples; }
    QActionGroup* modelActions() const { return models; }

private:
    void askForInkSample();
    void reconnect();
    void showSample(const QString& name);
    void showModel(ltsim::DeviceKind kind);

    SimulatorControl& control;
    QActionGroup* samples;
    QActionGroup* models;
};
