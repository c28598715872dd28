#include "core/station/Workstation.h"

#include <algorithm>

#include "core/common/AppPaths.h"

namespace lt {

namespace {
constexpr const char* kProgramCaption = "LtrakW";
}

Workstation::Workstation(
    Operator& op, const std::string& configDir, ExchangeWorker::Threading exchangeThreading)
    : device(std::make_unique<CTaviSpec>()), access(*device), settingsFiles(configDir),
      shared(std::make_unique<SharedRecord>()), measurementCycle(*this), operatorInUse(&op),
      exchangeWorker(std::make_unique<ExchangeWorker>(exchangeThreading))
{
    // Settings that cannot be saved are reported once; the program goes on.
    settingsFiles.setProblemHandler([this](const std::string& message) {
        this->op().showMessage(
            message, kProgramCaption, MessageButtons::Ok, MessageIcon::Exclamation);
    });
}

Workstation::~Workstation()
{
    exchangeWorker.reset();
}

Operator& Workstation::op() const
{
    std::lock_guard lock(observerMutex);
    return *operatorInUse;
}

void Workstation::setOperator(Operator& replacement)
{
    std::lock_guard lock(observerMutex);
    operatorInUse = &replacement;
}

void Workstation::addObserver(MeasurementObserver* observer)
{
    std::lock_guard lock(observerMutex);
    if (observer && std::find(observers.begin(), observers.end(), observer) == observers.end())
        observers.push_back(observer);
}

void Workstation::removeObserver(MeasurementObserver* observer)
{
    std::unique_lock lock(observerMutex);
    std::erase(observers, observer);
    // Notifications of this thread are further up its own stack: they skip
    // the observer from now on. Those of other threads may be calling it.
    const std::thread::id self = std::this_thread::get_id();
    notificationEnded.wait(lock, [&] {
        return std::all_of(notifyingThreads.begin(), notifyingThreads.end(),
            [&](std::thread::id id) { return id == self; });
    });
}

std::vector<MeasurementObserver*> Workstation::beginNotification()
{
    std::lock_guard lock(observerMutex);
    notifyingThreads.push_back(std::this_thread::get_id());
    return observers;
}

void Workstation::endNotification()
{
    {
        std::lock_guard lock(observerMutex);
        const auto entry =
            std::find(notifyingThreads.begin(), notifyingThreads.end(), std::this_thread::get_id());
        if (entry != notifyingThreads.end())
            notifyingThreads.erase(entry);
    }
    notificationEnded.notify_all();
}

bool Workstation::stillObserving(MeasurementObserver* observer) const
{
    std::lock_guard lock(observerMutex);
    return std::find(observers.begin(), observers.end(), observer) != observers.end();
}

void Workstation::setChartPatchStore(ChartPatchStore* store)
{
    std::lock_guard lock(observerMutex);
    chartStore = store;
}

ChartPatchStore* Workstation::chartPatchStore() const
{
    std::lock_guard lock(observerMutex);
    return chartStore;
}

} // namespace lt
