#pragma once
// The main window: a sheet of four tabs, "Spectrum", "Color Metrics",
// "Quality Control" and "Service", under the program's title. Every page is
// created with the sheet, so a measurement taken before a tab was first
// shown still reaches it. A key press anywhere in the program ends a zoom of
// the spectrum graph, as a right click in the graph does.
#include <QWidget>

#include "core/instrument_page/InstrumentController.h"

class CService;
class CTaviLight;
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
inline constexpr const char* kMeasuringRestsDuringDownload =
    "The instrument is receiving new firmware: measuring waits until the download ends.";
inline constexpr const char* kCloseDuringDownload =
    "A firmware download is running.\nClosing now stops it and leaves the instrument in its "
    "loader: it must be downloaded again before it can measure.";

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
    CService* servicePage() const { return service; }
    SimulatorMenu* simulatorMenu() const { return simulation; }
    SimulatorPanel* simulatorPanel() const { return panel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing while a firmware download runs is asked about first.
    void closeEvent(QCloseEvent* event) override;

private:
    // While a firmware download holds the instrument, the measuring tabs rest.
    void downloadRunning(bool running);

    QTabWidget* pages;
    CTaviLight* instrument;
    CService* service;
    SimulatorMenu* simulation = nullptr;
    SimulatorPanel* panel = nullptr;
};

// The program's own icon in every size it ships.
QIcon programIcon();
