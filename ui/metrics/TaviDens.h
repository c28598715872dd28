#pragma once
// The "Color Metrics" tab: the measurement list, paper-white and solid
// calibration, density mode, colour difference of two rows, the large
// three-value display, spot-colour teaching, density parameters and the
// list file.
#include <QWidget>

class QPushButton;

namespace lt {
class ChartDialog;
class ColorMetricsLogic;
class Workstation;
class InstrumentPageLink;
} // namespace lt

class CTaviDens : public QWidget {
    Q_OBJECT
public:
    explicit CTaviDens(lt::Workstation& workstation, QWidget* parent = nullptr);
    ~CTaviDens() override;

    // The instrument page, once it exists (not owned; null detaches it).
    // Without it the instrument counts as not initialised.
    void setInstrumentPage(lt::InstrumentPageLink* instrumentPage);

    // The open chart's dialog, or null while no chart is measured.
    lt::ChartDialog* chartDialog() const;
    lt::ColorMetricsLogic& logic();
    // "SaveList" as the button does it; true when the list was written.
    bool saveList();
    // Ctrl+Z: the rows of the last "ClearList" come back.
    void undoClearList();

    // Buttons the main window's menus and keys reach.
    QPushButton* whiteButton() const;
    QPushButton* solidButton() const;
    QPushButton* saveListButton() const;
    QPushButton* chartButton() const;

    // The instrument page's device type changed: the chart dialog offers
    // XYAuto only for the instrument on the XY table.
    void followDeviceType(int deviceType);

Q_SIGNALS:
    // An automatic chart run holds the instrument (true) or has ended.
    void chartRunChanged(bool running);

private:
    void setDensityMode(bool absolute);
    void compareSelectedRows();
    void editDensityParameters();
    void openSpreadsheetExport();
    // "StartChart" / "Stop Chart".
    void toggleChart();

    struct Private;
    Private* d;
};
