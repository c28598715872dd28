#pragma once
// The main window's menu bar: "File" (Save List, Exit), "Edit" (undo of
// "ClearList"), "Instrument" (Init Device, Acquire, Remote) and "Help"
// (Getting started, About), with the keys F5 Acquire, F6 White, F7 Solid,
// Ctrl+S, Ctrl+Z and Ctrl+Q. Every entry works through the page's own
// button, so a disabled button keeps its menu entry and key from acting.
#include <QMenuBar>

class CTaviDens;
class CTaviLight;
class QAction;

class MainMenuBar : public QMenuBar {
    Q_OBJECT
public:
    MainMenuBar(CTaviLight& instrumentPage, CTaviDens& metricsPage, QWidget* window);

    QAction* saveListAction() const { return saveList; }
    QAction* exitAction() const { return exit; }
    QAction* undoClearAction() const { return undoClear; }
    QAction* initDeviceAction() const { return initDevice; }
    QAction* acquireAction() const { return acquire; }
    QAction* remoteAction() const { return remote; }
    QAction* whiteAction() const { return white; }
    QAction* solidAction() const { return solid; }
    QAction* gettingStartedAction() const { return gettingStarted; }
    QAction* aboutAction() const { return about; }

private:
    // While a menu is open its entries show whether their buttons act.
    void followButtons();

    CTaviLight& instrument;
    CTaviDens& metrics;
    QAction* saveList;
    QAction* exit;
    QAction* undoClear;
    QAction* initDevice;
    QAction* acquire;
    QAction* remote;
    QAction* white;
    QAction* solid;
    QAction* gettingStarted;
    QAction* about;
};
