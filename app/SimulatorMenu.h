#pragma once
// The "Simulator" menu of the main window, present only when a port is
// attached to the built-in simulator: which sample lies under the
// instrument's head, the instrument's own measurement key, which instrument
// model answers, and a dropped line to try the program's reaction.
#include <QMenu>

namespace ltsim {
class Simulator;
}

class QActionGroup;

class SimulatorMenu : public QMenu {
    Q_OBJECT
public:
    SimulatorMenu(ltsim::Simulator& simulator, QWidget* parent = nullptr);

    // The instrument page's device type (0 ... 3) chooses the model that answers.
    void followDeviceType(int deviceType);

private:
    void chooseSample(const QString& name);
    void askForInkSample();

    ltsim::Simulator& sim;
    QActionGroup* samples;
    QActionGroup* models;
};
