// The "Service" tab in the main sheet against the virtual Lumatrak: its
// controls, the service link taking over from remote mode, and a download
// during which the window answers and the measuring tabs rest.
#include "core/service/ServiceController.h"
#include "core/station/InstrumentAccess.h"
#include "instrument/FakeClock.h"

#include "../instrument_page/PageFixture.h"
#include "common/SRecordText.h"
#include "common/TempDirectory.h"

#include <fstream>
#include <optional>

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

#include "ui/service/Service.h"

namespace {

class ServicePage : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        workstation->setOperator(fileOp);
    }
    void TearDown() override
    {
        PageTest::TearDown();
        workstation.reset();
    }

    CService& service() { return *sheet->servicePage(); }

    std::vector<std::string> texts(QWidget* parent) const
    {
        std::vector<std::string> found;
        for (QLabel* label : parent->findChildren<QLabel*>())
            found.push_back(label->text().toStdString());
        return found;
    }

    QPushButton* button(const char* caption)
    {
        for (QPushButton* b : service().findChildren<QPushButton*>())
            if (b->text() == QString::fromLatin1(caption))
                return b;
        return nullptr;
    }

    void writeFirmware(std::size_t length)
    {
        fileOp.fileAnswer = files.file("BASIC.A20");
        files.write("BASIC.A20", lt::testing::sRecordText(lt::testing::programImage(length)));
    }

    lt::testing::ScriptedOperator fileOp; // picks the firmware file
    lt::testing::TempDirectory files;
};

TEST_F(ServicePage, ShowsEveryControlInItsGroupAndOnlyTheServiceButtonsAct)
{
    createSheet();
    QTabWidget* tabs = sheet->tabs();
    ASSERT_EQ(tabs->tabText(3), "Service");
    EXPECT_EQ(tabs->widget(3), &service());

    struct Expected {
        const char* group;
        std::vector<std::pair<const char*, bool>> buttons; // caption, enabled
    };
    const Expected groups[] = {
        {"Enter and Quit Service", {{"Start Service", true}, {"Close Service", true}}},
        {"File handling", {{"Load File ", true}, {"Save data ", false}}},
        {"Flash EEPROM Program Memory",
            {{"Download Program", true}, {"BlankCheck FEEPROM", false}, {"Read FEEPROM", false},
                {"Erase FEEPROM", false}}},
        {"Serial EEPROM Parameter Memory",
            {{"Download Parameter", true}, {"BlankCheck SEEPROM", false}, {"Read SEEPROM", false},
                {"Erase SEEPROM", false}}},
    };
    for (const Expected& expected : groups) {
        SCOPED_TRACE(expected.group);
        QGroupBox* box = nullptr;
        for (QGroupBox* candidate : service().findChildren<QGroupBox*>())
            if (candidate->title() == QString::fromLatin1(expected.group))
                box = candidate;
        ASSERT_NE(box, nullptr);
        const auto buttons = box->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), qsizetype(expected.buttons.size()));
        for (std::size_t i = 0; i < expected.buttons.size(); ++i) {
            EXPECT_EQ(buttons[qsizetype(i)]->text().toStdString(), expected.buttons[i].first);
            EXPECT_EQ(buttons[qsizetype(i)]->isEnabled(), expected.buttons[i].second);
        }
    }
    const std::vector<std::string> labels = texts(&service());
    for (const char* text : {"This Dialog Box is for Service purpose only !",
             "For the DOWNLOAD of a new Lumatrak program version please follow this procedure: ",
             "1.  Start Service", "2.  Load File", "3.  Download Program", "4.  Close Service",
             "In case of programming oddities dis- and reconnect the device (device plug)",
             "All other service functions should be performed by service personnel only !",
             "Message:"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), text), labels.end()) << text;

    // "Download Parameter" does nothing; "Download Program" wants a file first.
    button("Download Parameter")->click();
    EXPECT_TRUE(fileOp.messages.empty());
    button("Download Program")->click();
    ASSERT_EQ(fileOp.messages.size(), 1u);
    EXPECT_EQ(fileOp.messages[0].text, "Load File to download first !");
    button("Close Service")->click();
    EXPECT_EQ(service().messageLine()->text(), "Service closed");
    screenshot("service-before");
}

TEST_F(ServicePage, StartServiceEndsRemoteModeAndTheDownloadLeavesTheWindowResponsive)
{
    lt::test::FakeClock clock; // the loader's prescribed pauses cost no time
    createSheet();
    // A Lumatrak S after "Init Device" polls its key in remote mode.
    clickInit();
    ASSERT_TRUE(waitFor([&] { return page().remoteTimer().isActive(); }));
    ASSERT_EQ(page().remoteButton()->text(), "Remote On");

    sheet->tabs()->setCurrentWidget(&service());
    button("Start Service")->click();
    EXPECT_FALSE(page().remoteTimer().isActive());
    EXPECT_EQ(page().remoteButton()->text(), "Remote Off");
    EXPECT_EQ(service().messageLine()->text(), "Port already open");
    EXPECT_EQ(service().progressBar()->minimum(), 16384);
    EXPECT_EQ(service().progressBar()->maximum(), 100000);

    const std::size_t length = 16384 + 40 * 256;
    writeFirmware(length);
    button("Load File ")->click();
    ASSERT_FALSE(fileOp.fileQuestions.empty());
    EXPECT_EQ(fileOp.fileQuestions.back().title, "Lumatrak DownLoader");
    EXPECT_EQ(fileOp.fileQuestions.back().filter, "SRecord(*.A20);;RefWhite(*.rwt)");
    EXPECT_EQ(service().messageLine()->text(), "File read done");

    // Each block's answer takes a moment, so the download can be watched.
    simulator->injectFault({ltsim::FaultKind::Delay, ltsim::FaultScope::FromNowOn, 40});
    button("Download Program")->click();
    ASSERT_TRUE(
        waitFor([&] { return service().progressBar()->value() >= 16384 + 20 * 256; }, 20000));
    // Half way: the bar shows it, the service buttons and the measuring
    // tabs rest, and a measurement is refused.
    EXPECT_EQ(service().progressBar()->maximum(), int(length));
    EXPECT_EQ(service().messageLine()->text(), "Blank check done, writing to FlashEEPROM");
    EXPECT_FALSE(button("Start Service")->isEnabled());
    EXPECT_FALSE(button("Download Program")->isEnabled());
    EXPECT_FALSE(button("Close Service")->isEnabled());
    EXPECT_FALSE(sheet->tabs()->isTabEnabled(0));
    EXPECT_FALSE(sheet->tabs()->isTabEnabled(1));
    EXPECT_TRUE(sheet->tabs()->isTabEnabled(3));
    EXPECT_EQ(page().controller().acquire(), lt::kStatusInstrumentBusy);
    screenshot("service-during");

    ASSERT_TRUE(waitFor([&] { return !service().controller().downloadRunning(); }, 30000));
    simulator->clearFaults();
    QApplication::processEvents();
    EXPECT_EQ(service().messageLine()->text(), "Programming done");
    EXPECT_EQ(service().progressBar()->value(), int(length));
    EXPECT_TRUE(button("Download Program")->isEnabled());
    EXPECT_TRUE(sheet->tabs()->isTabEnabled(0));
    EXPECT_EQ(service().controller().lastDownloadResult(), 0u);
    EXPECT_EQ(simulator->flashImage().size(), 40u * 256u);
    screenshot("service-after");
}

} // namespace
