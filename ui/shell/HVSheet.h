#pragma once
// The main window: a sheet of four tabs, "Spectrum", "Color Metrics",
// "Quality Control" and "Service", under the program's title. Every page is
// created with the sheet, so a measurement taken before a tab was first
// shown still reaches it. A key press anywhere in the program ends a zoom of
// the spectrum graph, as a right click in the graph does.
#include <QWidget>

#include "core/instrument_page/InstrumentController.h"

class CTaviLight;
class QC;
class QIcon;
class QTabWidget;
class SimulatorMenu;
class SimulatorPanel;

namespace lt {
class Workstation;
}
namespace ltsim {
class Simulator;
}

inline constexpr const char* kMainWindowTitle = "Huevia-NOVU    LtrakW    V1.433";

class CHVSheet : public QWidget {
    Q_OBJECT
public:
    // simulator: the built-in simulator behind a port, for the "Simulator"
    // menu and panel (null: neither). beeper: where the beeps go (empty: sound card).
    explicit CHVSheet(lt::Workstation& workstation, ltsim::Simulator* simulator = nullptr,
        lt::InstrumentController::Beeper beeper = {}, QWidget* parent = nullptr);
    ~CHVSheet() override;

    QTabWidget* tabs() const { return pages; }
    CTaviLight* instrumentPage() const { return instrument; }
    QC* qualityControlPage() const { return quality; }
    SimulatorMenu* simulatorMenu() const { return simulation; }
    SimulatorPanel* simulatorPanel() const { return panel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabWidget* pages;
    CTaviLight* instrument;
    QC* quality;
    SimulatorMenu* simulation = nullptr;
    SimulatorPanel* panel = nullptr;
};

// The program's own icon in every size it ships.
QIcon programIcon();
