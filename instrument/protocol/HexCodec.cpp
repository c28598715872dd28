#include "instrument/protocol/HexCodec.h"

#include <bit>
#include <cstring>

namespace lt {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads `digits` hex characters as a big-endian number.
bool parseField(std::string_view text, std::size_t column, int digits, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int nibble = hexValue(text[column + static_cast<std::size_t>(i)]);
        if (nibble < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(nibble);
    }
    return true;
}

void writeField(char* text, std::size_t column, int digits, std::uint32_t value) {
    for (int i = digits - 1; i >= 0; --i) {
        text[column + static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
        value >>= 4;
    }
}

bool fits(std::size_t available, std::size_t startColumn, std::size_t n, std::size_t width) {
    return startColumn <= available && n <= (available - startColumn) / width;
}

}  // namespace

bool HexDecode32(std::string_view text, std::size_t startColumn, std::size_t n, std::uint32_t* values) {
    constexpr int kDigits = 8;
    if (!fits(text.size(), startColumn, n, kDigits))
        return false;
    std::uint32_t field = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (!parseField(text, startColumn + kDigits * i, kDigits, field))
            return false;
    for (std::size_t i = 0; i < n; ++i) {
        parseField(text, startColumn + kDigits * i, kDigits, field);
        values[i] = __builtin_bswap32(field);
    }
    return true;
}

bool HexDecode16(std::string_view text, std::size_t startColumn, std::size_t n, std::uint16_t* values) {
    constexpr int kDigits = 4;
    if (!fits(text.size(), startColumn, n, kDigits))
        return false;
    std::uint32_t field = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (!parseField(text, startColumn + kDigits * i, kDigits, field))
            return false;
    for (std::size_t i = 0; i < n; ++i) {
        parseField(text, startColumn + kDigits * i, kDigits, field);
        values[i] = __builtin_bswap16(static_cast<std::uint16_t>(field));
    }
    return true;
}

bool HexDecodeFloats(std::string_view text, std::size_t startColumn, std::size_t n, float* values) {
    constexpr std::size_t kMaxFloats = 64;
    std::uint32_t patterns[kMaxFloats];
    if (n > kMaxFloats || !HexDecode32(text, startColumn, n, patterns))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        values[i] = std::bit_cast<float>(patterns[i]);
    return true;
}

bool HexEncode32(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
                 const std::uint32_t* values) {
    constexpr int kDigits = 8;
    if (!fits(textSize, startColumn, n, kDigits))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        writeField(text, startColumn + kDigits * i, kDigits, __builtin_bswap32(values[i]));
    return true;
}

bool HexEncode16(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
                 const std::uint16_t* values) {
    constexpr int kDigits = 4;
    if (!fits(textSize, startColumn, n, kDigits))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        writeField(text, startColumn + kDigits * i, kDigits, __builtin_bswap16(values[i]));
    return true;
}

}  // namespace lt
