#include "core/metrics/TextFileName.h"

namespace lt {

std::string withTextExtension(const std::string& path)
{
    const std::size_t nameStart =
        path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
    const std::size_t dot = path.find_last_of('.');
    // A leading dot marks a hidden file, not an extension.
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    return (hasExtension ? path.substr(0, dot) : path) + "." + kTextFileExtension;
}

} // namespace lt
