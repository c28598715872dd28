// The measurement block an instrument sends on its own in streaming mode,
// decoded under every measurement-output mask: the first input byte chooses
// the caller's record size beyond the minimum, the rest is the block. The
// decoder must write inside the record only, and fill it (ready flag set)
// exactly when the block is long enough for the mask.

#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "instrument/streaming/MeasurementBlock.h"

namespace {

constexpr unsigned kMasks = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lt::fuzz::FuzzInput input(data, size);
    const std::size_t spare = input.byte() % 16;
    const std::string_view block = input.remaining();
    for (unsigned mask = 0; mask < kMasks; ++mask) {
        // Exactly the record size, so that AddressSanitizer sees any write past it.
        std::vector<std::uint8_t> record(lt::stream_record::kMinimumSize + spare, 0);
        lt::storeMeasurementBlock(block.data(), block.size(), mask, record.data());
        const std::size_t expected = lt::measurementBlockLength(mask);
        const bool whole = expected != 0 && block.size() >= expected;
        lt::fuzz::check(lt::measurementRecordReady(record.data()) == whole,
            whole ? "whole block left the record unfilled" : "short block marked the record ready");
    }
    return 0;
}
