#include "instrument/platform/HostHooks.h"

#include <atomic>
#include <cstdio>

#include "instrument/include/TaviSpec.h"

namespace lt {

namespace {

struct BeepHook {
    LtBeepHandler handler;
    void* context;
};
struct MessageHook {
    LtMessageHandler handler;
    void* context;
};
struct PumpHook {
    LtMessagePump pump;
    void* context;
};

// Installed once at start-up by the host, read by whichever thread talks to
// the instrument.
std::atomic<BeepHook*> beepHook{nullptr};
std::atomic<MessageHook*> messageHook{nullptr};
std::atomic<PumpHook*> pumpHook{nullptr};

// The hooks are replaced rarely; the previous record is kept alive (a few
// bytes) so that a thread still calling through it never reads freed memory.
template <typename Hook>
void install(std::atomic<Hook*>& slot, const Hook& hook) {
    slot.store(new Hook(hook), std::memory_order_release);
}

}  // namespace

void beep(unsigned long frequencyHz, unsigned long durationMs) {
    if (BeepHook* hook = beepHook.load(std::memory_order_acquire); hook && hook->handler)
        hook->handler(frequencyHz, durationMs, hook->context);
}

void showMessage(const char* text, const char* caption) {
    MessageHook* hook = messageHook.load(std::memory_order_acquire);
    if (hook && hook->handler) {
        hook->handler(text ? text : "", caption, hook->context);
        return;
    }
    std::fprintf(stderr, "LTCtl: %s%s%s\n", caption ? caption : "", caption ? ": " : "", text ? text : "");
}

void pumpMessages() {
    if (PumpHook* hook = pumpHook.load(std::memory_order_acquire); hook && hook->pump)
        hook->pump(hook->context);
}

}  // namespace lt

void CTaviSpec::SetBeepHandler(LtBeepHandler handler, void* context) {
    lt::install(lt::beepHook, lt::BeepHook{handler, context});
}

void CTaviSpec::SetMessageHandler(LtMessageHandler handler, void* context) {
    lt::install(lt::messageHook, lt::MessageHook{handler, context});
}

void CTaviSpec::SetMessagePump(LtMessagePump pump, void* context) {
    lt::install(lt::pumpHook, lt::PumpHook{pump, context});
}
