// The quality-control set's reader on arbitrary bytes. What it must keep:
// no crash or overrun whatever the text; a text it accepts composes into
// lines the reader takes again (none longer than its line limit), and that
// composed text reads back into itself (read, write, read, write gives the
// same text twice).
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "core/qc/QcText.h"

namespace {

constexpr const char* kPath = "/sets/fuzzed.txt";

void checkLineLengths(const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = text.find('\n', start);
        const std::size_t end = lineFeed == std::string::npos ? text.size() : lineFeed + 1;
        lt::fuzz::check(end - start <= lt::kQcMaxLineLength, "composed line too long",
            text.substr(start, end - start));
        start = end;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lt::QcSet set;
    if (!lt::ParseQcText(bytes, kPath, set).complete)
        return 0;
    lt::fuzz::check(set.entryCount >= 0 && set.entryCount <= lt::kQcMaxEntries, "entry count");
    lt::fuzz::check(set.averageCount >= lt::kQcMinAverage && set.averageCount <= lt::kQcMaxAverage,
        "averaging count");
    const std::string first = lt::ComposeQcText(set);
    checkLineLengths(first);

    lt::QcSet again;
    const lt::QcParseResult reread = lt::ParseQcText(first, kPath, again);
    lt::fuzz::check(reread.complete, "composed text refused", reread.reason);
    const std::string second = lt::ComposeQcText(again);
    lt::fuzz::check(second == first, "composed text does not read back into itself");
    return 0;
}
