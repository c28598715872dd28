#include "instrument/streaming/MeasurementBlock.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <string_view>

#include "instrument/protocol/HexCodec.h"

namespace lt {
namespace {

// Columns of the values in a block (the leading ':' is column 0).
constexpr std::size_t kColumnA = 4;
constexpr std::size_t kColumnB = 33;
constexpr std::size_t kColumnC = 62;
constexpr std::size_t kColumnD = 75;
constexpr std::size_t kColumnE = 88;
constexpr std::size_t kColumnF = 101;
constexpr std::size_t kColumnSpectrum = 114;
constexpr std::size_t kTripleValues = 3;

constexpr float kUndecodable = std::numeric_limits<float>::quiet_NaN();

void decodeFloats(std::string_view block, std::size_t column, std::size_t n, float* values)
{
    if (!HexDecodeFloats(block, column, n, values))
        for (std::size_t i = 0; i < n; ++i)
            values[i] = kUndecodable;
}

void storeDoubles(void* record, std::size_t position, const float* values, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const double value = values[i];
        std::memcpy(
            static_cast<char*>(record) + position + i * sizeof(double), &value, sizeof value);
    }
}

std::int32_t* readyFlag(void* record)
{
    return reinterpret_cast<std::int32_t*>(static_cast<char*>(record) + stream_record::kReadyFlag);
}

} // namespace

std::size_t measurementBlockLength(unsigned mask)
{
    if (mask >= 1 && mask <= 3)
        return kBlockColorimetric;
    if (mask >= 5 && mask <= 7)
        return kBlockWithSingles;
    if (mask == 15)
        return kBlockWithSpectrum;
    return 0;
}

void storeMeasurementBlock(const char* block, std::size_t length, unsigned mask, void* record)
{
    const std::string_view text(block, length);
    const std::size_t expected = measurementBlockLength(mask);
    if (!record || expected == 0 || length < expected)
        return;

    float a[kTripleValues], b[kTripleValues];
    decodeFloats(text, kColumnA, kTripleValues, a);
    decodeFloats(text, kColumnB, kTripleValues, b);
    storeDoubles(record, stream_record::kValuesA, a, kTripleValues);
    storeDoubles(record, stream_record::kValuesB, b, kTripleValues);
    if (expected >= kBlockWithSingles) {
        struct Single {
            std::size_t column;
            std::size_t position;
        };
        constexpr Single singles[] = {{kColumnC, stream_record::kValueC},
            {kColumnD, stream_record::kValueD}, {kColumnE, stream_record::kValueE},
            {kColumnF, stream_record::kValueF}};
        for (const Single& single : singles) {
            float value;
            decodeFloats(text, single.column, 1, &value);
            storeDoubles(record, single.position, &value, 1);
        }
    }
    if (expected >= kBlockWithSpectrum) {
        float spectrum[stream_record::kSpectrumValues];
        decodeFloats(text, kColumnSpectrum, stream_record::kSpectrumValues, spectrum);
        std::memcpy(
            static_cast<char*>(record) + stream_record::kSpectrum, spectrum, sizeof spectrum);
    }
    // The caller polls the flag from its own thread: it is published after the values.
    std::atomic_ref<std::int32_t>(*readyFlag(record)).store(1, std::memory_order_release);
}

bool measurementRecordReady(const void* record)
{
    auto* flag = const_cast<std::int32_t*>(readyFlag(const_cast<void*>(record)));
    return std::atomic_ref<std::int32_t>(*flag).load(std::memory_order_acquire) == 1;
}

} // namespace lt
