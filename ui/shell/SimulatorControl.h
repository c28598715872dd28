#pragma once
// The built-in simulator as the window's controls see it: the one place
// through which the "Simulator" menu and the simulator strip change the
// sample under the head and the answering instrument model, and which tells
// every control of the change, so that the menu's checks and the strip's
// choice always show the simulator's state.
#include <QObject>
#include <QString>

#include "sim/include/ltsim/Simulator.h"

class SimulatorControl : public QObject {
    Q_OBJECT
public:
    // portNumber: the port (1 ... 4) the simulator stands behind.
    SimulatorControl(ltsim::Simulator& simulator, int portNumber, QObject* parent = nullptr);

    // The models in the order of the instrument page's device types (0 ... 3).
    static int modelCount();
    static ltsim::DeviceKind modelOfDeviceType(int deviceType);
    static QString modelTitle(ltsim::DeviceKind model);

    int port() const { return portNumber; }
    QString sample() const;
    ltsim::DeviceKind model() const;

    // A named sample or an ink mixture ("C50M40Y40"); false for a name the
    // simulator does not know (the sample stays).
    bool setSample(const QString& name);
    void setModel(ltsim::DeviceKind model);
    // The instrument page's device type (0 ... 3) chooses the model; other
    // numbers are ignored.
    void followDeviceType(int deviceType);

    // The press that printed the samples: the standard one, or one with 10 %
    // more dot gain (a sheet to compare with a chart from the standard press).
    bool pressWithMoreDotGain() const;
    void setPressWithMoreDotGain(bool more);

    void pressKey();

    // The XY table (Lumatrak A): where the head stands, what lies under it
    // ("" for paper), jogs within the table's travel, a move over a named
    // patch of the chart on the table (false when it has none).
    ltsim::TablePosition headPosition() const;
    QString patchUnderHead() const;
    void jogHead(int dx, int dy);
    bool moveHeadOverPatch(const QString& name);
    // The chart that lies on the table, at the simulator's placement.
    ltsim::ChartKind chartOnTable() const;
    void setChartOnTable(ltsim::ChartKind kind);
    // The instrument drops the line before its next reply.
    void dropLine();
    // The line back after a drop: a fresh pseudo-terminal behind the same
    // port, so that the next "Init Device" reaches the instrument again.
    // False with the reason in *error when none could be opened.
    bool reconnect(QString* error = nullptr);

Q_SIGNALS:
    void sampleChanged(const QString& name);
    void modelChanged(ltsim::DeviceKind model);
    void chartOnTableChanged(ltsim::ChartKind kind);

private:
    ltsim::Simulator& sim;
    int portNumber;
};
