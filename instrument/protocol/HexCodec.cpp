#include "instrument/protocol/HexCodec.h"

#include <bit>
#include <cstring>

namespace lt {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads `digits` hex characters as a big-endian number.
bool parseField(std::string_view text, std::size_t column, int digits, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int nibble = hexValue(text[column + static_cast<std::size_t>(i)]);
        if (nibble < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(nibble);
    }
    return true;
}

void writeField(char* text, std::size_t column, int digits, std::uint32_t value)
{
    for (int i = digits - 1; i >= 0; --i) {
        text[column + static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
        value >>= 4;
    }
}

bool fits(std::size_t available, std::size_t startColumn, std::size_t n, std::size_t width)
{
    return startColumn <= available && n <= (available - startColumn) / width;
}

// The wire carries a value's bytes lowest address first: its hex field
// reads as the byte-reversed value.
template <typename Value>
Value reversedBytes(Value value)
{
    if constexpr (sizeof(Value) == 4)
        return __builtin_bswap32(value);
    else
        return __builtin_bswap16(value);
}

template <typename Value>
bool decodeFields(std::string_view text, std::size_t startColumn, std::size_t n, Value* values)
{
    constexpr int kDigits = 2 * sizeof(Value);
    if (!fits(text.size(), startColumn, n, kDigits))
        return false;
    // Every field is checked before the first value is stored, so a broken
    // field leaves the destination untouched.
    std::uint32_t field = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (!parseField(text, startColumn + kDigits * i, kDigits, field))
            return false;
    for (std::size_t i = 0; i < n; ++i) {
        parseField(text, startColumn + kDigits * i, kDigits, field);
        values[i] = reversedBytes(static_cast<Value>(field));
    }
    return true;
}

template <typename Value>
bool encodeFields(
    char* text, std::size_t textSize, std::size_t startColumn, std::size_t n, const Value* values)
{
    constexpr int kDigits = 2 * sizeof(Value);
    if (!fits(textSize, startColumn, n, kDigits))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        writeField(text, startColumn + kDigits * i, kDigits, reversedBytes(values[i]));
    return true;
}

} // namespace

bool HexDecode32(
    std::string_view text, std::size_t startColumn, std::size_t n, std::uint32_t* values)
{
    return decodeFields(text, startColumn, n, values);
}

bool HexDecode16(
    std::string_view text, std::size_t startColumn, std::size_t n, std::uint16_t* values)
{
    return decodeFields(text, startColumn, n, values);
}

bool HexDecodeFloats(std::string_view text, std::size_t startColumn, std::size_t n, float* values)
{
    constexpr std::size_t kMaxFloats = 64;
    std::uint32_t patterns[kMaxFloats];
    if (n > kMaxFloats || !HexDecode32(text, startColumn, n, patterns))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        values[i] = std::bit_cast<float>(patterns[i]);
    return true;
}

bool HexEncode32(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
    const std::uint32_t* values)
{
    return encodeFields(text, textSize, startColumn, n, values);
}

bool HexEncode16(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
    const std::uint16_t* values)
{
    return encodeFields(text, textSize, startColumn, n, values);
}

} // namespace lt
