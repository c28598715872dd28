#include "ui/shell/SimulatorPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/shell/SimulatorControl.h"

SimulatorPanel::SimulatorPanel(SimulatorControl& control, QWidget* parent)
    : QWidget(parent), simulator(control), model(new QLabel(this)), samples(new QComboBox(this)),
      key(new QPushButton(QStringLiteral("Press the instrument's key"), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(model);
    for (const std::string& name : ltsim::Simulator::sampleNames())
        samples->addItem(QString::fromStdString(name));
    layout->addWidget(samples);
    samples->setToolTip(QStringLiteral("What lies under the simulated instrument's head."));
    key->setToolTip(
        QStringLiteral("In remote mode the instrument measures when its key is pressed."));
    layout->addWidget(key);
    layout->addStretch(1);

    showModel(control.model());
    showSample(control.sample());
    connect(&control, &SimulatorControl::modelChanged, this, &SimulatorPanel::showModel);
    connect(&control, &SimulatorControl::sampleChanged, this, &SimulatorPanel::showSample);
    connect(samples, &QComboBox::textActivated, this, [this, &control](const QString& name) {
        if (!control.setSample(name))
            showSample(control.sample());
    });
    connect(key, &QPushButton::clicked, &control, &SimulatorControl::pressKey);
}

void SimulatorPanel::showSample(const QString& name)
{
    // An ink mixture chosen in the menu is not among the named samples: it
    // joins the list so that the strip shows what lies under the head.
    if (samples->findText(name) < 0)
        samples->addItem(name);
    samples->setCurrentText(name);
}

void SimulatorPanel::showModel(ltsim::DeviceKind)
{
    showDrivenPort();
}

void SimulatorPanel::showPagePort(int portNumber)
{
    pagePort = portNumber;
    showDrivenPort();
}

void SimulatorPanel::showDrivenPort()
{
    QString text = QStringLiteral("Simulated %1 on COM%2")
                       .arg(SimulatorControl::modelTitle(simulator.model()))
                       .arg(simulator.port());
    if (pagePort != 0 && pagePort != simulator.port())
        text += QStringLiteral(" (the page measures on COM%1)").arg(pagePort);
    model->setText(text + QStringLiteral(" - sample under the head:"));
}
