#include "ui/shell/SimulatorMenu.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/shell/SimulatorControl.h"
#include "ui/shell/SimulatorTablePanel.h"

SimulatorMenu::SimulatorMenu(SimulatorControl& simulatorControl, QWidget* parent)
    : QMenu(QStringLiteral("&Simulator"), parent), control(simulatorControl),
      samples(new QActionGroup(this)), models(new QActionGroup(this))
{
    QMenu* sampleMenu = addMenu(QStringLiteral("Sample under the head"));
    for (const std::string& name : ltsim::Simulator::sampleNames()) {
        QAction* action = sampleMenu->addAction(QString::fromStdString(name));
        action->setCheckable(true);
        samples->addAction(action);
        connect(action, &QAction::triggered, this,
            [this, action] { control.setSample(action->text()); });
    }
    sampleMenu->addSeparator();
    sampleMenu->addAction(QStringLiteral("Ink mixture..."), this, [this] { askForInkSample(); });

    setToolTipsVisible(true);
    addAction(QStringLiteral("Press the instrument's measurement key"), &control,
        &SimulatorControl::pressKey);
    QAction* dotGain = addAction(QStringLiteral("Printed with 10 % more dot gain"));
    dotGain->setObjectName("MoreDotGain");
    dotGain->setCheckable(true);
    dotGain->setChecked(control.pressWithMoreDotGain());
    dotGain->setToolTip(QStringLiteral(
        "The prints come from a press with 10 % more dot gain: a sheet to compare with a chart "
        "measured before"));
    connect(dotGain, &QAction::toggled, &control, &SimulatorControl::setPressWithMoreDotGain);
    addSeparator();

    QMenu* modelMenu = addMenu(QStringLiteral("Instrument model"));
    for (int i = 0; i < SimulatorControl::modelCount(); ++i) {
        const ltsim::DeviceKind kind = SimulatorControl::modelOfDeviceType(i);
        QAction* action = modelMenu->addAction(SimulatorControl::modelTitle(kind));
        action->setCheckable(true);
        action->setData(i);
        models->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind] { control.setModel(kind); });
    }
    addSeparator();

    QMenu* tableMenu = addMenu(QStringLiteral("XY table"));
    tableMenu->setObjectName("XyTable");
    auto* charts = new QActionGroup(this);
    const std::pair<const char*, ltsim::ChartKind> kCharts[] = {
        {"IT8.7/3 on the table", ltsim::ChartKind::It8},
        {"TQ CMYK on the table", ltsim::ChartKind::TqCmyk},
        {"TQ RGB on the table", ltsim::ChartKind::TqRgb},
    };
    for (const auto& [title, kind] : kCharts) {
        QAction* action = tableMenu->addAction(QString::fromLatin1(title));
        action->setCheckable(true);
        action->setChecked(control.chartOnTable() == kind);
        charts->addAction(action);
        connect(action, &QAction::triggered, this,
            [this, chartKind = kind] { control.setChartOnTable(chartKind); });
    }
    tableMenu->addSeparator();
    tableMenu->addAction(QStringLiteral("Move head over patch..."), this,
        [this] { askAndMoveHeadOverPatch(control, parentWidget()); });
    addSeparator();
    addAction(QStringLiteral("Drop the line (hang up)"), &control, &SimulatorControl::dropLine);
    addAction(QStringLiteral("Reconnect"), this, [this] { reconnect(); });

    showSample(control.sample());
    showModel(control.model());
    connect(&control, &SimulatorControl::sampleChanged, this, &SimulatorMenu::showSample);
    connect(&control, &SimulatorControl::modelChanged, this, &SimulatorMenu::showModel);
}

void SimulatorMenu::askForInkSample()
{
    bool ok = false;
    const QString text = QInputDialog::getText(parentWidget(), QStringLiteral("Ink mixture"),
        QStringLiteral("Inks and their coverage, e.g. C50M40Y40 or K20:"), QLineEdit::Normal,
        QString(), &ok);
    if (!ok || text.isEmpty())
        return;
    if (!control.setSample(text.trimmed())) {
        QMessageBox::warning(parentWidget(), QStringLiteral("Simulator"),
            QStringLiteral("\"%1\" is not a sample the simulator knows.").arg(text));
        showSample(control.sample());
    }
}

void SimulatorMenu::reconnect()
{
    QString error;
    if (!control.reconnect(&error))
        QMessageBox::warning(parentWidget(), QStringLiteral("Simulator"),
            QStringLiteral("The simulator's line could not be opened again: %1").arg(error));
}

void SimulatorMenu::showSample(const QString& name)
{
    // An ink mixture is none of the named samples: then nothing is checked.
    QAction* named = nullptr;
    for (QAction* action : samples->actions())
        if (action->text() == name)
            named = action;
    if (named)
        named->setChecked(true);
    else if (QAction* checked = samples->checkedAction())
        checked->setChecked(false);
}

void SimulatorMenu::showModel(ltsim::DeviceKind kind)
{
    for (QAction* action : models->actions())
        action->setChecked(SimulatorControl::modelOfDeviceType(action->data().toInt()) == kind);
}

void SimulatorMenu::followDeviceType(int deviceType)
{
    control.followDeviceType(deviceType);
}
