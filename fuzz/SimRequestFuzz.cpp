// The virtual instruments on whatever a host may send them: the first input
// byte chooses the instrument (and whether the measurement key is down),
// the rest is the byte stream arriving on its line. Promises checked: a
// request is never longer than what arrived, and once the line is idle
// every byte left over is taken (as a request or as noise), so the
// instrument never stalls on a stream.

#include <cstdint>
#include <memory>
#include <string_view>

#include "AsciiInstrument.h"
#include "Bench.h"
#include "FuzzSupport.h"
#include "SpectrometerInstrument.h"

namespace {

using lt::fuzz::check;

constexpr ltsim::DeviceKind kKinds[] = {ltsim::DeviceKind::LumatrakS, ltsim::DeviceKind::LumatrakA,
    ltsim::DeviceKind::Spectrolino, ltsim::DeviceKind::Spectrometer};

std::unique_ptr<ltsim::Instrument> instrumentOf(ltsim::DeviceKind kind, ltsim::Bench& bench)
{
    if (kind == ltsim::DeviceKind::Spectrometer)
        return std::make_unique<ltsim::SpectrometerInstrument>(bench);
    return std::make_unique<ltsim::AsciiInstrument>(kind, bench);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lt::fuzz::FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    // Every input starts from the same bench; a copy costs less than making
    // its samples' spectra again.
    static const ltsim::Bench pristine;
    ltsim::Bench bench = pristine;
    bench.keyPressed = choice & 0x10;
    bench.headDown = choice & 0x20;
    auto instrument = instrumentOf(kKinds[choice % std::size(kKinds)], bench);

    std::string_view pending = input.remaining();
    while (!pending.empty()) {
        std::size_t length = instrument->requestLength(pending, false);
        if (length == 0) {
            length = instrument->requestLength(pending, true);
            check(length > 0, "bytes left on an idle line were never taken");
        }
        check(length <= pending.size(), "request longer than what arrived");
        const std::string_view request = pending.substr(0, length);
        instrument->replyLength(request);
        instrument->answer(request);
        pending.remove_prefix(length);
    }
    return 0;
}
