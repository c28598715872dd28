#include "ui/metrics/SpotIdDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lt {

namespace {
// Longest name kept for a taught spot colour.
constexpr int kNameLength = static_cast<int>(SpotColorEntry::kTaughtNameLength);
} // namespace

SpotIdDialog::SpotIdDialog(const SpotColorNamePrompt& prompt, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("SpotID");
    setModal(true);

    // QString::number formats in the C locale whatever the desktop's locale.
    auto* wavelength =
        new QLabel(" " + QString::number(prompt.centreWavelength, 'f', 1) + " nm", this);
    wavelength->setObjectName("wavelength");

    nameEdit = new QLineEdit(QString::fromLatin1(prompt.presetName.c_str()), this);
    nameEdit->setObjectName("name");
    nameEdit->setMaxLength(kNameLength);
    // Room for a whole name of the longest kind.
    nameEdit->setMinimumWidth(nameEdit->fontMetrics().averageCharWidth() * (kNameLength + 4));
    nameEdit->selectAll();

    narrowButton = new QRadioButton("Narrow", this);
    narrowButton->setObjectName("narrow");
    wideButton = new QRadioButton("Wide", this);
    wideButton->setObjectName("wide");
    (prompt.narrow ? narrowButton : wideButton)->setChecked(true);
    auto* filterGroup = new QGroupBox("Filter:", this);
    auto* filterLayout = new QHBoxLayout(filterGroup);
    filterLayout->addWidget(narrowButton);
    filterLayout->addWidget(wideButton);
    if (prompt.onWindowChosen) {
        const auto onWindowChosen = prompt.onWindowChosen;
        connect(
            narrowButton, &QRadioButton::clicked, this, [onWindowChosen] { onWindowChosen(true); });
        connect(
            wideButton, &QRadioButton::clicked, this, [onWindowChosen] { onWindowChosen(false); });
    }

    auto* form = new QFormLayout;
    form->addRow("WaveLength:", wavelength);
    form->addRow("Name:", nameEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(filterGroup);
    layout->addWidget(buttons);
    nameEdit->setFocus();
}

SpotColorNameAnswer SpotIdDialog::answer() const
{
    SpotColorNameAnswer result;
    // Names are kept as 8-bit Latin-1 text, the character set of the spot file.
    result.name = nameEdit->text().left(kNameLength).toLatin1().toStdString();
    result.narrow = narrowButton->isChecked();
    return result;
}

std::optional<SpotColorNameAnswer> askSpotId(const SpotColorNamePrompt& prompt, QWidget* parent)
{
    SpotIdDialog dialog(prompt, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

} // namespace lt
