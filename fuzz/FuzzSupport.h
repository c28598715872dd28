#pragma once
// What the fuzz targets share: reading an input piece by piece, a private
// scratch directory for the parsers that read files, and the check that
// turns a broken promise of the code under test into a crash the fuzzer
// keeps (and the regression run reports).

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace lt::fuzz {

// Stops the run with the broken promise on stderr.
[[noreturn]] inline void fail(const char* what, std::string_view detail = {})
{
    const std::string shown(detail);
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, shown.c_str());
    std::abort();
}

inline void check(bool holds, const char* what, std::string_view detail = {})
{
    if (!holds)
        fail(what, detail);
}

// An input read from the front: single bytes to choose modes, and texts cut
// at a separator byte, so that one input can carry several files or fields.
class FuzzInput {
public:
    static constexpr char kSeparator = '\0';

    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest(reinterpret_cast<const char*>(data), size)
    {
    }

    bool empty() const { return rest.empty(); }
    std::size_t size() const { return rest.size(); }

    // The next byte, 0 once the input is used up.
    std::uint8_t byte()
    {
        if (rest.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(rest.front());
        rest.remove_prefix(1);
        return value;
    }

    // The text up to the next separator (which is consumed), or the rest.
    std::string_view part()
    {
        const std::size_t end = rest.find(kSeparator);
        const std::string_view piece = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        return piece;
    }

    // Everything not read yet.
    std::string_view remaining()
    {
        const std::string_view piece = rest;
        rest = {};
        return piece;
    }

private:
    std::string_view rest;
};

// A directory of this process's own, removed when the process ends normally.
class ScratchDirectory {
public:
    static constexpr const char* kMemoryDirectory = "/dev/shm";

    ScratchDirectory()
    {
        // In memory where possible: the targets write files thousands of
        // times a second, and a disk file system flushes each replaced one.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory(kMemoryDirectory, error)
            ? std::filesystem::path(kMemoryDirectory)
            : std::filesystem::temp_directory_path();
        std::string pattern = (base / "ltrakw-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            fail("cannot create a scratch directory in", pattern);
        dir = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

    // Writes bytes as the whole file name; returns its path.
    std::string write(const std::string& name, std::string_view bytes) const
    {
        const std::string target = file(name);
        std::FILE* out = std::fopen(target.c_str(), "wb");
        if (!out)
            fail("cannot write scratch file", target);
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        return target;
    }

    void remove(const std::string& name) const
    {
        std::error_code ignored;
        std::filesystem::remove(file(name), ignored);
    }

private:
    std::string dir;
};

// The one scratch directory of the process.
inline const ScratchDirectory& scratch()
{
    static const ScratchDirectory directory;
    return directory;
}

} // namespace lt::fuzz
