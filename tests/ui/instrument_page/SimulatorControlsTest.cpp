// The simulator's menu and strip show one state: a sample or model chosen
// in one of them, or the device type chosen on the instrument page, shows
// in both.
#include "PageFixture.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>

#include "ui/shell/SimulatorControl.h"
#include "ui/shell/SimulatorMenu.h"
#include "ui/shell/SimulatorPanel.h"

namespace {

QString checkedText(QActionGroup* group)
{
    QAction* checked = group->checkedAction();
    return checked ? checked->text() : QString();
}

QAction* actionNamed(QActionGroup* group, const QString& text)
{
    for (QAction* action : group->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

TEST_F(PageTest, SampleChosenInTheStripOrTheMenuShowsInBoth)
{
    createSheet();
    SimulatorMenu& menu = *sheet->simulatorMenu();
    SimulatorPanel& strip = *sheet->simulatorPanel();
    EXPECT_EQ(checkedText(menu.sampleActions()), "paper");
    EXPECT_EQ(strip.sampleBox()->currentText(), "paper");

    strip.sampleBox()->setCurrentText("C100");
    Q_EMIT strip.sampleBox()->textActivated("C100");
    EXPECT_EQ(simulator->sample(), "C100");
    EXPECT_EQ(checkedText(menu.sampleActions()), "C100");

    QAction* yellow = actionNamed(menu.sampleActions(), "Y100");
    ASSERT_NE(yellow, nullptr);
    yellow->trigger();
    EXPECT_EQ(simulator->sample(), "Y100");
    EXPECT_EQ(strip.sampleBox()->currentText(), "Y100");
}

TEST_F(PageTest, ModelChosenInTheMenuOrOnThePageShowsInBoth)
{
    createSheet();
    SimulatorMenu& menu = *sheet->simulatorMenu();
    SimulatorPanel& strip = *sheet->simulatorPanel();
    EXPECT_EQ(checkedText(menu.modelActions()), "Lumatrak S");
    EXPECT_TRUE(strip.modelLabel()->text().contains("Lumatrak S"));

    QAction* spectrolino = actionNamed(menu.modelActions(), "Spectrolino");
    ASSERT_NE(spectrolino, nullptr);
    spectrolino->trigger();
    EXPECT_EQ(simulator->device(), ltsim::DeviceKind::Spectrolino);
    EXPECT_TRUE(strip.modelLabel()->text().contains("Spectrolino"));

    Q_EMIT page().deviceTypeBox()->activated(1);
    EXPECT_EQ(simulator->device(), ltsim::DeviceKind::LumatrakA);
    EXPECT_EQ(checkedText(menu.modelActions()), "Lumatrak A (XY table)");
    EXPECT_TRUE(strip.modelLabel()->text().contains("Lumatrak A"));
}

TEST_F(PageTest, TheMenuSwitchesThePressToMoreDotGainAndBack)
{
    createSheet();
    auto* moreDotGain = sheet->simulatorMenu()->findChild<QAction*>("MoreDotGain");
    ASSERT_NE(moreDotGain, nullptr);
    EXPECT_FALSE(moreDotGain->isChecked());
    const float standard = simulator->expectedReading("K50")->lab[0];
    moreDotGain->trigger();
    EXPECT_DOUBLE_EQ(simulator->dotGain(), ltsim::kStandardDotGain + 10.0);
    EXPECT_LT(simulator->expectedReading("K50")->lab[0], standard - 3.0f);
    moreDotGain->trigger();
    EXPECT_DOUBLE_EQ(simulator->dotGain(), ltsim::kStandardDotGain);
}

TEST_F(PageTest, InkMixtureUnderTheHeadShowsInTheStripAndClearsTheMenusCheck)
{
    createSheet();
    auto* control = sheet->findChild<SimulatorControl*>();
    ASSERT_NE(control, nullptr);
    SimulatorMenu& menu = *sheet->simulatorMenu();
    SimulatorPanel& strip = *sheet->simulatorPanel();

    EXPECT_FALSE(control->setSample("not an ink"));
    EXPECT_EQ(strip.sampleBox()->currentText(), "paper");
    EXPECT_EQ(checkedText(menu.sampleActions()), "paper");

    ASSERT_TRUE(control->setSample("C30M20"));
    EXPECT_EQ(strip.sampleBox()->currentText(), "C30M20");
    EXPECT_EQ(menu.sampleActions()->checkedAction(), nullptr);

    // Back to a named sample from the strip: the menu checks it again.
    Q_EMIT strip.sampleBox()->textActivated("K100");
    EXPECT_EQ(simulator->sample(), "K100");
    EXPECT_EQ(checkedText(menu.sampleActions()), "K100");
}
