// Numbers on the instrument's ASCII wire: 32-bit floats as 8 and 16-bit
// integers as 4 upper-case hex characters, bytes lowest address first
// (1.0f is "0000803F", 500 is "F401").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ltsim::wire {

void appendFloat(std::string& out, float value);
void appendWord(std::string& out, std::uint16_t value);
void appendByteHex(std::string& out, std::uint8_t value); // two characters, "0F"

// Nullopt when the text is too short or holds a character that is no hex digit.
std::optional<float> parseFloat(std::string_view text, std::size_t column);
std::optional<std::uint16_t> parseWord(std::string_view text, std::size_t column);
std::optional<std::uint8_t> parseByteHex(std::string_view text, std::size_t column);

} // namespace ltsim::wire
