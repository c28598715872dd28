#include "ui/shell/MainMenuBar.h"

#include <QAction>
#include <QPushButton>

#include "core/metrics/ColorMetricsLogic.h"
#include "ui/instrument_page/TaviLight.h"
#include "ui/metrics/TaviDens.h"
#include "ui/shell/HelpDialogs.h"

namespace {

// An entry that clicks button (which does nothing while it is disabled).
QAction* clicking(QMenu* menu, const QString& text, QPushButton* button, const QKeySequence& key)
{
    QAction* action = menu->addAction(text, button, &QPushButton::click);
    action->setShortcut(key);
    // The keys work on every tab, not only where the button is.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

MainMenuBar::MainMenuBar(CTaviLight& instrumentPage, CTaviDens& metricsPage, QWidget* window)
    : QMenuBar(window), instrument(instrumentPage), metrics(metricsPage)
{
    QMenu* file = addMenu(QStringLiteral("&File"));
    saveList = clicking(file, QStringLiteral("&Save List..."), metrics.saveListButton(),
        QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    exit = file->addAction(QStringLiteral("E&xit"), window, &QWidget::close);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = addMenu(QStringLiteral("&Edit"));
    undoClear =
        edit->addAction(QStringLiteral("&Undo ClearList"), &metrics, &CTaviDens::undoClearList);
    undoClear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoClear->setShortcutContext(Qt::WindowShortcut);

    QMenu* device = addMenu(QStringLiteral("&Instrument"));
    initDevice = clicking(device, QStringLiteral("&Init Device"), instrument.initButton(), {});
    acquire = clicking(
        device, QStringLiteral("&Acquire"), instrument.acquireButton(), QKeySequence(Qt::Key_F5));
    remote = clicking(device, QStringLiteral("&Remote"), instrument.remoteButton(), {});
    device->addSeparator();
    white = clicking(
        device, QStringLiteral("Paper &White"), metrics.whiteButton(), QKeySequence(Qt::Key_F6));
    solid =
        clicking(device, QStringLiteral("&Solid"), metrics.solidButton(), QKeySequence(Qt::Key_F7));

    QMenu* help = addMenu(QStringLiteral("&Help"));
    gettingStarted = help->addAction(
        QStringLiteral("&Getting started"), window, [window] { showGettingStarted(window); });
    gettingStarted->setShortcut(QKeySequence(Qt::Key_F1));
    about =
        help->addAction(QStringLiteral("&About LtrakW"), window, [window] { showAbout(window); });

    for (QMenu* menu : {file, edit, device}) {
        connect(menu, &QMenu::aboutToShow, this, &MainMenuBar::followButtons);
        // The keys stay live while the menu is closed; the buttons decide.
        connect(menu, &QMenu::aboutToHide, this, [this] {
            for (QAction* action : {saveList, undoClear, initDevice, acquire, remote, white, solid})
                action->setEnabled(true);
        });
    }
}

void MainMenuBar::followButtons()
{
    saveList->setEnabled(metrics.saveListButton()->isEnabled());
    undoClear->setEnabled(metrics.logic().canUndoClearList());
    initDevice->setEnabled(instrument.initButton()->isEnabled());
    acquire->setEnabled(instrument.acquireButton()->isEnabled());
    remote->setEnabled(instrument.remoteButton()->isEnabled());
    // The caption follows the button ("Remote On"/"Remote Off"); R stays its key.
    remote->setText(QLatin1Char('&') + instrument.remoteButton()->text());
    white->setEnabled(metrics.whiteButton()->isEnabled());
    solid->setEnabled(metrics.solidButton()->isEnabled());
}
