// One virtual instrument's protocol: how its requests are framed on the line
// and what it answers to each.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ltsim {

struct Reply {
    std::string bytes; // sent back on the line (may be empty: no reply)
    unsigned workMs = 0; // [ms] time the instrument works before replying (paced mode only)
    std::optional<unsigned> newBaudRate; // the request switched the instrument's line speed
};

class Instrument {
public:
    virtual ~Instrument() = default;

    // Length of the first complete request at the start of `pending`, 0 while it
    // is incomplete. With `lineIdle` the line has been quiet for a while and the
    // instrument stops waiting: bytes that still form no request are then taken
    // as one piece of noise (their length is returned and answer() ignores them).
    virtual std::size_t requestLength(std::string_view pending, bool lineIdle) const = 0;

    // Length of the reply the request would get; used to answer a request that
    // arrived at the wrong line speed with noise of that length.
    virtual std::size_t replyLength(std::string_view request) const = 0;

    virtual Reply answer(std::string_view request) = 0;
};

} // namespace ltsim
