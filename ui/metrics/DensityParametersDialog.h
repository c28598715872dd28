#pragma once
// The modal "DensityParameters" dialog: slopes and Yule-Nielsen factors of
// the four process colours and the spot colour, density filter, observer,
// illumination, and the spot-colour library (choose, load, save, delete).
#include <array>

#include <QDialog>

#include "core/metrics/DensityParametersForm.h"

class QComboBox;
class QLineEdit;

namespace lt {

class Workstation;

class DensityParametersDialog : public QDialog {
    Q_OBJECT
public:
    DensityParametersDialog(Workstation& workstation, QWidget* parent = nullptr);

    void accept() override;

private:
    void fillSpotColors();
    void loadSpotColors();
    void saveSpotColors();
    void deleteSpotColor();

    Workstation& station;
    std::array<QLineEdit*, kDensityParameterFields> edits {};
    QComboBox* filter = nullptr;
    QComboBox* observer = nullptr;
    QComboBox* illumination = nullptr;
    QComboBox* spotColors = nullptr;
};

} // namespace lt
