#include "core/spreadsheet/CellPlacement.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

#include "core/settings/Settings.h"

namespace lt {
namespace {

constexpr int kMaxFirstValue1 = 2000;
constexpr int kMaxFirstValue2 = 100;
constexpr int kMaxCount = 100;
constexpr int kMaxFirstRow = 5000;
constexpr std::size_t kNumberDigitsRead = 50;

int clampInt(int value, int lowest, int highest)
{
    return std::clamp(value, lowest, highest);
}

std::string letters(int column)
{
    std::string text;
    if (column > 26)
        text += static_cast<char>('A' + (column - 1) / 26 - 1);
    text += static_cast<char>('A' + (column - 1) % 26);
    return text;
}

struct SetKeys {
    const IntKey& firstValue;
    const IntKey& count;
    const IntKey& firstRow;
    const TextKey& column;
    int maxFirstValue;
};

const SetKeys kSetKeys[2] = {
    {keys::kExcelStart1, keys::kExcelLength1, keys::kExcelRowInit1, keys::kExcelColumnInit1,
        kMaxFirstValue1},
    {keys::kExcelStart2, keys::kExcelLength2, keys::kExcelRowInit2, keys::kExcelColumnInit2,
        kMaxFirstValue2},
};

// Truncated toward zero to 8 decimals; the scaled value is held in 64 bits.
double truncatedSpectralValue(float value)
{
    double scaled = std::trunc(static_cast<double>(value) * placement::kSpectralScale);
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e18)
        return 0.0;
    return static_cast<double>(static_cast<std::int64_t>(scaled)) / placement::kSpectralScale;
}

} // namespace

std::optional<int> columnFromLetters(std::string_view text)
{
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int c1 = std::toupper(static_cast<unsigned char>(text[0])) - 64;
    if (c1 <= 0)
        return std::nullopt;
    int column = c1;
    if (text.size() == 2) {
        int c2 = std::toupper(static_cast<unsigned char>(text[1])) - 64;
        if (c2 < 0 || c2 > 26)
            return std::nullopt;
        column = c1 * 26 + c2;
    }
    if (column < 1 || column > placement::kMaxColumn)
        return std::nullopt;
    return column;
}

CellPlacement loadPlacement(Settings& settings)
{
    CellPlacement placement;
    int direction = settings.load(keys::kExcelDirection);
    placement.direction =
        direction <= placement::kHorizontal ? placement::kHorizontal : placement::kVertical;
    if (placement.direction != direction)
        settings.store(keys::kExcelDirection, placement.direction);

    for (int s = 0; s < 2; ++s) {
        const SetKeys& keys = kSetKeys[s];
        PlacementSet& set = placement.sets[s];
        auto loadClamped = [&](const IntKey& key, int highest) {
            int stored = settings.load(key);
            int value = clampInt(stored, 0, highest);
            if (value != stored)
                settings.store(key, value);
            return value;
        };
        set.firstValue = loadClamped(keys.firstValue, keys.maxFirstValue);
        set.count = loadClamped(keys.count, kMaxCount);
        set.firstRow = loadClamped(keys.firstRow, kMaxFirstRow);
        std::string stored = settings.load(keys.column);
        std::optional<int> column = columnFromLetters(stored);
        set.firstColumn = column.value_or(0);
        set.columnLetters = column ? letters(*column) : std::string();
        if (set.columnLetters != stored)
            settings.store(keys.column, set.columnLetters);
    }
    return placement;
}

void storePlacement(Settings& settings, const CellPlacement& placement)
{
    for (int s = 0; s < 2; ++s) {
        const PlacementSet& set = placement.sets[s];
        settings.store(kSetKeys[s].firstRow, set.firstRow);
        if (std::optional<int> column = columnFromLetters(set.columnLetters)) {
            std::string upper = set.columnLetters;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            settings.store(kSetKeys[s].column, upper);
        }
    }
    settings.store(keys::kExcelDirection, placement.direction);
    for (int s = 0; s < 2; ++s) {
        settings.store(kSetKeys[s].firstValue, placement.sets[s].firstValue);
        settings.store(kSetKeys[s].count, placement.sets[s].count);
    }
}

int measurementNumber(const MeasurementRow& row)
{
    std::string_view text(row[column::kNumber]);
    text = text.substr(0, kNumberDigitsRead);
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long number = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > INT32_MAX)
            return 0;
    }
    return static_cast<int>(negative ? -number : number);
}

std::vector<CellWrite> placeMeasurement(
    const CellPlacement& placement, const MeasurementRow& row, std::span<const float> spectrum)
{
    std::vector<CellWrite> writes;
    const int n = measurementNumber(row);
    std::size_t spectralCounter = 0;
    for (const PlacementSet& set : placement.sets) {
        for (int k = 0; k < set.count; ++k) {
            const int position = set.firstValue + k;
            CellWrite write;
            if (placement.direction == placement::kHorizontal) {
                write.row = set.firstRow + k;
                write.column = set.firstColumn + n;
            } else {
                write.row = set.firstRow + n;
                write.column = set.firstColumn + k;
            }
            if (position == placement::kNumberPosition) {
                write.kind = CellKind::Integer;
                write.value = static_cast<long>(n);
            } else if (position >= placement::kFirstListPosition &&
                position <= placement::kLastListPosition) {
                write.kind = CellKind::Text;
                write.value = row[position - 1];
            } else if (position >= placement::kFirstSpectralPosition &&
                position <= placement::kLastSpectralPosition) {
                if (spectralCounter >= spectrum.size()) {
                    ++spectralCounter;
                    continue;
                }
                write.kind = CellKind::Real;
                write.value = truncatedSpectralValue(spectrum[spectralCounter++]);
            } else {
                continue;
            }
            writes.push_back(std::move(write));
        }
    }
    return writes;
}

} // namespace lt
