#pragma once
// The "SpotID" prompt that names a spot colour taught by measurement: the
// window centre found in the spectrum, the name (preset "S<count>") and the
// choice of a narrow or wide weighting window.
#include <functional>
#include <optional>
#include <string>

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace lt {

struct SpotIdAnswer {
    std::string name; // at most kSpotNameTaughtLength characters
    bool narrow = true;
};

// Longest name kept for a taught spot colour.
inline constexpr int kSpotNameTaughtLength = 20;

class SpotIdDialog : public QDialog {
    Q_OBJECT
public:
    // centreWavelength [nm]; presetName is shown in the "Name:" field;
    // narrow selects the "Narrow" radio button, else "Wide".
    SpotIdDialog(double centreWavelength, const std::string& presetName, bool narrow,
                 QWidget* parent = nullptr);

    SpotIdAnswer answer() const;

signals:
    // Emitted as soon as the operator clicks "Narrow" (true) or "Wide" (false),
    // so the choice can be stored at once.
    void filterChosen(bool narrow);

private:
    QLineEdit* nameEdit;
    QRadioButton* narrowButton;
    QRadioButton* wideButton;
};

// Runs the dialog modally. onFilterChosen (may be empty) is called on every
// click of "Narrow"/"Wide". Returns the answer on OK, nothing on Cancel.
std::optional<SpotIdAnswer> askSpotId(double centreWavelength, const std::string& presetName,
                                      bool narrow, const std::function<void(bool)>& onFilterChosen,
                                      QWidget* parent = nullptr);

} // namespace lt
