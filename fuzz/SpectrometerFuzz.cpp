// Feeds arbitrary bytes to the array spectrometer's table loader and
// acquisition processing and to the streaming block decoder. Built as a
// libFuzzer target with clang (-fsanitize=fuzzer); otherwise a standalone
// driver that runs the files named on its command line, or random inputs.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "instrument/spectrometer/CieTables.h"
#include "instrument/spectrometer/SpectrometerProcessing.h"
#include "instrument/streaming/MeasurementBlock.h"

namespace {

std::string scratchFile(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/ltrakw_fuzz_table_" + std::to_string(getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Tables: the input as both files.
    static auto state = std::make_unique<lt::SpectrometerData>();
    const std::string path = scratchFile(data, size);
    lt::loadCieTables(path.c_str(), path.c_str(), state->tables);

    // Acquisition: the first bytes choose command, window and calibration,
    // the rest are the big-endian counts.
    if (size >= 8) {
        Aquire record {};
        state->parameters.FirstPixel[0] = data[1];
        record.FirstPixel = static_cast<std::uint16_t>(data[2] << 8 | data[3]);
        record.LastPixel = static_cast<std::uint16_t>(data[4] << 8 | data[5]);
        record.Illuminant = data[6];
        record.Step = static_cast<float>(data[7] % 12) - 1.0f;
        record.HighWavelength = 780.0f;
        std::memcpy(&state->calibration.slope, data + 2, sizeof(float));
        const int count = static_cast<int>(std::min<std::size_t>((size - 8) / 2, kAquireMaxCounts));
        lt::processAcquisition(*state, record, data[0], data + 8, count);
    }

    // Streaming block: every mask.
    std::vector<std::uint8_t> record(lt::stream_record::kMinimumSize, 0);
    for (unsigned mask = 0; mask < 16; ++mask)
        lt::storeMeasurementBlock(reinterpret_cast<const char*>(data), size, mask, record.data());
    return 0;
}

#ifndef LTRAKW_LIBFUZZER
int main(int argc, char** argv)
{
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream file(argv[i], std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
        return 0;
    }
    // Random inputs, some of them built from table-like text.
    constexpr int kRounds = 5000;
    std::mt19937 random(12345);
    const char pieces[][12] = {
        ";", "\n", "380 ", "0.5 ", "-1e9 ", "nan ", ":BE0", "0000803F", "\r\n", " "};
    for (int round = 0; round < kRounds; ++round) {
        std::string input;
        const int parts = static_cast<int>(random() % 200);
        for (int p = 0; p < parts; ++p) {
            if (random() % 3 == 0)
                input += static_cast<char>(random() % 256);
            else
                input += pieces[random() % std::size(pieces)];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    std::printf("spectrometer_fuzz: %d random inputs survived\n", kRounds);
    return 0;
}
#endif
