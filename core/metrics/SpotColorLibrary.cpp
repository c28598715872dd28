#include "core/metrics/SpotColorLibrary.h"

namespace lt {

namespace {
constexpr const char* kNoneName = "none";
}

SpotColorLibrary::SpotColorLibrary()
{
    auto none = std::make_unique<SpotColorEntry>();
    none->kind = SpotKind::None;
    none->name = kNoneName;
    places[0] = std::move(none);
}

SpotColorEntry* SpotColorLibrary::entry(int place)
{
    if (place < 0 || place > entryCount)
        return nullptr;
    return places[static_cast<std::size_t>(place)].get();
}

const SpotColorEntry* SpotColorLibrary::entry(int place) const
{
    if (place < 0 || place > entryCount)
        return nullptr;
    return places[static_cast<std::size_t>(place)].get();
}

SpotColorEntry* SpotColorLibrary::append(SpotColorEntry newEntry)
{
    if (isFull())
        return nullptr;
    ++entryCount;
    places[static_cast<std::size_t>(entryCount)] =
        std::make_unique<SpotColorEntry>(std::move(newEntry));
    return places[static_cast<std::size_t>(entryCount)].get();
}

void SpotColorLibrary::removeLast()
{
    if (entryCount == 0)
        return;
    places[static_cast<std::size_t>(entryCount)].reset();
    --entryCount;
    if (selected > entryCount)
        selected = entryCount;
}

void SpotColorLibrary::removeDeleted()
{
    int kept = 0;
    int selectedNow = 0;
    for (int place = 1; place <= entryCount; ++place) {
        auto& current = places[static_cast<std::size_t>(place)];
        if (current->kind == SpotKind::Deleted) {
            current.reset();
            continue;
        }
        ++kept;
        if (place == selected)
            selectedNow = kept;
        if (kept != place)
            places[static_cast<std::size_t>(kept)] = std::move(current);
    }
    entryCount = kept;
    selected = selectedNow;
}

void SpotColorLibrary::clear()
{
    for (int place = 1; place < kPlaces; ++place)
        places[static_cast<std::size_t>(place)].reset();
    entryCount = 0;
    selected = 0;
}

void SpotColorLibrary::select(int place)
{
    selected = place >= 0 && place <= entryCount ? place : 0;
}

SpotColorEntry* SpotColorLibrary::selectedColor()
{
    SpotColorEntry* current = entry(selected);
    return current && current->isColor() ? current : nullptr;
}

int SpotColorLibrary::placeOfVisible(int position) const
{
    if (position <= 0)
        return 0;
    int seen = 0;
    for (int place = 1; place <= entryCount; ++place) {
        if (places[static_cast<std::size_t>(place)]->kind != SpotKind::Deleted &&
            ++seen == position)
            return place;
    }
    return 0;
}

int SpotColorLibrary::visiblePosition(int place) const
{
    if (place <= 0 || place > entryCount ||
        places[static_cast<std::size_t>(place)]->kind == SpotKind::Deleted)
        return 0;
    int position = 0;
    for (int i = 1; i <= place; ++i)
        if (places[static_cast<std::size_t>(i)]->kind != SpotKind::Deleted)
            ++position;
    return position;
}

} // namespace lt
