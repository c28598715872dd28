// The service page's logic against the virtual Lumatrak's loader: what the
// operator sees, what crossed the wire, and what ended up in the flash.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/FakeInstrumentPage.h"
#include "common/SRecordText.h"
#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/service/SRecordDecoder.h"
#include "core/service/ServiceController.h"
#include "core/service/ServiceObserver.h"
#include "core/station/Workstation.h"
#include "instrument/FakeClock.h"
#include "ltsim/Simulator.h"

namespace lt {
namespace {

constexpr int kSettleChecks = 200;
constexpr int kSettleStepMs = 5;

using testing::FakeInstrumentPage;
using testing::programImage;
using testing::ScriptedOperator;
using testing::sRecordText;
using testing::TempDirectory;

// Records the page's view; after a chosen block it lets a test act (inject
// a fault, try a measurement) while the download runs.
class Watcher : public ServiceObserver {
public:
    void messageLineChanged(const std::string& text) override
    {
        std::lock_guard lock(mutex);
        lines.push_back(text);
    }
    void progressRangeChanged(int low, int high) override
    {
        std::lock_guard lock(mutex);
        ranges.emplace_back(low, high);
    }
    void progressChanged(int position) override
    {
        int block = 0;
        {
            std::lock_guard lock(mutex);
            positions.push_back(position);
            block = ++blocks;
        }
        if (afterBlock && block == actAfterBlock + 1) // the first report is the start position
            afterBlock();
    }
    void downloadRunningChanged(bool running) override
    {
        std::lock_guard lock(mutex);
        runningStates.push_back(running);
    }

    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
    std::vector<bool> runningStates;
    int blocks = 0;
    int actAfterBlock = -1;
    std::function<void()> afterBlock;
};

class ServiceDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, sim.devicePath().c_str()), 0ul);
        station = std::make_unique<Workstation>(op, config.path());
        service = std::make_unique<ServiceController>(
            *station, [this](unsigned long hz, unsigned long ms) {
                std::lock_guard lock(beepMutex);
                beeps.emplace_back(hz, ms);
            });
        service->setInstrumentPage(&page);
        service->setObserver(&watcher);
    }

    void TearDown() override
    {
        service.reset();
        station.reset();
        sim.stop();
    }

    // "Load File " with the file the operator picks in the dialog.
    void load(const std::string& text, const std::string& name = "BASIC.A20")
    {
        files.write(name, text);
        op.fileAnswer = files.file(name);
        service->loadFile();
    }

    void startService()
    {
        service->startService();
        ASSERT_EQ(service->messageText(), kOpenedPort);
        sim.clearRequests();
    }

    void download()
    {
        service->downloadProgram();
        service->waitForDownload();
    }

    std::vector<std::string> blocksSent() const
    {
        std::vector<std::string> blocks;
        for (const std::string& request : sim.requests())
            if (request.size() == 1 + kDownloadBlockPayload && request[0] == 'D')
                blocks.push_back(request);
        return blocks;
    }

    bool sent(const std::string& request) const
    {
        const std::vector<std::string> all = sim.requests();
        return std::find(all.begin(), all.end(), request) != all.end();
    }

    // The instrument takes what was sent a moment after the library wrote it.
    bool leftLoader() const
    {
        for (int i = 0; i < kSettleChecks && sim.inLoader(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(kSettleStepMs));
        return !sim.inLoader();
    }

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& message : op.messages)
            texts.push_back(message.text);
        return texts;
    }

    test::FakeClock clock; // the loader's long prescribed pauses cost no time
    ltsim::Simulator sim {ltsim::SimulatorOptions {}};
    TempDirectory config;
    TempDirectory files;
    ScriptedOperator op;
    FakeInstrumentPage page;
    Watcher watcher;
    std::unique_ptr<Workstation> station;
    std::unique_ptr<ServiceController> service;
    std::mutex beepMutex;
    std::vector<std::pair<unsigned long, unsigned long>> beeps;
};

class ImageSizes : public ServiceDownload, public ::testing::WithParamInterface<std::size_t> { };

// The flash holds the image from 0x4000 on, byte for byte, and the last
// block's bytes beyond the image are erased flash.
TEST_P(ImageSizes, TheFlashHoldsTheImageFrom0x4000)
{
    const std::size_t length = GetParam();
    const std::vector<std::uint8_t> image = programImage(length, 7);
    load(sRecordText(image));
    ASSERT_EQ(service->messageText(), kFileReadDone);
    startService();
    download();

    EXPECT_EQ(service->lastDownloadResult(), 0u);
    EXPECT_EQ(service->messageText(), kProgrammingDone);
    EXPECT_FALSE(service->serviceActive());
    EXPECT_TRUE(leftLoader());
    const std::size_t blocks = (length - kFlashImageStart + 255) / 256;
    EXPECT_EQ(blocksSent().size(), blocks);
    std::vector<std::uint8_t> expected(image.begin() + kFlashImageStart, image.end());
    expected.resize(blocks * 256, kFlashFillByte);
    EXPECT_EQ(sim.flashImage(), expected);
    EXPECT_EQ(sim.rejectedBlocks(), 0);
    // Start beep, success beep; the bar ends full.
    EXPECT_EQ(beeps.size(), 2u);
    EXPECT_EQ(watcher.ranges.back(), std::make_pair(int(kFlashImageStart), int(length)));
    EXPECT_EQ(watcher.positions.back(), int(length));
    EXPECT_EQ(watcher.runningStates, (std::vector<bool> {true, false}));
    EXPECT_EQ(op.messages.size(), 1u); // the erase question, nothing else
}

INSTANTIATE_TEST_SUITE_P(Service, ImageSizes, ::testing::Values(16384u, 16640u, 16641u, 200000u));

TEST_F(ServiceDownload, TheOperatorSeesEveryStepAndTheEraseQuestion)
{
    load(sRecordText(programImage(17000)));
    startService();
    download();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Device not blank, erase Lumatrak internal program ?");
    EXPECT_EQ(op.messages[0].caption, "Lumatrak");
    EXPECT_EQ(op.messages[0].buttons, MessageButtons::OkCancel);
    const std::vector<std::string> expected = {kFileReadDone, kOpenedPort,
        "Switch to programming, just one moment (up to 30sec) !", "Entered first blank check",
        "Erasing FlashEEPROM", "Blank check done, writing to FlashEEPROM", "Programming done"};
    std::vector<std::string> lines = watcher.lines;
    lines.erase(std::remove(lines.begin(), lines.end(), std::string(kReadingFile)), lines.end());
    EXPECT_EQ(lines, expected);
    // Loader entry, blank check, erase, blank check, write, three blocks, end.
    ASSERT_TRUE(leftLoader());
    const std::vector<std::string> requests = sim.requests();
    ASSERT_EQ(requests.size(), 9u);
    EXPECT_EQ(requests[0], "?5A0203\r\n");
    EXPECT_EQ(requests[1], "B0r");
    EXPECT_EQ(requests[2], "E0u");
    EXPECT_EQ(requests[3], "B0r");
    EXPECT_EQ(requests[4], std::string("W0\x87"));
    EXPECT_EQ(requests[8], "END");

    // A second download finds the flash programmed, so it asks again.
    op.messages.clear();
    download();
    EXPECT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(service->messageText(), kProgrammingDone);
}

TEST_F(ServiceDownload, RefusingTheEraseLeavesTheLoaderAndWritesNothing)
{
    load(sRecordText(programImage(20000)));
    startService();

    op.messageAnswer = MessageAnswer::Cancel;
    download();

    EXPECT_EQ(service->messageText(), "Programming aborted");
    EXPECT_EQ(service->lastDownloadResult(), 0u); // the result of leaving the loader
    EXPECT_FALSE(service->serviceActive());
    EXPECT_TRUE(leftLoader());
    EXPECT_TRUE(sent("END"));
    EXPECT_FALSE(sent("E0u"));
    EXPECT_TRUE(blocksSent().empty());
    EXPECT_FALSE(sim.flashBlank()); // the factory program is still there
    EXPECT_EQ(op.messages.size(), 1u); // no failure box
}

// A block the instrument answers wrongly, or refuses because its flash
// does not take it, ends the download as failed, never as written; the
// instrument stays in its loader until "Close Service".
TEST_F(ServiceDownload, AWrongOrRefusingReplyEndsInFailureAndCloseServiceLeavesTheLoader)
{
    struct Case {
        const char* name;
        std::function<void(ltsim::Simulator&)> spoil;
        unsigned long status;
    };
    const Case cases[] = {
        {"wrong reply",
            [](ltsim::Simulator& s) {
                s.injectFault({ltsim::FaultKind::WrongKind, ltsim::FaultScope::NextReply});
            },
            4},
        {"worn flash", [](ltsim::Simulator& s) { s.wearFlashCell(2 * 256 + 5); }, 4},
    };
    load(sRecordText(programImage(16384 + 10 * 256)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startService();
        op.messages.clear();
        watcher.blocks = 0;
        watcher.actAfterBlock = 2;
        watcher.afterBlock = [&] { c.spoil(sim); };
        beeps.clear();
        download();
        watcher.afterBlock = nullptr;

        EXPECT_EQ(service->lastDownloadResult(), c.status);
        EXPECT_EQ(service->messageText(), kProgrammingFailed);
        EXPECT_EQ(blocksSent().size(), 3u); // nothing after the failed block
        ASSERT_EQ(op.messages.size(), 2u);
        EXPECT_EQ(op.messages[1].text, "Programming failed " + std::to_string(c.status) + " !");
        EXPECT_EQ(beeps.size(), 3u); // start, then the two of the failure
        EXPECT_TRUE(service->serviceActive());
        EXPECT_TRUE(sim.inLoader());
        EXPECT_FALSE(sent("END"));

        service->closeService();
        EXPECT_EQ(service->messageText(), kServiceClosed);
        EXPECT_FALSE(service->serviceActive());
        EXPECT_TRUE(leftLoader());
        sim.clearFaults();
    }
}

TEST_F(ServiceDownload, ALineDroppedMidDownloadIsReportedAndCloseServiceStillEnds)
{
    load(sRecordText(programImage(16384 + 8 * 256)));
    startService();
    watcher.actAfterBlock = 3;
    watcher.afterBlock = [&] { sim.injectFault({ltsim::FaultKind::HangUp}); };
    download();
    const unsigned long status = service->lastDownloadResult();
    EXPECT_GE(status, kLinkFailureThreshold);
    EXPECT_EQ(service->messageText(), kProgrammingFailed);
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(
        op.messages[1].text.rfind("Programming failed " + std::to_string(status) + " !\n", 0), 0u);
    EXPECT_NE(op.messages[1].text.find("does not answer"), std::string::npos);

    service->closeService();
    EXPECT_EQ(service->messageText(), kServiceTerminationFailed);
    EXPECT_FALSE(service->serviceActive());
    EXPECT_FALSE(service->downloadRunning());
}

TEST_F(ServiceDownload, MeasuringIsRefusedWhileTheDownloadRuns)
{
    load(sRecordText(programImage(16384 + 4 * 256)));
    startService();
    unsigned long measured = 0;
    bool runningSeen = false;
    watcher.actAfterBlock = 1;
    watcher.afterBlock = [&] {
        runningSeen = service->downloadRunning();
        measured = station->cycle().MeasureSample(MeasurementCycle::kKindWithGraph, 1.0, 0);
    };
    download();
    EXPECT_TRUE(runningSeen);
    EXPECT_EQ(measured, kStatusInstrumentBusy);
    EXPECT_EQ(service->messageText(), kProgrammingDone);
    // Only the loader's messages crossed the wire.
    for (const std::string& request : sim.requests())
        EXPECT_NE(request[0], ';') << request;
}

// Every damaged file is refused when it is loaded, before any byte could
// reach the instrument; the image loaded before it is dropped too.
TEST_F(ServiceDownload, ADamagedFileIsRefusedAndNothingIsSent)
{
    const std::string good = sRecordText(programImage(20000));
    std::string damaged = good;
    char& digit = damaged[damaged.find("S2", 100) + 20];
    digit = digit == '0' ? '1' : '0'; // one data digit changed
    load(good);
    ASSERT_TRUE(service->imageLoaded());
    startService();
    op.messages.clear();
    load(damaged);
    EXPECT_FALSE(service->imageLoaded());
    EXPECT_EQ(service->messageText(), kFileRefused);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_NE(op.messages[0].text.find("line 3: checksum"), std::string::npos)
        << op.messages[0].text;
    EXPECT_NE(op.messages[0].text.find(files.file("BASIC.A20")), std::string::npos);

    download();
    EXPECT_EQ(op.messages.back().text, "Load File to download first !");
    EXPECT_FALSE(service->downloadRunning());
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_FALSE(sim.inLoader());
}

TEST_F(ServiceDownload, LoadFileMessages)
{
    struct Case {
        const char* name;
        std::optional<std::string> chosen; // nothing: the dialog was cancelled
        std::string content; // written to the chosen file when not empty
        std::vector<std::string> expected;
        bool loaded;
    };
    const std::string good = sRecordText(programImage(300));
    const std::string big = sRecordText(programImage(30000));
    const Case cases[] = {
        {"cancelled", std::nullopt, "", {}, false},
        {"empty path", std::string(), "", {"No Path defined !"}, false},
        {"missing", files.file("none.A20"), "", {"File does not exist: " + files.file("none.A20")},
            false},
        {"small", files.file("small.A20"), good, {"Corrupted file ?"}, true},
        {"normal", files.file("big.A20"), big, {}, true},
        {"over the size limit", files.file("huge.A20"), std::string(2000001, '\n'),
            {"Firmware file refused, nothing will be downloaded:\n" + files.file("huge.A20") +
                "\nthe file holds more than 2000000 bytes"},
            false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        op.messages.clear();
        if (c.chosen && !c.content.empty())
            files.write(c.chosen->substr(files.path().size() + 1), c.content);
        op.fileAnswer = c.chosen;
        service->loadFile();
        EXPECT_EQ(shownTexts(), c.expected);
        EXPECT_EQ(service->imageLoaded(), c.loaded);
    }
    EXPECT_EQ(station->settings().load(keys::kServiceFile), "BASIC.A20");
}

TEST_F(ServiceDownload, StartAndCloseService)
{
    // Without a download, "Close Service" only says so.
    service->closeService();
    EXPECT_EQ(service->messageText(), kServiceClosed);
    EXPECT_TRUE(sim.requests().empty());

    // The instrument page's live reading ends and the port opens at the
    // service baud rate.
    station->settings().store(keys::kServiceBaudRate, "19200");
    page.liveReading = true;
    service->startService();
    EXPECT_EQ(page.ends, 1);
    EXPECT_FALSE(page.liveReading);
    EXPECT_EQ(service->messageText(), kOpenedPort);
    EXPECT_EQ(service->progressLow(), 16384);
    EXPECT_EQ(service->progressHigh(), 100000);

    // A Lumatrak S opened by the instrument page keeps its port.
    page.portOpen = true;
    service->startService();
    EXPECT_EQ(service->messageText(), kPortAlreadyOpen);

    // A port that does not exist.
    page.portOpen = false;
    page.port = 2;
    ASSERT_EQ(CTaviSpec::SetPortDevice(2, (files.path() + "/no-such-tty").c_str()), 0ul);
    service->startService();
    EXPECT_EQ(service->messageText(), kOpenPortFailed);
}

TEST_F(ServiceDownload, DownloadWithoutAFileSaysSoAndSendsNothing)
{
    startService();
    service->downloadProgram();
    EXPECT_FALSE(service->downloadRunning());
    EXPECT_EQ(shownTexts(), (std::vector<std::string> {"Load File to download first !"}));
    EXPECT_TRUE(sim.requests().empty());
}

} // namespace
} // namespace lt
