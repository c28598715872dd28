#pragma once
// A strip above the tabs, present only when a port is attached to the
// built-in simulator: the sample under the instrument's head and the
// instrument's own measurement key, the two things an operator reaches for
// while trying the program without an instrument.
#include <QWidget>

namespace ltsim {
class Simulator;
}

class QComboBox;
class QPushButton;

class SimulatorPanel : public QWidget {
    Q_OBJECT
public:
    SimulatorPanel(ltsim::Simulator& simulator, QWidget* parent = nullptr);

    QComboBox* sampleBox() const { return samples; }
    QPushButton* keyButton() const { return key; }

private:
    ltsim::Simulator& sim;
    QComboBox* samples;
    QPushButton* key;
};
