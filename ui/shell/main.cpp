// Start-up of the LtrakW program: settings, the instrument library's hooks,
// the ports (with the built-in simulator where the settings ask for it) and
// the main sheet, shown until it is closed.
#include "core/common/AppPaths.h"
#include "core/station/InterruptibleClock.h"
#include "core/station/PortAttachment.h"
#include "core/station/Workstation.h"

#include <clocale>
#include <cstdlib>
#include <optional>

#include <QApplication>
#include <QTimer>

#include "ui/shell/HVSheet.h"
#include "ui/shell/QtOperator.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Numbers in settings, files and wire messages always use the C locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));

    QtOperator op;
    op.holdMessagesUntilShown();
    lt::ensureConfigDirectory();
    // The library's waits end at once when the operator cancels an exchange.
    lt::InterruptibleClock clock;
    lt::setClock(&clock);
    lt::Workstation workstation(
        op, lt::configDirectory(), lt::ExchangeWorker::Threading::OwnThread);
    workstation.exchanges().setWaitInterrupter(&clock);
    // The pages fill in every setting the file lacks as they are built: the
    // file is written once, when the window stands.
    std::optional<lt::IniFile::WriteHold> settingsBeingRead(
        workstation.settings().applicationFile().holdWrites());
    workstation.settings().writeStartupSection();
    installLibraryHooks(op);

    lt::PortAttachment ports;
    ports.attach(workstation.settings());
    // A port that could not be attached is told to the operator over the
    // window, like every other problem of the program.
    if (!ports.problems().empty())
        op.showMessage(ports.problems(), "", lt::MessageButtons::Ok, lt::MessageIcon::Exclamation);

    CHVSheet sheet(workstation, SimulatorLink(ports.firstSimulator(), ports.firstSimulatorPort()));
    settingsBeingRead.reset();
    op.setParentWindow(&sheet);
    sheet.show();
    op.showHeldMessages();
    QTimer::singleShot(0, &sheet, &CHVSheet::offerLeftBehindList);
    // Start-up timing: leave as soon as the window has been shown.
    if (std::getenv("LTRAKW_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &application, &QApplication::quit);
    return application.exec();
}
