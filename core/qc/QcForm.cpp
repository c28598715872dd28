#include "core/qc/QcForm.h"

#include <cmath>
#include <limits>

#include "core/common/NumberText.h"

namespace lt {

double readFieldNumber(std::string_view text)
{
    std::string decimal(text);
    const std::size_t comma = decimal.rfind(',');
    if (comma != std::string::npos)
        decimal[comma] = '.';
    return parseReal(decimal).value_or(0.0);
}

long long readFieldCount(std::string_view text)
{
    const double value = std::trunc(readFieldNumber(text));
    constexpr double kLargest = static_cast<double>(std::numeric_limits<int>::max());
    if (value > kLargest)
        return std::numeric_limits<int>::max();
    if (value < -kLargest)
        return -std::numeric_limits<int>::max();
    return static_cast<long long>(value);
}

} // namespace lt
