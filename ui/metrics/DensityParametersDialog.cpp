#include "ui/metrics/DensityParametersDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/metrics/SpotLibraryFile.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

// Enough for a slope such as "1.000" with room to spare.
constexpr int kEditWidthCharacters = 9;

QComboBox* makeCombo(const char* name, const auto& items, int selected, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    for (const char* item : items)
        combo->addItem(QString::fromUtf8(item));
    // A type the list does not offer shows no selection and is kept.
    combo->setCurrentIndex(selected >= 0 && selected < combo->count() ? selected : -1);
    return combo;
}

} // namespace

DensityParametersDialog::DensityParametersDialog(Workstation& workstation, QWidget* parent)
    : QDialog(parent), station(workstation)
{
    setWindowTitle("DensityParameters");
    const DensityParameterChoice current = currentDensityParameters(station);

    // Slopes on the left, Yule-Nielsen factors on the right.
    auto* slopes = new QGroupBox(kSlopeGroup, this);
    auto* factors = new QGroupBox(kYuleNielsenGroup, this);
    auto* slopeForm = new QFormLayout(slopes);
    auto* factorForm = new QFormLayout(factors);
    for (int i = 0; i < kDensityParameterFields; ++i) {
        const DensityParameterField& field =
            kDensityParameterFieldList[static_cast<std::size_t>(i)];
        auto* edit =
            new QLineEdit(QString::fromStdString(current.texts[static_cast<std::size_t>(i)]), this);
        const bool isSlope = field.group == DensityParameterGroup::Slope;
        edit->setObjectName(QString(isSlope ? "S" : "Y") + field.label);
        edit->setMaxLength(kDensityParameterTextLength);
        edit->setAlignment(Qt::AlignRight);
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kEditWidthCharacters);
        edits[static_cast<std::size_t>(i)] = edit;
        (isSlope ? slopeForm : factorForm)->addRow(field.label, edit);
    }

    filter = makeCombo("Filter", kFilterNames, current.filter, this);
    observer = makeCombo("Observer", kObserverNames, current.observer, this);
    illumination = makeCombo("Illumination", kIlluminationNames, current.illumination, this);
    auto* conditions = new QFormLayout;
    conditions->addRow("Filter:", filter);
    conditions->addRow("Observer:", observer);
    conditions->addRow("Illumination:", illumination);

    spotColors = new QComboBox(this);
    spotColors->setObjectName("SpotColors");
    fillSpotColors();
    connect(spotColors, &QComboBox::activated, this,
        [this](int position) { selectSpotColorChoice(station.record(), position); });
    auto* load = new QPushButton("Load Spot Colors", this);
    load->setObjectName("LoadSpotColors");
    auto* save = new QPushButton("SaveSpotColors", this);
    save->setObjectName("SaveSpotColors");
    auto* remove = new QPushButton("Delete", this);
    remove->setObjectName("Delete");
    for (QPushButton* button : {load, save, remove})
        button->setAutoDefault(false);
    connect(load, &QPushButton::clicked, this, &DensityParametersDialog::loadSpotColors);
    connect(save, &QPushButton::clicked, this, &DensityParametersDialog::saveSpotColors);
    connect(remove, &QPushButton::clicked, this, &DensityParametersDialog::deleteSpotColor);
    conditions->addRow("Spot Colors:", spotColors);
    auto* spotButtons = new QHBoxLayout;
    spotButtons->addWidget(load);
    spotButtons->addWidget(save);
    spotButtons->addWidget(remove);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* numbers = new QHBoxLayout;
    numbers->addWidget(slopes);
    numbers->addWidget(factors);
    auto* right = new QVBoxLayout;
    right->addLayout(conditions);
    right->addLayout(spotButtons);
    right->addStretch(1);
    numbers->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(numbers);
    layout->addWidget(buttons);
}

void DensityParametersDialog::accept()
{
    DensityParameterChoice choice;
    for (int i = 0; i < kDensityParameterFields; ++i)
        choice.texts[static_cast<std::size_t>(i)] =
            edits[static_cast<std::size_t>(i)]->text().toStdString();
    choice.filter = filter->currentIndex();
    choice.observer = observer->currentIndex();
    choice.illumination = illumination->currentIndex();
    choice.spotPosition = spotColors->currentIndex();
    applyDensityParameters(station, choice);
    QDialog::accept();
}

void DensityParametersDialog::fillSpotColors()
{
    spotColors->clear();
    for (const std::string& name : spotColorChoices(station.record()))
        spotColors->addItem(QString::fromLatin1(name.c_str()));
    const SpotColorLibrary& library = station.record().spotColors;
    spotColors->setCurrentIndex(library.visiblePosition(library.selection()));
}

void DensityParametersDialog::loadSpotColors()
{
    if (loadChosenSpotFile(station))
        fillSpotColors();
}

void DensityParametersDialog::saveSpotColors()
{
    saveChosenSpotFile(station);
}

void DensityParametersDialog::deleteSpotColor()
{
    const int position = spotColors->currentIndex();
    const int selected =
        deleteSpotColorChoice(station.record(), station.settings(), station.op(), position);
    if (selected == position)
        return;
    fillSpotColors();
    spotColors->setCurrentIndex(selected);
}

} // namespace lt
