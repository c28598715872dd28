#pragma once
// The "Color Metrics" tab: the measurement list, paper-white and solid
// calibration, density mode, colour difference of two rows, the large
// three-value display, spot-colour teaching, density parameters and the
// list file.
#include <QWidget>

namespace lt {
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

private:
    void setDensityMode(bool absolute);
    void compareSelectedRows();
    void editDensityParameters();
    void openSpreadsheetExport();

    struct Private;
    Private* d;
};
