#pragma once
// Numbers as text in the C locale, whatever locale the process runs under:
// settings, list rows and files always use "." as the decimal point. These
// helpers never call the locale-dependent printf/strtod family.
#include <optional>
#include <string>
#include <string_view>

namespace lt {

// Like printf("%<width>.<precision>f"): fixed notation, right-aligned in at
// least width characters.
std::string formatFixed(double value, int precision, int width = 0);

// Like printf("%d").
std::string formatInteger(long long value);

// Reads a real number the way scanf("%f") does: leading blanks and a sign
// are allowed, the number ends where its characters end ("1.5abc" reads 1.5,
// "1." reads 1). Nothing, or only infinity/NaN, gives no value.
std::optional<double> parseReal(std::string_view text);

// Reads a signed decimal integer with leading blanks and trailing text
// allowed ("12 mm" reads 12). Nothing, or a value outside 32 bits, gives no value.
std::optional<int> parseInteger(std::string_view text);

// The value of one hex digit (either case), or -1 for any other character.
int hexDigitValue(char digit);

} // namespace lt
