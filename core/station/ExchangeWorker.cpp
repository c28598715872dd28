#include "core/station/ExchangeWorker.h"

namespace lt {

ExchangeWorker::ExchangeWorker(Threading threadingChoice) : threading(threadingChoice)
{
    if (threading == Threading::OwnThread)
        worker = std::thread([this] { serve(); });
}

ExchangeWorker::~ExchangeWorker()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    if (worker.joinable())
        worker.join();
}

bool ExchangeWorker::start(const std::string& action, bool cancellable, Job job)
{
    {
        std::lock_guard lock(mutex);
        if (busy || stopping)
            return false;
        busy = true;
        current = ExchangeProgress {};
        current.action = action;
        current.cancellable = cancellable;
        cancelFlag = false;
    }
    if (threading == Threading::CallerThread) {
        run(job);
        return true;
    }
    {
        std::lock_guard lock(mutex);
        pending = std::move(job);
    }
    changed.notify_all();
    return true;
}

void ExchangeWorker::serve()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return stopping || pending; });
            if (!pending)
                return;
            job = std::move(pending);
            pending = nullptr;
        }
        run(job);
    }
}

void ExchangeWorker::run(Job& job)
{
    const ExchangeProgress started = progress();
    tell([&](ExchangeListener& l) { l.exchangeStarted(started); });
    job(*this);
    ExchangeProgress ended;
    bool cancelled;
    {
        std::lock_guard lock(mutex);
        ended = current;
        cancelled = cancelFlag.exchange(false);
        if (cancelled && waits)
            waits->resumeWaits();
        busy = false;
    }
    changed.notify_all();
    tell([&](ExchangeListener& l) { l.exchangeEnded(ended, cancelled); });
}

bool ExchangeWorker::running() const
{
    std::lock_guard lock(mutex);
    return busy;
}

void ExchangeWorker::cancel()
{
    std::lock_guard lock(mutex);
    if (!busy || !current.cancellable || cancelFlag)
        return;
    cancelFlag = true;
    if (waits)
        waits->interruptWaits();
}

ExchangeProgress ExchangeWorker::progress() const
{
    std::lock_guard lock(mutex);
    return current;
}

void ExchangeWorker::waitUntilIdle()
{
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !busy; });
}

void ExchangeWorker::setListener(ExchangeListener* newListener)
{
    std::lock_guard lock(listenerMutex);
    listener = newListener;
}

void ExchangeWorker::setWaitInterrupter(WaitInterrupter* interrupter)
{
    std::lock_guard lock(mutex);
    waits = interrupter;
}

void ExchangeWorker::report(const std::string& step, int done, int total, unsigned stepMs)
{
    ExchangeProgress now;
    {
        std::lock_guard lock(mutex);
        current.step = step;
        current.done = done;
        current.total = total;
        current.stepMs = stepMs;
        now = current;
    }
    tell([&](ExchangeListener& l) { l.exchangeProgressed(now); });
}

bool ExchangeWorker::cancelRequested() const
{
    return cancelFlag.load();
}

template <class Notification>
void ExchangeWorker::tell(Notification notification)
{
    std::lock_guard lock(listenerMutex);
    if (listener)
        notification(*listener);
}

} // namespace lt
