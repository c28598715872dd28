// The numbered commands' answers taken apart without a line: what each
// decoder returns and writes for well-formed, refused, short and damaged
// replies, and that nothing is written when there is nowhere to write.
// Hex values travel least significant byte first.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "instrument/include/LtRecordCodes.h"
#include "instrument/include/LtStatus.h"
#include "instrument/protocol/CommandReplies.h"

namespace lt {
namespace {

using Decoder = unsigned long (*)(std::string_view, void*);

struct Case {
    const char* what;
    Decoder decode;
    std::string reply;
    unsigned long status;
    std::array<std::uint32_t, 4> payload; // as left behind; the canary is 0xA5A5A5A5
};

constexpr std::uint32_t kCanary = 0xA5A5A5A5;
constexpr std::array<std::uint32_t, 4> kUntouched {kCanary, kCanary, kCanary, kCanary};

std::uint32_t firstByte(unsigned char value)
{
    std::uint32_t word = kCanary;
    std::memcpy(&word, &value, 1);
    return word;
}

TEST(CommandReplies, EachDecoderWritesOnlyWhatAWellFormedReplyCarries)
{
    const Case cases[] = {
        {"four values", decodeConditions, ":0C0100000002000000FFFFFFFFCDAB0000\r\n", kStatusOk,
            {1, 2, 0xFFFFFFFF, 0xABCD}},
        {"four values, one digit not hex", decodeConditions,
            ":0C0100000002000000FFFFFFFGCDAB0000\r\n", kStatusShortReply, kUntouched},
        {"four values cut short", decodeConditions, ":0C00000001", kStatusShortReply, kUntouched},
        {"accepted", decodeAcknowledge, ":1F0000\r\n", kStatusOk, kUntouched},
        {"refused with a code", decodeAcknowledge, ":1F0300\r\n", kStatusRefused, kUntouched},
        {"acknowledge cut before its code", decodeAcknowledge, ":1F", kStatusRefused, kUntouched},
        {"acknowledge cut inside its header", decodeAcknowledge, ":1", kStatusRefused, kUntouched},
        {"table answers", decodeTableDetection, ":D1\r\n", kStatusOk,
            {firstByte(kTableDetected), kCanary, kCanary, kCanary}},
        {"no table", decodeTableDetection, ":2600\r\n", kStatusOk,
            {firstByte(kTableAbsent), kCanary, kCanary, kCanary}},
        {"service value", decodeServiceValue, "=C1  40E20100      \r\n", kStatusOk,
            {123456, kCanary, kCanary, kCanary}},
        {"service value cut short", decodeServiceValue, "=C1  40E20", kStatusShortReply,
            kUntouched},
        {"checked service value", decodeCheckedServiceValue, "=C1  2A000000      \r\n", kStatusOk,
            {42, kCanary, kCanary, kCanary}},
        {"checked service value refused", decodeCheckedServiceValue, "=C0  2A000000      \r\n",
            kStatusServiceQueryRefused, kUntouched},
        {"empty reply", decodeCheckedServiceValue, "", kStatusServiceQueryRefused, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<std::uint32_t, 4> payload = kUntouched;
        EXPECT_EQ(c.decode(c.reply, payload.data()), c.status);
        EXPECT_EQ(payload, c.payload);
        // Without a payload the status is the same and nothing is written.
        EXPECT_EQ(c.decode(c.reply, nullptr), c.status);
    }
}

} // namespace
} // namespace lt
