// "Acquire" and the remote mode: the curve, the beeps, the instrument's own
// key and a line that drops.
#include "PageFixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "ui/graph/SpectrumGraphWidget.h"
#include "ui/shell/SimulatorPanel.h"

using lt::MessageAnswer;

namespace {

class MeasureTest : public PageTest {
protected:
    // A Lumatrak S initialised, remote mode switched off again.
    void initialise()
    {
        createSheet();
        op.answer(MessageAnswer::Ok);
        clickInit();
        ASSERT_TRUE(page().controller().deviceReady());
        page().remoteButton()->click();
        ASSERT_EQ(page().remoteButton()->text().toStdString(), "Remote Off");
        ASSERT_TRUE(page().acquireButton()->isEnabled());
        beeps.clear();
    }
};

} // namespace

TEST_F(MeasureTest, AcquireDrawsTheCurveAndBeepsOnce)
{
    initialise();
    ASSERT_TRUE(page().graph()->showsWelcomePicture());
    simulator->setSample("C100");
    page().acquireButton()->click();
    EXPECT_EQ(page().controller().lastResult(), 0u);
    EXPECT_EQ(beeps, std::vector<Beep> {kSuccessBeep});
    EXPECT_EQ(workstation->list().rowCount(), 1);
    EXPECT_FALSE(page().graph()->showsWelcomePicture());
    const auto& curve = page().graph()->curve();
    ASSERT_EQ(curve.size(), 36u);
    // Cyan ink reflects blue light and absorbs red: the curve is higher
    // (smaller y) at 480 nm than at 680 nm.
    EXPECT_LT(curve[10].y, curve[30].y);
    screenshot("after-measurement");
    // The colour metrics page, created with the sheet, has the row too.
    sheet->tabs()->setCurrentIndex(1);
    screenshot("metrics-after-measurement");
}

TEST_F(MeasureTest, BeepOptionOffSilencesTheMeasurement)
{
    initialise();
    workstation->record().beepOption = 0;
    page().acquireButton()->click();
    ASSERT_EQ(page().controller().lastResult(), 0u) << "the measurement itself succeeded";
    EXPECT_EQ(workstation->list().rowCount(), 1);
    EXPECT_TRUE(beeps.empty());
}

TEST_F(PageTest, AcquireWithoutAnOpenPortBeepsFourTimes)
{
    createSheet();
    page().acquireButton()->click();
    EXPECT_EQ(page().controller().lastResult(), lt::kStatusPortNotOpen);
    EXPECT_EQ(beeps, kFailureBeeps);
}

TEST_F(MeasureTest, SecondMeasurementIsRefusedWhileAnExchangeRuns)
{
    initialise();
    lt::InstrumentAccess::Exchange running = workstation->instrumentAccess().tryBegin();
    ASSERT_TRUE(running);
    page().acquireButton()->click();
    EXPECT_TRUE(beeps.empty());
    EXPECT_EQ(workstation->list().rowCount(), 0);
    running.release();
    page().acquireButton()->click();
    EXPECT_EQ(workstation->list().rowCount(), 1);
}

TEST_F(PageTest, RemoteModeFetchesAKeyPressAndStopsWhenTheLineDrops)
{
    createSheet();
    op.answer(MessageAnswer::Ok);
    clickInit();
    ASSERT_TRUE(page().remoteTimer().isActive());
    beeps.clear();

    // The operator puts magenta under the head and presses the instrument's key.
    sheet->simulatorPanel()->sampleBox()->setCurrentText("M100");
    Q_EMIT sheet->simulatorPanel()->sampleBox()->textActivated("M100");
    sheet->simulatorPanel()->keyButton()->click();
    EXPECT_EQ(simulator->sample(), "M100");
    ASSERT_TRUE(waitFor([&] { return workstation->list().rowCount() == 1; }));
    EXPECT_EQ(beeps, std::vector<Beep> {kSuccessBeep});
    EXPECT_EQ(page().graph()->curve().size(), 36u);
    EXPECT_TRUE(waitFor([&] { return page().remoteTimer().isActive(); }));
    EXPECT_EQ(page().remoteButton()->text().toStdString(), "Remote On");

    beeps.clear();
    simulator->injectFault({ltsim::FaultKind::HangUp, ltsim::FaultScope::NextReply});
    ASSERT_TRUE(waitFor([&] { return page().remoteButton()->text() == "Remote Off"; }, 15000));
    EXPECT_EQ(beeps, kLinkLostBeeps);
    EXPECT_FALSE(page().remoteTimer().isActive());
    EXPECT_EQ(readSetting("TaviLight", "Remote"), "0");
    EXPECT_EQ(workstation->list().rowCount(), 1);
}

TEST_F(PageTest, RemoteAtStartWithoutAnInstrumentSwitchesOffWithTwoBeeps)
{
    presetSetting("TaviLight", "Remote", "1");
    createSheet();
    EXPECT_EQ(page().remoteButton()->text().toStdString(), "Remote On");
    EXPECT_FALSE(page().remoteButton()->isEnabled());
    ASSERT_TRUE(waitFor([&] { return page().remoteButton()->text() == "Remote Off"; }));
    EXPECT_EQ(beeps, kLinkLostBeeps);
    EXPECT_EQ(readSetting("TaviLight", "Remote"), "0");
}

TEST_F(MeasureTest, MeasureModeRadiosSwitchTheInstrument)
{
    initialise();
    QRadioButton* transmission = nullptr;
    for (QRadioButton* radio : page().findChildren<QRadioButton*>())
        if (radio->text() == "Transmission")
            transmission = radio;
    ASSERT_NE(transmission, nullptr);
    transmission->click();
    EXPECT_EQ(workstation->record().measureMode, lt::MeasureTransmission);
    EXPECT_EQ(simulator->conditions().mode, ltsim::MeasureMode::Transmission);

    // The "Transmission" toggle of the spectrometer controls switches back.
    page().controller().toggleTransmission();
    EXPECT_EQ(workstation->record().measureMode, lt::MeasureReflection);
    EXPECT_EQ(simulator->conditions().mode, ltsim::MeasureMode::Reflection);
}

TEST_F(PageTest, DensityParametersDialogRestsTheRemotePoll)
{
    createSheet();
    op.answer(MessageAnswer::Ok);
    clickInit();
    ASSERT_TRUE(page().remoteTimer().isActive());
    lt::InstrumentPageLink& link = page();
    EXPECT_TRUE(link.instrumentInitialised());
    EXPECT_TRUE(link.pauseLiveReading());
    EXPECT_FALSE(page().remoteTimer().isActive());
    EXPECT_FALSE(link.pauseLiveReading()); // already resting
    link.resumeLiveReading();
    EXPECT_TRUE(page().remoteTimer().isActive());
    EXPECT_EQ(page().remoteButton()->text().toStdString(), "Remote On");
}
