#pragma once
// The program's single instrument object and the rule that two exchanges
// with it never overlap. Whoever talks to the instrument (a measurement,
// the white reference, a remote-mode poll, a parameter download, the chart
// worker) first takes an Exchange; while one is held every further attempt
// is refused at once instead of waiting. A refused remote-mode poll is no
// link failure: it simply tries again at its next tick.
#include <atomic>

#include "instrument/include/TaviSpec.h"

namespace lt {

// Returned instead of an instrument status when another exchange is running.
inline constexpr unsigned long kStatusInstrumentBusy = 30000;

class InstrumentAccess {
public:
    explicit InstrumentAccess(CTaviSpec& instrument) : device(instrument) { }

    class Exchange {
    public:
        Exchange() = default;
        Exchange(Exchange&& other) noexcept : owner(other.owner) { other.owner = nullptr; }
        Exchange& operator=(Exchange&& other) noexcept
        {
            if (this != &other) {
                release();
                owner = other.owner;
                other.owner = nullptr;
            }
            return *this;
        }
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;
        ~Exchange() { release(); }

        explicit operator bool() const { return owner != nullptr; }
        CTaviSpec& instrument() const { return owner->device; }
        void release()
        {
            if (owner)
                owner->running.store(false, std::memory_order_release);
            owner = nullptr;
        }

    private:
        friend class InstrumentAccess;
        explicit Exchange(InstrumentAccess* access) : owner(access) { }
        InstrumentAccess* owner = nullptr;
    };

    // An exchange, or an empty one (false) when another is running.
    Exchange tryBegin()
    {
        bool expected = false;
        if (!running.compare_exchange_strong(expected, true, std::memory_order_acq_rel))
            return Exchange();
        return Exchange(this);
    }

    bool busy() const { return running.load(std::memory_order_acquire); }

    // The object itself, for calls that do not talk to the instrument.
    CTaviSpec& instrument() { return device; }

private:
    CTaviSpec& device;
    std::atomic<bool> running {false};
};

} // namespace lt
