#include "core/service/ServiceController.h"

#include <filesystem>
#include <limits>

#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"
#include "core/service/SRecordDecoder.h"
#include "core/service/ServiceObserver.h"
#include "core/settings/SettingsKeys.h"
#include "core/station/InstrumentPageLink.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

// OpenLT's answer when the port could not be opened.
constexpr unsigned long kOpenLtInvalidHandle = std::numeric_limits<unsigned long>::max();

constexpr const char* kLinkLostHint =
    "\nThe instrument does not answer: check its cable and power, then use \"Close Service\".";

// The service baud rate from its settings text; a text that is no usable
// rate of the port record's 16-bit field gives the default.
std::uint16_t serviceBaudRate(const std::string& text)
{
    const std::optional<int> rate = parseInteger(text);
    if (!rate || *rate <= 0 || *rate > std::numeric_limits<std::uint16_t>::max())
        return kDefaultServiceBaudRate;
    return static_cast<std::uint16_t>(*rate);
}

} // namespace

ServiceController::ServiceController(Workstation& workstation, Beeper beeper)
    : station(workstation), beep(std::move(beeper))
{
}

ServiceController::~ServiceController()
{
    stopRequested.store(true);
    waitForDownload();
}

std::string ServiceController::messageText() const
{
    std::lock_guard lock(lineMutex);
    return line;
}

void ServiceController::messageLine(const std::string& text)
{
    {
        std::lock_guard lock(lineMutex);
        line = text;
    }
    if (watcher)
        watcher->messageLineChanged(text);
}

void ServiceController::progressRange(int low, int high)
{
    rangeLow.store(low);
    rangeHigh.store(high);
    if (watcher)
        watcher->progressRangeChanged(low, high);
}

void ServiceController::progress(int value)
{
    position.store(value);
    if (watcher)
        watcher->progressChanged(value);
}

void ServiceController::serviceActive(bool active)
{
    loaderActive.store(active);
}

void ServiceController::startService()
{
    if (running.load())
        return;
    startService(storedBaudRate());
}

std::uint16_t ServiceController::storedBaudRate()
{
    return serviceBaudRate(station.settings().load(keys::kServiceBaudRate));
}

void ServiceController::startService(std::uint16_t baudRate)
{
    if (running.load())
        return;
    progressRange(kServiceProgressLow, kServiceProgressHigh);
    progress(kServiceProgressLow);

    ComPort port {};
    port.DeviceType = static_cast<std::uint8_t>(station.record().instrumentType);
    port.PortNumber = static_cast<std::uint16_t>(instrumentPage ? instrumentPage->portNumber() : 1);
    port.BaudRate = baudRate;
    port.ByteSize = 8;

    // The instrument page's remote poll would talk into the loader.
    if (instrumentPage)
        instrumentPage->endLiveReading();

    if (instrumentPage && instrumentPage->portOpenForService()) {
        messageLine(kPortAlreadyOpen);
        return;
    }
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange) {
        messageLine(kInstrumentBusy);
        return;
    }
    const unsigned long handle = exchange.instrument().OpenLT(&port);
    messageLine(handle == kStatusPortNotOpen || handle == kOpenLtInvalidHandle ? kOpenPortFailed
                                                                               : kOpenedPort);
}

bool ServiceController::readFirmwareFile(const std::string& path, std::string& text)
{
    Operator& op = station.op();
    std::error_code error;
    const bool exists = std::filesystem::is_regular_file(path, error);
    const std::uintmax_t size = exists ? std::filesystem::file_size(path, error) : 0;
    if (exists && !error && size <= kSuspiciouslySmallFile)
        op.showMessage(kCorruptedFile, "", MessageButtons::Ok, MessageIcon::Exclamation);
    if (!exists) {
        op.showMessage(kFileDoesNotExist + path, "", MessageButtons::Ok, MessageIcon::Stop);
        return false;
    }
    messageLine(kReadingFile);
    // One byte more than a file may hold, so that an oversized file is seen
    // as such without reading it all.
    const FileReadResult read = readFileHead(path, kFirmwareFileLimit + 1, text);
    if (read == FileReadResult::CannotOpen) {
        op.showMessage(kFileDoesNotExist + path, "", MessageButtons::Ok, MessageIcon::Stop);
        return false;
    }
    if (read == FileReadResult::ReadFailed) {
        op.showMessage(kReadFileFailed, "", MessageButtons::Ok, MessageIcon::Stop);
        messageLine(kFileReadDone);
        return false;
    }
    if (text.size() < size) {
        op.showMessage(kFileLengthFault, "", MessageButtons::Ok, MessageIcon::Stop);
        messageLine(kFileReadDone);
        return false;
    }
    return true;
}

void ServiceController::loadFile()
{
    if (running.load())
        return;
    Operator& op = station.op();
    const std::string stored = station.settings().load(keys::kServiceFile);
    const std::optional<std::string> chosen =
        op.chooseFileToOpen(kLoaderDialogTitle, resolveConfigPath(stored), kFirmwareFileFilter);
    if (!chosen)
        return;
    if (chosen->empty()) {
        op.showMessage(kNoPathDefined, "", MessageButtons::Ok, MessageIcon::Stop);
        return;
    }
    std::string text;
    if (!readFirmwareFile(*chosen, text))
        return;
    SRecordDecoding decoding = decodeSRecords(text);
    if (!decoding.ok) {
        // A damaged file must not replace the image, nor leave the previous
        // one to be flashed in its place.
        image.clear();
        messageLine(kFileRefused);
        op.showMessage("Firmware file refused, nothing will be downloaded:\n" + *chosen + "\n" +
                describeRefusal(decoding),
            "", MessageButtons::Ok, MessageIcon::Stop);
        return;
    }
    image = std::move(decoding.image);
    messageLine(kFileReadDone);
}

void ServiceController::downloadProgram()
{
    if (running.load())
        return;
    if (image.empty()) {
        station.op().showMessage(kLoadFileFirst, "", MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange) {
        messageLine(kInstrumentBusy);
        return;
    }
    if (worker.joinable())
        worker.join();
    stopRequested.store(false);
    running.store(true);
    if (watcher)
        watcher->downloadRunningChanged(true);
    worker = std::thread([this, held = std::move(exchange)]() mutable {
        FirmwareDownload download(held.instrument(), station.op(), *this, beep, stopRequested);
        const unsigned long status = download.run(image);
        held.release();
        downloadFinished(status);
    });
}

void ServiceController::downloadFinished(unsigned long status)
{
    downloadResult.store(status);
    if (status != kStatusOk && status != kStatusDownloadStopped) {
        std::string text = std::string(kProgrammingFailed) + " " +
            formatInteger(static_cast<long long>(status)) + " !";
        if (status >= kLinkFailureThreshold)
            text += kLinkLostHint;
        station.op().showMessage(text, "", MessageButtons::Ok, MessageIcon::Stop);
    }
    running.store(false);
    if (watcher)
        watcher->downloadRunningChanged(false);
}

void ServiceController::waitForDownload()
{
    if (worker.joinable())
        worker.join();
}

void ServiceController::closeService()
{
    if (running.load())
        return;
    messageLine(kServiceClosed);
    if (loaderActive.load()) {
        InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
        if (!exchange) {
            messageLine(kInstrumentBusy);
            return;
        }
        if (exchange.instrument().GretagCMD(kCmdLeaveLoader, nullptr) != kStatusOk)
            messageLine(kServiceTerminationFailed);
    }
    loaderActive.store(false);
}

} // namespace lt
