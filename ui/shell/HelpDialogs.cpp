#include "ui/shell/HelpDialogs.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace {

constexpr const char* kGettingStartedTitle = "Getting started";

// The kind of build (optimised or with debugging help), as CMake set it.
const char* buildKind()
{
#ifdef NDEBUG
    return "release";
#else
    return "debug";
#endif
}

} // namespace

QString gettingStartedText()
{
    return QStringLiteral(
        "<h3>Your first measurement</h3>"
        "<ol>"
        "<li>On the <b>Spectrum</b> tab choose the <b>Device Type</b> and the port "
        "(<b>COM1</b> or <b>COM2</b>) the instrument is connected to.</li>"
        "<li>Click <b>Init Device</b> (Instrument menu). Place the instrument on its white "
        "reference when asked and answer <b>OK</b>. The device's identity appears above the "
        "graph.</li>"
        "<li>A Lumatrak S then waits in <b>remote</b> mode for the instrument's own key. "
        "Click <b>Remote On</b> to switch that off and measure with <b>Acquire</b> (F5).</li>"
        "<li>The spectrum replaces the welcome picture; every sample becomes a row on the "
        "<b>Color Metrics</b> tab.</li>"
        "</ol>"
        "<h3>Densities relative to paper</h3>"
        "<p>On <b>Color Metrics</b> choose <b>Relative</b>, click <b>White</b> (F6) and measure "
        "the paper, then <b>Solid</b> (F7) and measure each solid ink.</p>"
        "<h3>Keeping the list</h3>"
        "<p><b>SaveList</b> (Ctrl+S) writes the list as tab-separated text. The list is also "
        "kept safe as it grows: after a crash the next start offers it back. "
        "<b>ClearList</b> can be undone once with Ctrl+Z.</p>"
        "<h3>When something fails</h3>"
        "<p>The line at the bottom of the window says what failed and shows the code; it "
        "clears with the next success. A curve drawn in grey is the previous sample's.</p>"
        "<h3>The graph</h3>"
        "<p>Click in the left or top margin to set a marker and drag it; drag a rectangle to "
        "zoom; a right click or any key shows the whole range. <b>Clear markers</b> in the "
        "graph's context menu removes them all.</p>");
}

QString aboutText()
{
    return QStringLiteral(
        "<h3>LtrakW %1</h3>"
        "<p>Colour-measurement workstation for the printing trade.</p>"
        "<p>Build: %2 %3 (%4), compiled with GCC %5<br>"
        "Qt: %6 at run time (built with %7)</p>"
        "<h4>Licences</h4>"
        "<p>LtrakW and its instrument library LTCtl are this project's own work.<br>"
        "Qt %6 is used under the GNU Lesser General Public License v3 "
        "(<a href=\"https://www.qt.io/licensing/\">qt.io/licensing</a>).<br>"
        "ALSA (libasound) is used under the GNU Lesser General Public License v2.1.<br>"
        "The CIE observer and illuminant tables are built from data published by the "
        "CIE.</p>")
        .arg(QString::fromLatin1(LTRAKW_VERSION), QString::fromLatin1(__DATE__),
            QString::fromLatin1(__TIME__), QString::fromLatin1(buildKind()),
            QString::fromLatin1(__VERSION__), QString::fromLatin1(qVersion()),
            QString::fromLatin1(QT_VERSION_STR));
}

void showGettingStarted(QWidget* parent)
{
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(kGettingStartedTitle),
        gettingStartedText(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.exec();
}

void showAbout(QWidget* parent)
{
    QMessageBox::about(parent, QStringLiteral("About LtrakW"), aboutText());
}
