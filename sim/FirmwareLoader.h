// The Lumatrak's firmware loader: after the loader entry the instrument takes
// short binary commands (blank check, erase, write, 259-byte data blocks with a
// 16-bit sum) and programs its flash memory until "END".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ltsim {

class FirmwareLoader {
public:
    static constexpr std::size_t kBlockBytes = 256;
    static constexpr std::size_t kBlockMessageBytes = 1 + kBlockBytes + 2; // "D", data, sum
    static constexpr std::size_t kFlashBytes = 0x124000; // [bytes] programmable flash

    FirmwareLoader();

    // Framing while the loader runs (see Instrument::requestLength).
    std::size_t requestLength(std::string_view pending, bool lineIdle) const;
    std::size_t replyLength(std::string_view request) const;

    // The reply to a loader command; sets *leave for "END".
    std::string answer(std::string_view request, bool* leave);

    // Programmed bytes since the last erase (flash offset 0 up to the end of the
    // last block written).
    std::vector<std::uint8_t> image() const;
    bool blank() const;
    int rejectedBlocks() const { return rejectedBlocks_; }

    // A worn cell at flashOffset: its bits stay erased, so a block that
    // programs a zero bit there does not verify and is refused.
    void wearCell(std::size_t flashOffset);

private:
    std::string acceptBlock(std::string_view message);
    // Makes the flash, with the factory program, at its first use: most
    // sessions never enter the loader, and every instrument made would
    // otherwise fill 1.2 MB.
    void ensureFlash();

    std::vector<std::uint8_t> flash_; // empty until the first use
    std::vector<bool> worn_;
    bool writing_ = false; // a write command opened the flash for blocks
    std::size_t writeOffset_ = 0;
    std::size_t programmedEnd_ = 0;
    bool erasedOnce_ = false; // else the flash still holds the factory program
    int rejectedBlocks_ = 0;
};

} // namespace ltsim
