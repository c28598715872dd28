#pragma once
// Everything the pages share, created once for the run: the single
// instrument object (and the guard that keeps its exchanges apart), the
// settings files, the shared measurement record with the measurement list,
// the measurement cycle, the operator, the observers of the cycle and the
// chart tables while a chart exists. Every page and dialog receives the
// Workstation by reference.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/settings/Settings.h"
#include "core/station/ExchangeWorker.h"
#include "core/station/InstrumentAccess.h"
#include "core/station/MeasurementCycle.h"
#include "core/station/MeasurementObserver.h"
#include "core/station/Operator.h"
#include "core/station/SharedRecord.h"
#include "instrument/include/TaviSpec.h"

namespace lt {

class Workstation {
public:
    // Settings live in configDir (normally configDirectory()). op must
    // outlive the Workstation or be replaced with setOperator first. The
    // program runs the operator's exchanges on a worker thread of their own
    // (ExchangeWorker::Threading::OwnThread); by default they run on the
    // thread that starts them.
    explicit Workstation(Operator& op, const std::string& configDir,
        ExchangeWorker::Threading exchangeThreading = ExchangeWorker::Threading::CallerThread);
    ~Workstation();
    Workstation(const Workstation&) = delete;
    Workstation& operator=(const Workstation&) = delete;

    CTaviSpec& instrument() { return *device; }
    InstrumentAccess& instrumentAccess() { return access; }
    Settings& settings() { return settingsFiles; }
    SharedRecord& record() { return *shared; }
    MeasurementList& list() { return shared->list; }
    MeasurementCycle& cycle() { return measurementCycle; }
    // Where the exchanges the operator starts run, one at a time.
    ExchangeWorker& exchanges() { return *exchangeWorker; }

    Operator& op() const;
    void setOperator(Operator& replacement);

    // Observers are not owned; remove one before it is destroyed. Removal
    // waits until notifications running on other threads have ended, so that
    // once it returns the observer is never called again and may be
    // destroyed. An observer may remove itself (or another) from inside a
    // notification; it is then not called again by that notification.
    void addObserver(MeasurementObserver* observer);
    void removeObserver(MeasurementObserver* observer);

    // The chart tables of the open chart (not owned), or null.
    void setChartPatchStore(ChartPatchStore* store);
    ChartPatchStore* chartPatchStore() const;

    // Calls f(observer) for every observer, outside the observer lock, on
    // the calling thread.
    template <class Function>
    void notify(Function&& f)
    {
        const std::vector<MeasurementObserver*> current = beginNotification();
        struct End {
            Workstation& station;
            ~End() { station.endNotification(); }
        } end {*this};
        for (MeasurementObserver* observer : current)
            if (stillObserving(observer))
                f(*observer);
    }

private:
    std::vector<MeasurementObserver*> beginNotification();
    void endNotification();
    bool stillObserving(MeasurementObserver* observer) const;

    std::unique_ptr<CTaviSpec> device;
    InstrumentAccess access;
    Settings settingsFiles;
    std::unique_ptr<SharedRecord> shared;
    MeasurementCycle measurementCycle;

    mutable std::mutex observerMutex;
    Operator* operatorInUse;
    std::vector<MeasurementObserver*> observers;
    std::condition_variable notificationEnded;
    std::vector<std::thread::id> notifyingThreads; // one entry per running notification
    ChartPatchStore* chartStore = nullptr;
    // Last: a running exchange ends before the rest of the station goes.
    std::unique_ptr<ExchangeWorker> exchangeWorker;
};

} // namespace lt
