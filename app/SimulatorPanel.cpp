#include "app/SimulatorPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "sim/include/ltsim/Simulator.h"

SimulatorPanel::SimulatorPanel(ltsim::Simulator& simulator, QWidget* parent)
    : QWidget(parent), sim(simulator), samples(new QComboBox(this)),
      key(new QPushButton(QStringLiteral("Press the instrument's key"), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Simulated instrument - sample under the head:"), this);
    layout->addWidget(caption);
    for (const std::string& name : ltsim::Simulator::sampleNames())
        samples->addItem(QString::fromStdString(name));
    samples->setCurrentText(QString::fromStdString(sim.sample()));
    layout->addWidget(samples);
    key->setToolTip(QStringLiteral("In remote mode the instrument measures when its key is pressed."));
    layout->addWidget(key);
    layout->addStretch(1);
    connect(samples, &QComboBox::textActivated, this,
            [this](const QString& name) { sim.setSample(name.toStdString()); });
    connect(key, &QPushButton::clicked, this, [this] { sim.pressKey(); });
}
