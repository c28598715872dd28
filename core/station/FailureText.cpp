#include "core/station/FailureText.h"

#include <iterator>

#include "core/common/NumberText.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

struct FailureWords {
    unsigned long status;
    const char* words; // "%" stands for the port's name
};

// The link failures an operator meets, in words that say what to check.
constexpr FailureWords kFailureWords[] = {
    {kStatusPortNotOpen, "% is not open: click \"Init Device\" first"},
    {kStatusShortReply, "The instrument on % gave no complete answer"},
    {kStatusPortState, "The line settings of % could not be set"},
    {kStatusGetStateFailed, "The line settings of % could not be read"},
    {kStatusWrongReply, "The instrument on % gave the wrong kind of reply"},
    {kStatusFinalReplyWrong, "The instrument on % gave the wrong kind of reply"},
    {kStatusNoHandshakeState, "The handshake lines of % could not be read"},
    {kStatusWriteFailed, "Writing to % failed (was the line dropped?)"},
    {kStatusWriteTimeout, "Writing to % timed out (is the instrument switched on?)"},
    {kStatusReadFailed, "Reading from % failed (was the line dropped?)"},
    {kStatusReadTimeout, "No answer from the instrument on %"},
    {kStatusUnexpectedStatus, "The instrument on % reported an unexpected state"},
    {kStatusTableNoReply, "The XY table on % did not answer"},
    {kStatusTableNotReady, "The XY table on % is not ready"},
    {kStatusTableError, "The XY table on % reported an error"},
    {kStatusUnknownXPress, "The instrument on % does not know this key code"},
    {kStatusOutputRejected, "The instrument on % refused the output settings"},
    {kStatusUnknownOperation, "The instrument on % does not know this command"},
};

constexpr unsigned long kFetchStep = 100; // a measurement's fetch adds this per step
constexpr unsigned long kLastFetchOffset = 400;
constexpr unsigned long kInstrumentErrorLast = 10199; // 10100 + the instrument's numeral

std::string withPort(const char* words, int portNumber)
{
    const std::string port = "COM" + formatInteger(portNumber);
    std::string text;
    for (const char* c = words; *c; ++c) {
        if (*c == '%')
            text += port;
        else
            text += *c;
    }
    return text;
}

// The library's own code of a measurement's failure.
unsigned long libraryCode(unsigned long status)
{
    if (status < kLinkFailureThreshold ||
        status >= kLinkFailureThreshold + kLastFetchOffset + kFetchStep)
        return status;
    return kLinkFailureThreshold + (status - kLinkFailureThreshold) % kFetchStep;
}

} // namespace

std::string failureText(unsigned long status, int portNumber, bool measurementCycle)
{
    if (status == kStatusOk)
        return {};
    const unsigned long code = measurementCycle ? libraryCode(status) : status;
    std::string text;
    for (const FailureWords& entry : kFailureWords)
        if (entry.status == code)
            text = withPort(entry.words, portNumber);
    if (text.empty()) {
        if (!isLinkFailure(code))
            text = withPort("The instrument on % refused the request", portNumber);
        else if (code > kStatusAlternateBase && code <= kInstrumentErrorLast)
            text = withPort("The instrument on % reported error ", portNumber) +
                formatInteger(static_cast<long long>(code - kStatusAlternateBase));
        else if (code >= kStatusHandshakeErrorBase)
            text = withPort("The handshake with the instrument on % failed", portNumber);
        else
            text = withPort("The link to the instrument on % failed", portNumber);
    }
    return text + " (" + formatInteger(static_cast<long long>(status)) + ")";
}

} // namespace lt
