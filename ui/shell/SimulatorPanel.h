#pragma once
// A strip above the tabs, present only when a port is attached to the
// built-in simulator: which model answers on which port (and, when the
// instrument page measures on another port, that it does), the sample under the
// instrument's head and the instrument's own measurement key, the things an
// operator reaches for while trying the program without an instrument. It
// follows changes made in the "Simulator" menu.
#include <QWidget>

#include "sim/include/ltsim/Simulator.h"

class QComboBox;
class QLabel;
class QPushButton;
class SimulatorControl;

class SimulatorPanel : public QWidget {
    Q_OBJECT
public:
    SimulatorPanel(SimulatorControl& control, QWidget* parent = nullptr);

    QComboBox* sampleBox() const { return samples; }
    QPushButton* keyButton() const { return key; }
    QLabel* modelLabel() const { return model; }

    // The port the instrument page measures on (1 ... 4).
    void showPagePort(int portNumber);

private:
    void showSample(const QString& name);
    void showModel(ltsim::DeviceKind kind);
    void showDrivenPort();

    SimulatorControl& simulator;
    int pagePort = 0;
    QLabel* model;
    QComboBox* samples;
    QPushButton* key;
};
