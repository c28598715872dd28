#include "core/charts/PatchTables.h"

#include <algorithm>

#include "core/charts/ChartLayout.h"

namespace lt {

namespace {

bool insideTables(int index)
{
    return index >= 0 && index < kPatchTableEntries;
}

Triple toFloats(const std::array<double, 3>& values)
{
    return {static_cast<float>(values[0]), static_cast<float>(values[1]),
        static_cast<float>(values[2])};
}

} // namespace

void PatchNameTable::fill(ChartType chartType)
{
    const ChartType namesOf = chartType == ChartTqRgb ? ChartTqCmyk : chartType;
    const int count = chartPatchCount(namesOf);
    for (int i = 0; i < kPatchTableEntries; ++i)
        names[i] = i < count ? patchName(namesOf, i) : std::string();
    names[count] = kEndPatchName;
}

const std::string& PatchNameTable::name(int index) const
{
    static const std::string none;
    return insideTables(index) ? names[index] : none;
}

void PatchTables::setValues(int count, float value)
{
    std::lock_guard lock(mutex);
    std::fill_n(PatchValueTable.begin(), std::clamp(count, 0, kPatchTableEntries),
        Triple {value, value, value});
}

void PatchTables::setDisplayValues(int count, float value)
{
    std::lock_guard lock(mutex);
    std::fill_n(PatchDisplayTable.begin(), std::clamp(count, 0, kPatchTableEntries),
        Triple {value, value, value});
}

void PatchTables::store(int index, const ChartPatchValues& values)
{
    if (!insideTables(index))
        return;
    std::lock_guard lock(mutex);
    PatchValueTable[index] = toFloats(values.xyz);
    PatchDisplayTable[index] = toFloats(values.rootsXyz);
}

void PatchTables::storeMeasured(std::span<const Triple> xyz)
{
    std::lock_guard lock(mutex);
    const std::size_t count = std::min<std::size_t>(xyz.size(), kPatchTableEntries);
    for (std::size_t i = 0; i < count; ++i) {
        const ChartPatchValues values = chartPatchValues(xyz[i][0], xyz[i][1], xyz[i][2]);
        PatchValueTable[i] = toFloats(values.xyz);
        PatchDisplayTable[i] = toFloats(values.rootsXyz);
    }
}

PatchEntry PatchTables::entry(int index) const
{
    if (!insideTables(index))
        return {};
    std::lock_guard lock(mutex);
    return {PatchValueTable[index], PatchDisplayTable[index]};
}

} // namespace lt
