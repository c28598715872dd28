// The XY table that carries the measuring head: each operation is a short
// fixed script of request and acknowledge pairs on the instrument's port.

#include <cstring>
#include <initializer_list>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/protocol/GretagLink.h"
#include "instrument/protocol/HexCodec.h"

namespace lt {
namespace {

constexpr unsigned long kWriteTimeoutMs = 4000;
constexpr unsigned long kReadTimeoutMs = 7500;
constexpr unsigned long kReadPollMs = 10;
constexpr unsigned long kStatusPauseMs = 40; // the table needs a moment before it reports
constexpr RateChangePauses kRateChangePauses {200, 200, 200, 200};

// Replies: the length and the four characters that identify them.
struct ReplyKind {
    std::size_t length;
    const char* prefix;
};
constexpr ReplyKind kAck {9, ":D18"}; // ":D18000"
constexpr ReplyKind kAck25 {7, ":250"}; // ":2500"
constexpr ReplyKind kLocation {23, ":D18"}; // ":D181" and X, Y
constexpr ReplyKind kStatus {11, ":D18"}; // ":D1820000"
constexpr ReplyKind kInfo {19, ":D19"}; // ":D194" and 12 characters
constexpr ReplyKind kColor {49, ":BB0"}; // ":BB0904" and the values

// The table's replies are told apart by their first four characters. A reply
// of the same family (":" and the answer code's first character) is judged
// by them; one of another family is a late answer to an earlier request.
constexpr std::size_t kReplyFamilyLength = 2;
constexpr std::size_t kInfoColumn = 5;
constexpr std::size_t kInfoLength = 12;

// One request of a script and the reply it expects.
struct Step {
    Message request;
    ReplyKind reply;
    unsigned long pauseMs = 0; // between the request and the reading of its reply
};

Step step(const char* request, ReplyKind reply)
{
    return {Message(request), reply};
}

// ";D0000" s XXXX YYYY: move the head to a position.
Message moveRequest(char variant, const std::uint16_t* xy)
{
    return Message(";D0000").append(variant).appendHex16(xy[0]).appendHex16(xy[1]).endLine();
}

// The table's code for a line speed.
char tableBaudCode(std::uint16_t rate)
{
    switch (rate) {
    case 9600:
        return '7';
    case 19200:
        return '8';
    case 28800:
        return '9';
    case 57600:
        return 'A';
    default:
        return '0';
    }
}

// The two characters of the head-light requests of operations 50 to 56.
const char* lightCode(int operation)
{
    constexpr const char* kCodes[] = {"00", "04", "08", "10", "20", "0C", "30"};
    return kCodes[operation - 50];
}

} // namespace
} // namespace lt

unsigned long CTaviSpec::GretagXY(int operation, void* data)
{
    using namespace lt;
    GretagLink wire(m_portHandle, m_transferCount);
    Reply reply;

    // Runs a script; after each acknowledged step decode(index) may judge
    // the reply and end the script with a code.
    auto run = [&](std::initializer_list<Step> steps, auto decode) -> unsigned long {
        unsigned long result = kStatusOk;
        std::size_t index = 0;
        for (const Step& current : steps) {
            const std::string_view prefix(current.reply.prefix, 4);
            result = wire.exchange(current.request, reply, current.reply.length,
                {prefix.substr(0, kReplyFamilyLength)},
                {kModeBlockWait, kWriteTimeoutMs, kReadPollMs, kReadTimeoutMs, current.pauseMs});
            if (result != kStatusOk)
                return result;
            if (!reply.startsWith(prefix))
                return kStatusPortNotOpen;
            result = decode(index++);
            if (result != kStatusOk)
                return result;
        }
        return result;
    };
    auto noDecoding = [](std::size_t) { return kStatusOk; };
    auto* xy = static_cast<std::uint16_t*>(data);
    const bool needsPosition = (operation >= 0 && operation <= 2) || operation == 5 ||
        operation == 6 || operation == 21 || (operation >= 30 && operation <= 32) ||
        operation == 35;
    if (needsPosition && !data)
        return kStatusShortReply;
    const char moveVariant = (operation >= 30 && operation <= 32) || operation == 35 ? '1' : '0';

    switch (operation) {
    case 0:
    case 30:
        return run({step(";D010\r\n", kAck), step(";D012\r\n", kAck), step(";D003\r\n", kAck),
                       {moveRequest(moveVariant, xy), kAck}},
            noDecoding);
    case 1:
    case 31:
        return run({step(";D010\r\n", kAck), step(";D003\r\n", kAck),
                       {moveRequest(moveVariant, xy), kAck}},
            [&](std::size_t index) {
                // The final acknowledge says whether the target lies on the table.
                if (index == 2 && !reply.hasAt(5, "00"))
                    return kStatusAlternateBase;
                return kStatusOk;
            });
    case 2:
    case 32:
    case 5:
    case 35:
        return run({step(";D003\r\n", kAck), {moveRequest(moveVariant, xy), kAck}}, noDecoding);
    case 3:
    case 33: {
        Message where(";D0050");
        where.append(operation == 33 ? '1' : '0').endLine();
        return run({step(";D011\r\n", kAck), {where, kLocation}, step(";D010\r\n", kAck)},
            [&](std::size_t index) {
                if (index != 1 || !data)
                    return kStatusOk;
                std::uint16_t position[2];
                if (!HexDecode16(reply.text(), 11, 2, position))
                    return kStatusShortReply;
                std::memcpy(data, position, sizeof position);
                return kStatusOk;
            });
    }
    case 4:
        return run({step(";D003\r\n", kAck), step(";D00600\r\n", kAck), step(";D004\r\n", kAck),
                       step(";220907\r\n", kAck25), step(";D003\r\n", kAck)},
            noDecoding);
    case 6:
        return run({step(";D003\r\n", kAck),
                       {Message(";D001").appendHex16(xy[0]).appendHex16(xy[1]).endLine(), kAck}},
            noDecoding);
    case 7:
        return run({step(";D004\r\n", kAck), step(";20\r\n", kAck25), step(";BA0904\r\n", kColor),
                       step(";D003\r\n", kAck)},
            [&](std::size_t index) {
                if (index != 2)
                    return kStatusOk;
                float values[3];
                if (reply.at(6) != '4' || !HexDecodeFloats(reply.text(), 7, 3, values))
                    return kStatusShortReply;
                if (data)
                    std::memcpy(data, values, sizeof values);
                return kStatusOk;
            });
    case 8:
        return run({step(";D010\r\n", kAck)}, noDecoding);
    case 9:
        return run({step(";D011\r\n", kAck)}, noDecoding);
    case 10:
        return run({step(";D012\r\n", kAck)}, noDecoding);
    case 11:
        return run({step(";D010\r\n", kAck), step(";D003\r\n", kAck)}, noDecoding);
    case 12:
        return run({step(";D010\r\n", kAck), step(";D004\r\n", kAck)}, noDecoding);
    case 13:
        return run({step(";D010\r\n", kAck), step(";D00600\r\n", kAck)}, noDecoding);
    case 14:
        return run({step(";D002\r\n", kAck)}, noDecoding);
    case 15:
        return run({{Message(";D023\r\n"), kStatus, kStatusPauseMs}}, [&](std::size_t) {
            if (data) {
                const std::uint32_t flag = reply.at(6) == '1' ? 1 : 0;
                std::memcpy(data, &flag, sizeof flag);
            }
            return kStatusOk;
        });
    case 20: {
        LinkState& link = linkState();
        if (!link.sharedHandle)
            return kStatusPortNotOpen;
        const bool closed = SerialPort::close(link.sharedHandle);
        link.sharedHandle = nullptr;
        return closed ? 1 : 0;
    }
    case 21:
        return run({{moveRequest('0', xy), kAck}}, noDecoding);
    case 22: {
        if (!data)
            return kStatusShortReply;
        std::uint16_t rate = 0;
        std::memcpy(&rate, data, sizeof rate);
        const unsigned long written =
            wire.send(Message(";D0200").append(tableBaudCode(rate)).endLine(), kModeBlockWait,
                kWriteTimeoutMs);
        m_lastPortResult = wire.changeRate(rate, kRateChangePauses, m_lineSettings, m_lastError);
        if (!m_lastPortResult)
            return kStatusPortState;
        return written >> 1;
    }
    case 23:
        return run({step(";D034\r\n", kInfo)}, [&](std::size_t) {
            if (data)
                std::memcpy(data, reply.text().data() + kInfoColumn, kInfoLength);
            return kStatusOk;
        });
    case 50:
    case 51:
    case 52:
    case 53:
    case 54:
    case 55:
    case 56:
        return run({{Message(";D0B1").append(lightCode(operation)).endLine(), kAck}}, noDecoding);
    case 57:
    case 58:
    case 59:
    case 60:
    case 61:
        return kStatusOk;
    case 100:
        return run({step(";D087\r\n", kAck)}, noDecoding);
    default:
        return kStatusUnknownOperation;
    }
}
