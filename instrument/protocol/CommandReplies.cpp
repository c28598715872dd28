#include "instrument/protocol/CommandReplies.h"

#include <cstdint>
#include <cstring>

#include "instrument/include/LtRecordCodes.h"
#include "instrument/include/LtStatus.h"
#include "instrument/protocol/HexCodec.h"

namespace lt {

namespace {

constexpr std::size_t kConditionsColumn = 3;
constexpr std::size_t kAnswerCodeColumn = 3;
constexpr std::size_t kServiceValueColumn = 5;

bool startsWith(std::string_view reply, std::string_view prefix)
{
    return reply.substr(0, prefix.size()) == prefix;
}

} // namespace

unsigned long decodeConditions(std::string_view reply, void* payload)
{
    std::uint32_t values[4];
    if (!HexDecode32(reply, kConditionsColumn, 4, values))
        return kStatusShortReply;
    if (payload)
        std::memcpy(payload, values, sizeof values);
    return kStatusOk;
}

unsigned long decodeAcknowledge(std::string_view reply, void*)
{
    if (reply.size() < kAnswerCodeColumn)
        return kStatusRefused;
    return reply.substr(kAnswerCodeColumn, 2) == "00" ? kStatusOk : kStatusRefused;
}

unsigned long decodeTableDetection(std::string_view reply, void* payload)
{
    if (payload)
        *static_cast<unsigned char*>(payload) =
            startsWith(reply, ":D1") ? kTableDetected : kTableAbsent;
    return kStatusOk;
}

unsigned long decodeServiceValue(std::string_view reply, void* payload)
{
    std::uint32_t value = 0;
    if (!HexDecode32(reply, kServiceValueColumn, 1, &value))
        return kStatusShortReply;
    if (payload)
        std::memcpy(payload, &value, sizeof value);
    return kStatusOk;
}

unsigned long decodeCheckedServiceValue(std::string_view reply, void* payload)
{
    if (!startsWith(reply, "=C1"))
        return kStatusServiceQueryRefused;
    return decodeServiceValue(reply, payload);
}

} // namespace lt
