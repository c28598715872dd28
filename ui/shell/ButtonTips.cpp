#include "ui/shell/ButtonTips.h"

#include <QAbstractButton>
#include <QString>
#include <QWidget>

namespace {

struct ButtonTip {
    const char* caption;
    const char* tip;
};

constexpr ButtonTip kButtonTips[] = {
    // Spectrum
    {"Init Device", "Opens the port, identifies the instrument and takes the white reference."},
    {"Acquire", "Measures the sample under the instrument's head (F5)."},
    {"Remote On", "Switches remote mode, in which the instrument's own key measures, on or off."},
    {"Remote Off", "Switches remote mode, in which the instrument's own key measures, on or off."},
    {"Reflection", "Measures light reflected by the sample."},
    {"Transmission", "Measures light passing through the sample (film, transparencies)."},
    {"Emission", "Measures the light a source sends out."},
    {"Beep", "Beeps once after each measurement, four times after a failure."},
    {"COM1", "The instrument is connected to the first serial port."},
    {"COM2", "The instrument is connected to the second serial port."},
    {"DarkRef", "Takes the dark reference of the spectrometer (cover its entrance)."},
    {"ZeroRef", "Takes the white reference of the spectrometer."},
    {"New Parameter", "Sends the integration time, gain, scans and limits to the spectrometer."},
    // Color Metrics
    {"White", "The next sample is paper white: densities become relative to it (F6)."},
    {"Solid", "The next sample is the solid of a process or spot ink (F7)."},
    {"Absolute", "Densities as measured."},
    {"Relative", "Densities relative to paper white, with dot areas after the solids."},
    {"dE", "Colour difference (delta E) of the two selected rows."},
    {"InitSpotClr", "The next sample teaches a new spot colour."},
    {"Parameter", "Density slopes, Yule-Nielsen factors, filter, illuminant and spot colours."},
    {"ClearList", "Empties the measurement list (Ctrl+Z brings it back once)."},
    {"SaveList", "Writes the list as tab-separated text for a spreadsheet (Ctrl+S)."},
    {"ProcessColor", "The large display shows the process colour's density and dot area."},
    {"Lab", "The large display shows L*, a* and b*."},
    {"XYZ", "The large display shows X, Y and Z."},
    {"SpotColor", "The large display shows the spot colour's density and dot area."},
    // Quality Control
    {"Load Set", "Opens a quality-control set: reference colours, tolerances and the match log."},
    {"Save Set", "Writes the quality-control set with its match log."},
    {"Print Set", "Prints the set's entries, tolerances and logged matches."},
    {"Delete", "Removes the selected reference from the set."},
    {"Change", "Shows the selected reference in L, a, b and Comment for editing."},
    {"Insert", "Replaces the selected reference with the values in L, a, b and Comment."},
    {"Add", "Appends the values in L, a, b and Comment as a new reference."},
    {"Clear List", "Empties the set (its references and match log)."},
    {"All", "Gives every reference the tolerances shown here."},
    {"SetLLimit", "Takes the last sample's dE and dL as the light limit of the reference."},
    {"SetDLimit", "Takes the last sample's dE and dL as the dark limit of the reference."},
    {"Save", "Logs the last match (reference, dE, dL, OK) in the set."},
    // Service
    {"Start Service", "Leaves remote mode and opens the instrument's loader for a download."},
    {"Close Service", "Leaves the loader; the instrument starts its program."},
    {"Load File", "Reads and checks a program file (Motorola S-records) for download."},
    {"Save data", "Writes data read from the instrument to a file (service personnel only)."},
    {"Download Program", "Writes the loaded program into the instrument's flash memory."},
    {"BlankCheck FEEPROM", "Checks that the program memory is erased (service personnel only)."},
    {"Read FEEPROM", "Reads the program memory (service personnel only)."},
    {"Erase FEEPROM", "Erases the program memory (service personnel only)."},
    {"Download Parameter",
        "Writes a parameter file into the instrument (service personnel only)."},
    {"BlankCheck SEEPROM", "Checks that the parameter memory is erased (service personnel only)."},
    {"Read SEEPROM", "Reads the parameter memory (service personnel only)."},
    {"Erase SEEPROM", "Erases the parameter memory (service personnel only)."},
    // Simulator strip
    {"Press the instrument's key",
        "In remote mode the instrument measures when its key is pressed."},
};

} // namespace

QString buttonTip(const QString& caption)
{
    // Some captions carry a trailing blank ("Load File ").
    const QString trimmed = caption.trimmed();
    for (const ButtonTip& entry : kButtonTips)
        if (trimmed == QLatin1String(entry.caption))
            return QString::fromLatin1(entry.tip);
    return {};
}

void addButtonTips(QWidget* root)
{
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!button->toolTip().isEmpty())
            continue;
        const QString tip = buttonTip(button->text().remove(QLatin1Char('&')));
        if (!tip.isEmpty())
            button->setToolTip(tip);
    }
}
