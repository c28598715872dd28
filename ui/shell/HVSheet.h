#pragma once
// The main window: a menu bar, a sheet of four tabs, "Spectrum", "Color
// Metrics", "Quality Control" and "Service", under the program's title, and
// a status line that states every failure in words with its code until the
// next success. Every page is created with the sheet, so a measurement taken
// before a tab was first shown still reaches it. A key press anywhere in the
// program ends a zoom of the spectrum graph, as a right click in the graph
// does. The window keeps the list safe (a copy in the config directory as
// it grows, a question before unsaved rows would be lost) and remembers its
// place, size and tab in the settings.
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "core/instrument_page/InstrumentController.h"
#include "core/metrics/MeasurementList.h"

class CTaviDens;
class CService;
class CTaviLight;
class ExchangeActivity;
class MainMenuBar;
class QC;
class QIcon;
class QLabel;
class QStatusBar;
class QTabWidget;
class SimulatorMenu;
class SimulatorPanel;
class SimulatorTablePanel;

namespace lt {
class ListJournal;
class Workstation;
} // namespace lt
namespace ltsim {
class Simulator;
}

inline constexpr const char* kMainWindowTitle = "Huevia-NOVU    LtrakW    V1.433";
inline constexpr const char* kMeasuringRestsDuringDownload =
    "The instrument is receiving new firmware: measuring waits until the download ends.";
inline constexpr const char* kMeasuringRestsDuringChartRun =
    "An automatic chart run holds the instrument: measuring waits until it ends or is "
    "cancelled.";
inline constexpr const char* kCloseDuringDownload =
    "A firmware download is running.\nClosing now stops it and leaves the instrument in its "
    "loader: it must be downloaded again before it can measure.";

// The built-in simulator behind one port, for the "Simulator" menu and strip.
struct SimulatorLink {
    SimulatorLink(ltsim::Simulator* sim = nullptr, int portNumber = 1)
        : simulator(sim), port(portNumber)
    {
    }
    ltsim::Simulator* simulator;
    int port; // 1 ... 4
};

class CHVSheet : public QWidget {
    Q_OBJECT
public:
    // simulator: the built-in simulator behind a port (none: no "Simulator"
    // menu and strip). beeper: where the beeps go (empty: sound card).
    explicit CHVSheet(lt::Workstation& workstation, SimulatorLink simulator = {},
        lt::InstrumentController::Beeper beeper = {}, QWidget* parent = nullptr);
    ~CHVSheet() override;

    QTabWidget* tabs() const { return pages; }
    CTaviLight* instrumentPage() const { return instrument; }
    CTaviDens* metricsPage() const { return metrics; }
    MainMenuBar* menus() const { return menuBar; }
    QC* qualityControlPage() const { return quality; }
    CService* servicePage() const { return service; }
    SimulatorMenu* simulatorMenu() const { return simulation; }
    SimulatorPanel* simulatorPanel() const { return panel; }
    // The "an exchange runs" state: whatever holds the instrument makes the
    // measuring controls rest through it.
    ExchangeActivity* exchangeActivity() const { return activity; }
    SimulatorTablePanel* simulatorTablePanel() const { return tablePanel; }

    // The status line: a failure in words (kept until clearFailure).
    void showFailure(const QString& text);
    void clearFailure();
    QString failureText() const;
    // An exchange with the instrument ended: a failure goes to the status
    // line as "<action>: <what failed> (<code>)", a success clears it. A
    // failed measurement marks the graph's curve as the previous sample's.
    void reportOutcome(const lt::ExchangeOutcome& outcome);

    // Offers the list that a run which did not end in order left behind
    // (after a crash or a power cut); restores it when the operator agrees.
    void offerLeftBehindList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // False when the operator keeps the window open (Cancel, or a save
    // that did not happen).
    bool unsavedRowsMayGo();
    void restoreWindow();
    void rememberWindow();

    lt::Workstation& station;
    std::string configDir;
    std::vector<lt::MeasurementRow> leftBehind; // read before the journal starts
    std::unique_ptr<lt::ListJournal> journal;
    QTabWidget* pages;
    CTaviLight* instrument;
    CTaviDens* metrics;
    MainMenuBar* menuBar = nullptr;
    QStatusBar* statusLine = nullptr;
    QLabel* failure = nullptr;
    QC* quality;
    CService* service;

    // While an exchange runs, the tabs other than the one it runs from
    // rest (a firmware download: all but "Service").
    void showResting(bool resting);

    ExchangeActivity* activity = nullptr;
    QWidget* restingHome = nullptr; // the tab that stays usable

    SimulatorMenu* simulation = nullptr;
    SimulatorPanel* panel = nullptr;
    SimulatorTablePanel* tablePanel = nullptr;
};

// The program's own icon in every size it ships.
QIcon programIcon();
