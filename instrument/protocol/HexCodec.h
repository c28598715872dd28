#pragma once
// Numbers on the instrument's ASCII wire: 32-bit values as 8 hex characters
// and 16-bit values as 4, the value's bytes lowest address first ("0000803F"
// is the float 1.0, "F401" is 500). Written in upper case, read in either.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lt {

// The digits of the wire's hex fields, upper case.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Decode n items starting at column startColumn of text. False, with
// values left untouched, when the text is too short or a character is not
// a hex digit.
bool HexDecode32(
    std::string_view text, std::size_t startColumn, std::size_t n, std::uint32_t* values);
bool HexDecode16(
    std::string_view text, std::size_t startColumn, std::size_t n, std::uint16_t* values);
// Floats travel as their 32-bit patterns.
bool HexDecodeFloats(std::string_view text, std::size_t startColumn, std::size_t n, float* values);

// Encode n items into text at startColumn; false when text (textSize bytes)
// cannot hold them. Writes no terminator: the characters after the field
// (normally the CR LF of the message) stay as they are.
bool HexEncode32(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
    const std::uint32_t* values);
bool HexEncode16(char* text, std::size_t textSize, std::size_t startColumn, std::size_t n,
    const std::uint16_t* values);

} // namespace lt
