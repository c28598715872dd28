#pragma once
// The simulated XY table's own controls, in a strip shown while the
// simulator answers as the Lumatrak A: where the head stands and what lies
// under it, four jog buttons (the arrow keys do the same while the strip
// has the focus, 5 table units a press, 50 with Shift) and "Move over
// patch...", so that a chart can be aligned by hand as on the real table.
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class SimulatorControl;

inline constexpr int kJogStep = 5; // [table units] an arrow key
inline constexpr int kLongJogStep = 50; // [table units] an arrow key with Shift

// Asks for a patch name of the chart on the table and moves the head over
// it; tells the operator when the chart has no such patch.
void askAndMoveHeadOverPatch(SimulatorControl& control, QWidget* parent);

class SimulatorTablePanel : public QWidget {
    Q_OBJECT
public:
    SimulatorTablePanel(SimulatorControl& control, QWidget* parent = nullptr);

    QLabel* headLabel() const { return head; }
    QPushButton* moveOverPatchButton() const { return moveOverPatch; }

    // Reads the head position anew (the program moves the head too).
    void showHead();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void jog(int dx, int dy);

    SimulatorControl& simulator;
    QLabel* head;
    QPushButton* moveOverPatch;
    QTimer* follow;
};
