// The program's headers come before Qt's: Qt's "slots" keyword macro would
// otherwise rewrite members of that name.
#include "core/service/ServiceObserver.h"
#include "core/station/Workstation.h"
#include "ui/shell/ToneGenerator.h"

#include "ui/service/Service.h"
#include "ui/shell/OnThreadOf.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

constexpr int kPageMargin = 12; // [px]
constexpr int kWaitStepMs = 10; // [ms] while a stopped download ends

const char* const kInstructions[] = {
    "This Dialog Box is for Service purpose only !",
    "For the DOWNLOAD of a new Lumatrak program version please follow this procedure: ",
    "1.  Start Service",
    "2.  Load File",
    "3.  Download Program",
    "4.  Close Service",
    "In case of programming oddities dis- and reconnect the device (device plug)",
};
const char* const kPersonnelOnly =
    "All other service functions should be performed by service personnel only !";

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

// Carries what the logic reports, from whichever thread, to the page.
class CService::PageObserver : public lt::ServiceObserver {
public:
    explicit PageObserver(CService& owner) : page(owner) { }

    void messageLineChanged(const std::string& text) override
    {
        const QString shown = latin1(text);
        onPage([this, shown] { page.showMessageLine(shown); });
    }
    void progressRangeChanged(int low, int high) override
    {
        onPage([this, low, high] { page.showRange(low, high); });
    }
    void progressChanged(int position) override
    {
        onPage([this, position] { page.showPosition(position); });
    }
    void downloadRunningChanged(bool running) override
    {
        onPage([this, running] { page.showRunning(running); });
    }

private:
    template <class Change>
    void onPage(Change change)
    {
        onThreadOf(&page, std::move(change));
    }

    CService& page;
};

CService::CService(
    lt::Workstation& workstation, QWidget* parent, lt::ServiceController::Beeper beeper)
    : QWidget(parent), station(workstation)
{
    if (!beeper)
        beeper = [](unsigned long frequency, unsigned long duration) {
            ToneGenerator::instance().play(frequency, duration);
        };
    buildControls();
    logic = std::make_unique<lt::ServiceController>(station, std::move(beeper));
    observer = std::make_unique<PageObserver>(*this);
    logic->setObserver(observer.get());
    showRange(logic->progressLow(), logic->progressHigh());
    showPosition(logic->progressPosition());
}

CService::~CService()
{
    // The download may be waiting for the operator's answer on this
    // thread: keep answering events until it has stopped.
    logic->requestStop();
    while (logic->downloadRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kWaitStepMs);
        QThread::msleep(kWaitStepMs);
    }
    logic->waitForDownload();
    logic->setObserver(nullptr);
}

void CService::setInstrumentPage(lt::InstrumentPageLink* page)
{
    logic->setInstrumentPage(page);
}

void CService::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);

    auto* instructions = new QVBoxLayout;
    for (const char* text : kInstructions)
        instructions->addWidget(new QLabel(QString::fromLatin1(text), this));
    layout->addLayout(instructions);
    layout->addSpacing(kPageMargin);

    auto makeGroup = [this](const char* title, std::initializer_list<QPushButton**> buttons,
                         std::initializer_list<const char*> captions) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        auto* row = new QHBoxLayout(group);
        auto caption = captions.begin();
        for (QPushButton** button : buttons) {
            *button = new QPushButton(QString::fromLatin1(*caption++), group);
            row->addWidget(*button);
        }
        return group;
    };
    QPushButton* blankCheckFlash = nullptr;
    QPushButton* readFlash = nullptr;
    QPushButton* eraseFlash = nullptr;
    QPushButton* blankCheckSerial = nullptr;
    QPushButton* readSerial = nullptr;
    QPushButton* eraseSerial = nullptr;
    auto* groups = new QGridLayout;
    groups->addWidget(makeGroup("Enter and Quit Service", {&startService, &closeService},
                          {"Start Service", "Close Service"}),
        0, 0);
    groups->addWidget(
        makeGroup("File handling", {&loadFile, &saveData}, {"Load File ", "Save data "}), 0, 1);
    groups->addWidget(
        makeGroup("Flash EEPROM Program Memory",
            {&downloadProgram, &blankCheckFlash, &readFlash, &eraseFlash},
            {"Download Program", "BlankCheck FEEPROM", "Read FEEPROM", "Erase FEEPROM"}),
        1, 0, 1, 2);
    groups->addWidget(
        makeGroup("Serial EEPROM Parameter Memory",
            {&downloadParameter, &blankCheckSerial, &readSerial, &eraseSerial},
            {"Download Parameter", "BlankCheck SEEPROM", "Read SEEPROM", "Erase SEEPROM"}),
        2, 0, 1, 2);
    layout->addLayout(groups);
    // Functions of the service personnel's own tools: shown, not offered.
    for (QPushButton* unused : {blankCheckFlash, readFlash, eraseFlash, blankCheckSerial,
             readSerial, eraseSerial, saveData})
        unused->setEnabled(false);

    auto* messageRow = new QHBoxLayout;
    messageRow->addWidget(new QLabel(QStringLiteral("Message:"), this));
    message = new QLabel(this);
    message->setFrameShape(QFrame::StyledPanel);
    message->setFrameShadow(QFrame::Sunken);
    message->setMinimumHeight(message->fontMetrics().height() + 2 * message->frameWidth() + 4);
    messageRow->addWidget(message, 1);
    layout->addSpacing(kPageMargin);
    layout->addLayout(messageRow);
    progress = new QProgressBar(this);
    progress->setTextVisible(false);
    layout->addWidget(progress);
    layout->addSpacing(kPageMargin);
    layout->addWidget(new QLabel(QString::fromLatin1(kPersonnelOnly), this));
    layout->addStretch(1);

    connect(startService, &QPushButton::clicked, this, [this] { logic->startService(); });
    connect(closeService, &QPushButton::clicked, this, [this] { logic->closeService(); });
    connect(loadFile, &QPushButton::clicked, this, [this] { logic->loadFile(); });
    connect(downloadProgram, &QPushButton::clicked, this, [this] { logic->downloadProgram(); });
}

void CService::showMessageLine(const QString& text)
{
    message->setText(text);
}

void CService::showRange(int low, int high)
{
    // An image that ends before the flash begins leaves nothing to write:
    // the bar shows that as complete rather than as busy.
    if (high <= low)
        progress->setRange(0, 1);
    else
        progress->setRange(low, high);
}

void CService::showPosition(int position)
{
    if (progress->maximum() == 1 && progress->minimum() == 0)
        progress->setValue(1);
    else
        progress->setValue(std::clamp(position, progress->minimum(), progress->maximum()));
}

void CService::showRunning(bool running)
{
    for (QPushButton* button : {startService, closeService, loadFile, downloadProgram})
        button->setEnabled(!running);
    Q_EMIT downloadRunningChanged(running);
}
