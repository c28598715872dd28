// Faults injected into the instrument's replies, once or from now on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ltsim/Simulator.h"

namespace ltsim {

class FaultInjector {
public:
    void inject(const Fault& fault);
    void clear();

    // The fault for the reply about to be sent (a one-shot fault is used up).
    Fault takeForReply();

private:
    Fault once_;
    Fault always_;
};

// Bytes of line noise of the given length; never a valid reply start.
std::string lineNoise(std::size_t length, std::uint32_t& state);

// The reply turned into a well-formed one of another kind: the answer code of
// a text reply changes, a status letter changes, or a binary reply's first byte.
std::string otherReplyKind(std::string reply);

} // namespace ltsim
