#pragma once
// Firmware files for the tests and timed tools: a program image of a given
// length with a recognisable pattern, and its Motorola S-record text (S0
// header, S2 data records from address 000000, S804 end record, CR LF).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lt::testing {

inline std::vector<std::uint8_t> programImage(std::size_t length, unsigned seed = 1)
{
    std::vector<std::uint8_t> image(length);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& byte : image) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return image;
}

// One record: type, address of addressBytes bytes, data; count and
// checksum computed.
inline std::string sRecord(
    char type, std::uint32_t address, int addressBytes, const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> bytes;
    bytes.push_back(static_cast<std::uint8_t>(addressBytes + size + 1));
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(address >> shift));
    bytes.insert(bytes.end(), data, data + size);
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    bytes.push_back(static_cast<std::uint8_t>(~sum));
    std::string line = {'S', type};
    for (std::uint8_t b : bytes) {
        line += digits[b >> 4];
        line += digits[b & 0xF];
    }
    return line + "\r\n";
}

inline std::string sRecordText(const std::vector<std::uint8_t>& image, std::size_t perRecord = 32)
{
    const std::uint8_t header[] = {'B', 'A', 'S', 'I', 'C'};
    std::string text = sRecord('0', 0, 2, header, sizeof header);
    for (std::size_t offset = 0; offset < image.size(); offset += perRecord) {
        const std::size_t size = std::min(perRecord, image.size() - offset);
        text += sRecord('2', static_cast<std::uint32_t>(offset), 3, image.data() + offset, size);
    }
    return text + sRecord('8', 0, 3, nullptr, 0);
}

} // namespace lt::testing
