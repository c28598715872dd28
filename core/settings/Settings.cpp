#include "core/settings/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"

namespace lt {

namespace {

constexpr const char* kTaviSection = "tavi.ini";
constexpr const char* kTaviPropertyPages = "PropPages=0x11100000";
constexpr int kPortCount = 4;

constexpr double kSlopeLowest = 2.5; // [nm/pixel]
constexpr double kSlopeHighest = 3.5; // [nm/pixel]
constexpr double kZeroLowest = 180.0; // [nm]
constexpr double kZeroHighest = 270.0; // [nm]

int clampToKey(const IntKey& key, int value)
{
    return std::clamp(value, key.minimum, key.maximum);
}

std::string defaultText(const TextKey& key)
{
    if (key.defaultKind == TextDefault::HomeDirectory)
        return homeDefaultPath(key.defaultValue);
    return key.defaultValue;
}

} // namespace

namespace {
// The config directory is made on first use; when that fails the first
// write reports it.
const std::string& madeDirectory(const std::string& dir)
{
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir;
}
} // namespace

Settings::Settings(const std::string& configDir)
    : application(IniFile::locate(madeDirectory(configDir), kApplicationFileName)),
      tavi(IniFile::locate(configDir, kTaviFileName))
{
    auto report = [this](const std::string& path, const std::string& reason) {
        reportWriteFailure(path, reason);
    };
    application.setWriteFailureHandler(report);
    tavi.setWriteFailureHandler(report);
}

void Settings::setProblemHandler(ProblemHandler handler)
{
    std::lock_guard lock(handlerMutex);
    onProblem = std::move(handler);
}

void Settings::reportWriteFailure(const std::string& path, const std::string& reason)
{
    if (problemReported.exchange(true))
        return;
    ProblemHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = onProblem;
    }
    std::string message = "The settings cannot be saved in " + path + " (" + reason +
        ").\nThe program goes on with its settings in memory.";
    if (handler)
        handler(message);
}

void Settings::writeStartupSection()
{
    tavi.writeSection(kTaviSection, {kTaviPropertyPages});
}

int Settings::load(const IntKey& key)
{
    int value = clampToKey(key, application.getInt(key.section, key.key, key.defaultValue));
    store(key, value);
    return value;
}

int Settings::peek(const IntKey& key) const
{
    return clampToKey(key, application.getInt(key.section, key.key, key.defaultValue));
}

void Settings::store(const IntKey& key, int value)
{
    application.writeString(key.section, key.key, formatInteger(value));
}

std::string Settings::load(const TextKey& key)
{
    auto text = application.getString(key.section, key.key);
    std::string value = text && text->size() <= key.maxLength ? *text : defaultText(key);
    store(key, value);
    return value;
}

void Settings::store(const TextKey& key, const std::string& value)
{
    application.writeString(key.section, key.key, value);
}

double Settings::load(const RealKey& key, double fallback)
{
    auto text = application.getString(key.section, key.key);
    std::string used = text.value_or(key.defaultValue);
    double value = fallback;
    if (auto parsed = parseReal(used))
        value = *parsed;
    else
        used = formatFixed(fallback, 6); // garbage in the file: store the value that stays in use
    application.writeString(key.section, key.key, used);
    return value;
}

void Settings::store(const RealKey& key, double value)
{
    application.writeString(key.section, key.key, formatFixed(value, 6));
}

void Settings::storeText(const RealKey& key, const std::string& text)
{
    application.writeString(key.section, key.key, text);
}

int Settings::loadMaxWavelength(int minimumWavelength)
{
    int value = application.getInt(
        keys::kMaxWavelength.section, keys::kMaxWavelength.key, keys::kMaxWavelength.defaultValue);
    if (value <= minimumWavelength)
        value = minimumWavelength + kMinimumWavelengthSpan;
    value = clampToKey(keys::kMaxWavelength, value);
    store(keys::kMaxWavelength, value);
    return value;
}

double Settings::loadSpectrometerSlope()
{
    return loadCalibration(
        keys::kSpectrometerSlope, kSlopeLowest, kSlopeHighest, kDefaultSpectrometerSlope);
}

double Settings::loadSpectrometerZero()
{
    return loadCalibration(
        keys::kSpectrometerZero, kZeroLowest, kZeroHighest, kDefaultSpectrometerZero);
}

double Settings::loadCalibration(const RealKey& key, double lowest, double highest, double fallback)
{
    auto text = application.getString(key.section, key.key);
    auto value = text ? parseReal(*text) : std::nullopt;
    if (!value || *value < lowest || *value > highest)
        return fallback;
    return *value;
}

std::string Settings::portDevice(int portNumber)
{
    if (portNumber < 1 || portNumber > kPortCount)
        return std::string();
    std::string variable = "LTRAKW_COM" + formatInteger(portNumber);
    if (const char* fromEnvironment = std::getenv(variable.c_str());
        fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    const TextKey& key = keys::kPortDevices[portNumber - 1];
    auto text = application.getString(key.section, key.key);
    if (text && !text->empty() && text->size() <= key.maxLength)
        return *text;
    return key.defaultValue;
}

} // namespace lt
