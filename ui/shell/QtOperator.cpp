#include "ui/shell/QtOperator.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "instrument/include/TaviSpec.h"
#include "ui/charts/InitAutoDialog.h"
#include "ui/metrics/SpotIdDialog.h"
#include "ui/metrics/TextFileDialog.h"
#include "ui/shell/ToneGenerator.h"

namespace {

QString local8(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::StandardButtons standardButtons(lt::MessageButtons buttons)
{
    switch (buttons) {
    case lt::MessageButtons::Ok:
        return QMessageBox::Ok;
    case lt::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case lt::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case lt::MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case lt::MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(lt::MessageIcon icon)
{
    switch (icon) {
    case lt::MessageIcon::Information:
        return QMessageBox::Information;
    case lt::MessageIcon::Question:
        return QMessageBox::Question;
    case lt::MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case lt::MessageIcon::Stop:
        return QMessageBox::Critical;
    case lt::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

lt::MessageAnswer answerOf(int button, lt::MessageButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return lt::MessageAnswer::Ok;
    case QMessageBox::Yes:
        return lt::MessageAnswer::Yes;
    case QMessageBox::No:
        return lt::MessageAnswer::No;
    case QMessageBox::Retry:
        return lt::MessageAnswer::Retry;
    default:
        // A box closed without a choice: Cancel, or Ok when Ok is all it offers.
        return buttons == lt::MessageButtons::Ok ? lt::MessageAnswer::Ok
                                                 : lt::MessageAnswer::Cancel;
    }
}

void libraryMessage(const char* text, const char* caption, void* context)
{
    auto* op = static_cast<QtOperator*>(context);
    op->showMessage(
        text ? text : "", caption ? caption : "", lt::MessageButtons::Ok, lt::MessageIcon::None);
}

} // namespace

template <class Result, class Question>
Result QtOperator::onInterfaceThread(Question question)
{
    if (QThread::currentThread() == qApp->thread())
        return question();
    Result result {};
    QMetaObject::invokeMethod(
        qApp, [&] { result = question(); }, Qt::BlockingQueuedConnection);
    return result;
}

lt::MessageAnswer QtOperator::showMessage(const std::string& text, const std::string& caption,
    lt::MessageButtons buttons, lt::MessageIcon icon)
{
    return onInterfaceThread<lt::MessageAnswer>([&] {
        if (holding && buttons == lt::MessageButtons::Ok) {
            held.push_back({text, caption, icon});
            return lt::MessageAnswer::Ok;
        }
        QMessageBox box(boxIcon(icon),
            caption.empty() ? QString::fromLatin1(kProgramName) : local8(caption), local8(text),
            standardButtons(buttons), parentWindow);
        return answerOf(box.exec(), buttons);
    });
}

void QtOperator::showHeldMessages()
{
    holding = false;
    QTimer::singleShot(0, this, [this] {
        std::vector<HeldMessage> waiting;
        waiting.swap(held);
        for (const HeldMessage& message : waiting)
            showMessage(message.text, message.caption, lt::MessageButtons::Ok, message.icon);
    });
}

std::optional<std::string> QtOperator::chooseFileToOpen(
    const std::string& title, const std::string& startPath, const std::string& filter)
{
    return chooseFile(title, startPath, filter, &lt::chooseTextFileToOpen);
}

std::optional<std::string> QtOperator::chooseFileToSave(
    const std::string& title, const std::string& startPath, const std::string& filter)
{
    return chooseFile(title, startPath, filter, &lt::chooseTextFileToSave);
}

std::optional<std::string> QtOperator::chooseFile(const std::string& title,
    const std::string& startPath, const std::string& filter, FileDialog dialog)
{
    return onInterfaceThread<std::optional<std::string>>([&]() -> std::optional<std::string> {
        const QString path = dialog(parentWindow, local8(title), local8(startPath), local8(filter));
        if (path.isEmpty())
            return std::nullopt;
        return path.toLocal8Bit().toStdString();
    });
}

std::optional<lt::SpotColorNameAnswer> QtOperator::askSpotColorName(
    const lt::SpotColorNamePrompt& prompt)
{
    return onInterfaceThread<std::optional<lt::SpotColorNameAnswer>>(
        [&] { return lt::askSpotId(prompt, parentWindow); });
}

bool QtOperator::alignChart(lt::ChartAlignment& alignment)
{
    return onInterfaceThread<bool>([&] {
        lt::InitAutoDialog dialog(alignment, parentWindow);
        return dialog.run();
    });
}

void installLibraryHooks(QtOperator& op)
{
    CTaviSpec::SetBeepHandler(&ToneGenerator::beepHandler, nullptr);
    CTaviSpec::SetMessageHandler(&libraryMessage, &op);
}
