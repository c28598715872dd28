#pragma once
// What the "Quality Control" tab does, without drawing anything: its start,
// the judgement of every new sample and what the fields then show, list
// editing ("Add", "Insert", "Change", "Delete", "Clear List"), tolerance
// editing ("No:", the four tolerance edits, "SetLLimit", "SetDLimit",
// "All"), logging ("Save"), and loading, saving and composing the set for
// printing. The page view forwards clicks and typing here and mirrors the
// fields of form() after each call.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/qc/QcForm.h"
#include "core/qc/QcJudgement.h"
#include "core/qc/QcPageGeometry.h"
#include "core/qc/QcSet.h"

namespace lt {

class Workstation;

inline constexpr const char* kQcPictureName = "LabFile.bmp";
inline constexpr const char* kQcPictureMissingCaption = "Bitmap cannot be found !";
inline constexpr const char* kQcOpenTitle = "Open Quality Control Set";
inline constexpr const char* kQcSaveTitle = "Save Quality Control Set";
inline constexpr const char* kQcNoItemSelectedMessage = "No Item selected !";
inline constexpr const char* kQcNothingToAddMessage = "No relevant 'L a b' to add !";
inline constexpr const char* kQcNothingToInsertMessage = "No relevant 'L a b' to insert !";
inline constexpr const char* kQcNoPrintingMessage = "No printing done !";
inline constexpr const char* kQcClearQuestion = "Do you really want to clear the list ?";
inline constexpr const char* kQcClearCaption = "Warning";
inline constexpr const char* kQcListFullMessage =
    "The list is full (200 entries) !\nDelete an entry before adding another.";
inline constexpr const char* kQcLogFullMessage =
    "The match log is full (300 matches) !\nSave the set and load it again to start a new log.";

// The fields the operator types into.
enum class QcField {
    EntryNumber,
    DeltaELight,
    DeltaLLight,
    DeltaEDark,
    DeltaLDark,
    L,
    A,
    B,
    Average,
    Comment
};

class QcPageLogic {
public:
    explicit QcPageLogic(Workstation& workstation);

    // The first time the tab is shown: the set and the judgement start
    // afresh. Until then samples are not judged.
    void initialise();
    bool initialised() const { return started; }

    // "LabFile.bmp" from the data directory, checked; empty (after the
    // operator was shown the path under "Bitmap cannot be found !") when it
    // is missing or unusable.
    std::vector<std::uint8_t> loadPlanePicture();

    // A new sample's L*, a*, b*: judged, and the fields updated.
    void Update(const Lab& sample);

    // The operator typed text into a field.
    void typed(QcField field, const std::string& text);
    // A list row was clicked: its number goes into "No:".
    void selectEntry(int number);

    // Commands; selected is the number of the selected list row, if any.
    void loadSet();
    void saveSet();
    void add();
    void insert(std::optional<int> selected);
    void change(std::optional<int> selected);
    void remove(std::optional<int> selected);
    void clearList();
    void logMatch();
    void setLightLimit();
    void setDarkLimit();
    void applyToAll();

    // "Print Set": the text to print (the "#2" line names the path last
    // loaded or saved), the lines that close the printout (the formula of
    // the colour differences, the summary of the log), and the message when
    // nothing was printed.
    std::string printText();
    std::vector<std::string> printClosingLines() const;
    void reportNoPrinting();

    // The colour-difference formula the operator chose on the colour
    // metrics page ("DeltaEFormula"; CIE 1976 unless changed). Read at every
    // judgement, so a change counts from the next sample on.
    DeltaEFormula deltaEFormula() const;
    // Beside "dE:": the formula in use now, unless a dE is shown, which
    // keeps the name of the formula that computed it.
    void showFormula();

    const QcSet& set() const { return qcSet; }
    const QcRun& run() const { return qcRun; }
    const QcForm& form() const { return fields; }
    // Changes whenever the list of entries changes.
    int listRevision() const { return revision; }
    // What the plane and the two bars show now.
    QcGraphicsState graphicsState() const;

private:
    int addressedEntry() const;
    void showEntry(int number); // "No:" and the four tolerance edits
    void emptyEntryFields();
    void setLimit(bool light);
    void listChanged() { ++revision; }
    void tell(const char* text);
    void prepareForWriting();

    Workstation& station;
    QcSet qcSet;
    QcRun qcRun;
    QcForm fields;
    Lab currentSample {};
    std::string lastPath; // of "Load Set" or "Save Set"
    DeltaEFormula judgedBy = DeltaEFormula::Cie76; // of the judgement shown
    // Formulas that judged the matches of the log (bit per DeltaEFormula).
    unsigned loggedFormulas = 0;
    int revision = 0;
    bool started = false;
};

} // namespace lt
