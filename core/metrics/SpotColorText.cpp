#include "core/metrics/SpotColorText.h"

#include <algorithm>
#include <optional>

#include "core/common/NumberText.h"
#include "core/station/SharedRecord.h"

namespace lt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kWindowSize = SpotColorEntry::kWindowSize;
constexpr double kLastWavelength = kFirstWavelength + (kSpectrumPoints - 1) * 10.0; // [nm]

// Hands out the text line by line (without CR LF); stops for good at the end
// of the text or at a line longer than kSpotFileMaxLineLength.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) { }

    std::optional<std::string_view> next()
    {
        if (rest.empty())
            return std::nullopt;
        // The limit counts the characters of the line, not its CR LF.
        const std::size_t searched = std::min(rest.size(), kSpotFileMaxLineLength + 2);
        const std::size_t feed = rest.substr(0, searched).find('\n');
        const std::size_t end = feed == std::string_view::npos ? searched : feed;
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kSpotFileMaxLineLength) {
            rest = {};
            return std::nullopt;
        }
        rest.remove_prefix(feed == std::string_view::npos ? end : end + 1);
        return line;
    }

private:
    std::string_view rest;
};

// One entry of nine lines; nothing when the text ends early or a line is not
// what the format asks for (kind other than narrow or wide, a window line
// without its tab or numbers).
std::optional<SpotColorEntry> readEntry(LineReader& lines)
{
    const auto kindLine = lines.next();
    const auto nameLine = lines.next();
    if (!kindLine || !nameLine)
        return std::nullopt;
    const auto kind = parseInteger(*kindLine);
    if (!kind ||
        (*kind != static_cast<int>(SpotKind::Narrow) && *kind != static_cast<int>(SpotKind::Wide)))
        return std::nullopt;
    SpotColorEntry entry;
    entry.kind = static_cast<SpotKind>(*kind);
    entry.name = std::string(*nameLine);
    for (int step = 0; step < kWindowSize; ++step) {
        const auto line = lines.next();
        if (!line)
            return std::nullopt;
        const std::size_t tab = line->find('\t');
        if (tab == std::string_view::npos)
            return std::nullopt;
        const auto wavelength = parseReal(line->substr(0, tab));
        const auto weight = parseReal(line->substr(tab + 1));
        if (!wavelength || !weight)
            return std::nullopt;
        entry.wavelengths[step] = *wavelength;
        entry.weights[step] = *weight;
    }
    return entry;
}

} // namespace

bool isStorableSpotColor(const SpotColorEntry& entry)
{
    if (!entry.isColor() || entry.name.size() > kSpotFileMaxLineLength)
        return false;
    for (const double wavelength : entry.wavelengths)
        if (!(wavelength >= kFirstWavelength && wavelength <= kLastWavelength))
            return false;
    bool anyWeight = false;
    for (const double weight : entry.weights) {
        if (!(weight >= 0.0 && weight <= kSpotMaxWindowWeight))
            return false;
        anyWeight = anyWeight || weight > 0.0;
    }
    return anyWeight;
}

SpotFileContent parseSpotFileText(std::string_view text)
{
    SpotFileContent content;
    content.hasSignature = text.substr(0, kSpotFileSignature.size()) == kSpotFileSignature;
    if (!content.hasSignature)
        return content;

    LineReader lines(text);
    lines.next(); // the signature line
    const auto countLine = lines.next();
    if (!countLine)
        return content;
    const int announced =
        std::clamp(parseInteger(*countLine).value_or(0), 0, SpotColorLibrary::kMaxFileEntries);
    for (int read = 0; read < announced; ++read) {
        auto entry = readEntry(lines);
        if (!entry)
            break;
        if (isStorableSpotColor(*entry))
            content.entries.push_back(std::move(*entry));
    }
    return content;
}

std::string formatSpotFileText(const std::vector<const SpotColorEntry*>& entries)
{
    std::string body;
    int written = 0;
    for (const SpotColorEntry* entry : entries) {
        if (!entry || !isStorableSpotColor(*entry))
            continue;
        ++written;
        body += static_cast<char>('0' + static_cast<int>(entry->kind));
        body += kLineEnd;
        // A line break inside a name would shift every following line.
        for (const char c : entry->name)
            body += (c == '\r' || c == '\n') ? ' ' : c;
        body += kLineEnd;
        for (int step = 0; step < kWindowSize; ++step) {
            body += formatFixed(entry->wavelengths[step], 1);
            body += '\t';
            body += formatFixed(entry->weights[step], 2);
            body += kLineEnd;
        }
    }
    std::string text(kSpotFileSignature);
    text += kLineEnd;
    text += formatInteger(written);
    text += kLineEnd;
    return text + body;
}

} // namespace lt
