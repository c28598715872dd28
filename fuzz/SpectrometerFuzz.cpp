// The array spectrometer's processing of one acquisition on arbitrary
// counts, with the shipped observer and illuminant tables: the first bytes
// choose the command, the window, the illuminant, the resampling step and
// the wavelength calibration, the rest are the big-endian counts. Dark and
// white references persist from one input to the next, as they do in the
// instrument object.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "instrument/spectrometer/SpectrometerProcessing.h"

namespace {

constexpr std::size_t kHeaderBytes = 20;
constexpr int kStepChoices = 12;

std::unique_ptr<lt::SpectrometerData> freshState()
{
    auto state = std::make_unique<lt::SpectrometerData>();
    const std::string data = LTRAKW_SOURCE_DATADIR;
    const std::string observer = data + "/XYZ2.txt";
    const std::string illuminant = data + "/ILLUM.txt";
    if (lt::loadCieTables(observer.c_str(), illuminant.c_str(), state->tables) != lt::kTablesLoaded)
        lt::fuzz::fail("shipped tables not found in", data);
    return state;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto shipped = freshState();
    static auto state = freshState();
    if (size < kHeaderBytes)
        return 0;
    lt::fuzz::FuzzInput input(data, size);
    const std::uint8_t command = input.byte();
    if (input.byte() & 1)
        state->tables = shipped->tables; // the previous input may have left other tables
    state->parameters.FirstPixel[0] = input.byte();
    Aquire record {};
    record.FirstPixel = static_cast<std::uint16_t>(input.byte() << 8 | input.byte());
    record.LastPixel = static_cast<std::uint16_t>(input.byte() << 8 | input.byte());
    record.Illuminant = input.byte();
    record.Step = static_cast<float>(input.byte() % kStepChoices) - 1.0f;
    record.HighWavelength = 780.0f;
    // The wavelength calibration arrives from the instrument: any float.
    for (float* calibration : {&state->calibration.slope, &state->calibration.zero}) {
        std::uint8_t bytes[sizeof(float)];
        for (auto& byte : bytes)
            byte = input.byte();
        std::memcpy(calibration, bytes, sizeof bytes);
    }
    for (float* previous : {&record.Lab[0], &record.Lab[1], &record.Lab[2]})
        *previous = static_cast<float>(input.byte());

    const std::string_view counts = input.remaining();
    const int count = static_cast<int>(std::min<std::size_t>(counts.size() / 2, kAquireMaxCounts));
    lt::processAcquisition(
        *state, record, command, reinterpret_cast<const std::uint8_t*>(counts.data()), count);
    return 0;
}
