#pragma once
// The one way the program's logic reaches the operator. The logic never
// shows a window itself: the desktop program implements this interface with
// modal dialogs, tests implement it with scripted answers. Every call blocks
// until the operator has answered; an implementation called from a worker
// thread must carry the question to the user-interface thread and wait.
#include <functional>
#include <optional>
#include <string>

namespace lt {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class MessageIcon { None, Information, Question, Exclamation, Stop };

// The button the operator pressed (closing the box counts as Cancel, or as
// Ok for a box with only Ok).
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

// Question for the name of a spot colour just taught by measurement.
struct SpotColorNamePrompt {
    double centreWavelength = 0.0; // [nm] shown as " %.1f nm"
    std::string presetName; // "S<number of entries>"
    bool narrow = true; // which window is checked at first
    // Called at once whenever the operator clicks "Narrow" (true) or "Wide"
    // (false), before the prompt closes. May be empty.
    std::function<void(bool narrow)> onWindowChosen;
};

class ChartAlignment;

struct SpotColorNameAnswer {
    std::string name; // as typed; the caller keeps the first 20 characters
    bool narrow = true;
};

class Operator {
public:
    virtual ~Operator() = default;

    // Modal message box. An empty caption lets the implementation use the
    // program's name.
    virtual MessageAnswer showMessage(const std::string& text, const std::string& caption,
        MessageButtons buttons, MessageIcon icon) = 0;

    // File choice for reading. filter is e.g. " ListFiles(*.txt) "; the answer
    // is the chosen path, or nothing when the operator cancelled.
    virtual std::optional<std::string> chooseFileToOpen(
        const std::string& title, const std::string& startPath, const std::string& filter) = 0;

    // File choice for writing, same conventions as chooseFileToOpen.
    virtual std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& startPath, const std::string& filter) = 0;

    // The "SpotID" prompt. Nothing means Cancel.
    virtual std::optional<SpotColorNameAnswer> askSpotColorName(
        const SpotColorNamePrompt& prompt) = 0;

    // The "InitAuto" dialog: the operator steers the table's head over the
    // three corner patches and presses Set P1, Set P2, Set P3 (each calls the
    // matching step of alignment), then Start (true when alignment.start()
    // accepted the corners) or Cancel (false). Asked by the automatic chart
    // run's worker, which waits for the answer.
    virtual bool alignChart(ChartAlignment& alignment)
    {
        (void)alignment;
        return false;
    }

    // Later prompts are added here with a default that answers Cancel, so
    // that existing implementations still build.
};

} // namespace lt
