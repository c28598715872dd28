#include "WireHex.h"

#include <cstring>

namespace ltsim::wire {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads `count` bytes written as hex pairs from `column`, in wire order.
bool parseBytes(std::string_view text, std::size_t column, std::uint8_t* bytes, std::size_t count)
{
    if (column > text.size() || text.size() - column < 2 * count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        int high = digitValue(text[column + 2 * i]);
        int low = digitValue(text[column + 2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

} // namespace

void appendByteHex(std::string& out, std::uint8_t value)
{
    out.push_back(kDigits[value >> 4]);
    out.push_back(kDigits[value & 0x0F]);
}

void appendFloat(std::string& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        appendByteHex(out, static_cast<std::uint8_t>(bits >> (8 * i)));
}

void appendWord(std::string& out, std::uint16_t value)
{
    appendByteHex(out, static_cast<std::uint8_t>(value & 0xFF));
    appendByteHex(out, static_cast<std::uint8_t>(value >> 8));
}

std::optional<float> parseFloat(std::string_view text, std::size_t column)
{
    std::uint8_t bytes[4];
    if (!parseBytes(text, column, bytes, 4))
        return std::nullopt;
    std::uint32_t bits =
        bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t {bytes[3]} << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<std::uint16_t> parseWord(std::string_view text, std::size_t column)
{
    std::uint8_t bytes[2];
    if (!parseBytes(text, column, bytes, 2))
        return std::nullopt;
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::optional<std::uint8_t> parseByteHex(std::string_view text, std::size_t column)
{
    std::uint8_t value;
    if (!parseBytes(text, column, &value, 1))
        return std::nullopt;
    return value;
}

} // namespace ltsim::wire
