#include "core/station/Workstation.h"

#include "ui/shell/StationEvents.h"

#include "ui/shell/OnThreadOf.h"

// Observes the workstation on behalf of the bridge and runs each emission on
// the bridge's thread: at once when the event arises there, else queued.
class StationEvents::Relay : public lt::MeasurementObserver {
public:
    explicit Relay(StationEvents& owner) : bridge(owner) { }

    void sampleMeasured(const lt::MeasuredSample& sample) override
    {
        post([sample](StationEvents& b) { Q_EMIT b.sampleMeasured(sample); });
    }
    void graphChanged(const lt::GraphSample& sample) override
    {
        post([sample](StationEvents& b) { Q_EMIT b.graphChanged(sample); });
    }
    void statusTextChanged(const std::string& text) override
    {
        const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        post([shown](StationEvents& b) { Q_EMIT b.statusTextChanged(shown); });
    }
    void valueAreaChanged() override
    {
        post([](StationEvents& b) { Q_EMIT b.valueAreaChanged(); });
    }
    void chartPatchMeasured(int measuredPatch, int nextPatch) override
    {
        post([measuredPatch, nextPatch](
                 StationEvents& b) { Q_EMIT b.chartPatchMeasured(measuredPatch, nextPatch); });
    }
    void instrumentTypeChanged(std::int32_t instrumentType) override
    {
        post([instrumentType](StationEvents& b) {
            Q_EMIT b.instrumentTypeChanged(static_cast<int>(instrumentType));
        });
    }

private:
    template <class Emission>
    void post(Emission emission)
    {
        StationEvents* target = &bridge;
        onThreadOf(target, [target, emission] { emission(*target); });
    }

    StationEvents& bridge;
};

StationEvents::StationEvents(lt::Workstation& workstation, QObject* parent)
    : QObject(parent), station(workstation), relay(std::make_unique<Relay>(*this))
{
    station.addObserver(relay.get());
}

StationEvents::~StationEvents()
{
    station.removeObserver(relay.get());
}
