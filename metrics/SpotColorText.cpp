#include "metrics/SpotColorText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace lt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kWindowCentre = kSpotWindowSize / 2;
// The weighting window reaches three 10 nm steps to either side of its
// centre; the centre must leave room for it inside 380 … 730 nm.
constexpr double kLowestUsableCentre = 409.5; // [nm]
constexpr double kHighestUsableCentre = 709.5; // [nm], exclusive

// Hands out the text line by line (without CR LF); stops for good at the end
// of the text or at a line longer than kSpotFileMaxLineLength.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) {}

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

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    return text;
}

// Leading integer of a line, 0 when there is none (like atoi).
long leadingInteger(std::string_view text)
{
    text = skipBlanks(text);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

// Leading real number of a text in the C locale; nothing when there is none.
std::optional<double> leadingReal(std::string_view text)
{
    text = skipBlanks(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<SpotFileEntry> readEntry(LineReader& lines)
{
    const auto kindLine = lines.next();
    const auto nameLine = lines.next();
    if (!kindLine || !nameLine)
        return std::nullopt;
    SpotFileEntry entry;
    const long kind = leadingInteger(*kindLine);
    if (kind != kSpotKindNarrow && kind != kSpotKindWide)
        return std::nullopt;
    entry.kind = static_cast<unsigned char>(kind);
    entry.name = std::string(*nameLine);
    for (int step = 0; step < kSpotWindowSize; ++step) {
        const auto line = lines.next();
        if (!line)
            return std::nullopt;
        const std::size_t tab = line->find('\t');
        if (tab == std::string_view::npos)
            return std::nullopt;
        const auto wavelength = leadingReal(line->substr(0, tab));
        const auto weight = leadingReal(line->substr(tab + 1));
        if (!wavelength || !weight)
            return std::nullopt;
        entry.wavelengths[step] = *wavelength;
        entry.weights[step] = *weight;
    }
    const double centre = entry.wavelengths[kWindowCentre];
    if (centre < kLowestUsableCentre || centre >= kHighestUsableCentre)
        return std::nullopt;
    return entry;
}

void appendFixed(std::string& out, double value, int decimals)
{
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error == std::errc())
        out.append(buffer, end);
    else
        out += '0';
}

} // namespace

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
    const long announced = std::clamp<long>(leadingInteger(*countLine), 0, kSpotFileMaxEntries);
    while (static_cast<long>(content.entries.size()) < announced) {
        auto entry = readEntry(lines);
        if (!entry)
            break;
        content.entries.push_back(std::move(*entry));
    }
    return content;
}

std::string formatSpotFileText(const std::vector<SpotFileEntry>& entries)
{
    std::string text(kSpotFileSignature);
    text += kLineEnd;
    text += std::to_string(entries.size());
    text += kLineEnd;
    for (const SpotFileEntry& entry : entries) {
        text += static_cast<char>('0' + entry.kind);
        text += kLineEnd;
        // A line break inside a name would shift every following line.
        for (const char c : entry.name)
            text += (c == '\r' || c == '\n') ? ' ' : c;
        text += kLineEnd;
        for (int step = 0; step < kSpotWindowSize; ++step) {
            appendFixed(text, entry.wavelengths[step], 1);
            text += '\t';
            appendFixed(text, entry.weights[step], 2);
            text += kLineEnd;
        }
    }
    return text;
}

} // namespace lt
