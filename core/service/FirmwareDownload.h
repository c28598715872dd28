#pragma once
// The download of a program image into the Lumatrak's flash through its
// loader: enter the loader, blank check (offering to erase), start writing,
// one checksummed 256-byte block after the other from image offset 0x4000,
// leave the loader. The sequence runs on a worker thread while it holds the
// instrument's exchange guard; it talks to the operator only through the
// Operator interface and reports through a DownloadSink.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CTaviSpec;

namespace lt {

class DownloadSink;
class Operator;

// The flash begins at this image offset: the bytes below it (the loader's
// own area) are never sent.
inline constexpr std::size_t kFlashImageStart = 0x4000;
inline constexpr std::size_t kDownloadBlockBytes = 256;
// The payload of one write command: the block and its 16-bit sum, high byte first.
inline constexpr std::size_t kDownloadBlockPayload = kDownloadBlockBytes + 2;
// Bytes of the last block that lie beyond the image: erased flash.
inline constexpr std::uint8_t kFlashFillByte = 0xFF;

// Pauses the loader needs between the steps.
inline constexpr std::uint32_t kBeforeBlankCheckMs = 100; // [ms]
inline constexpr std::uint32_t kAfterEraseMs = 300; // [ms]
inline constexpr std::uint32_t kBeforeWritingMs = 300; // [ms]

inline constexpr unsigned long kDownloadBeepHz = 1000; // [Hz]
inline constexpr unsigned long kDownloadBeepMs = 2; // [ms]

// The download's result when the program stopped it between two blocks
// (the program is closing); the instrument stays in its loader.
inline constexpr unsigned long kStatusDownloadStopped = 30100;

inline constexpr const char* kSwitchingToLoader =
    "Switch to programming, just one moment (up to 30sec) !";
inline constexpr const char* kErrorWritingToDevice = "Error writing to device, break !";
inline constexpr const char* kProgrammingAbortedMark = "Programming aborted !";
inline constexpr const char* kProgrammingAborted = "Programming aborted";
inline constexpr const char* kFirstBlankCheck = "Entered first blank check";
inline constexpr const char* kEraseQuestion = "Device not blank, erase Lumatrak internal program ?";
inline constexpr const char* kEraseCaption = "Lumatrak";
inline constexpr const char* kErasing = "Erasing FlashEEPROM";
inline constexpr const char* kBlankCheckFailed = "Blank check failed";
inline constexpr const char* kWritingFlash = "Blank check done, writing to FlashEEPROM";
inline constexpr const char* kProgrammingFailed = "Programming failed";
inline constexpr const char* kProgrammingDone = "Programming done";

// The payload of the block at offset: 256 image bytes (fill bytes past the
// image end), then their 16-bit sum, high byte first.
std::array<std::uint8_t, kDownloadBlockPayload> downloadBlock(
    const std::vector<std::uint8_t>& image, std::size_t offset);

class FirmwareDownload {
public:
    using Beeper = std::function<void(unsigned long frequencyHz, unsigned long durationMs)>;

    // stop is polled before every block.
    FirmwareDownload(CTaviSpec& instrument, Operator& op, DownloadSink& sink, Beeper beeper,
        const std::atomic<bool>& stop);

    // Runs the whole sequence; 0 when the program was written and the loader
    // left (or the operator refused the erase and the loader was left), else
    // the failing command's status.
    unsigned long run(const std::vector<std::uint8_t>& image);

private:
    std::optional<unsigned long> blankCheck();
    unsigned long writeBlocks(const std::vector<std::uint8_t>& image, unsigned long status);
    void beep();

    CTaviSpec& device;
    Operator& operatorDesk;
    DownloadSink& report;
    Beeper beeper;
    const std::atomic<bool>& stopRequested;
};

} // namespace lt
