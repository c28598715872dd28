// The numbered command entry: measurement-mode switch, table detection,
// density slopes and measurement parameters, baud change, service queries
// and the firmware loader's commands.

#include <cerrno>
#include <cstring>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/protocol/CommandReplies.h"
#include "instrument/protocol/GretagLink.h"
#include "instrument/protocol/HexCodec.h"
#include "instrument/protocol/ParameterMessage.h"

namespace lt {
namespace {

constexpr unsigned long kCommandTimeoutMs = 20000;
constexpr unsigned long kFollowUpTimeoutMs = 7000;
constexpr std::size_t kFirmwareBlockBytes = 258; // 256 data bytes and their 16-bit sum
constexpr RateChangePauses kRateChangePauses {200, 100, 100, 0};

// A loader command: two characters and their check byte, the sum of the
// two character codes modulo 256.
Message loaderCommand(char first, char second)
{
    const auto check =
        static_cast<char>(static_cast<unsigned char>(first) + static_cast<unsigned char>(second));
    return Message().append(first).append(second).append(check);
}

// The baud code of the line-speed request, for the rates the instrument knows.
const char* instrumentBaudCode(std::uint16_t rate)
{
    switch (rate) {
    case 9600:
        return "27";
    case 19200:
        return "28";
    case 28800:
        return "98";
    case 57600:
        return "99";
    default:
        return "00";
    }
}

constexpr ReplyKinds kAcknowledge {":1F"};
constexpr ReplyKinds kServiceReply {"="};

// The density slopes K, C, M, Y as four 32-bit hex values.
Message densitySlopesRequest(const void* payload)
{
    std::uint32_t slopes[4];
    std::memcpy(slopes, payload, sizeof slopes);
    Message request(";17");
    for (std::uint32_t slope : slopes)
        request.appendHex32(slope);
    return request.endLine();
}

Message measurementConditionsRequest(const void* payload)
{
    return parameterMessage(*static_cast<const GretagStruct*>(payload), IlluminantCoding::Command);
}

// A command answered in one exchange: what it sends (a fixed request, or
// one built from the payload, which must then be there), how long the reply
// is and which kinds it accepts, and the decoder of the answer.
struct OneExchange {
    int command;
    const char* request; // without CR LF; null when built
    Message (*build)(const void* payload);
    std::size_t replyLength;
    ReplyKinds accepted;
    unsigned long (*decode)(std::string_view reply, void* payload);
};

constexpr OneExchange kOneExchangeCommands[] = {
    {kCmdReadWords, ";01", nullptr, 37, {":0C"}, decodeConditions},
    {kCmdTableDetection, ";D010", nullptr, 7, {":D1", kRefusalHeader}, decodeTableDetection},
    {kCmdReflectionMode, ";4D9B", nullptr, 9, kAcknowledge, decodeAcknowledge},
    {kCmdTransmissionMode, ";4D9C", nullptr, 9, kAcknowledge, decodeAcknowledge},
    {kCmdEmissionMode, ";4D9C", nullptr, 9, kAcknowledge, decodeAcknowledge},
    {kCmdDensitySlopes, nullptr, densitySlopesRequest, 9, kAcknowledge, decodeAcknowledge},
    {kCmdMeasurementConditions, nullptr, measurementConditionsRequest, 9, kAcknowledge,
        decodeAcknowledge},
    {kCmdServiceC064, "?C064", nullptr, 19, kServiceReply, decodeServiceValue},
    {kCmdServiceC065, "?C065", nullptr, 19, kServiceReply, decodeServiceValue},
    {kCmdServiceC068, "?C068", nullptr, 19, kServiceReply, decodeServiceValue},
    {kCmdServiceQueryFirst + 0, "?C064", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 1, "?C065", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 2, "?C068", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 3, "?C06C", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 4, "?C06D", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 5, "?C079", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 6, "?C07A", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
    {kCmdServiceQueryFirst + 7, "?C07B", nullptr, 19, kServiceReply, decodeCheckedServiceValue},
};
static_assert(kCmdServiceQueryLast - kCmdServiceQueryFirst == 7);

// What a loader command sends, how long the loader needs before it answers,
// how many bytes it answers and what the answer must hold.
struct LoaderStep {
    int command;
    char first, second; // the two characters before the check byte
    unsigned long pauseMs;
    unsigned long readTimeoutMs;
    unsigned long refusal; // nonzero: column 4 must be "O", else this code
};

constexpr LoaderStep kLoaderSteps[] = {
    {kCmdBlankCheck, 'B', '0', 3000, kCommandTimeoutMs, kStatusLoaderNotBlank},
    {kCmdBlankCheck2, 'B', '1', 1000, kCommandTimeoutMs, kStatusLoaderNotBlank},
    {kCmdErase, 'E', '0', 4000, 10000, kStatusLoaderEraseRefused},
    {kCmdErase2, 'E', '1', 1000, kCommandTimeoutMs, kStatusLoaderEraseRefused},
    {kCmdLoaderR0, 'R', '0', 1000, kCommandTimeoutMs, 0},
    {kCmdLoaderR1, 'R', '1', 1000, kCommandTimeoutMs, 0},
    {kCmdStartWriting, 'W', '0', 1000, kCommandTimeoutMs, 0},
    {kCmdStartWriting2, 'W', '1', 1000, kCommandTimeoutMs, 0},
};

} // namespace
} // namespace lt

unsigned long CTaviSpec::GretagCMD(int command, void* payload)
{
    using namespace lt;
    GretagLink wire(m_portHandle, m_transferCount);
    Reply reply;
    auto* payloadBytes = static_cast<std::uint8_t*>(payload);

    auto send = [&](const Message& message) {
        return wire.send(message, kModeBlockWait, kCommandTimeoutMs);
    };
    auto receive = [&](std::size_t length, unsigned long timeoutMs = kCommandTimeoutMs) {
        return wire.receive(reply, length, 0, kModeBlockWait, timeoutMs);
    };
    auto exchange = [&](const Message& request, std::size_t length, ReplyKinds kind) {
        return wire.exchange(request, reply, length, kind,
            {kModeBlockWait, kCommandTimeoutMs, 0, kCommandTimeoutMs});
    };
    // Loader commands: judged only by the character in the stated column.
    for (const LoaderStep& step : kLoaderSteps) {
        if (step.command != command)
            continue;
        const unsigned long written = send(loaderCommand(step.first, step.second));
        if (written != kStatusOk)
            return written;
        wire.pause(step.pauseMs);
        const unsigned long read = receive(step.refusal ? 6 : 3, step.readTimeoutMs);
        if (read >= kLinkFailureThreshold || !step.refusal)
            return read;
        if (!reply.complete())
            return kStatusShortReply;
        return reply.at(4) == 'O' ? read : step.refusal;
    }
    for (const OneExchange& entry : kOneExchangeCommands) {
        if (entry.command != command)
            continue;
        if (entry.build && !payload)
            return kStatusShortReply;
        const Message request =
            entry.build ? entry.build(payload) : Message(entry.request).endLine();
        if (command == kCmdTableDetection) {
            // The table's controller needs a quiet, empty line first.
            wire.pause(100);
            wire.purge();
            wire.pause(100);
        }
        const unsigned long read = exchange(request, entry.replyLength, entry.accepted);
        if (read != kStatusOk)
            return read;
        const unsigned long decoded = entry.decode(reply.text(), payload);
        // A table that answers sends two more bytes, whose read ends the command.
        if (decoded == kStatusOk && reply.startsWith(":D1"))
            return receive(2, kFollowUpTimeoutMs);
        return decoded;
    }

    switch (command) {
    case kCmdBaudRate: {
        if (!payload)
            return kStatusShortReply;
        std::uint16_t rate = 0;
        std::memcpy(&rate, payload, sizeof rate);
        const unsigned long written =
            send(Message(";4D").append(instrumentBaudCode(rate)).endLine());
        m_lastPortResult = wire.changeRate(rate, kRateChangePauses, m_lineSettings, m_lastError);
        if (!m_lastPortResult)
            return kStatusPortState;
        return written >> 1;
    }
    case kCmdEventCharacter: {
        const auto port = SerialPort::fromHandle(m_portHandle);
        if (!port || !port->getState(m_lineSettings)) {
            m_lastError = static_cast<unsigned long>(errno);
            return kStatusPortState;
        }
        if (payload)
            m_lineSettings.EventChar = static_cast<char>(payloadBytes[0]);
        m_lastPortResult = port->setState(m_lineSettings);
        return m_lastPortResult ? kStatusOk : kStatusPortState;
    }
    case kCmdReadByte: {
        const unsigned long read = receive(1);
        if (read != kStatusOk)
            return read;
        if (!reply.complete())
            return kStatusShortReply;
        if (payload)
            payloadBytes[0] = static_cast<std::uint8_t>(reply.at(0));
        return read;
    }
    case kCmdEnterLoader: {
        wire.pause(100);
        wire.purge();
        wire.pause(100);
        const unsigned long written = send(Message("?5A0203\r\n"));
        if (written != kStatusOk)
            return written;
        wire.pause(8000);
        const unsigned long read = receive(5);
        if (read >= kLinkFailureThreshold)
            return read;
        wire.purge();
        wire.pause(4000);
        return read;
    }
    case kCmdWriteBlock: {
        if (!payload)
            return kStatusShortReply;
        const unsigned long written = send(Message("D").appendBytes(
            static_cast<const std::uint8_t*>(payload), kFirmwareBlockBytes));
        if (written != kStatusOk)
            return written;
        unsigned long read = receive(3);
        if (read >= kLinkFailureThreshold)
            return read;
        if (!reply.complete())
            return kStatusShortReply;
        if (reply.at(1) != 'O')
            return kStatusLoaderBlockRefused;
        wire.pause(100);
        m_transferCount = 0;
        read = receive(3, kFollowUpTimeoutMs);
        if (read >= kLinkFailureThreshold)
            return read;
        if (!reply.complete())
            return kStatusShortReply;
        return reply.at(1) == 'O' || reply.at(1) == 'E' ? read : kStatusLoaderBlockNotWritten;
    }
    case kCmdLoaderD: {
        const unsigned long written = send(Message("D"));
        return written != kStatusOk ? written : receive(3);
    }
    case kCmdLeaveLoader:
        return send(Message("END"));
    default:
        // No such command: nothing is sent.
        return payload ? kStatusUnknownOperation : kStatusOk;
    }
}
