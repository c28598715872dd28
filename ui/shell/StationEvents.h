#pragma once
// The one bridge between the core's events and the windows: it observes the
// workstation and re-emits every event as a Qt signal on the thread the
// bridge lives in (the user-interface thread), whichever thread measured.
// Events raised on that thread itself are emitted at once, those of a
// worker are queued with a copy of their data. A view connects to these
// signals instead of implementing MeasurementObserver; the bridge leaves the
// workstation when it is destroyed, and events still queued for it are
// dropped.
#include <memory>

#include <QObject>
#include <QString>

#include "core/station/MeasurementObserver.h"

namespace lt {
class Workstation;
}

class StationEvents : public QObject {
    Q_OBJECT
public:
    explicit StationEvents(lt::Workstation& workstation, QObject* parent = nullptr);
    ~StationEvents() override;

Q_SIGNALS:
    void sampleMeasured(const lt::MeasuredSample& sample);
    void graphChanged(const lt::GraphSample& sample);
    void statusTextChanged(const QString& text);
    void valueAreaChanged();
    void chartPatchMeasured(int measuredPatch, int nextPatch);
    void instrumentTypeChanged(int instrumentType);

private:
    class Relay;
    lt::Workstation& station;
    std::unique_ptr<Relay> relay;
};
