#pragma once
// The "SpotID" prompt that names a spot colour taught by measurement: the
// window centre found in the spectrum, the name (preset "S<count>") and the
// choice of a narrow or wide weighting window. The Qt operator answers
// Operator::askSpotColorName with it.
#include <optional>

#include <QDialog>

#include "core/metrics/SpotColorLibrary.h"
#include "core/station/Operator.h"

class QLineEdit;
class QRadioButton;

namespace lt {

class SpotIdDialog : public QDialog {
    Q_OBJECT
public:
    // prompt.onWindowChosen is called on every click of "Narrow"/"Wide".
    explicit SpotIdDialog(const SpotColorNamePrompt& prompt, QWidget* parent = nullptr);

    // The name (first 20 characters, Latin-1) and the window chosen.
    SpotColorNameAnswer answer() const;

private:
    QLineEdit* nameEdit;
    QRadioButton* narrowButton;
    QRadioButton* wideButton;
};

// Runs the dialog modally: the answer on OK, nothing on Cancel.
std::optional<SpotColorNameAnswer> askSpotId(
    const SpotColorNamePrompt& prompt, QWidget* parent = nullptr);

} // namespace lt
