#pragma once
// Module-level state of the streaming mode, shared by the caller's thread
// (XPress) and the receive thread. Every shared variable is atomic; each has
// one writer except the pending counter, which both threads change.

#include <atomic>
#include <cstdint>

namespace lt {

inline constexpr int kStreamSlots = 10;
inline constexpr std::int32_t kMaxOutstandingRequests = 3; // the caller waits above this
inline constexpr std::uint32_t kStreamPollMs = 50; // [ms] the receive thread's poll interval
inline constexpr std::uint32_t kBackPressurePauseMs = 30; // [ms] the caller's wait step

struct StreamingState {
    std::atomic<bool> run {false}; // the receive thread is to keep running
    std::atomic<bool> threadAlive {false}; // the receive thread has not ended yet
    std::atomic<void*> threadHandle {nullptr}; // port handle the thread reads from
    std::atomic<void*> slots[kStreamSlots] = {};
    std::atomic<int> receiveIndex {0}; // written by the receive thread
    std::atomic<int> submitIndex {0}; // written by XPress 37
    std::atomic<std::int32_t> newData {0}; // 1 after each stored block
    std::atomic<std::int32_t> pending {0}; // requests whose acknowledge is still to come
};

StreamingState& streamingState();

inline int nextSlot(int index)
{
    return index + 1 < kStreamSlots ? index + 1 : 0;
}

// Starts or stops the receive thread (a running one is stopped first; stop
// returns once the thread has ended).
void startReceiver(void* handle);
void stopReceiver();

} // namespace lt
