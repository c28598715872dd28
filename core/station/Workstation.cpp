#include "core/station/Workstation.h"

#include <algorithm>

#include "core/common/AppPaths.h"

namespace lt {

namespace {
constexpr const char* kProgramCaption = "LtrakW";
}

Workstation::Workstation(Operator& op, const std::string& configDir)
    : device(std::make_unique<CTaviSpec>()), access(*device), settingsFiles(configDir),
      shared(std::make_unique<SharedRecord>()), measurementCycle(*this), operatorInUse(&op)
{
    // Settings that cannot be saved are reported once; the program goes on.
    settingsFiles.setProblemHandler([this](const std::string& message) {
        this->op().showMessage(
            message, kProgramCaption, MessageButtons::Ok, MessageIcon::Exclamation);
    });
}

Workstation::~Workstation() = default;

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
    std::lock_guard lock(observerMutex);
    std::erase(observers, observer);
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
