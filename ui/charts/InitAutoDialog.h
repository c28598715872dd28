#pragma once
// The "InitAuto" dialog of an automatic chart run: the operator steers the
// table's head over the three corner patches named beside Set P1, Set P2 and
// Set P3 and presses each, then Start (accepted when the corners make a
// chart) or Cancel. The position read at each corner is shown beside it.
// The dialog leaves the other windows usable, so that the table's own
// controls (on the simulator, its strip) stay in reach; its close box does
// nothing, only Start and Cancel end it.
#include <QDialog>

class QLabel;
class QPushButton;

namespace lt {

class ChartAlignment;

class InitAutoDialog : public QDialog {
    Q_OBJECT
public:
    InitAutoDialog(ChartAlignment& alignment, QWidget* parent = nullptr);

    // Shows the dialog and waits (serving events) for Start or Cancel: true
    // when Start accepted the alignment.
    bool run();

    QPushButton* setButton(int corner) const { return setButtons[corner]; }
    QPushButton* startButton() const { return start; }
    QPushButton* cancelButton() const { return cancel; }
    QLabel* cornerLabel(int corner) const { return cornerLabels[corner]; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setCorner(int corner);
    void showCorners();

    ChartAlignment& alignment;
    QPushButton* setButtons[3] {};
    QLabel* cornerLabels[3] {};
    QPushButton* start = nullptr;
    QPushButton* cancel = nullptr;
};

} // namespace lt
