// The settings file on arbitrary content and names. The input carries the
// file, then (cut at NUL bytes) a section, a key and a value to write, and a
// second section and key to watch. Promises checked:
// - a write that reports success is read back by a fresh reader of the file
//   as the reader delivers values (one line, blanks around removed, one pair
//   of enclosing quotes removed);
// - the write leaves every other key's value as it was;
// - the typed settings read from the same file stay in their ranges and
//   lengths, and a second program start reads the numbers the first one
//   wrote back when its hold on the file's writes ended.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <strings.h>

#include "FuzzSupport.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"

namespace {

using lt::fuzz::check;

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The value a reader returns for a written one.
std::string asRead(std::string_view written)
{
    std::string value(written);
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::string_view text = value;
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::string shown(const std::optional<std::string>& value)
{
    return value ? "\"" + *value + "\"" : "(missing)";
}

void checkTypedSettings(const std::string& dir)
{
    namespace keys = lt::keys;
    const lt::IntKey intKeys[] = {keys::kFilterType, keys::kIllumType, keys::kMetric,
        keys::kChartType, keys::kIntegrationTime, keys::kMinWavelength, keys::kCommNumber};
    const lt::RealKey realKeys[] = {keys::kSlopeCyan, keys::kYuleNielsenSpot};
    const lt::TextKey textKeys[] = {keys::kSpotColorFile, keys::kServiceBaudRate};

    int ints[std::size(intKeys)];
    double reals[std::size(realKeys)];
    {
        // As the program starts: the missing settings are written at once.
        lt::Settings first(dir);
        const auto hold = first.applicationFile().holdWrites();
        for (std::size_t i = 0; i < std::size(intKeys); ++i) {
            ints[i] = first.load(intKeys[i]);
            check(ints[i] >= intKeys[i].minimum && ints[i] <= intKeys[i].maximum,
                "number setting outside its range:", intKeys[i].key);
        }
        for (std::size_t i = 0; i < std::size(realKeys); ++i)
            reals[i] = first.load(realKeys[i], 1.0);
        for (const lt::TextKey& key : textKeys)
            check(first.load(key).size() <= key.maxLength, "text setting too long:", key.key);
        const int maximum = first.loadMaxWavelength(ints[5]);
        check(maximum >= keys::kMaxWavelength.minimum && maximum <= keys::kMaxWavelength.maximum,
            "maximum wavelength outside its range");
        const double slope = first.loadSpectrometerSlope();
        check(slope >= 2.5 && slope <= 3.5, "spectrometer slope outside its range");
    }
    // The next start reads what the first one wrote back.
    lt::Settings second(dir);
    for (std::size_t i = 0; i < std::size(intKeys); ++i)
        check(second.load(intKeys[i]) == ints[i],
            "number setting changed on the next start:", intKeys[i].key);
    for (std::size_t i = 0; i < std::size(realKeys); ++i)
        check(second.load(realKeys[i], 2.0) == reals[i],
            "real setting changed on the next start:", realKeys[i].key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const lt::fuzz::ScratchDirectory& dir = lt::fuzz::scratch();
    lt::fuzz::FuzzInput input(data, size);
    const std::string path = dir.write(lt::Settings::kApplicationFileName, input.part());
    dir.remove(lt::Settings::kTaviFileName);
    const std::string section(input.part());
    const std::string key(input.part());
    const std::string value(input.part());
    const std::string otherSection(input.part());
    const std::string otherKey(input.part());

    std::optional<std::string> otherBefore;
    {
        lt::IniFile file(path);
        otherBefore = file.getString(otherSection, otherKey);
        file.getInt(section, key, 0);
        file.getString(section, key, "default", value.size());
        if (file.writeString(section, key, value)) {
            lt::IniFile reader(path);
            const auto readBack = reader.getString(section, key);
            check(readBack == asRead(value), "written value read back as", shown(readBack));
            if (!(sameName(section, otherSection) && sameName(key, otherKey))) {
                const auto otherAfter = reader.getString(otherSection, otherKey);
                check(otherAfter == otherBefore, "another key changed by the write, now",
                    shown(otherAfter));
            }
        }
    }
    checkTypedSettings(dir.path());
    return 0;
}
