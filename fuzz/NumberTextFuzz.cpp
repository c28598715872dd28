// Numbers as text in the C locale, on arbitrary text. Promises checked:
// - parseReal gives a finite number or nothing, and agrees with the standard
//   library's reading of the same characters;
// - parseInteger agrees with a plain decimal reading and refuses what does
//   not fit 32 bits;
// - formatFixed and formatInteger write text that parses back to the value
//   (to the precision written).

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "core/common/NumberText.h"

namespace {

using lt::fuzz::check;

constexpr int kLongestPrecision = 17;
// A written real is within half its last digit of the value, plus the
// rounding of reading it back into a double.
constexpr double kHalfStep = 0.5000001;
constexpr double kRelativeRounding = 4e-16;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The reference reading: blanks, a sign, then digits (at least one).
std::optional<long long> referenceInteger(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
        value = value * 10 + (text[digits] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

void checkInteger(std::string_view text)
{
    const auto parsed = lt::parseInteger(text);
    const auto reference = referenceInteger(text);
    const bool fits = reference && *reference >= INT_MIN && *reference <= INT_MAX;
    check(parsed.has_value() == fits, "integer accepted or refused wrongly:", std::string(text));
    if (parsed)
        check(*parsed == *reference, "integer read wrongly:", std::string(text));
}

void checkReal(std::string_view text)
{
    const auto parsed = lt::parseReal(text);
    if (!parsed)
        return;
    check(std::isfinite(*parsed), "real read as infinite or NaN:", std::string(text));
    // strtod in the C locale (the fuzz process never changes it) reads the same
    // characters the same way; it also knows hex and "inf", which parseReal refuses.
    const std::string copy(text);
    const std::size_t start = copy.find_first_not_of(" \t\n\r\v\f+-");
    const bool hex = start != std::string::npos &&
        (copy.compare(start, 2, "0x") == 0 || copy.compare(start, 2, "0X") == 0);
    errno = 0;
    const double reference = std::strtod(copy.c_str(), nullptr);
    if (errno == 0 && !hex)
        check(*parsed == reference, "real differs from strtod:", copy);
}

void checkFormatting(double value, int precision, long long integer)
{
    const std::string fixed = lt::formatFixed(value, precision);
    if (std::isfinite(value)) {
        const auto back = lt::parseReal(fixed);
        check(back.has_value(), "written real not readable:", fixed);
        const double step = std::pow(10.0, -precision);
        check(std::fabs(*back - value) <= step * kHalfStep + std::fabs(value) * kRelativeRounding,
            "written real reads back as another value:", fixed);
    }
    const std::string text = lt::formatInteger(integer);
    check(std::to_string(integer) == text, "integer written wrongly:", text);
    if (integer >= INT_MIN && integer <= INT_MAX)
        check(lt::parseInteger(text) == static_cast<int>(integer),
            "written integer not read back:", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkInteger(text);
    checkReal(text);
    if (size >= sizeof(double) + sizeof(long long) + 1) {
        double value;
        long long integer;
        std::memcpy(&value, data, sizeof value);
        std::memcpy(&integer, data + sizeof value, sizeof integer);
        checkFormatting(
            value, data[sizeof value + sizeof integer] % (kLongestPrecision + 1), integer);
    }
    return 0;
}
