#pragma once
// The "Service" tab: the firmware download into a Lumatrak's flash. The
// page shows the service buttons in their groups, the instructions, the
// message line and the progress bar; the work is done by the
// ServiceController, whose download runs on a worker thread while this
// page stays responsive.
#include <memory>
#include <string>

#include <QWidget>

#include "core/service/ServiceController.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace lt {
class InstrumentPageLink;
class Workstation;
} // namespace lt

class CService : public QWidget {
    Q_OBJECT
public:
    // beeper: where the download's beeps go (the sound card when empty).
    explicit CService(lt::Workstation& workstation, QWidget* parent = nullptr,
        lt::ServiceController::Beeper beeper = {});
    // A download still running is stopped between two blocks and waited for.
    ~CService() override;

    void setInstrumentPage(lt::InstrumentPageLink* page);
    lt::ServiceController& controller() { return *logic; }

    // Controls, for the tests.
    QPushButton* startServiceButton() const { return startService; }
    QPushButton* closeServiceButton() const { return closeService; }
    QPushButton* loadFileButton() const { return loadFile; }
    QPushButton* downloadProgramButton() const { return downloadProgram; }
    QLabel* messageLine() const { return message; }
    QProgressBar* progressBar() const { return progress; }

Q_SIGNALS:
    // A download started (true) or ended (false): the measuring pages rest
    // meanwhile.
    void downloadRunningChanged(bool running);

private:
    class PageObserver;
    void buildControls();
    void showMessageLine(const QString& text);
    void showRange(int low, int high);
    void showPosition(int position);
    void showRunning(bool running);

    lt::Workstation& station;
    std::unique_ptr<lt::ServiceController> logic;
    std::unique_ptr<PageObserver> observer;

    QPushButton* startService = nullptr;
    QPushButton* closeService = nullptr;
    QPushButton* loadFile = nullptr;
    QPushButton* saveData = nullptr;
    QPushButton* downloadProgram = nullptr;
    QPushButton* downloadParameter = nullptr;
    QLabel* message = nullptr;
    QProgressBar* progress = nullptr;
};
