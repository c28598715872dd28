#include "instrument/platform/HostHooks.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "instrument/include/TaviSpec.h"

namespace lt {

namespace {

// A host callback with its context. Installed by the host at start-up, read
// by whichever thread talks to the instrument: handler and context are
// always taken together under the lock, and the call is made outside it.
template <typename Handler>
class Hook {
public:
    void install(Handler handler, void* context)
    {
        std::lock_guard lock(m_mutex);
        m_handler = handler;
        m_context = context;
    }
    std::pair<Handler, void*> get() const
    {
        std::lock_guard lock(m_mutex);
        return {m_handler, m_context};
    }

private:
    mutable std::mutex m_mutex;
    Handler m_handler = nullptr;
    void* m_context = nullptr;
};

Hook<LtBeepHandler> beepHook;
Hook<LtMessageHandler> messageHook;
Hook<LtMessagePump> pumpHook;
Hook<LtFetchObserver> fetchHook;

} // namespace

void beep(unsigned long frequencyHz, unsigned long durationMs)
{
    if (const auto [handler, context] = beepHook.get(); handler)
        handler(frequencyHz, durationMs, context);
}

void showMessage(const char* text, const char* caption)
{
    if (const auto [handler, context] = messageHook.get(); handler) {
        handler(text ? text : "", caption, context);
        return;
    }
    std::fprintf(
        stderr, "LTCtl: %s%s%s\n", caption ? caption : "", caption ? ": " : "", text ? text : "");
}

void pumpMessages()
{
    if (const auto [pump, context] = pumpHook.get(); pump)
        pump(context);
}

void observeFetch(const GretagStruct* g, bool done, unsigned long result)
{
    if (const auto [observer, context] = fetchHook.get(); observer)
        observer(g, done, result, context);
}

} // namespace lt

void CTaviSpec::SetFetchObserver(LtFetchObserver observer, void* context)
{
    lt::fetchHook.install(observer, context);
}

void CTaviSpec::SetBeepHandler(LtBeepHandler handler, void* context)
{
    lt::beepHook.install(handler, context);
}

void CTaviSpec::SetMessageHandler(LtMessageHandler handler, void* context)
{
    lt::messageHook.install(handler, context);
}

void CTaviSpec::SetMessagePump(LtMessagePump pump, void* context)
{
    lt::pumpHook.install(pump, context);
}
