#include "core/service/FirmwareDownload.h"

#include <algorithm>

#include "core/service/DownloadSink.h"
#include "core/station/Operator.h"
#include "instrument/include/LtClock.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

std::array<std::uint8_t, kDownloadBlockPayload> downloadBlock(
    const std::vector<std::uint8_t>& image, std::size_t offset)
{
    std::array<std::uint8_t, kDownloadBlockPayload> block;
    block.fill(kFlashFillByte);
    if (offset < image.size()) {
        const std::size_t count = std::min(kDownloadBlockBytes, image.size() - offset);
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), count, block.begin());
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < kDownloadBlockBytes; ++i)
        sum += block[i];
    block[kDownloadBlockBytes] = static_cast<std::uint8_t>(sum >> 8);
    block[kDownloadBlockBytes + 1] = static_cast<std::uint8_t>(sum);
    return block;
}

FirmwareDownload::FirmwareDownload(CTaviSpec& instrument, Operator& op, DownloadSink& sink,
    Beeper beep, const std::atomic<bool>& stop)
    : device(instrument), operatorDesk(op), report(sink), beeper(std::move(beep)),
      stopRequested(stop)
{
}

void FirmwareDownload::beep()
{
    if (beeper)
        beeper(kDownloadBeepHz, kDownloadBeepMs);
}

unsigned long FirmwareDownload::run(const std::vector<std::uint8_t>& image)
{
    report.messageLine(kSwitchingToLoader);
    report.serviceActive(true);
    unsigned long status = device.GretagCMD(kCmdEnterLoader, nullptr);
    if (status >= kLinkFailureThreshold) {
        operatorDesk.showMessage(kErrorWritingToDevice, "", MessageButtons::Ok, MessageIcon::Stop);
        report.messageLine(kProgrammingAbortedMark);
        return status;
    }

    report.messageLine(kFirstBlankCheck);
    clock().sleepMs(kBeforeBlankCheckMs);
    if (const std::optional<unsigned long> ended = blankCheck())
        return *ended;

    clock().sleepMs(kBeforeWritingMs);
    report.messageLine(kWritingFlash);
    status = device.GretagCMD(kCmdStartWriting, nullptr);
    return writeBlocks(image, status);
}

// Nothing when the flash is blank (at once or after the operator let it be
// erased); else the status the download ends with.
std::optional<unsigned long> FirmwareDownload::blankCheck()
{
    unsigned long status = device.GretagCMD(kCmdBlankCheck, nullptr);
    if (status == kStatusOk)
        return std::nullopt;
    // An instrument that did not answer is not "not blank": asking to
    // erase it would only hide the broken link.
    if (status >= kLinkFailureThreshold) {
        report.messageLine(kBlankCheckFailed);
        return status;
    }
    const bool erase = !stopRequested.load() &&
        operatorDesk.showMessage(kEraseQuestion, kEraseCaption, MessageButtons::OkCancel,
            MessageIcon::Question) == MessageAnswer::Ok;
    if (!erase) {
        status = device.GretagCMD(kCmdLeaveLoader, nullptr);
        report.messageLine(kProgrammingAborted);
        report.serviceActive(false);
        return status;
    }
    report.messageLine(kErasing);
    status = device.GretagCMD(kCmdErase, nullptr);
    if (status != kStatusOk)
        return status;
    clock().sleepMs(kAfterEraseMs);
    status = device.GretagCMD(kCmdBlankCheck, nullptr);
    if (status == kStatusOk)
        return std::nullopt;
    report.messageLine(kBlankCheckFailed);
    return status;
}

unsigned long FirmwareDownload::writeBlocks(
    const std::vector<std::uint8_t>& image, unsigned long status)
{
    const int length = static_cast<int>(image.size());
    report.progressRange(static_cast<int>(kFlashImageStart), length);
    report.progress(static_cast<int>(kFlashImageStart));
    beep();

    for (std::size_t offset = kFlashImageStart; offset < image.size() && status == kStatusOk;
         offset += kDownloadBlockBytes) {
        if (stopRequested.load())
            return kStatusDownloadStopped;
        std::array<std::uint8_t, kDownloadBlockPayload> block = downloadBlock(image, offset);
        status = device.GretagCMD(kCmdWriteBlock, block.data());
        report.progress(static_cast<int>(std::min(offset + kDownloadBlockBytes, image.size())));
    }
    if (status != kStatusOk) {
        report.messageLine(kProgrammingFailed);
        beep();
        beep();
        return status;
    }
    status = device.GretagCMD(kCmdLeaveLoader, nullptr);
    report.messageLine(kProgrammingDone);
    beep();
    report.serviceActive(false);
    return status;
}

} // namespace lt
