#pragma once
// The densitometer's state: 48 consecutive 32-bit slots (192 bytes). Its
// order is fixed because the block goes to the instrument as it is (the
// slope command sends the first four slots: Black, Cyan, Magenta, Yellow).
// Most slots hold 32-bit floats; slots 40, 42, 43 and 44 hold integers.
#include <array>
#include <cstdint>
#include <cstring>

namespace lt {

// Process colours in the order of the process-colour index (slot 40).
enum ProcessColor : std::int32_t { Cyan = 0, Magenta = 1, Yellow = 2, Black = 3 };

inline constexpr int kProcessColors = 4;
// Letters of the process colours by index, and "X" which detection never picks.
inline constexpr char kProcessLetters[5] = {'C', 'M', 'Y', 'K', 'X'};

namespace slot {
inline constexpr int kSlopeBlack = 0;
inline constexpr int kSlopeCyan = 1;
inline constexpr int kSlopeMagenta = 2;
inline constexpr int kSlopeYellow = 3;
inline constexpr int kSlopeSpot = 4;
inline constexpr int kYuleNielsenFirst = 10; // + ProcessColor
inline constexpr int kYuleNielsenSpot = 14;
inline constexpr int kPaperWhiteFirst = 20; // + ProcessColor
inline constexpr int kPaperWhiteSpot = 24;
inline constexpr int kSolidFirst = 30; // + ProcessColor
inline constexpr int kSolidSpot = 34;
inline constexpr int kProcessColorIndex = 40; // integer
inline constexpr int kDotArea = 41; // [%]
inline constexpr int kFilterType = 42; // integer: ANSIA, ANSIT, DIN, DINNB
inline constexpr int kIllumType = 43; // integer
inline constexpr int kObserverType = 44; // integer: 0 = 2 degrees, 1 = 10 degrees
inline constexpr int kCount = 48;

constexpr int slope(ProcessColor color)
{
    return color == Black ? kSlopeBlack : kSlopeCyan + color;
}
constexpr int yuleNielsen(ProcessColor color)
{
    return kYuleNielsenFirst + color;
}
constexpr int paperWhite(ProcessColor color)
{
    return kPaperWhiteFirst + color;
}
constexpr int solid(ProcessColor color)
{
    return kSolidFirst + color;
}
} // namespace slot

struct DensityParameterBlock {
    std::array<std::uint32_t, slot::kCount> words {}; // raw 32-bit contents

    float real(int index) const
    {
        float value;
        std::memcpy(&value, &words[index], sizeof value);
        return value;
    }
    void setReal(int index, float value) { std::memcpy(&words[index], &value, sizeof value); }

    std::int32_t integer(int index) const { return static_cast<std::int32_t>(words[index]); }
    void setInteger(int index, std::int32_t value)
    {
        words[index] = static_cast<std::uint32_t>(value);
    }

    // The raw block as handed to the instrument library.
    void* data() { return words.data(); }
};

static_assert(sizeof(DensityParameterBlock) == 192, "the instrument expects 48 slots of 32 bits");

} // namespace lt
