// Calibration on the white reference, measurement, the instrument's key and
// what the instrument reports.

#include <cstring>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/HostHooks.h"
#include "instrument/platform/LinkState.h"
#include "instrument/protocol/GretagLink.h"
#include "instrument/protocol/HexCodec.h"
#include "instrument/protocol/ParameterMessage.h"

namespace lt {
namespace {

constexpr unsigned char kModeTransmission = 1;
constexpr unsigned char kModeEmission = 2;

constexpr unsigned long kTriggerPauseMs = 20;
constexpr unsigned long kOutputSettleMs = 100;

// Reflection, transmission or emission: the last character of ";4D9B".
char measureModeCode(unsigned char mode)
{
    if (mode == kModeTransmission)
        return 'C';
    if (mode == kModeEmission)
        return 'D';
    return 'B';
}

// The last character of the ";22090" calibration request.
char calibrationOutputCode(unsigned char outputType)
{
    switch (outputType) {
    case 0:
        return '0';
    case 7:
        return '7';
    case 8:
        return '8';
    default:
        return '1';
    }
}

// A refused calibration step: the instrument's error number behind ":" and
// two characters. A reply without a nonzero number is a broken reply, never
// a success.
unsigned long calibrationRefusal(const Reply& reply, std::size_t maxDigits)
{
    if (!reply.complete() || numeralValue(reply.at(3)) < 0)
        return kStatusShortReply;
    const unsigned long number = decimalAt(reply, 3, maxDigits);
    return number != kStatusOk ? number : kStatusShortReply;
}

// The replies of the calibration's steps.
constexpr ReplyKinds kAcknowledge {":1F"};
// The first two steps take any reply: one that is not ":1F" carries the
// instrument's error number.
constexpr ReplyKinds kAnyReply {":"};
// ":25": the answer to a trigger and to a calibration.
constexpr ReplyKinds kTriggerReply {":25"};
constexpr ReplyKinds kTableReply {":D1"};

// A link failure (above 10000) ends a sequence at once.
bool linkFailed(unsigned long code)
{
    return code > kLinkFailureThreshold;
}

} // namespace
} // namespace lt

unsigned long CTaviSpec::GretagInitExecRemission(GretagStruct* g, unsigned char withTable)
{
    using namespace lt;
    if (!g)
        return kStatusShortReply;
    constexpr unsigned long kWriteTimeoutMs = 5000;
    const unsigned long readTimeoutMs = g->MeasureMode == kModeEmission ? 15000 : 7000;
    GretagLink wire(m_portHandle, m_transferCount);
    Reply reply;
    unsigned long result = kStatusOk;

    // One step: send, and unless the write failed, read the reply. False when
    // the link broke and the sequence must stop with result.
    auto step = [&](const Message& request, std::size_t replyLength, ReplyKinds kinds,
                    unsigned long pollMs, bool& replied) {
        replied = false;
        result = wire.send(request, kModeBlockWait, kWriteTimeoutMs);
        if (linkFailed(result) && result != kStatusWriteFailed && result != kStatusWriteTimeout)
            return false;
        if (result != kStatusOk)
            return true; // a failed write skips its read; the sequence goes on
        result =
            wire.receiveAnswer(reply, replyLength, kinds, pollMs, kModeBlockWait, readTimeoutMs);
        replied = result == kStatusOk;
        return !linkFailed(result);
    };
    bool replied = false;

    const char measureMode[] = {';', '4', 'D', '9', measureModeCode(g->MeasureMode), '\r', '\n'};
    if (!step(
            Message(std::string_view(measureMode, sizeof measureMode)), 9, kAnyReply, 10, replied))
        return result;
    if (replied && !(reply.complete() && reply.startsWith(":1F")))
        return calibrationRefusal(reply, 4);

    if (!step(parameterMessage(*g, IlluminantCoding::Calibration), 9, kAnyReply, 10, replied))
        return result;
    if (replied && !(reply.complete() && reply.startsWith(":1F")))
        return calibrationRefusal(reply, 5);

    Message whiteRequest(";22090");
    whiteRequest.append(calibrationOutputCode(g->OutputType)).endLine();

    if (!withTable) {
        if (!step(whiteRequest, 7, kTriggerReply, 20, replied) || !replied)
            return result;
        if (!reply.complete())
            return kStatusShortReply;
        if (!reply.startsWith(":25"))
            return kStatusShortReply; // no calibration answer at all
        if (!reply.hasAt(3, "13") && !reply.hasAt(3, "34"))
            return kStatusUnexpectedStatus;
        return result;
    }

    // With the XY table the head is lowered onto the white tile first and
    // lifted again afterwards.
    if (!step(Message(";D010\r\n"), 9, kTableReply, 20, replied) ||
        !step(Message(";D00600\r\n"), 9, kTableReply, 20, replied) ||
        !step(Message(";D004\r\n"), 9, kTableReply, 20, replied))
        return result;
    if (!step(whiteRequest, 7, kTriggerReply, 20, replied))
        return result;
    const bool whiteFailed =
        !replied || !reply.complete() || reply.at(0) != ':' || !reply.hasAt(3, "13");
    if (!step(Message(";D003\r\n"), 9, kTableReply, 20, replied))
        return result;
    if (whiteFailed)
        return kStatusCalibrationFailed;
    step(Message(";D011\r\n"), 9, kTableReply, 20, replied);
    return result;
}

unsigned long CTaviSpec::GretagExecRemission(GretagStruct* g)
{
    lt::observeFetch(g, false, lt::kStatusOk);
    const unsigned long result = execRemission(g);
    lt::observeFetch(g, true, result);
    return result;
}

unsigned long CTaviSpec::execRemission(GretagStruct* g)
{
    using namespace lt;
    if (!g)
        return kStatusShortReply;
    constexpr unsigned long kTimeoutMs = 8000;
    GretagLink wire(m_portHandle, m_transferCount);
    Reply reply;

    unsigned char firstStep = g->StartStep;
    unsigned char lastStep = kStartFetch;
    if (firstStep == kStartTriggerOnly) {
        g->StartStep = 0;
        firstStep = lastStep = kStartTrigger;
    }
    unsigned long result = kStatusOk;

    if (firstStep == kStartTrigger) {
        wire.purge();
        wire.pause(kTriggerPauseMs);
        result = wire.send(Message(";20\r\n"), kModeBlockPoll, kTimeoutMs);
        if (linkFailed(result))
            return result;
        if (result == kStatusOk) {
            result = wire.receiveAnswer(reply, 7, kTriggerReply, 30, kModeBlockPoll, kTimeoutMs);
            if (result != kStatusOk)
                return result;
            if (!reply.startsWith(":2500")) {
                const int numeral = numeralValue(reply.at(4));
                return numeral < 0 ? kStatusShortReply
                                   : kStatusTriggerErrorBase + static_cast<unsigned long>(numeral);
            }
            wire.pause(kTriggerPauseMs);
        }
    }
    if (firstStep > kStartFetch || lastStep < kStartFetch)
        return result;

    Message request;
    std::size_t replyLength = 0;
    unsigned long pollMs = 20;
    ReplyKinds kind;
    switch (g->OutputType) {
    case kOutputColorimetric: {
        const char space =
            g->ColorSpace >= 1 && g->ColorSpace <= 6 ? static_cast<char>('0' + g->ColorSpace) : '0';
        request.append(";BA090").append(space).endLine();
        replyLength = 49;
        kind = {":BB"};
        break;
    }
    case kOutputDensity:
        request.append(";BC09").endLine();
        replyLength = 55;
        pollMs = 10;
        kind = {":BD"};
        break;
    case kOutputAlternate:
        request.append(";D047").endLine();
        replyLength = 35;
        pollMs = 10;
        kind = {":D1"};
        break;
    default:
        request.append(";B8090").append(g->SpectrumVariant == 1 ? '1' : '0').endLine();
        replyLength = 309;
        kind = {":B9"};
        break;
    }
    result = wire.exchange(
        request, reply, replyLength, kind, {kModeBlockPoll, kTimeoutMs, pollMs, kTimeoutMs});
    if (result != kStatusOk)
        return result;

    switch (g->OutputType) {
    case kOutputColorimetric: {
        float* destination = nullptr;
        if (g->ColorSpace == 0 && reply.at(6) == '0')
            destination = g->ColorTriple0;
        else if (g->ColorSpace == 1 && reply.at(6) == '1')
            destination = g->ColorTriple1;
        else if (g->ColorSpace == 4 && reply.at(6) == '4')
            destination = g->ColorTriple4;
        if (destination && !HexDecodeFloats(reply.text(), 7, 3, destination))
            return kStatusShortReply;
        return result;
    }
    case kOutputDensity:
        if (!HexDecodeFloats(reply.text(), 5, 4, g->Density))
            return kStatusShortReply;
        return result;
    case kOutputAlternate: {
        constexpr std::size_t kErrorColumn = 32;
        if (reply.at(kErrorColumn) != '0') {
            const int numeral = numeralValue(reply.at(kErrorColumn));
            return numeral < 0 ? kStatusShortReply
                               : kStatusAlternateBase + static_cast<unsigned long>(numeral);
        }
        if (reply.hasAt(3, "A1") && !HexDecodeFloats(reply.text(), 7, 3, g->Density))
            return kStatusShortReply;
        return result;
    }
    default:
        float values[kSpectrumValues];
        if (!HexDecodeFloats(reply.text(), 7, kSpectrumValues, values))
            return kStatusShortReply;
        std::memcpy(m_spectrum, values, sizeof values);
        if (g->Spectrum)
            std::memcpy(g->Spectrum, m_spectrum, sizeof m_spectrum);
        return result;
    }
}

unsigned long CTaviSpec::GretagQueryLocal(int /*unused*/)
{
    using namespace lt;
    GretagLink wire(m_portHandle, m_transferCount);
    wire.purge();
    Reply reply;
    const unsigned long result =
        wire.exchange(Message(";07\r\n"), reply, 9, {":12"}, {kModeBlockPoll, 5000, 0, 5000});
    if (result != kStatusOk)
        return result;
    const int key = numeralValue(reply.at(4));
    if (reply.at(3) == '0' && key >= 0 && key <= 3)
        return static_cast<unsigned long>(key);
    return kStatusOk; // an answer, but no key state: no press
}

unsigned long CTaviSpec::GretagOutputSet(GretagStruct* g)
{
    using namespace lt;
    if (!g || (g->OutputSet != 1 && g->OutputSet != 2))
        return kStatusOutputRejected; // no such output set: nothing is sent
    GretagLink wire(m_portHandle, m_transferCount);
    const Message request(g->OutputSet == 1 ? ";B10101\r\n" : ";B10212\r\n");
    Reply reply;
    const unsigned long result =
        wire.exchange(request, reply, 9, kAcknowledge, {kModeBlockWait, 1000, 20, 1000});
    if (result != kStatusOk)
        return result;
    return reply.startsWith(":1F0000") ? kStatusOk : kStatusOutputRejected;
}

unsigned long CTaviSpec::GretagSetMeasurementOutput(unsigned char mask)
{
    using namespace lt;
    linkState().measurementOutputMask = mask;
    struct OutputSwitch {
        const char* on;
        const char* off;
    };
    // Bit 0 and bit 1 switch the same output; the instrument takes the last.
    constexpr OutputSwitch kSwitches[] = {
        {";B10212\r\n", ";B10200\r\n"},
        {";B10212\r\n", ";B10200\r\n"},
        {";B1040F\r\n", ";B10400\r\n"},
        {";B10101\r\n", ";B10100\r\n"},
    };
    GretagLink wire(m_portHandle, m_transferCount);
    Reply reply;
    unsigned long last = kStatusOk;
    for (int bit = 0; bit < 4; ++bit) {
        const bool on = (mask >> bit) & 1;
        last =
            wire.send(Message(on ? kSwitches[bit].on : kSwitches[bit].off), kModeBlockPoll, 5000);
        wire.pause(kOutputSettleMs);
        if (last != kStatusOk)
            continue; // a failed write skips its read
        last = wire.receiveAnswer(reply, 9, kAcknowledge, 100, kModeBlockPoll, 5000);
        if (last == kStatusShortReply)
            return last;
        if (last != kStatusOk)
            return last + kOutputCodeOffset;
        if (!reply.hasAt(3, "0000"))
            return kStatusOutputRejected;
    }
    return last != kStatusOk ? last + kOutputCodeOffset : kStatusOk;
}

unsigned long CTaviSpec::GretagQueryRemote(GretagStruct*)
{
    return lt::kStatusOk;
}

unsigned long CTaviSpec::GretagExecEmission(GretagStruct*)
{
    return lt::kStatusOk;
}

unsigned long CTaviSpec::GretagInitExecEmission(GretagStruct*)
{
    return lt::kStatusOk;
}
