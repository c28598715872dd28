#include "core/qc/QcText.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <vector>

#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kTitleLine = "#1\tLumatrak Quality Control\r\n";
constexpr std::string_view kCustomerHead = "#2\tCustomer:\t";
constexpr std::string_view kEntryHeadLine =
    "#6\tComment\t\tL:\ta:\tb:\tdE_Lt:\tdL_Lt:\tdE_Dk:\tdL_Dk:\r\n";
constexpr std::string_view kMatchHeadLine = "#8\tN1\tOK\tL:\ta:\tb:\tdE:\tdL:\tda:\tdb\r\n";
constexpr std::string_view kIlluminationLabel = "Illumination:";
constexpr std::string_view kObserverLabel = "Obs:";
constexpr std::string_view kEntryCountLabel = "N1:";
constexpr std::string_view kAverageLabel = "MN:";
constexpr std::string_view kElision = "...";
constexpr int kDecimals = 2;
constexpr int kWidth = 3; // "%3.2f"
constexpr int kEntryValues = 7; // L, a, b and the four tolerances

constexpr std::array<const char*, 11> kIlluminantNames {
    "N", "A", "C", "D65", "D50", "D55", "D75", "B", "G", "P", "Xe"};
constexpr std::array<const char*, 2> kObserverNames {"2", "10"};
constexpr const char* kUnnamedSelection = "?";

std::string number(double value)
{
    return formatFixed(value, kDecimals, kWidth);
}

// The "#2" line keeps within the line limit: a long path loses its beginning.
std::string customerLine(const std::string& path)
{
    const std::size_t room = kQcMaxLineLength - kCustomerHead.size() - kLineEnd.size();
    std::string shown = path;
    if (shown.size() > room)
        shown = std::string(kElision) + shown.substr(shown.size() - (room - kElision.size()));
    // A line break or tab inside the path would split the line.
    for (char& c : shown)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return std::string(kCustomerHead) + shown + std::string(kLineEnd);
}

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// The text after label and the tab that follows it: up to the next tab, or
// to the end of the line when toLineEnd.
std::string_view valueAfter(std::string_view line, std::string_view label, bool toLineEnd)
{
    const std::size_t at = line.find(label);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = line.substr(at + label.size());
    if (!rest.empty() && rest.front() == '\t')
        rest.remove_prefix(1);
    return toLineEnd ? rest : rest.substr(0, rest.find('\t'));
}

bool isEntryNumeral(char c)
{
    return c >= '1' && c <= '9';
}

struct Refusal {
    QcParseResult operator()(int line, std::string reason) const
    {
        return {false, line, std::move(reason)};
    }
};

// One entry line into its slot (marked in seen); a refusal when its number
// is above 200 or values are missing.
std::optional<std::string> readEntryLine(
    std::string_view line, QcSet& set, std::bitset<kQcMaxEntries>& seen)
{
    const std::vector<std::string_view> fields = splitTabs(line);
    const std::optional<int> n = parseInteger(fields[0]);
    if (!n || *n > kQcMaxEntries)
        return "entry number " + std::string(fields[0]) + " is above " +
            formatInteger(kQcMaxEntries);
    const int slot = std::max(*n, 1) - 1;
    std::string_view comment = fields.size() > 1 ? fields[1] : std::string_view();
    std::size_t next = 2;
    if (comment.size() < kQcPaddedCommentLength && fields.size() > next && fields[next].empty())
        ++next; // the padding tab after a short comment
    // A line cut short (a file broken off in the middle) is no entry.
    if (fields.size() < next + kEntryValues)
        return "entry " + formatInteger(*n) + " has fewer than " + formatInteger(kEntryValues) +
            " values";
    std::array<double, kEntryValues> values {};
    for (int i = 0; i < kEntryValues; ++i, ++next)
        values[i] = qcBoundedValue(parseReal(fields[next]).value_or(0.0));

    seen.set(static_cast<std::size_t>(slot));
    QcEntry& entry = set.entries[slot];
    entry.number = slot + 1;
    entry.lab = {values[0], values[1], values[2]};
    entry.tolerances = {values[3], values[4], values[5], values[6]};
    set.comments[slot] = std::string(comment.substr(0, kQcCommentCapacity));
    return std::nullopt;
}

} // namespace

std::string qcIlluminantName(int selection)
{
    if (selection < 0 || selection >= static_cast<int>(kIlluminantNames.size()))
        return kUnnamedSelection;
    return kIlluminantNames[selection];
}

std::string qcObserverName(int selection)
{
    if (selection < 0 || selection >= static_cast<int>(kObserverNames.size()))
        return kUnnamedSelection;
    return kObserverNames[selection];
}

void prepareQcSetForWriting(
    QcSet& set, int illuminantSelection, int observerSelection, long long averageRead)
{
    set.setIlluminant(qcIlluminantName(illuminantSelection));
    set.setObserver(qcObserverName(observerSelection));
    set.averageCount =
        static_cast<int>(std::clamp<long long>(averageRead, kQcMinAverage, kQcMaxAverage));
}

std::string ComposeQcText(const QcSet& set)
{
    std::string text;
    text.reserve(64 * 1024);
    text += kTitleLine;
    text += customerLine(set.customer);
    text += "#3\t" + std::string(kIlluminationLabel) + "\t" + set.illuminantName + "\t" +
        std::string(kObserverLabel) + "\t" + set.observerName + std::string(kLineEnd);
    text += "#4\t" + std::string(kEntryCountLabel) + "\t" + formatInteger(set.entryCount) +
        "\tN2:\t" + formatInteger(set.matchCount) + "\t" + std::string(kAverageLabel) + "\t" +
        formatInteger(set.averageCount) + std::string(kLineEnd);
    text += "#5";
    text += kLineEnd;
    text += kEntryHeadLine;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        const QcEntry& entry = set.entries[slot];
        const std::string& comment = set.comments[slot];
        text += formatInteger(static_cast<long long>(entry.number)) + "\t" + comment + "\t";
        if (comment.size() < kQcPaddedCommentLength)
            text += "\t";
        for (double value : entry.lab)
            text += number(value) + "\t";
        for (int i = 0; i < kQcTolerances; ++i)
            text += number(entry.tolerances[i]) + (i + 1 < kQcTolerances ? "\t" : "");
        text += kLineEnd;
    }
    text += "#7";
    text += kLineEnd;
    if (set.matchCount > 0) {
        text += kMatchHeadLine;
        for (int i = 0; i < set.matchCount; ++i) {
            const QcMatch& match = set.matches[i];
            text += formatInteger(match.recordNumber) + "\t" + formatInteger(match.matchedEntry) +
                "\t" + qcStatusLetter(match.status) + "\t";
            for (double value : match.lab)
                text += number(value) + "\t";
            for (double value : {match.deltaE, match.deltaL, match.deltaA, match.deltaB})
                text += number(value) + "\t";
            text += kLineEnd;
        }
    }
    return text;
}

bool isQcText(std::string_view bytes)
{
    return bytes.substr(0, kQcTextSignature.size()) == kQcTextSignature;
}

QcParseResult ParseQcText(std::string_view bytes, const std::string& path, QcSet& set)
{
    const Refusal refuse;
    set.illuminantName.clear();
    set.illuminantCode = 0;
    set.observerName.clear();
    set.observerCode = 0;
    set.entryCount = 0;
    set.matchCount = 0;
    set.customer = path;
    if (!isQcText(bytes))
        return refuse(1, "the text does not begin with \"#1\"");

    std::bitset<kQcMaxEntries> seen; // entry slots the text filled
    char section = 0; // the last section numeral seen
    bool matchLinesFollow = false;
    int lineNumber = 0;
    std::size_t position = 0;
    while (position < bytes.size()) {
        ++lineNumber;
        const std::string_view rest = bytes.substr(position);
        const std::size_t lineFeed = rest.substr(0, kQcMaxLineLength).find('\n');
        std::string_view line;
        if (lineFeed != std::string_view::npos) {
            line = rest.substr(0, lineFeed);
            position += lineFeed + 1;
        } else if (rest.size() <= kQcMaxLineLength) {
            line = rest; // the last line, without a line end
            position = bytes.size();
        } else {
            return refuse(lineNumber,
                "the line is longer than " + formatInteger(kQcMaxLineLength) + " characters");
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const char first = line.empty() ? '\n' : line.front();
        if (first == '#') {
            if (line.size() < 2 || line[1] == '#' || line[1] < '0' || line[1] > '9')
                continue;
            section = line[1];
            if (section == '3') {
                const std::string_view illuminant = valueAfter(line, kIlluminationLabel, false);
                set.setIlluminant(illuminant);
                // The observer's label is looked for after the illuminant's
                // name, which may itself contain "Obs:".
                const std::size_t illuminantEnd = illuminant.empty()
                    ? 0
                    : static_cast<std::size_t>(illuminant.data() - line.data()) + illuminant.size();
                const std::size_t observerAt = line.find(kObserverLabel, illuminantEnd);
                set.setObserver(observerAt == std::string_view::npos
                        ? std::string_view()
                        : valueAfter(line.substr(observerAt), kObserverLabel, true));
            } else if (section == '4') {
                const int entries =
                    parseInteger(valueAfter(line, kEntryCountLabel, false)).value_or(0);
                if (entries > kQcMaxEntries)
                    return refuse(lineNumber,
                        "it announces " + formatInteger(entries) + " entries, more than " +
                            formatInteger(kQcMaxEntries));
                set.entryCount = std::max(entries, 0);
                set.averageCount =
                    std::clamp(parseInteger(valueAfter(line, kAverageLabel, true)).value_or(0),
                        kQcMinAverage, kQcMaxAverage);
            } else if (section == '8') {
                matchLinesFollow = true;
            }
        } else if (isEntryNumeral(first)) {
            // Match lines are accepted and not kept: a loaded set starts a new log.
            if (matchLinesFollow)
                continue;
            if (std::optional<std::string> fault = readEntryLine(line, set, seen))
                return refuse(lineNumber, *fault);
        } else if (section < '4') {
            return refuse(lineNumber, "a line that is neither a section nor an entry");
        }
    }
    // A text broken off before all its announced entries would leave stale ones in the list.
    for (int slot = 0; slot < set.entryCount; ++slot)
        if (!seen.test(static_cast<std::size_t>(slot)))
            return refuse(lineNumber,
                "entry " + formatInteger(slot + 1) + " of the " + formatInteger(set.entryCount) +
                    " announced is missing");
    return {};
}

} // namespace lt
