#include "core/charts/ChartFile.h"

#include <cfloat>
#include <cmath>

#include "core/charts/ChartReferenceTable.h"
#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::string_view kNumberOfSetsKeyword = "NUMBER_OF_SETS";
constexpr std::string_view kBeginDataKeyword = "BEGIN_DATA";
constexpr char kCursorMark = '#';
// How far behind NUMBER_OF_SETS its value may stand.
constexpr std::size_t kSetCountWindow = 50;
constexpr int kValuePrecision = 3;
constexpr int kValueWidth = 3;
constexpr int kMeasuredColumns = 3;

std::string illuminantWord(std::int32_t illuminant)
{
    switch (illuminant) {
    case 0:
        return " Neutral";
    case 1:
        return " A";
    case 2:
        return " C";
    case 3:
        return " D65";
    case 5:
        return " D55";
    case 6:
        return " D75";
    default:
        return " D50";
    }
}

std::string observerWord(std::int32_t observer)
{
    return observer == 1 ? "10" : "2";
}

void appendLine(std::string& text, std::string_view keyword, std::string_view value = {})
{
    text += keyword;
    text += value;
    text += kLineEnd;
}

void appendValue(std::string& text, float value)
{
    text += ' ';
    text += formatFixed(value, kValuePrecision, kValueWidth);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// The blank-separated words of one line.
std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A measured value as the tables keep it: a finite number in float range.
std::optional<float> measuredValue(std::string_view word)
{
    const std::optional<double> value = parseReal(word);
    if (!value || std::fabs(*value) > static_cast<double>(FLT_MAX))
        return std::nullopt;
    return static_cast<float>(*value);
}

// The announced number of sets and where it stands: the first non-zero
// integer read from one of the positions behind the keyword on its line.
struct SetCount {
    int sets = 0;
    std::size_t position = std::string_view::npos;
};

SetCount findSetCount(std::string_view text)
{
    const std::size_t keyword = text.find(kNumberOfSetsKeyword);
    if (keyword == std::string_view::npos)
        return {};
    const std::size_t start = keyword + kNumberOfSetsKeyword.size();
    const std::size_t lineEnd = std::min(text.find('\n', start), text.size());
    const std::size_t end = std::min(start + kSetCountWindow, lineEnd);
    for (std::size_t at = start; at < end; ++at) {
        const std::optional<int> value = parseInteger(text.substr(at, lineEnd - at));
        if (value && *value != 0)
            return {*value, at};
    }
    return {};
}

ChartTextReading refused(ChartTextProblem problem)
{
    ChartTextReading reading;
    reading.problem = problem;
    return reading;
}

} // namespace

std::string measurementSourceText(const ChartFileConditions& conditions)
{
    return "\"Illumination=" + illuminantWord(conditions.illuminant) +
        " ObserverAngle=" + observerWord(conditions.observer) + " WhiteBase=Abs Filter=No\"";
}

std::string formatChartText(ChartType chartType, const PatchNameTable& names,
    std::span<const Triple> xyz, const ChartFileConditions& conditions, int cursor)
{
    const ChartDescription& chart = chartDescription(chartType);
    const std::span<const DeviceValues> reference = ChartReferenceTable(chartType);
    std::string text;
    text.reserve(static_cast<std::size_t>(chart.patchCount) * 64 + 512);
    appendLine(text, chart.fileFamily);
    appendLine(text, "ORIGINATOR", kChartOriginator);
    appendLine(text, "DESCRIPTOR", chart.fileDescriptor);
    // One blank after the keyword, as after every other keyword: CGATS
    // readers refuse the keyword and its value written together.
    appendLine(text, "MEASUREMENT_SOURCE", " " + measurementSourceText(conditions));
    appendLine(text, "NUMBER_OF_FIELDS", " " + formatInteger(1 + 3 + chart.deviceChannels));
    appendLine(text, "BEGIN_DATA_FORMAT");
    appendLine(text, "SAMPLE_ID", chart.deviceFields);
    appendLine(text, "END_DATA_FORMAT");
    appendLine(text, kNumberOfSetsKeyword, " " + formatInteger(chart.patchCount));
    appendLine(text, kBeginDataKeyword);
    for (int i = 0; i < chart.patchCount; ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        text += names.name(i);
        for (int k = 0; k < kMeasuredColumns; ++k)
            appendValue(text, index < xyz.size() ? xyz[index][k] : kUnmeasuredXyz);
        for (int k = 0; k < chart.deviceChannels; ++k)
            appendValue(text, reference[index][k]);
        text += kLineEnd;
    }
    appendLine(text, "END_DATA");
    text += kCursorMark;
    text += ' ';
    text += formatInteger(cursor);
    appendLine(text, kCursorLineText);
    return text;
}

ChartTextReading parseChartText(std::string_view text, int openPatchCount)
{
    const SetCount count = findSetCount(text);
    if (count.position == std::string_view::npos || count.sets < 0)
        return refused(ChartTextProblem::NotAChartFile);
    if (count.sets > openPatchCount)
        return refused(ChartTextProblem::WrongChart);
    std::size_t at = text.find(kBeginDataKeyword, count.position);
    if (at == std::string_view::npos)
        return refused(ChartTextProblem::NotAChartFile);

    ChartTextReading reading;
    reading.xyz.reserve(static_cast<std::size_t>(count.sets));
    for (int i = 0; i < count.sets; ++i) {
        const std::size_t lineFeed = text.find('\n', at);
        if (lineFeed == std::string_view::npos)
            return refused(ChartTextProblem::NotAChartFile);
        const std::size_t lineStart = lineFeed + 1;
        at = std::min(text.find('\n', lineStart), text.size());
        const std::vector<std::string_view> words = wordsOf(text.substr(lineStart, at - lineStart));
        if (words.size() < 1 + kMeasuredColumns)
            return refused(ChartTextProblem::NotAChartFile);
        Triple xyz {};
        for (int k = 0; k < kMeasuredColumns; ++k) {
            const std::optional<float> value = measuredValue(words[1 + k]);
            if (!value)
                return refused(ChartTextProblem::NotAChartFile);
            xyz[k] = *value;
        }
        reading.xyz.push_back(xyz);
    }

    const std::size_t mark = text.find(kCursorMark, at);
    if (mark == std::string_view::npos)
        return refused(ChartTextProblem::NotAChartFile);
    reading.cursorEnd = mark + 1;
    const std::optional<int> cursor = parseInteger(text.substr(reading.cursorEnd));
    if (!cursor)
        return refused(ChartTextProblem::NotAChartFile);
    if (*cursor < 0 || *cursor > openPatchCount)
        return refused(ChartTextProblem::WrongChart);
    reading.cursor = *cursor;
    return reading;
}

} // namespace lt
