#include "core/settings/DensitySettings.h"

namespace lt {

namespace {

struct RealSlot {
    const RealKey& key;
    int slot;
};

// The ten real-number parameters and their slots.
const RealSlot kRealSlots[] = {
    {keys::kSlopeCyan, slot::kSlopeCyan},
    {keys::kSlopeMagenta, slot::kSlopeMagenta},
    {keys::kSlopeYellow, slot::kSlopeYellow},
    {keys::kSlopeBlack, slot::kSlopeBlack},
    {keys::kSlopeSpot, slot::kSlopeSpot},
    {keys::kYuleNielsenCyan, slot::yuleNielsen(Cyan)},
    {keys::kYuleNielsenMagenta, slot::yuleNielsen(Magenta)},
    {keys::kYuleNielsenYellow, slot::yuleNielsen(Yellow)},
    {keys::kYuleNielsenBlack, slot::yuleNielsen(Black)},
    {keys::kYuleNielsenSpot, slot::kYuleNielsenSpot},
};

struct IntSlot {
    const IntKey& key;
    int slot;
};

const IntSlot kIntSlots[] = {
    {keys::kFilterType, slot::kFilterType},
    {keys::kIllumType, slot::kIllumType},
    {keys::kObserverType, slot::kObserverType},
};

bool isSpotParameter(int slotIndex)
{
    return slotIndex == slot::kSlopeSpot || slotIndex == slot::kYuleNielsenSpot;
}

} // namespace

void loadDensityParameters(Settings& settings, DensityParameterBlock& block)
{
    for (const RealSlot& entry : kRealSlots)
        block.setReal(
            entry.slot, static_cast<float>(settings.load(entry.key, block.real(entry.slot))));
    for (const IntSlot& entry : kIntSlots)
        block.setInteger(entry.slot, settings.load(entry.key));
}

void storeDensityParameters(Settings& settings, const DensityParameterBlock& block)
{
    // The spot slope and factor keep the text the operator typed in the dialog.
    for (const RealSlot& entry : kRealSlots)
        if (!isSpotParameter(entry.slot))
            settings.store(entry.key, block.real(entry.slot));
    for (const IntSlot& entry : kIntSlots)
        settings.store(entry.key, block.integer(entry.slot));
}

} // namespace lt
