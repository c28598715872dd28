#pragma once
// The spot-colour library: a table of 50 entry places, place 0 holding the
// fixed "none" entry, places 1 ... 49 the taught or loaded spot colours,
// with the entry count, the current selection (0 = none) and the request to
// teach a new entry with the next sample.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace lt {

enum class SpotKind : std::uint8_t { Narrow = 1, Wide = 2, Deleted = 3, None = 4 };

struct SpotColorEntry {
    static constexpr int kWindowSize = 7;
    static constexpr std::size_t kTaughtNameLength = 20;

    SpotKind kind = SpotKind::Wide;
    std::string name;
    std::array<double, kWindowSize> wavelengths {}; // [nm]; the fourth is the window centre
    std::array<double, kWindowSize> weights {};
    double density = 0.0; // latest spot density

    double centreWavelength() const { return wavelengths[kWindowSize / 2]; } // [nm]
    // Narrow or wide: an entry a density can be computed for.
    bool isColor() const { return kind == SpotKind::Narrow || kind == SpotKind::Wide; }
};

inline constexpr std::array<double, SpotColorEntry::kWindowSize> kNarrowWindowWeights {
    0, 0, 0.5, 1, 0.5, 0, 0};
inline constexpr std::array<double, SpotColorEntry::kWindowSize> kWideWindowWeights {
    0.5, 0.8, 0.95, 1, 0.95, 0.8, 0.5};

class SpotColorLibrary {
public:
    static constexpr int kPlaces = 50; // "none" and 49 entries
    static constexpr int kMaxEntries = kPlaces - 1;
    static constexpr int kMaxFileEntries = 30;

    SpotColorLibrary();

    // Number of entries in places 1 ... count (deleted ones included).
    int count() const { return entryCount; }
    bool isFull() const { return entryCount >= kMaxEntries; }

    // Place 0 is "none"; null for an empty or invalid place.
    SpotColorEntry* entry(int place);
    const SpotColorEntry* entry(int place) const;

    // Puts entry into place count + 1; null when the library is full.
    SpotColorEntry* append(SpotColorEntry entry);
    // Discards the entry in place count (a taught entry the operator cancelled).
    void removeLast();
    // Closes the gaps of deleted entries; the others keep their order, and
    // the selection stays on its entry ("none" when that was deleted).
    void removeDeleted();
    // Empties places 1 ... 49; the selection becomes "none".
    void clear();

    // Current selection, a place 0 ... count.
    int selection() const { return selected; }
    void select(int place); // out of range selects "none"
    // The selected entry when it is a spot colour (narrow or wide), else null.
    SpotColorEntry* selectedColor();

    // Place of the position-th entry that is not deleted, counting "none" as
    // position 0 (the order of the library's combo box); 0 when there is none.
    int placeOfVisible(int position) const;
    // The inverse: position of place among the entries that are not deleted.
    int visiblePosition(int place) const;

    // Teach a new entry with the next sample.
    std::atomic<bool> newEntryRequested {false};

private:
    std::array<std::unique_ptr<SpotColorEntry>, kPlaces> places;
    int entryCount = 0;
    int selected = 0;
};

} // namespace lt
