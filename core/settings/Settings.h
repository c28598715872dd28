#pragma once
// Typed access to the program's settings files in the config directory:
// the application file "LtrakW.ini" (also found when spelled "LtrakW.INI")
// and "tavi.ini". Keys and their ranges are listed in SettingsKeys.h.
//
// load* reads a key, applies its default and range, writes the value in use
// straight back (so missing keys are created and clamped values stored) and
// returns it; store* writes a changed value. When the config directory
// cannot be written the problem is reported once through the handler and
// the program goes on with the values in memory.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "core/common/SpectralAxes.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsKeys.h"

namespace lt {

class Settings {
public:
    // Receives the one report of a settings file that cannot be written.
    using ProblemHandler = std::function<void(const std::string& message)>;

    static constexpr const char* kApplicationFileName = "LtrakW.ini";
    static constexpr const char* kTaviFileName = "tavi.ini";
    static constexpr int kMinimumWavelengthSpan = 40; // [nm] MaxWLen above MinWLen

    // Settings files inside configDir (created when missing).
    explicit Settings(const std::string& configDir);

    IniFile& applicationFile() { return application; }
    IniFile& taviFile() { return tavi; }

    void setProblemHandler(ProblemHandler handler);

    // Writes the section "tavi.ini" of "tavi.ini": "PropPages=0x11100000".
    void writeStartupSection();

    int load(const IntKey& key);
    void store(const IntKey& key, int value);
    // The value in use (default and range applied) without writing it back:
    // for a choice that is read at every sample, such as the colour
    // difference formula.
    int peek(const IntKey& key) const;

    // The text in use; a path key's relative name is returned as stored
    // (resolve it with resolveConfigPath).
    std::string load(const TextKey& key);
    void store(const TextKey& key, const std::string& value);

    // The number in use and the text written back: the text that was read
    // when it is a number, else the default. A text that is not a number
    // leaves fallback, which should be the value the program holds.
    double load(const RealKey& key, double fallback);
    // Writes "%f" of value (six decimals, always with ".").
    void store(const RealKey& key, double value);
    // Writes text exactly as the operator typed it.
    void storeText(const RealKey& key, const std::string& text);

    // "MaxWLen" given the minimum in use: not above the minimum gives the
    // minimum + 40; then 250 ... 950. Written back.
    int loadMaxWavelength(int minimumWavelength);

    // "Slope" / "Zero" of section "TaviSpec": a missing value or one outside
    // 2.5 ... 3.5 (180 ... 270) gives 2.94118 (226.5). Not written back.
    double loadSpectrometerSlope();
    double loadSpectrometerZero();

    // Device path of COM1..COM4: the environment variable LTRAKW_COM<n>, else
    // the key in section "Ports", else the default. "sim" stands for the
    // built-in simulator. An empty text for a number outside 1..4.
    std::string portDevice(int portNumber);

private:
    void reportWriteFailure(const std::string& path, const std::string& reason);
    // A calibration number from the file, or fallback when it is missing or
    // outside lowest ... highest.
    double loadCalibration(const RealKey& key, double lowest, double highest, double fallback);

    IniFile application;
    IniFile tavi;
    std::mutex handlerMutex;
    ProblemHandler onProblem;
    std::atomic<bool> problemReported {false};
};

} // namespace lt
