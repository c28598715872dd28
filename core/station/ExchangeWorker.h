#pragma once
// The one worker on which the exchanges an operator starts with the
// instrument run ("Init Device" with its baud-rate search, "Acquire", the
// references, remote mode's polls), so that the windows keep answering
// while the instrument integrates, a line times out or a question waits.
// One exchange at a time: a start while one runs is refused, never queued,
// so a click made meanwhile is not replayed afterwards.
//
// A job reports its progress (the baud rate being tried, scans of N) and
// looks for a cancellation at its safe points (between baud rates, between
// patches). A cancellation also cuts the library's pending waits short when
// a wait interrupter is installed, so that a long acquisition ends at once;
// the library then reports the exchange as failed and closes the port.
//
// With Threading::CallerThread a job runs at once on the thread that starts
// it (tests that drive the pages step by step, tools without windows).
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace lt {

// What a running exchange tells the operator.
struct ExchangeProgress {
    std::string action; // "Init Device", "DarkRef", ...
    std::string step; // "Trying 9600 baud", "Scans" ...; may be empty
    int done = 0; // steps done of total
    int total = 0; // 0: no count is known
    // A step's expected length when the instrument works through the steps
    // without reporting them (the scans of one acquisition): a display may
    // advance done by the time passed since the report, up to total.
    unsigned stepMs = 0; // [ms]
    bool cancellable = false;
};

// What a running job sees of its worker.
class ExchangeControl {
public:
    virtual ~ExchangeControl() = default;
    virtual void report(const std::string& step, int done, int total, unsigned stepMs = 0) = 0;
    // The operator asked to stop: the job ends at its next safe point.
    virtual bool cancelRequested() const = 0;
};

// Told of every exchange, on the thread that runs it (the worker's own, or
// the caller's). Must not wait for the user-interface thread.
class ExchangeListener {
public:
    virtual ~ExchangeListener() = default;
    virtual void exchangeStarted(const ExchangeProgress& progress) = 0;
    virtual void exchangeProgressed(const ExchangeProgress& progress) = 0;
    virtual void exchangeEnded(const ExchangeProgress& progress, bool cancelled) = 0;
};

// Cuts waits short while a cancellation is pending (InterruptibleClock).
class WaitInterrupter {
public:
    virtual ~WaitInterrupter() = default;
    virtual void interruptWaits() = 0;
    virtual void resumeWaits() = 0;
};

class ExchangeWorker : private ExchangeControl {
public:
    enum class Threading { OwnThread, CallerThread };
    using Job = std::function<void(ExchangeControl& control)>;

    explicit ExchangeWorker(Threading threading = Threading::CallerThread);
    // Waits for a running job to end.
    ~ExchangeWorker() override;
    ExchangeWorker(const ExchangeWorker&) = delete;
    ExchangeWorker& operator=(const ExchangeWorker&) = delete;

    // Runs job as the exchange named action; false (and nothing runs) while
    // another exchange runs.
    bool start(const std::string& action, bool cancellable, Job job);
    bool running() const;
    bool ownThread() const { return threading == Threading::OwnThread; }
    // Asks the running exchange to stop; ignored when none runs or it
    // cannot be cancelled.
    void cancel();
    ExchangeProgress progress() const;
    // Blocks until no exchange runs. The listener hears of the end after
    // running() turned false (so it may start the next exchange at once):
    // the end may still be on its way to it when this returns.
    void waitUntilIdle();

    // Not owned; null removes it. Removal waits for a running notification.
    void setListener(ExchangeListener* listener);
    void setWaitInterrupter(WaitInterrupter* interrupter);

private:
    void report(const std::string& step, int done, int total, unsigned stepMs) override;
    bool cancelRequested() const override;
    void run(Job& job);
    void serve();
    template <class Notification>
    void tell(Notification notification);

    const Threading threading;
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool busy = false;
    bool stopping = false;
    Job pending;
    ExchangeProgress current;
    std::atomic<bool> cancelFlag {false};
    WaitInterrupter* waits = nullptr;

    std::mutex listenerMutex;
    ExchangeListener* listener = nullptr;
    std::thread worker;
};

} // namespace lt
