// The numbered commands' answers taken apart straight from the input, with
// no line in between: every decoder reads the whole input as a reply. Each
// must write nothing beyond its payload, return 0 or one of its own codes,
// and leave the payload untouched whenever it returns a failure.

#include <array>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "instrument/include/LtStatus.h"
#include "instrument/protocol/CommandReplies.h"

namespace {

using Decoder = unsigned long (*)(std::string_view, void*);

struct Rule {
    Decoder decode;
    std::size_t payloadBytes; // exactly what the decoder may write
    unsigned long failure; // the failure codes it may return; 0: none
    unsigned long otherFailure = 0;
};

constexpr Rule kRules[] = {
    {lt::decodeConditions, 16, lt::kStatusShortReply},
    {lt::decodeAcknowledge, 0, lt::kStatusRefused},
    {lt::decodeTableDetection, 1, 0},
    {lt::decodeServiceValue, 4, lt::kStatusShortReply},
    {lt::decodeCheckedServiceValue, 4, lt::kStatusServiceQueryRefused, lt::kStatusShortReply},
};

constexpr std::uint8_t kCanary = 0xA5;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    for (const Rule& rule : kRules) {
        // Exactly the payload's size on the heap, so that AddressSanitizer
        // sees any write past it (one byte when nothing may be written).
        const std::size_t bytes = rule.payloadBytes == 0 ? 1 : rule.payloadBytes;
        auto* payload = new std::uint8_t[bytes];
        std::memset(payload, kCanary, bytes);
        const unsigned long status = rule.decode(reply, payload);
        bool untouched = true;
        for (std::size_t i = 0; i < bytes; ++i)
            untouched = untouched && payload[i] == kCanary;
        const bool ownCode = status == lt::kStatusOk ||
            (status != 0 && (status == rule.failure || status == rule.otherFailure));
        lt::fuzz::check(ownCode, "a decoder returned a code that is not its own");
        lt::fuzz::check(status == lt::kStatusOk || untouched, "a failed decode wrote its payload");
        lt::fuzz::check(rule.payloadBytes != 0 || untouched, "the acknowledgement wrote a payload");
        lt::fuzz::check(rule.decode(reply, nullptr) == status, "the payload changed the result");
        delete[] payload;
    }
    return 0;
}
