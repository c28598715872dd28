#pragma once
// The operator as the desktop program reaches them: modal message boxes,
// file dialogs and the "SpotID" prompt. A question asked from a worker
// thread is carried to the user-interface thread, which answers it while
// the worker waits.
#include <string>
#include <vector>

#include <QObject>

#include "core/station/Operator.h"

class QString;
class QWidget;

class QtOperator : public QObject, public lt::Operator {
    Q_OBJECT
public:
    QtOperator() = default;

    // Dialogs open over this window (the main sheet once it exists).
    void setParentWindow(QWidget* window) { parentWindow = window; }

    // Messages raised while the main window is being built (a damaged file
    // named in the settings) must open over that window, not alone before
    // it: from now on, a message that only informs (an "OK" box) waits
    // until showHeldMessages(). Questions are asked at once.
    void holdMessagesUntilShown() { holding = true; }
    // Shows the held messages in their order over the parent window, once
    // the event loop runs, and stops holding.
    void showHeldMessages();

    lt::MessageAnswer showMessage(const std::string& text, const std::string& caption,
        lt::MessageButtons buttons, lt::MessageIcon icon) override;
    std::optional<std::string> chooseFileToOpen(
        const std::string& title, const std::string& startPath, const std::string& filter) override;
    std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& startPath, const std::string& filter) override;
    std::optional<lt::SpotColorNameAnswer> askSpotColorName(
        const lt::SpotColorNamePrompt& prompt) override;
    bool alignChart(lt::ChartAlignment& alignment) override;

private:
    using FileDialog = QString (*)(QWidget*, const QString&, const QString&, const QString&);
    // A file choice through the text-file dialogs the colour metrics page
    // shares (".txt" names, overwrite question about the final name).
    std::optional<std::string> chooseFile(const std::string& title, const std::string& startPath,
        const std::string& filter, FileDialog dialog);

    // Runs question on the user-interface thread and returns its result.
    template <class Result, class Question>
    Result onInterfaceThread(Question question);

    struct HeldMessage {
        std::string text;
        std::string caption;
        lt::MessageIcon icon;
    };

    QWidget* parentWindow = nullptr;
    bool holding = false;
    std::vector<HeldMessage> held;
};

// The program's name, used as the caption of messages that have none.
inline constexpr const char* kProgramName = "LtrakW";

// Installs the tone generator as the instrument library's beep handler and
// op's message boxes as its message handler.
void installLibraryHooks(QtOperator& op);
