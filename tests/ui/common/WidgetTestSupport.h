#pragma once
// What the widget test programs share: the one QApplication, a wait that
// serves events, and the pictures kept for a person to look at.
#include <errno.h> // program_invocation_short_name

#include <clocale>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <QWidget>

namespace lt::testing {

// The one QApplication of the test program, made on first use: on the
// offscreen platform unless the caller chose one (to watch the tests), with
// numbers in the C locale as the program's files and wire text expect. It is
// never destroyed: among the static objects at exit it would outlive parts
// of Qt it needs.
inline QApplication& testApplication()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char* argv[] = {program_invocation_short_name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return *app;
}

// Serves events until done() holds or timeoutMs passed; tells whether it holds.
template <class Condition>
bool waitFor(Condition done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Where pictures of the windows go, from LTRAKW_SCREENSHOT_DIR; empty when
// none were asked for.
inline QString screenshotDirectory()
{
    const char* directory = std::getenv("LTRAKW_SCREENSHOT_DIR");
    return directory ? QString::fromLocal8Bit(directory) : QString();
}

// Saves a picture of widget as name.png when pictures were asked for.
inline void keepPicture(QWidget& widget, const QString& name)
{
    const QString directory = screenshotDirectory();
    if (directory.isEmpty())
        return;
    QApplication::processEvents();
    widget.grab().save(directory + "/" + name + ".png");
}

// Saves the pages of a printed PDF file as name-N.png at dpi when pictures
// were asked for.
inline void keepPdfPictures(const std::string& pdf, const QString& name, int dpi)
{
    const QString directory = screenshotDirectory();
    if (directory.isEmpty())
        return;
    const std::string command = "pdftoppm -png -r " + std::to_string(dpi) + " '" + pdf + "' '" +
        (directory + "/" + name).toStdString() + "'";
    std::system(command.c_str());
}

} // namespace lt::testing
