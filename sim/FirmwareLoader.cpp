#include "FirmwareLoader.h"

#include <algorithm>

namespace ltsim {

namespace {

constexpr std::uint8_t kErased = 0xFF;
constexpr std::size_t kCommandBytes = 3;
constexpr std::size_t kStatusReplyBytes = 6; // "B0: O" LF
constexpr std::size_t kShortReplyBytes = 3; // "DO" LF

// The two command characters followed by their sum modulo 256.
bool checkByteValid(std::string_view command)
{
    return command.size() == kCommandBytes &&
        static_cast<std::uint8_t>(command[0] + command[1]) == static_cast<std::uint8_t>(command[2]);
}

// A command cut short (one character left on an idle line) is echoed as far
// as it came, with a blank for the missing character, so the reply keeps the
// length the host waits for.
std::string statusReply(std::string_view command, char status)
{
    const char second = command.size() > 1 ? command[1] : ' ';
    return std::string {command[0], second, ':', ' ', status, '\n'};
}

std::string shortReply(char kind, char status)
{
    return std::string {kind, status, '\n'};
}

} // namespace

FirmwareLoader::FirmwareLoader() = default;

void FirmwareLoader::ensureFlash()
{
    if (!flash_.empty())
        return;
    // The instrument leaves the factory with a program in its flash; no byte
    // of it reads erased (0xFF).
    static const std::vector<std::uint8_t> factoryProgram = [] {
        std::vector<std::uint8_t> program(kFlashBytes);
        for (std::size_t i = 0; i < program.size(); ++i)
            program[i] = static_cast<std::uint8_t>((i * 31 + 7) % 251);
        return program;
    }();
    flash_ = factoryProgram;
    worn_.assign(kFlashBytes, false);
}

std::size_t FirmwareLoader::requestLength(std::string_view pending, bool lineIdle) const
{
    if (pending.empty())
        return 0;
    char first = pending[0];
    if (first == 'D') {
        if (pending.size() >= kBlockMessageBytes)
            return kBlockMessageBytes;
        // A lone "D" is a command of its own; a block still arriving is waited for.
        return lineIdle ? pending.size() : 0;
    }
    if (first == 'B' || first == 'E' || first == 'R' || first == 'W') {
        if (pending.size() >= kCommandBytes)
            return kCommandBytes;
        return lineIdle ? pending.size() : 0;
    }
    return 1; // noise byte between commands
}

std::size_t FirmwareLoader::replyLength(std::string_view request) const
{
    if (request.empty())
        return 0;
    switch (request[0]) {
    case 'B':
        return kStatusReplyBytes;
    case 'E':
        return request == "END" ? 0 : kStatusReplyBytes;
    case 'R':
    case 'W':
        return kShortReplyBytes;
    case 'D':
        return request.size() == kBlockMessageBytes ? 2 * kShortReplyBytes : kShortReplyBytes;
    }
    return 0;
}

std::string FirmwareLoader::answer(std::string_view request, bool* leave)
{
    *leave = false;
    if (request.empty())
        return {};
    ensureFlash();
    if (request == "END") {
        writing_ = false;
        *leave = true;
        return {};
    }
    switch (request[0]) {
    case 'D':
        if (request.size() == 1)
            return shortReply('D', 'O'); // nothing to program
        if (request.size() != kBlockMessageBytes)
            return shortReply('D', 'F');
        return acceptBlock(request);
    case 'B':
        if (!checkByteValid(request))
            return statusReply(request.substr(0, 2), 'C');
        return statusReply(request, blank() ? 'O' : 'N');
    case 'E':
        if (!checkByteValid(request))
            return statusReply(request.substr(0, 2), 'C');
        std::fill(flash_.begin(), flash_.end(), kErased);
        erasedOnce_ = true;
        programmedEnd_ = 0;
        return statusReply(request, 'O');
    case 'W':
        if (!checkByteValid(request))
            return shortReply('W', 'C');
        writing_ = true;
        writeOffset_ = 0;
        return shortReply('W', 'O');
    case 'R':
        return shortReply('R', checkByteValid(request) ? 'O' : 'C');
    }
    return {};
}

// First reply: the block arrived intact ("O"), or not ("E": wrong sum, flash
// not erased there, or beyond the flash); second: it was programmed. The
// refusal stands in the first reply because the host counts an "E" in the
// second one as accepted.
std::string FirmwareLoader::acceptBlock(std::string_view message)
{
    if (!writing_)
        return shortReply('D', 'N') + shortReply('D', 'N');
    const auto* data = reinterpret_cast<const std::uint8_t*>(message.data() + 1);
    unsigned sum = 0;
    for (std::size_t i = 0; i < kBlockBytes; ++i)
        sum += data[i];
    unsigned sent = data[kBlockBytes] * 256u + data[kBlockBytes + 1];
    std::size_t offset = writeOffset_;
    writeOffset_ += kBlockBytes;
    const std::string received = shortReply('D', 'O');
    const std::string refused = shortReply('D', 'E') + shortReply('D', 'E');
    if ((sum & 0xFFFF) != sent || offset + kBlockBytes > flash_.size()) {
        ++rejectedBlocks_;
        return refused;
    }
    // Flash bits can only be cleared by programming: a block over unerased
    // cells does not verify.
    bool verified = true;
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        flash_[offset + i] = worn_[offset + i] ? kErased : flash_[offset + i] & data[i];
        verified = verified && flash_[offset + i] == data[i];
    }
    programmedEnd_ = std::max(programmedEnd_, offset + kBlockBytes);
    if (!verified) {
        ++rejectedBlocks_;
        return refused;
    }
    return received + shortReply('D', 'O');
}

void FirmwareLoader::wearCell(std::size_t flashOffset)
{
    ensureFlash();
    if (flashOffset < worn_.size())
        worn_[flashOffset] = true;
}

std::vector<std::uint8_t> FirmwareLoader::image() const
{
    return std::vector<std::uint8_t>(
        flash_.begin(), flash_.begin() + static_cast<std::ptrdiff_t>(programmedEnd_));
}

bool FirmwareLoader::blank() const
{
    // The factory program is never blank, and programming only clears bits.
    // After an erase the cells past the last block programmed are still
    // erased: only those before it need looking at.
    return erasedOnce_ &&
        std::all_of(flash_.begin(), flash_.begin() + static_cast<std::ptrdiff_t>(programmedEnd_),
            [](std::uint8_t b) { return b == kErased; });
}

} // namespace ltsim
