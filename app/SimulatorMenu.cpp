#include "app/SimulatorMenu.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMessageBox>

#include "sim/include/ltsim/Simulator.h"

namespace {

struct ModelEntry {
    const char* title;
    ltsim::DeviceKind kind;
};

// In the order of the instrument page's device types.
constexpr ModelEntry kModels[] = {
    {"Lumatrak S", ltsim::DeviceKind::LumatrakS},
    {"Lumatrak A (XY table)", ltsim::DeviceKind::LumatrakA},
    {"Spectrolino", ltsim::DeviceKind::Spectrolino},
    {"Array spectrometer (ProtoType)", ltsim::DeviceKind::Spectrometer},
};

} // namespace

SimulatorMenu::SimulatorMenu(ltsim::Simulator& simulator, QWidget* parent)
    : QMenu(QStringLiteral("&Simulator"), parent), sim(simulator), samples(new QActionGroup(this)),
      models(new QActionGroup(this))
{
    QMenu* sampleMenu = addMenu(QStringLiteral("Sample under the head"));
    const QString current = QString::fromStdString(sim.sample());
    for (const std::string& name : ltsim::Simulator::sampleNames()) {
        QAction* action = sampleMenu->addAction(QString::fromStdString(name));
        action->setCheckable(true);
        action->setChecked(action->text() == current);
        samples->addAction(action);
        connect(action, &QAction::triggered, this, [this, action] { chooseSample(action->text()); });
    }
    sampleMenu->addSeparator();
    sampleMenu->addAction(QStringLiteral("Ink mixture..."), this, [this] { askForInkSample(); });

    addAction(QStringLiteral("Press the instrument's measurement key"), this, [this] { sim.pressKey(); });
    addSeparator();

    QMenu* modelMenu = addMenu(QStringLiteral("Instrument model"));
    for (int i = 0; i < static_cast<int>(std::size(kModels)); ++i) {
        QAction* action = modelMenu->addAction(QString::fromLatin1(kModels[i].title));
        action->setCheckable(true);
        action->setChecked(sim.device() == kModels[i].kind);
        action->setData(i);
        models->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { sim.setDevice(kModels[i].kind); });
    }
    addSeparator();
    addAction(QStringLiteral("Drop the line (hang up)"), this, [this] {
        sim.injectFault(ltsim::Fault{ltsim::FaultKind::HangUp, ltsim::FaultScope::NextReply});
    });
}

void SimulatorMenu::chooseSample(const QString& name)
{
    sim.setSample(name.toStdString());
}

void SimulatorMenu::askForInkSample()
{
    bool ok = false;
    const QString text = QInputDialog::getText(parentWidget(), QStringLiteral("Ink mixture"),
        QStringLiteral("Inks and their coverage, e.g. C50M40Y40 or K20:"), QLineEdit::Normal, QString(), &ok);
    if (!ok || text.isEmpty())
        return;
    if (!sim.setSample(text.trimmed().toStdString())) {
        QMessageBox::warning(parentWidget(), QStringLiteral("Simulator"),
                             QStringLiteral("\"%1\" is not a sample the simulator knows.").arg(text));
        return;
    }
    if (QAction* checked = samples->checkedAction())
        checked->setChecked(false);
}

void SimulatorMenu::followDeviceType(int deviceType)
{
    if (deviceType < 0 || deviceType >= static_cast<int>(std::size(kModels)))
        return;
    sim.setDevice(kModels[deviceType].kind);
    for (QAction* action : models->actions())
        action->setChecked(action->data().toInt() == deviceType);
}
