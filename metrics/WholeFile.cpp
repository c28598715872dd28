#include "metrics/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {

namespace {

bool writeAll(int descriptor, std::string_view content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(descriptor, content.data() + done, content.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string directoryOfPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileWriteResult replaceFileContent(const std::string& path, std::string_view content)
{
    if (path.empty() || path.back() == '/')
        return FileWriteResult::CannotCreate;
    std::string temporary = directoryOfPath(path) + "/.ltrakw-save-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return FileWriteResult::CannotCreate;
    // mkstemp creates the file private to the user; a saved text file gets
    // the usual permissions (subject to the umask).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);

    bool good = writeAll(descriptor, content) && ::fsync(descriptor) == 0;
    good = (::close(descriptor) == 0) && good;
    if (good)
        good = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!good) {
        ::unlink(temporary.c_str());
        return FileWriteResult::WriteFailed;
    }
    return FileWriteResult::Written;
}

FileReadResult readFileHead(const std::string& path, std::size_t maxBytes, std::string& content)
{
    content.clear();
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return FileReadResult::CannotOpen;
    FileReadResult result = FileReadResult::Read;
    constexpr std::size_t kChunk = 64 * 1024;
    while (content.size() < maxBytes) {
        const std::size_t want = std::min(kChunk, maxBytes - content.size());
        const std::size_t start = content.size();
        content.resize(start + want);
        const ssize_t got = ::read(descriptor, content.data() + start, want);
        if (got < 0) {
            content.resize(start);
            if (errno == EINTR)
                continue;
            result = FileReadResult::ReadFailed;
            break;
        }
        content.resize(start + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    ::close(descriptor);
    return result;
}

} // namespace lt
