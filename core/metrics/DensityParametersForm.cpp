#include "core/metrics/DensityParametersForm.h"

#include "core/common/NumberText.h"
#include "core/station/Workstation.h"

namespace lt {

const std::array<DensityParameterField, kDensityParameterFields> kDensityParameterFieldList {{
    {DensityParameterGroup::Slope, "Cyan", slot::kSlopeCyan, keys::kSlopeCyan},
    {DensityParameterGroup::Slope, "Mag.", slot::kSlopeMagenta, keys::kSlopeMagenta},
    {DensityParameterGroup::Slope, "Yellow", slot::kSlopeYellow, keys::kSlopeYellow},
    {DensityParameterGroup::Slope, "Black", slot::kSlopeBlack, keys::kSlopeBlack},
    {DensityParameterGroup::Slope, "Spot", slot::kSlopeSpot, keys::kSlopeSpot},
    {DensityParameterGroup::YuleNielsen, "Cyan", slot::yuleNielsen(Cyan), keys::kYuleNielsenCyan},
    {DensityParameterGroup::YuleNielsen, "Mag.", slot::yuleNielsen(Magenta),
        keys::kYuleNielsenMagenta},
    {DensityParameterGroup::YuleNielsen, "Yellow", slot::yuleNielsen(Yellow),
        keys::kYuleNielsenYellow},
    {DensityParameterGroup::YuleNielsen, "Black", slot::yuleNielsen(Black),
        keys::kYuleNielsenBlack},
    {DensityParameterGroup::YuleNielsen, "Spot", slot::kYuleNielsenSpot, keys::kYuleNielsenSpot},
}};

namespace {

constexpr int kEditDecimals = 3;

// A choice inside 0 ... count - 1 replaces the slot's value.
void takeChoice(DensityParameterBlock& block, int slotIndex, int choice, std::size_t count)
{
    if (choice >= 0 && static_cast<std::size_t>(choice) < count)
        block.setInteger(slotIndex, choice);
}

} // namespace

DensityParameterChoice currentDensityParameters(Workstation& workstation)
{
    const SharedRecord& record = workstation.record();
    const DensityParameterBlock block = record.densityParameterSnapshot();
    DensityParameterChoice choice;
    for (int i = 0; i < kDensityParameterFields; ++i)
        choice.texts[i] =
            formatFixed(block.real(kDensityParameterFieldList[i].slot), kEditDecimals, 1);
    choice.filter = block.integer(slot::kFilterType);
    choice.observer = block.integer(slot::kObserverType);
    choice.illumination = block.integer(slot::kIllumType);
    choice.spotPosition = record.spotColors.visiblePosition(record.spotColors.selection());
    return choice;
}

void applyDensityParameters(Workstation& workstation, const DensityParameterChoice& choice)
{
    SharedRecord& record = workstation.record();
    Settings& settings = workstation.settings();
    DensityParameterBlock block = record.densityParameterSnapshot();
    const DensityParameterBlock before = block;
    for (int i = 0; i < kDensityParameterFields; ++i) {
        const DensityParameterField& field = kDensityParameterFieldList[i];
        const std::string text = choice.texts[i].substr(0, kDensityParameterTextLength);
        if (const auto value = parseReal(text))
            block.setReal(field.slot, static_cast<float>(*value));
        settings.storeText(field.key, text);
    }
    takeChoice(block, slot::kFilterType, choice.filter, kFilterNames.size());
    takeChoice(block, slot::kIllumType, choice.illumination, kIlluminationNames.size());
    takeChoice(block, slot::kObserverType, choice.observer, kObserverNames.size());
    record.mergeDensityParameters(before, block);
    record.spotColors.select(record.spotColors.placeOfVisible(choice.spotPosition));
}

} // namespace lt
