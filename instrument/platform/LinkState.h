#pragma once
// Module-level state of the spectrophotometer link, one copy in the library,
// shared by every CTaviSpec object and by the streaming receive thread.

#include <atomic>

namespace lt {

struct LinkState {
    // Handle of the spectrophotometer family's port; closed by the next
    // open and by table operation 20.
    void* sharedHandle = nullptr;
    // While set, the spectrophotometer exports use the blocking primitives.
    std::atomic<bool> directIo {false};
    // Which values the instrument sends on its own after a trigger; the
    // streaming mode sizes its blocks by it.
    std::atomic<unsigned char> measurementOutputMask {0};
};

LinkState& linkState();

} // namespace lt
