#include "core/common/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// The permissions the replacement gets: those of the file it replaces, else
// the usual ones of a new file. (mkstemp creates the file private to the user.)
mode_t replacementMode(const std::string& path)
{
    struct stat previous { };
    if (::stat(path.c_str(), &previous) == 0)
        return previous.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void describe(std::string* failureReason, int errorNumber)
{
    if (failureReason)
        *failureReason = std::strerror(errorNumber);
}

} // namespace

std::string directoryOfPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileWriteResult replaceFileContent(
    const std::string& path, std::string_view content, std::string* failureReason)
{
    if (path.empty() || path.back() == '/') {
        describe(failureReason, ENOENT);
        return FileWriteResult::CannotCreate;
    }
    std::string temporary = directoryOfPath(path) + "/.ltrakw-save-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        describe(failureReason, errno);
        return FileWriteResult::CannotCreate;
    }
    bool good = ::fchmod(descriptor, replacementMode(path)) == 0 && writeAll(descriptor, content) &&
        ::fsync(descriptor) == 0;
    int errorNumber = errno;
    if (::close(descriptor) != 0 && good) {
        good = false;
        errorNumber = errno;
    }
    if (good && ::rename(temporary.c_str(), path.c_str()) != 0) {
        good = false;
        errorNumber = errno;
    }
    if (!good) {
        ::unlink(temporary.c_str());
        describe(failureReason, errorNumber);
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
