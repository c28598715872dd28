#include "ui/shell/SimulatorControl.h"

#include <algorithm>
#include <iterator>

#include "core/station/PortAttachment.h"

namespace {

constexpr double kMoreDotGain = 10.0; // [percentage points at 50 %]

struct ModelEntry {
    const char* title;
    ltsim::DeviceKind kind;
};

// In the order of the instrument page's device types.
constexpr ModelEntry kModels[] = {
    {"Lumatrak S", ltsim::DeviceKind::LumatrakS},
    {"Lumatrak A (XY table)", ltsim::DeviceKind::LumatrakA},
    {"Spectrolino", ltsim::DeviceKind::Spectrolino},
    {"Array spectrometer (ProtoType)", ltsim::DeviceKind::Spectrometer},
};

} // namespace

SimulatorControl::SimulatorControl(ltsim::Simulator& simulator, int port, QObject* parent)
    : QObject(parent), sim(simulator), portNumber(port)
{
}

int SimulatorControl::modelCount()
{
    return static_cast<int>(std::size(kModels));
}

ltsim::DeviceKind SimulatorControl::modelOfDeviceType(int deviceType)
{
    return kModels[deviceType].kind;
}

QString SimulatorControl::modelTitle(ltsim::DeviceKind model)
{
    for (const ModelEntry& entry : kModels)
        if (entry.kind == model)
            return QString::fromLatin1(entry.title);
    return QString::fromLatin1(ltsim::deviceKindName(model));
}

QString SimulatorControl::sample() const
{
    return QString::fromStdString(sim.sample());
}

ltsim::DeviceKind SimulatorControl::model() const
{
    return sim.device();
}

bool SimulatorControl::setSample(const QString& name)
{
    if (!sim.setSample(name.toStdString()))
        return false;
    Q_EMIT sampleChanged(sample());
    return true;
}

void SimulatorControl::setModel(ltsim::DeviceKind model)
{
    sim.setDevice(model);
    Q_EMIT modelChanged(model);
}

void SimulatorControl::followDeviceType(int deviceType)
{
    if (deviceType >= 0 && deviceType < modelCount())
        setModel(modelOfDeviceType(deviceType));
}

ltsim::TablePosition SimulatorControl::headPosition() const
{
    return sim.headPosition();
}

QString SimulatorControl::patchUnderHead() const
{
    return QString::fromStdString(sim.patchUnderHead());
}

void SimulatorControl::jogHead(int dx, int dy)
{
    const ltsim::TablePosition at = sim.headPosition();
    sim.setHeadPosition(
        {std::clamp(at.x + dx, 0, ltsim::kTableMaxX), std::clamp(at.y + dy, 0, ltsim::kTableMaxY)});
}

bool SimulatorControl::moveHeadOverPatch(const QString& name)
{
    const std::optional<ltsim::TablePosition> at = sim.patchPosition(name.toStdString());
    if (!at)
        return false;
    sim.setHeadPosition(*at);
    return true;
}

ltsim::ChartKind SimulatorControl::chartOnTable() const
{
    return sim.chartPlacement().kind;
}

void SimulatorControl::setChartOnTable(ltsim::ChartKind kind)
{
    ltsim::ChartPlacement placement = sim.chartPlacement();
    placement.kind = kind;
    placement.pitch = kind == ltsim::ChartKind::It8 ? ltsim::kIt8Pitch : ltsim::kTqPitch;
    sim.placeChart(placement);
    Q_EMIT chartOnTableChanged(kind);
}

bool SimulatorControl::pressWithMoreDotGain() const
{
    return sim.dotGain() > ltsim::kStandardDotGain;
}

void SimulatorControl::setPressWithMoreDotGain(bool more)
{
    sim.setDotGain(ltsim::kStandardDotGain + (more ? kMoreDotGain : 0.0));
}

void SimulatorControl::pressKey()
{
    sim.pressKey();
}

void SimulatorControl::dropLine()
{
    sim.injectFault(ltsim::Fault {ltsim::FaultKind::HangUp, ltsim::FaultScope::NextReply});
}

bool SimulatorControl::reconnect(QString* error)
{
    std::string reason;
    if (lt::attachSimulator(sim, portNumber, &reason))
        return true;
    if (error)
        *error = QString::fromLocal8Bit(reason.c_str());
    return false;
}
