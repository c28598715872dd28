#include "core/compare/CgatsTable.h"

#include <algorithm>
#include <cctype>

#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"

namespace lt {
namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The blank-separated tokens of a line; a quoted text is one token (quotes
// removed); a "#" outside quotes starts a comment.
std::vector<std::string> tokens(std::string_view line)
{
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            std::size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos)
                end = line.size();
            result.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
                ++end;
            result.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return result;
}

std::string atLine(std::size_t line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

std::optional<std::size_t> CgatsTable::field(std::string_view name) const
{
    std::string wanted = upper(name);
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i] == wanted)
            return i;
    return std::nullopt;
}

std::optional<double> CgatsTable::number(std::size_t set, std::size_t fieldIndex) const
{
    if (set >= sets.size() || fieldIndex >= sets[set].size())
        return std::nullopt;
    return parseReal(sets[set][fieldIndex]);
}

CgatsReading parseCgats(std::string_view text)
{
    CgatsReading reading;
    if (text.size() > kLargestCgatsText) {
        reading.error = "the file is larger than 64 MB";
        return reading;
    }
    enum class Section { Header, Format, Data, Done } section = Section::Header;
    CgatsTable table;
    std::optional<std::size_t> announcedSets;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size() && section != Section::Done) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        std::vector<std::string> words = tokens(line);
        if (words.empty()) {
            if (end == text.size())
                break;
            continue;
        }
        const std::string keyword = upper(words[0]);
        switch (section) {
        case Section::Header:
            if (keyword == "BEGIN_DATA_FORMAT") {
                section = Section::Format;
            } else if (keyword == "BEGIN_DATA") {
                if (table.fields.empty()) {
                    reading.error = atLine(lineNumber, "data before its format");
                    return reading;
                }
                section = Section::Data;
            } else if (keyword == "NUMBER_OF_SETS" && words.size() > 1) {
                std::optional<double> sets = parseReal(words[1]);
                if (!sets || *sets < 0 || *sets > 1e7 || *sets != static_cast<std::size_t>(*sets)) {
                    reading.error = atLine(lineNumber, "NUMBER_OF_SETS is no count");
                    return reading;
                }
                announcedSets = static_cast<std::size_t>(*sets);
            }
            break;
        case Section::Format:
            for (const std::string& word : words) {
                if (upper(word) == "END_DATA_FORMAT") {
                    section = Section::Header;
                    break;
                }
                table.fields.push_back(upper(word));
            }
            break;
        case Section::Data:
            if (keyword == "END_DATA") {
                section = Section::Done;
                break;
            }
            if (words.size() != table.fields.size()) {
                reading.error = atLine(lineNumber,
                    std::to_string(words.size()) + " values where the format names " +
                        std::to_string(table.fields.size()));
                return reading;
            }
            table.sets.push_back(std::move(words));
            break;
        case Section::Done:
            break;
        }
        if (end == text.size())
            break;
    }
    if (section == Section::Format || table.fields.empty()) {
        reading.error = "no data format (BEGIN_DATA_FORMAT ... END_DATA_FORMAT)";
        return reading;
    }
    if (section != Section::Done) {
        reading.error = "no data (BEGIN_DATA ... END_DATA)";
        return reading;
    }
    if (announcedSets && *announcedSets != table.sets.size()) {
        reading.error = "NUMBER_OF_SETS announces " + std::to_string(*announcedSets) +
            " sets, the data holds " + std::to_string(table.sets.size());
        return reading;
    }
    reading.table = std::move(table);
    return reading;
}

CgatsReading readCgatsFile(const std::string& path)
{
    std::string text;
    if (readFileHead(path, kLargestCgatsText + 1, text) != FileReadResult::Read) {
        CgatsReading reading;
        reading.error = path + ": cannot be read";
        return reading;
    }
    CgatsReading reading = parseCgats(text);
    if (!reading.table)
        reading.error = path + ": " + reading.error;
    return reading;
}

} // namespace lt
