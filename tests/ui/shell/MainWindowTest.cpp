// The main window over a working day: its menus and keys, tooltips, the
// place and tab it remembers, the question before unsaved rows would be
// lost, the list offered back after a run that never closed its window,
// the undo of "ClearList", the simulator's line brought back after a drop,
// and messages raised while the window is built shown over it.
#include "../instrument_page/PageFixture.h"

#include <filesystem>

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/metrics/ColorMetricsLogic.h"
#include "core/metrics/ListJournal.h"
#include "ui/graph/SpectrumGraphWidget.h"
#include "ui/metrics/TaviDens.h"
#include "ui/shell/HelpDialogs.h"
#include "ui/shell/MainMenuBar.h"
#include "ui/shell/QtOperator.h"
#include "ui/shell/SimulatorMenu.h"
#include "ui/shell/SimulatorPanel.h"
#include "ui/shell/SimulatorTablePanel.h"

using lt::MessageAnswer;

namespace {

QStringList menuTitles(QMenuBar* bar)
{
    QStringList titles;
    for (QAction* action : bar->actions())
        titles << action->text().remove(QLatin1Char('&'));
    return titles;
}

QAction* menuEntry(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text().remove(QLatin1Char('&')).startsWith(text))
            return action;
    return nullptr;
}

lt::MeasurementRow row(int number)
{
    lt::MeasurementRow cells;
    cells[lt::column::kNumber] = "  " + std::to_string(number);
    cells[lt::column::kL] = "50.00";
    return cells;
}

// Presses button on the next message box as soon as it shows; remembers its text.
void answerNextBox(
    QMessageBox::StandardButton button, QString* text = nullptr, QWidget** parent = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (text)
            *text = box->text();
        if (parent)
            *parent = box->parentWidget();
        box->button(button)->click();
    });
}

class MainWindowTest : public PageTest {
protected:
    // Init Device answered with OK, remote mode switched off.
    void initialise()
    {
        op.answer(MessageAnswer::Ok);
        clickInit();
        ASSERT_TRUE(waitFor([&] { return page().controller().deviceReady(); }));
        if (page().remoteButton()->text() == "Remote On")
            page().remoteButton()->click();
        ASSERT_TRUE(waitFor([&] { return page().acquireButton()->isEnabled(); }));
    }

    std::string journalPath() const { return configDir + "/" + lt::kListJournalFileName; }
};

} // namespace

TEST_F(MainWindowTest, MenusAndFunctionKeysReachThePagesButtons)
{
    createSheet();
    MainMenuBar& menus = *sheet->menus();
    EXPECT_EQ(
        menuTitles(&menus), (QStringList {"File", "Edit", "Instrument", "Simulator", "Help"}));
    EXPECT_EQ(menus.acquireAction()->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(menus.whiteAction()->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(menus.solidAction()->shortcut(), QKeySequence(Qt::Key_F7));

    op.answer(MessageAnswer::Ok);
    menus.initDeviceAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return page().controller().deviceReady(); }));
    menus.remoteAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return page().acquireButton()->isEnabled(); }));

    // F5 measures from any tab; F6 asks for paper white on the metrics page.
    sheet->tabs()->setCurrentIndex(1);
    sheet->activateWindow();
    QTest::keyClick(sheet->tabs()->currentWidget(), Qt::Key_F5);
    EXPECT_TRUE(waitFor([&] { return workstation->list().rowCount() == 1; }));
    sheet->metricsPage()->findChild<QRadioButton*>("Relative")->click();
    QTest::keyClick(sheet->tabs()->currentWidget(), Qt::Key_F6);
    EXPECT_EQ(sheet->metricsPage()->logic().statusText(), "Calibrate paper white now !");

    // While a button is disabled, its menu entry shows it and its key does nothing.
    page().remoteButton()->click();
    ASSERT_TRUE(waitFor([&] { return !page().acquireButton()->isEnabled(); }));
    Q_EMIT menus.actions()[2]->menu()->aboutToShow();
    EXPECT_FALSE(menus.acquireAction()->isEnabled());
    EXPECT_EQ(
        QKeySequence::mnemonic(menus.remoteAction()->text()), QKeySequence(Qt::ALT | Qt::Key_R));
    Q_EMIT menus.actions()[2]->menu()->aboutToHide();
    menus.acquireAction()->trigger();
    QApplication::processEvents();
    EXPECT_EQ(workstation->list().rowCount(), 1);
}

TEST_F(MainWindowTest, EveryButtonSaysWhatItDoesAndHelpNamesVersionsAndLicences)
{
    createSheet();
    int buttons = 0;
    for (QAbstractButton* button : sheet->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(button) || qobject_cast<QRadioButton*>(button) ||
            qobject_cast<QCheckBox*>(button)) {
            ++buttons;
            EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
        }
    }
    EXPECT_GT(buttons, 25);

    const QString about = aboutText();
    EXPECT_TRUE(about.contains("1.433"));
    EXPECT_TRUE(about.contains(QString::fromLatin1(qVersion())));
    EXPECT_TRUE(about.contains("Lesser General Public License"));
    EXPECT_TRUE(about.contains("Build:"));
    EXPECT_TRUE(gettingStartedText().contains("Init Device"));
    EXPECT_TRUE(sheet->menus()->gettingStartedAction() && sheet->menus()->aboutAction());
}

TEST_F(MainWindowTest, ThePlaceSizeAndTabAreRememberedInTheSettings)
{
    {
        CHVSheet first(*workstation, simulator.get());
        first.show();
        first.resize(1000, 760);
        first.tabs()->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_TRUE(first.close());
    }
    EXPECT_EQ(readSetting("Window", "LastTab"), "1");
    EXPECT_NE(readSetting("Window", "Geometry"), "");

    CHVSheet second(*workstation, simulator.get());
    EXPECT_EQ(second.tabs()->currentIndex(), 1);
    EXPECT_EQ(second.size(), QSize(1000, 760));
}

TEST_F(MainWindowTest, ClosingWithUnsavedRowsAsksSaveDiscardOrCancel)
{
    createSheet();
    EXPECT_TRUE(sheet->close()) << "nothing to lose: no question";
    createSheet();
    workstation->list().insertTop(row(0));
    workstation->list().insertTop(row(1));

    QString question;
    answerNextBox(QMessageBox::Cancel, &question);
    EXPECT_FALSE(sheet->close());
    EXPECT_TRUE(question.contains("2 row(s) that have not been saved")) << question.toStdString();
    EXPECT_TRUE(sheet->isVisible());

    // "Save", but the file choice is cancelled: the rows are still unsaved.
    answerNextBox(QMessageBox::Save);
    EXPECT_FALSE(sheet->close());
    EXPECT_TRUE(std::filesystem::exists(journalPath())) << "the list is kept as it grows";

    answerNextBox(QMessageBox::Discard);
    EXPECT_TRUE(sheet->close());
    EXPECT_FALSE(std::filesystem::exists(journalPath())) << "an orderly end keeps no copy";
}

TEST_F(MainWindowTest, TheListOfARunThatNeverClosedIsOfferedBack)
{
    createSheet();
    for (int number = 0; number < 3; ++number)
        workstation->list().insertTop(row(number));
    // The run ends without closing its window, as a killed process does.
    sheet.reset();
    workstation = std::make_unique<lt::Workstation>(op, configDir);
    createSheet();
    op.answer(MessageAnswer::Yes);
    sheet->offerLeftBehindList();
    ASSERT_FALSE(op.messages.empty());
    EXPECT_NE(
        op.messages.back().text.find("Restore its measurement list of 3 row(s)?"), std::string::npos);
    EXPECT_EQ(workstation->list().rowCount(), 3);
    EXPECT_EQ(workstation->list().row(0), row(2));
    EXPECT_EQ(workstation->record().rowCounter, 3);
    EXPECT_TRUE(sheet->metricsPage()->logic().hasUnsavedRows());
}

TEST_F(MainWindowTest, ClearListIsUndoneWithCtrlZ)
{
    createSheet();
    for (int number = 0; number < 4; ++number)
        workstation->list().insertTop(row(number));
    sheet->tabs()->setCurrentIndex(1);
    sheet->metricsPage()->findChild<QPushButton*>("ClearList")->click();
    ASSERT_EQ(workstation->list().rowCount(), 0);
    EXPECT_TRUE(sheet->menus()->undoClearAction()->isEnabled());
    sheet->activateWindow();
    QTest::keyClick(sheet->tabs()->currentWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(workstation->list().rowCount(), 4);
    EXPECT_EQ(workstation->list().row(0), row(3));
    // Once only.
    QTest::keyClick(sheet->tabs()->currentWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(workstation->list().rowCount(), 4);
}

TEST_F(MainWindowTest, TheSimulatorsLineComesBackWithReconnect)
{
    createSheet();
    initialise();
    SimulatorMenu& menu = *sheet->simulatorMenu();
    menuEntry(&menu, "Drop the line")->trigger();
    page().acquireButton()->click();
    ASSERT_TRUE(waitFor([&] { return page().controller().lastResult() > 10000; }));

    // Without the line every "Init Device" fails.
    clickInit();
    ASSERT_TRUE(waitFor([&] {
        return !op.messages.empty() && op.messages.back().text.rfind("Trouble with Comm", 0) == 0;
    }));

    menuEntry(&menu, "Reconnect")->trigger();
    const std::size_t before = workstation->list().rowCount();
    initialise();
    page().acquireButton()->click();
    EXPECT_TRUE(waitFor([&] { return workstation->list().rowCount() == int(before) + 1; }));
    EXPECT_EQ(page().controller().lastResult(), 0u);
}

TEST_F(MainWindowTest, TheStripSaysWhichPortTheSimulatorDrives)
{
    createSheet();
    QLabel* label = sheet->simulatorPanel()->modelLabel();
    EXPECT_TRUE(label->text().contains("Lumatrak S on COM1")) << label->text().toStdString();
    EXPECT_FALSE(label->text().contains("the page measures"));
    page().comRadio(2)->click();
    EXPECT_TRUE(label->text().contains("on COM1 (the page measures on COM2)"))
        << label->text().toStdString();
    page().comRadio(1)->click();
    EXPECT_FALSE(label->text().contains("the page measures"));
}

TEST_F(MainWindowTest, TheTableStripSteersTheHeadAndAChartRunRestsTheOtherTabs)
{
    createSheet();
    SimulatorTablePanel* strip = sheet->simulatorTablePanel();
    ASSERT_NE(strip, nullptr);
    sheet->show();
    EXPECT_FALSE(strip->isVisible()) << "only the Lumatrak A has a table";
    sheet->simulatorMenu()->modelActions()->actions()[1]->trigger();
    EXPECT_TRUE(strip->isVisible());

    simulator->setHeadPosition({1000, 1000});
    QTest::keyClick(strip, Qt::Key_Right);
    QTest::keyClick(strip, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(
        simulator->headPosition(), (ltsim::TablePosition {1000 + kJogStep, 1000 + kLongJogStep}));
    simulator->setHeadPosition(*simulator->patchPosition("13A1"));
    strip->showHead();
    EXPECT_TRUE(strip->headLabel()->text().endsWith("over 13A1"))
        << strip->headLabel()->text().toStdString();
    QTest::keyClick(strip, Qt::Key_Left, Qt::ShiftModifier);
    strip->showHead();
    EXPECT_FALSE(strip->headLabel()->text().endsWith("over 13A1"));
    menuEntry(menuEntry(sheet->simulatorMenu(), "XY table")->menu(), "TQ CMYK on the table")
        ->trigger();
    EXPECT_EQ(simulator->chartPlacement().kind, ltsim::ChartKind::TqCmyk);
    EXPECT_TRUE(simulator->patchPosition("N15").has_value());

    // While a chart run holds the instrument only the chart's page stays.
    Q_EMIT sheet->metricsPage()->chartRunChanged(true);
    QTabWidget* tabs = sheet->tabs();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        const bool kept = tabs->widget(tab) == sheet->metricsPage();
        EXPECT_EQ(tabs->isTabEnabled(tab), kept) << tab;
        EXPECT_EQ(tabs->tabToolTip(tab), kept ? QString() : kMeasuringRestsDuringChartRun) << tab;
    }
    EXPECT_FALSE(page().acquireButton()->isEnabled());
    Q_EMIT sheet->metricsPage()->chartRunChanged(false);
    for (int tab = 0; tab < tabs->count(); ++tab)
        EXPECT_TRUE(tabs->isTabEnabled(tab)) << tab;
}

// A message raised while the main window is built (a damaged file named in
// the settings) waits for the window and then opens over it.
TEST_F(MainWindowTest, MessagesOfTheStartOpenOverTheMainWindow)
{
    QtOperator desk;
    desk.holdMessagesUntilShown();
    EXPECT_EQ(desk.showMessage("This is no SpotColor file !\n/home/op/SC.txt", "",
                  lt::MessageButtons::Ok, lt::MessageIcon::Exclamation),
        MessageAnswer::Ok);
    QWidget window;
    window.resize(300, 200);
    desk.setParentWindow(&window);
    window.show();
    QString text;
    QWidget* parent = nullptr;
    desk.showHeldMessages();
    QTimer::singleShot(0, [&] { answerNextBox(QMessageBox::Ok, &text, &parent); });
    EXPECT_TRUE(waitFor([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, "This is no SpotColor file !\n/home/op/SC.txt");
    EXPECT_EQ(parent, &window);
}

// After "Drop the line" a measurement fails: the status line says so with
// the code, the curve is marked as the previous sample's; the next success
// clears both. "Acquire" before "Init Device" is stated too.
TEST_F(MainWindowTest, AFailureIsStatedInTheStatusLineUntilTheNextSuccess)
{
    createSheet();
    EXPECT_EQ(sheet->failureText(), "");
    initialise();
    page().acquireButton()->click();
    ASSERT_TRUE(waitFor([&] { return workstation->list().rowCount() == 1; }));
    EXPECT_EQ(sheet->failureText(), "");

    menuEntry(sheet->simulatorMenu(), "Drop the line")->trigger();
    page().acquireButton()->click();
    ASSERT_TRUE(waitFor([&] { return !sheet->failureText().isEmpty(); }));
    const QString failure = sheet->failureText();
    EXPECT_TRUE(failure.startsWith("Acquire: ")) << failure.toStdString();
    EXPECT_TRUE(failure.contains(QRegularExpression(R"(COM1.* \(10[0-4]\d\d\)$)")))
        << failure.toStdString();
    EXPECT_TRUE(page().graph()->isStale());
    EXPECT_EQ(workstation->list().rowCount(), 1);

    menuEntry(sheet->simulatorMenu(), "Reconnect")->trigger();
    initialise();
    EXPECT_EQ(sheet->failureText(), "") << "a successful Init Device clears it";
    page().acquireButton()->click();
    ASSERT_TRUE(waitFor([&] { return workstation->list().rowCount() == 2; }));
    EXPECT_EQ(sheet->failureText(), "");
    EXPECT_FALSE(page().graph()->isStale());
}

TEST_F(MainWindowTest, InitDeviceWithoutADeviceTypeSaysSo)
{
    presetSetting("TaviLight", "Brand", "7");
    createSheet();
    clickInit();
    ASSERT_TRUE(waitFor([&] { return !sheet->failureText().isEmpty(); }));
    EXPECT_EQ(sheet->failureText().toStdString(),
        std::string("Init Device: ") + lt::kNoDeviceTypeProblem);
}
