// Long exchanges with the instrument run on the workstation's worker, as in
// the program: the window keeps answering (a 10 ms timer of the user
// interface never waits 50 ms), says what runs and how far it has come,
// rests the controls that would start a second exchange (a click on them
// is not replayed afterwards), and stops at once on "Cancel".
#include "../instrument_page/PageFixture.h"

#include <cstdio>
#include <cstdlib>

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/station/InterruptibleClock.h"
#include "ui/shell/ExchangeActivity.h"

namespace {

constexpr int kUiTimerMs = 10; // [ms]
constexpr qint64 kLongestAllowedGapMs = 50; // [ms]
constexpr int kWatchedMs = 1500; // [ms] of a long exchange watched

// LTRAKW_UI_GAP_WATCH_MS watches longer, for the figure of a whole exchange.
int watchedMs()
{
    const char* asked = std::getenv("LTRAKW_UI_GAP_WATCH_MS");
    return asked ? std::max(kWatchedMs, std::atoi(asked)) : kWatchedMs;
}

class LongExchangeTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        // As the program runs: exchanges on their own thread, waits that
        // a cancellation cuts short.
        workstation.reset();
        workstation = std::make_unique<lt::Workstation>(
            op, configDir, lt::ExchangeWorker::Threading::OwnThread);
        lt::setClock(&clock);
        workstation->exchanges().setWaitInterrupter(&clock);
    }

    void TearDown() override
    {
        PageTest::TearDown();
        lt::setClock(nullptr);
    }

    ExchangeActivity& activity() { return *sheet->exchangeActivity(); }
    bool idle() { return !workstation->exchanges().running(); }
    void createSheet()
    {
        PageTest::createSheet();
        QObject::connect(
            &activity(), &ExchangeActivity::exchangeFinished, [this] { ++finishedExchanges; });
    }
    // Waits until the exchanges started so far have ended and been shown.
    bool waitForEnd(int exchanges, int timeoutMs)
    {
        return waitFor([&] { return finishedExchanges >= exchanges; }, timeoutMs);
    }

    // Runs the event loop for ms and returns the longest gap between two
    // ticks of a 10 ms timer meanwhile.
    qint64 longestGapDuring(int ms)
    {
        QTimer tick;
        tick.setInterval(kUiTimerMs);
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QObject::connect(
            &tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        sinceTick.start();
        tick.start();
        loop.exec();
        return longest;
    }

    // The controls of the page rest with a tooltip naming the exchange.
    void expectResting(const char* action)
    {
        for (QWidget* control : page().exchangeControls()) {
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
            EXPECT_TRUE(control->toolTip().contains(action)) << control->toolTip().toStdString();
        }
        EXPECT_FALSE(sheet->tabs()->isTabEnabled(1)) << "Color Metrics rests";
        EXPECT_TRUE(sheet->tabs()->isTabEnabled(0)) << "the exchange's own tab stays";
    }

    lt::InterruptibleClock clock;
    int finishedExchanges = 0;
};

TEST_F(LongExchangeTest, DarkRefWithManyScansKeepsTheWindowAnsweringAndStopsOnCancel)
{
    simulator->setDevice(ltsim::DeviceKind::Spectrometer);
    presetSetting("TaviLight", "Brand", "3");
    presetSetting("TaviLight", "ITime", "4"); // 640 ms
    presetSetting("TaviLight", "NoOfScans", "255"); // minutes of integration
    createSheet();
    page().initButton()->click();
    ASSERT_TRUE(waitForEnd(1, 10000));
    ASSERT_EQ(page().controller().lastResult(), 0u);
    QPushButton* darkRef = nullptr;
    for (QPushButton* button : page().findChildren<QPushButton*>())
        if (button->text() == "DarkRef")
            darkRef = button;
    ASSERT_TRUE(darkRef && darkRef->isEnabled());

    // The spectrometer answers after the minutes its integration takes.
    simulator->injectFault({ltsim::FaultKind::Delay, ltsim::FaultScope::NextReply, 600000});
    const unsigned acquisitions = page().controller().acquisitions();
    darkRef->click();
    const qint64 gap = longestGapDuring(watchedMs());
    std::printf("[ UI gap   ] DarkRef 255 scans: longest gap of a %d ms timer in %d ms: %lld ms\n",
        kUiTimerMs, watchedMs(), static_cast<long long>(gap));
    EXPECT_LT(gap, kLongestAllowedGapMs);
    ASSERT_FALSE(idle());
    EXPECT_TRUE(activity().display()->isVisible());
    EXPECT_TRUE(activity().progressText()->text().startsWith("DarkRef: Scans "))
        << activity().progressText()->text().toStdString();
    EXPECT_EQ(activity().progressBar()->maximum(), 255);
    EXPECT_GE(activity().progressBar()->value(), 1) << "scans are counted as they pass";
    expectResting("DarkRef");

    // A click on a resting control does nothing now and nothing later.
    QTest::mouseClick(page().acquireButton(), Qt::LeftButton);
    page().controller().initDevice(); // refused: an exchange runs

    ASSERT_TRUE(activity().cancelButton()->isEnabled());
    QElapsedTimer cancelling;
    cancelling.start();
    activity().cancelButton()->click();
    ASSERT_TRUE(waitForEnd(2, 3000)) << "Cancel ends the integration's wait";
    EXPECT_LT(cancelling.elapsed(), 1000);
    EXPECT_FALSE(activity().display()->isVisible());
    EXPECT_TRUE(sheet->failureText().startsWith("DarkRef: Cancelled by the operator"))
        << sheet->failureText().toStdString();
    EXPECT_TRUE(op.messages.empty()) << "a cancellation is no communication error";
    // The abandoned acquisition closed the port: only Init Device may follow.
    EXPECT_TRUE(page().initButton()->isEnabled());
    EXPECT_FALSE(darkRef->isEnabled());
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    EXPECT_TRUE(sheet->tabs()->isTabEnabled(1));
    EXPECT_FALSE(page().initButton()->toolTip().contains("runs"));

    longestGapDuring(3 * ExchangeActivity::kShowAfterMs);
    EXPECT_TRUE(idle()) << "no click made meanwhile is replayed";
    EXPECT_EQ(page().controller().acquisitions(), acquisitions);
}

TEST_F(LongExchangeTest, InitDeviceOnASilentPortShowsTheBaudRateAndStopsOnCancel)
{
    presetSetting("TaviLight", "Brand", "0");
    createSheet();
    simulator->injectFault({ltsim::FaultKind::Silence, ltsim::FaultScope::FromNowOn});
    for (int rate = 1; rate < 11; ++rate)
        op.answer(lt::MessageAnswer::Yes); // "Try next Baud rate" while watched

    page().initButton()->click();
    const qint64 gap = longestGapDuring(watchedMs());
    std::printf(
        "[ UI gap   ] Init Device, baud search: longest gap of a %d ms timer in %d ms: %lld ms\n",
        kUiTimerMs, watchedMs(), static_cast<long long>(gap));
    EXPECT_LT(gap, kLongestAllowedGapMs);
    ASSERT_FALSE(idle());
    const QString progress = activity().progressText()->text();
    if (watchedMs() == kWatchedMs)
        EXPECT_EQ(progress, "Init Device: Trying 9600 baud (1 of 11)");
    else
        EXPECT_TRUE(progress.contains(
            QRegularExpression(R"(^Init Device: Trying \d+ baud \(\d+ of 11\)$)")))
            << progress.toStdString();
    EXPECT_EQ(
        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
        Qt::BusyCursor);
    expectResting("Init Device");

    QElapsedTimer cancelling;
    cancelling.start();
    activity().cancelButton()->click();
    ASSERT_TRUE(waitForEnd(1, 3000)) << "Cancel ends the wait for an answer";
    EXPECT_LT(cancelling.elapsed(), 1000);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (const lt::testing::ShownMessage& shown : op.messages)
        EXPECT_EQ(shown.caption, "COMPort Problem !") << "no comm trouble after a cancellation";
    if (watchedMs() == kWatchedMs) {
        EXPECT_TRUE(op.messages.empty()) << "Cancel came before the next rate was offered";
    }
    EXPECT_TRUE(sheet->failureText().startsWith("Init Device: Cancelled by the operator"))
        << sheet->failureText().toStdString();
    EXPECT_TRUE(page().initButton()->isEnabled());
}

} // namespace
