#pragma once
// The "Color Metrics" tab: the measurement list, paper-white and solid
// calibration, density mode, colour difference of two rows, the large
// three-value display, spot-colour teaching, density parameters and the
// list file.
#include <QWidget>

namespace lt {
class Workstation;
}

class CTaviDens : public QWidget {
    Q_OBJECT
public:
    explicit CTaviDens(lt::Workstation& workstation, QWidget* parent = nullptr);
    ~CTaviDens() override;

private:
    struct Private;
    Private* d;
};
