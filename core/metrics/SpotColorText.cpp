#include "core/metrics/SpotColorText.h"

#include <algorithm>
#include <optional>

#include "core/common/NumberText.h"
#include "core/station/SharedRecord.h"

namespace lt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kWindowSize = SpotColorEntry::kWindowSize;
constexpr double kLastWavelength = kRemissionFirstWavelength + (kSpectrumPoints - 1) * 10.0; // [nm]

// Hands out the text line by line (without CR LF) and counts the lines;
// stops for good at the end of the text or at a line longer than
// kSpotFileMaxLineLength.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) { }

    std::optional<std::string_view> next()
    {
        if (rest.empty())
            return std::nullopt;
        ++number;
        // The limit counts the characters of the line, not its CR LF.
        const std::size_t searched = std::min(rest.size(), kSpotFileMaxLineLength + 2);
        const std::size_t feed = rest.substr(0, searched).find('\n');
        const std::size_t end = feed == std::string_view::npos ? searched : feed;
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kSpotFileMaxLineLength) {
            rest = {};
            tooLong = true;
            return std::nullopt;
        }
        rest.remove_prefix(feed == std::string_view::npos ? end : end + 1);
        return line;
    }

    // The problem of the line just asked for: what, or why there was none.
    SpotFileProblem problem(const std::string& what) const
    {
        if (tooLong)
            return {number,
                "the line is longer than " +
                    formatInteger(static_cast<long long>(kSpotFileMaxLineLength)) + " characters"};
        return {number, what};
    }

    // The line the next() would return: for "the file ends here".
    SpotFileProblem endOfText(const std::string& what) const
    {
        return tooLong ? problem(what) : SpotFileProblem {number + 1, what};
    }

private:
    std::string_view rest;
    int number = 0;
    bool tooLong = false;
};

constexpr const char* kEntryCutShort = "the file ends inside an entry";

// One entry of nine lines; nothing (and the problem) when the text ends
// early or a line is not what the format asks for (kind other than narrow
// or wide, a window line without its tab or numbers).
std::optional<SpotColorEntry> readEntry(LineReader& lines, SpotFileProblem& problem)
{
    const auto kindLine = lines.next();
    if (!kindLine) {
        problem = lines.endOfText("");
        return std::nullopt;
    }
    const auto kind = parseInteger(*kindLine);
    if (!kind ||
        (*kind != static_cast<int>(SpotKind::Narrow) &&
            *kind != static_cast<int>(SpotKind::Wide))) {
        problem = lines.problem("the kind is neither 1 (narrow) nor 2 (wide)");
        return std::nullopt;
    }
    const auto nameLine = lines.next();
    if (!nameLine) {
        problem = lines.endOfText(kEntryCutShort);
        return std::nullopt;
    }
    SpotColorEntry entry;
    entry.kind = static_cast<SpotKind>(*kind);
    entry.name = std::string(*nameLine);
    for (int step = 0; step < kWindowSize; ++step) {
        const auto line = lines.next();
        if (!line) {
            problem = lines.endOfText(kEntryCutShort);
            return std::nullopt;
        }
        const std::size_t tab = line->find('\t');
        if (tab == std::string_view::npos) {
            problem = lines.problem("a window line has no tab between wavelength and weight");
            return std::nullopt;
        }
        const auto wavelength = parseReal(line->substr(0, tab));
        const auto weight = parseReal(line->substr(tab + 1));
        if (!wavelength || !weight) {
            problem = lines.problem(
                wavelength ? "the weight is not a number" : "the wavelength is not a number");
            return std::nullopt;
        }
        entry.wavelengths[step] = *wavelength;
        entry.weights[step] = *weight;
    }
    return entry;
}

} // namespace

namespace {

constexpr double kSmallestWrittenWeight = 0.005; // the least weight written as 0.01

} // namespace

bool isStorableSpotColor(const SpotColorEntry& entry)
{
    if (!entry.isColor() || entry.name.size() > kSpotFileMaxLineLength)
        return false;
    for (const double wavelength : entry.wavelengths)
        if (!(wavelength >= kRemissionFirstWavelength && wavelength <= kLastWavelength))
            return false;
    bool anyWeight = false;
    for (const double weight : entry.weights) {
        if (!(weight >= 0.0 && weight <= kSpotMaxWindowWeight))
            return false;
        // Weights are written with two decimals: a window whose weights all
        // round to 0.00 would come back as no window at all.
        anyWeight = anyWeight || weight >= kSmallestWrittenWeight;
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
    if (!countLine) {
        content.problem = lines.endOfText("the number of entries is missing");
        return content;
    }
    const auto count = parseInteger(*countLine);
    if (!count)
        content.problem = lines.problem("the number of entries is not a number");
    const int announced = std::clamp(count.value_or(0), 0, SpotColorLibrary::kMaxFileEntries);
    for (int read = 0; read < announced; ++read) {
        SpotFileProblem problem;
        auto entry = readEntry(lines, problem);
        if (!entry) {
            if (problem.what.empty())
                problem.what = "the file ends after " + formatInteger(read) + " of the " +
                    formatInteger(announced) + " entries it announces";
            content.problem = std::move(problem);
            break;
        }
        // An entry the file could not carry back (a window outside the
        // spectrum) is no spot colour: it is skipped, the others are kept.
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
