#include "FaultInjector.h"

namespace ltsim {

void FaultInjector::inject(const Fault& fault)
{
    if (fault.scope == FaultScope::NextReply) {
        once_ = fault;
    } else {
        always_ = fault;
    }
}

void FaultInjector::clear()
{
    once_ = Fault {};
    always_ = Fault {};
}

Fault FaultInjector::takeForReply()
{
    if (once_.kind != FaultKind::None) {
        Fault fault = once_;
        once_ = Fault {};
        return fault;
    }
    return always_;
}

std::string lineNoise(std::size_t length, std::uint32_t& state)
{
    static const char kNoise[] = "#%&*+-/0123456789<>@ABCDEFGHJKLMNOPQRSTUVWXYZ^_|~";
    std::string noise;
    noise.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u; // linear congruential step
        noise.push_back(kNoise[(state >> 16) % (sizeof kNoise - 1)]);
    }
    return noise;
}

std::string otherReplyKind(std::string reply)
{
    if (reply.size() >= 3 && (reply[0] == ':' || reply[0] == '=')) {
        bool isAck = reply[1] == '1' && reply[2] == 'F';
        reply[1] = isAck ? '2' : '1';
        reply[2] = isAck ? '6' : 'F';
    } else if (reply.size() >= 5 && reply[2] == ':') {
        reply[4] = 'X'; // loader status reply with an unknown status
    } else if (reply.size() >= 2 && (reply[1] == 'O' || reply[1] == 'E')) {
        reply[1] = 'N';
    } else if (!reply.empty()) {
        reply[0] = static_cast<char>(reply[0] ^ 0xFF);
    }
    return reply;
}

} // namespace ltsim
