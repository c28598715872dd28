// The numbered command entry: measurement-mode switch, table detection,
// density slopes and measurement parameters, baud change, service queries
// and the firmware loader's commands.

#include <cerrno>
#include <cstring>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
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

struct ServiceQuery {
    int command;
    const char* request;
};

constexpr ServiceQuery kServiceQueries[] = {
    {500, "?C064\r\n"},
    {501, "?C065\r\n"},
    {502, "?C068\r\n"},
    {503, "?C06C\r\n"},
    {504, "?C06D\r\n"},
    {505, "?C079\r\n"},
    {506, "?C07A\r\n"},
    {507, "?C07B\r\n"},
};

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
    {301, 'B', '0', 3000, kCommandTimeoutMs, kStatusLoaderNotBlank},
    {302, 'B', '1', 1000, kCommandTimeoutMs, kStatusLoaderNotBlank},
    {303, 'E', '0', 4000, 10000, kStatusLoaderEraseRefused},
    {304, 'E', '1', 1000, kCommandTimeoutMs, kStatusLoaderEraseRefused},
    {305, 'R', '0', 1000, kCommandTimeoutMs, 0},
    {306, 'R', '1', 1000, kCommandTimeoutMs, 0},
    {307, 'W', '0', 1000, kCommandTimeoutMs, 0},
    {308, 'W', '1', 1000, kCommandTimeoutMs, 0},
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
    // A service query's value: 8 hex characters from column 5 of the reply.
    auto storeServiceValue = [&] {
        std::uint32_t value = 0;
        if (!HexDecode32(reply.text(), 5, 1, &value))
            return kStatusShortReply;
        if (payload)
            std::memcpy(payload, &value, sizeof value);
        return kStatusOk;
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
    for (const ServiceQuery& query : kServiceQueries) {
        if (query.command != command)
            continue;
        const unsigned long result = exchange(Message(query.request), 19, kServiceReply);
        if (result != kStatusOk)
            return result;
        if (!reply.startsWith("=C1"))
            return kStatusServiceQueryRefused;
        return storeServiceValue();
    }

    Message request;
    std::size_t replyLength = 0;
    ReplyKinds kind {kAcknowledge};
    switch (command) {
    case 1:
        request.append(";01").endLine();
        replyLength = 37;
        kind = {":0C"};
        break;
    case 2:
        wire.pause(100);
        wire.purge();
        wire.pause(100);
        request.append(";D010").endLine();
        replyLength = 7;
        kind = {":D1", kRefusalHeader};
        break;
    case 3:
        request.append(";4D9B").endLine();
        replyLength = 9;
        break;
    case 4:
    case 5: // the emission button sends the transmission message
        request.append(";4D9C").endLine();
        replyLength = 9;
        break;
    case 22: {
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
    case 100: {
        if (!payload)
            return kStatusShortReply;
        std::uint32_t slopes[4];
        std::memcpy(slopes, payload, sizeof slopes);
        request.append(";17");
        for (std::uint32_t slope : slopes)
            request.appendHex32(slope);
        request.endLine();
        replyLength = 9;
        break;
    }
    case 101:
        if (!payload)
            return kStatusShortReply;
        request =
            parameterMessage(*static_cast<const GretagStruct*>(payload), IlluminantCoding::Command);
        replyLength = 9;
        break;
    case 200:
        request.append("?C064").endLine();
        replyLength = 19;
        kind = kServiceReply;
        break;
    case 201:
        request.append("?C065").endLine();
        replyLength = 19;
        kind = kServiceReply;
        break;
    case 202:
        request.append("?C068").endLine();
        replyLength = 19;
        kind = kServiceReply;
        break;
    case 250: {
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
    case 251: {
        const unsigned long read = receive(1);
        if (read != kStatusOk)
            return read;
        if (!reply.complete())
            return kStatusShortReply;
        if (payload)
            payloadBytes[0] = static_cast<std::uint8_t>(reply.at(0));
        return read;
    }
    case 300: {
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
    case 309: {
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
    case 310: {
        const unsigned long written = send(Message("D"));
        return written != kStatusOk ? written : receive(3);
    }
    case 311:
        return send(Message("END"));
    default:
        // No such command: nothing is sent.
        return payload ? kStatusUnknownOperation : kStatusOk;
    }

    unsigned long read = exchange(request, replyLength, kind);
    if (read != kStatusOk)
        return read;

    if (reply.startsWith(":0C")) {
        std::uint32_t values[4];
        if (!HexDecode32(reply.text(), 3, 4, values))
            return kStatusShortReply;
        if (payload)
            std::memcpy(payload, values, sizeof values);
    } else if (reply.startsWith(":1F")) {
        return reply.hasAt(3, "00") ? kStatusOk : kStatusRefused;
    } else if (reply.startsWith(":26")) {
        if (payload)
            payloadBytes[0] = kTableAbsent;
    } else if (reply.startsWith(":31")) {
        std::uint16_t value = 0;
        if (!HexDecode16(reply.text(), 67, 1, &value))
            return kStatusShortReply;
        if (payload)
            std::memcpy(payload, &value, sizeof value);
    } else if (reply.startsWith(":D1")) {
        if (payload)
            payloadBytes[0] = kTableDetected;
        read = receive(2, kFollowUpTimeoutMs);
    } else if (reply.startsWith("=")) {
        return storeServiceValue();
    }
    return read;
}
