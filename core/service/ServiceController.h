#pragma once
// What the "Service" tab does, without drawing it: open the service link,
// load and check a firmware file, download it into the instrument's flash
// on a worker thread, and leave the loader. The page (a Qt view) forwards
// its four buttons here and shows what the ServiceObserver reports.
//
// While a download runs it holds the instrument's exchange guard, so every
// measuring path of the program is refused until it ends.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/service/DownloadSink.h"
#include "core/service/FirmwareDownload.h"

namespace lt {

class InstrumentPageLink;
class ServiceObserver;
class Workstation;

// The progress bar before the first download.
inline constexpr int kServiceProgressLow = static_cast<int>(kFlashImageStart);
inline constexpr int kServiceProgressHigh = 100000;
inline constexpr std::uint16_t kDefaultServiceBaudRate = 9600; // [baud]
// A file this small cannot hold a program.
inline constexpr std::size_t kSuspiciouslySmallFile = 1000; // [bytes]

inline constexpr const char* kLoaderDialogTitle = "Lumatrak DownLoader";
inline constexpr const char* kFirmwareFileFilter = "SRecord(*.A20);;RefWhite(*.rwt)";

inline constexpr const char* kPortAlreadyOpen = "Port already open";
inline constexpr const char* kOpenPortFailed = "Open Port failed !";
inline constexpr const char* kOpenedPort = "Opened Port";
inline constexpr const char* kInstrumentBusy = "Instrument busy, try again !";
inline constexpr const char* kNoPathDefined = "No Path defined !";
inline constexpr const char* kCorruptedFile = "Corrupted file ?";
inline constexpr const char* kFileDoesNotExist = "File does not exist: ";
inline constexpr const char* kReadingFile = "Reading File";
inline constexpr const char* kReadFileFailed = "Read file failed!";
inline constexpr const char* kFileLengthFault = "System fault File length !";
inline constexpr const char* kFileReadDone = "File read done";
inline constexpr const char* kFileRefused = "File refused";
inline constexpr const char* kLoadFileFirst = "Load File to download first !";
inline constexpr const char* kServiceClosed = "Service closed";
inline constexpr const char* kServiceTerminationFailed =
    "Service termination failed, dis- and reconnect device !";

class ServiceController : private DownloadSink {
public:
    using Beeper = FirmwareDownload::Beeper;

    ServiceController(Workstation& workstation, Beeper beeper);
    // Stops a running download between two blocks and waits for it.
    ~ServiceController() override;
    ServiceController(const ServiceController&) = delete;
    ServiceController& operator=(const ServiceController&) = delete;

    // The instrument page whose port and live reading the service link
    // takes over (not owned; may be null).
    void setInstrumentPage(InstrumentPageLink* page) { instrumentPage = page; }
    void setObserver(ServiceObserver* observer) { watcher = observer; }

    // The four buttons.
    void startService();
    // "Start Service" at baudRate instead of the stored service rate: the
    // command line's choice for one run, which the settings do not keep.
    void startService(std::uint16_t baudRate);
    // The service link's rate from the settings ("ServiceBaudRate"); a text
    // that is no usable rate gives kDefaultServiceBaudRate.
    std::uint16_t storedBaudRate();
    void loadFile();
    // Starts the download on its worker thread and returns at once.
    void downloadProgram();
    void closeService();

    // Asks a running download to stop before its next block (the program
    // is closing); the instrument stays in its loader.
    void requestStop() { stopRequested.store(true); }
    // Blocks until a running download has ended.
    void waitForDownload();
    bool downloadRunning() const { return running.load(); }
    unsigned long lastDownloadResult() const { return downloadResult.load(); }

    bool serviceActive() const { return loaderActive.load(); }
    bool imageLoaded() const { return !image.empty(); }
    const std::vector<std::uint8_t>& programImage() const { return image; }
    std::string messageText() const;
    int progressLow() const { return rangeLow.load(); }
    int progressHigh() const { return rangeHigh.load(); }
    int progressPosition() const { return position.load(); }

private:
    // DownloadSink, called on the worker thread.
    void messageLine(const std::string& text) override;
    void progressRange(int low, int high) override;
    void progress(int value) override;
    void serviceActive(bool active) override;

    bool readFirmwareFile(const std::string& path, std::string& text);
    void downloadFinished(unsigned long status);

    Workstation& station;
    Beeper beep;
    InstrumentPageLink* instrumentPage = nullptr;
    ServiceObserver* watcher = nullptr;

    std::vector<std::uint8_t> image;
    std::atomic<bool> loaderActive {false};
    std::atomic<bool> running {false};
    std::atomic<bool> stopRequested {false};
    std::atomic<unsigned long> downloadResult {0};
    std::atomic<int> rangeLow {kServiceProgressLow};
    std::atomic<int> rangeHigh {kServiceProgressHigh};
    std::atomic<int> position {kServiceProgressLow};
    mutable std::mutex lineMutex;
    std::string line;
    std::thread worker;
};

} // namespace lt
