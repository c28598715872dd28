#include "instrument/platform/WireTrace.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "instrument/protocol/HexCodec.h"

namespace lt::trace {
namespace {

constexpr char kFirstPrintable = 0x20;
constexpr char kLastPrintable = 0x7E;
constexpr char kUnprintable = '.';

// The trace file, opened on first use when the variable names one.
class TraceFile {
public:
    TraceFile()
    {
        const char* path = std::getenv(kTraceVariable);
        if (path && *path)
            m_file = std::fopen(path, "a");
    }
    ~TraceFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool open() const { return m_file != nullptr; }
    void write(const std::string& line)
    {
        timeval now {};
        ::gettimeofday(&now, nullptr);
        tm local {};
        ::localtime_r(&now.tv_sec, &local);
        char stamp[32];
        const std::size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
        std::lock_guard lock(m_mutex);
        std::fprintf(m_file, "%.*s.%06ld %s\n", static_cast<int>(length), stamp,
            static_cast<long>(now.tv_usec), line.c_str());
        std::fflush(m_file); // a crash must not take the last bytes with it
    }

private:
    std::FILE* m_file = nullptr;
    std::mutex m_mutex;
};

TraceFile& traceFile()
{
    static TraceFile file;
    return file;
}

} // namespace

bool enabled()
{
    return traceFile().open();
}

void note(std::string_view device, std::string_view event)
{
    if (enabled())
        traceFile().write(std::string(device) + " " + std::string(event));
}

std::string formatBytes(
    std::string_view device, char direction, const std::uint8_t* data, std::size_t length)
{
    std::string line(device);
    line += ' ';
    line += direction;
    line += ' ';
    line += std::to_string(length);
    line += ' ';
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        line += kHexDigits[data[i] >> 4];
        line += kHexDigits[data[i] & 0xF];
        line += ' ';
        const char c = static_cast<char>(data[i]);
        text += c >= kFirstPrintable && c <= kLastPrintable ? c : kUnprintable;
    }
    line += '|';
    line += text;
    line += '|';
    return line;
}

void bytes(std::string_view device, char direction, const std::uint8_t* data, std::size_t length)
{
    if (enabled() && length > 0)
        traceFile().write(formatBytes(device, direction, data, length));
}

} // namespace lt::trace
