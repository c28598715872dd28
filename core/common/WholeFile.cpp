#include "core/common/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {

namespace {

// Temporary files are named "<prefix><writer's process id>-<random>", so a
// later process can tell the leftovers of a writer that is no longer alive.
constexpr std::string_view kTemporaryPrefix = ".ltrakw-save-";
// As many links as the system itself follows before it gives up (ELOOP).
constexpr int kMaxLinkHops = 40;
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::size_t kReadChunkBytes = 16 * 1024;

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

// Writes content, flushes it to the disk with flush (fsync or fdatasync) and
// closes the descriptor, also after a failure. Returns 0, or the number of
// the first error.
int writeFlushAndClose(int descriptor, std::string_view content, int (*flush)(int))
{
    int errorNumber = writeAll(descriptor, content) && flush(descriptor) == 0 ? 0 : errno;
    if (::close(descriptor) != 0 && errorNumber == 0)
        errorNumber = errno;
    return errorNumber;
}

// The permissions the replacement gets: those of the file it replaces, else
// the usual ones of a new file. (mkstemp creates the file private to the user.)
mode_t replacementMode(const struct stat* previous)
{
    if (previous)
        return previous->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void describe(std::string* failureReason, int errorNumber)
{
    if (failureReason)
        *failureReason = std::strerror(errorNumber);
}

// The file a path names once every symbolic link on its last component is
// followed (the link's own directory anchors a relative target). The target
// need not exist. Nothing on a loop of links.
std::optional<std::string> followLinks(std::string path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info { };
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : directoryOfPath(path) + "/" + target;
    }
    return std::nullopt;
}

// The writer's process id in a temporary file's name, when it is one of ours.
std::optional<pid_t> writerOfTemporary(std::string_view name)
{
    if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix)
        return std::nullopt;
    name.remove_prefix(kTemporaryPrefix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = name.substr(0, dash);
    pid_t writer = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), writer);
    if (error != std::errc() || end != digits.data() + digits.size() || writer <= 0)
        return std::nullopt;
    return writer;
}

bool processIsGone(pid_t process)
{
    return ::kill(process, 0) != 0 && errno == ESRCH;
}

// Removes, once per directory and process, the temporaries of writers that
// were killed between creating and renaming them.
void removeLeftoversOfDeadWriters(const std::string& directory)
{
    static std::mutex sweptMutex;
    static std::set<std::string> swept;
    {
        std::lock_guard lock(sweptMutex);
        if (!swept.insert(directory).second)
            return;
    }
    DIR* listing = ::opendir(directory.c_str());
    if (!listing)
        return;
    const pid_t self = ::getpid();
    while (const dirent* item = ::readdir(listing)) {
        const auto writer = writerOfTemporary(item->d_name);
        if (writer && *writer != self && processIsGone(*writer))
            ::unlinkat(::dirfd(listing), item->d_name, 0);
    }
    ::closedir(listing);
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
    const auto target = followLinks(path);
    if (!target) {
        describe(failureReason, ELOOP);
        return FileWriteResult::CannotCreate;
    }
    struct stat previous { };
    const bool exists = ::stat(target->c_str(), &previous) == 0;
    if (exists && S_ISREG(previous.st_mode) && (previous.st_mode & kAnyWriteBit) == 0) {
        if (failureReason)
            *failureReason = "the file is read-only";
        return FileWriteResult::ReadOnly;
    }
    const std::string directory = directoryOfPath(*target);
    removeLeftoversOfDeadWriters(directory);
    std::string temporary =
        directory + "/" + std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        describe(failureReason, errno);
        return FileWriteResult::CannotCreate;
    }
    int errorNumber = 0;
    if (::fchmod(descriptor, replacementMode(exists ? &previous : nullptr)) != 0) {
        errorNumber = errno;
        ::close(descriptor);
    } else {
        errorNumber = writeFlushAndClose(descriptor, content, ::fsync);
    }
    if (errorNumber == 0 && ::rename(temporary.c_str(), target->c_str()) != 0)
        errorNumber = errno;
    if (errorNumber != 0) {
        ::unlink(temporary.c_str());
        describe(failureReason, errorNumber);
        return FileWriteResult::WriteFailed;
    }
    return FileWriteResult::Written;
}

FileWriteResult appendFileContent(
    const std::string& path, std::string_view content, std::string* failureReason)
{
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        describe(failureReason, errno);
        return FileWriteResult::CannotCreate;
    }
    if (const int errorNumber = writeFlushAndClose(descriptor, content, ::fdatasync)) {
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
    // Read through a small buffer of its own: sizing content for a whole
    // chunk ahead would clear that much memory for every small file.
    char chunk[kReadChunkBytes];
    while (content.size() < maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes - content.size());
        const ssize_t got = ::read(descriptor, chunk, want);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result = FileReadResult::ReadFailed;
            break;
        }
        if (got == 0)
            break;
        content.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return result;
}

} // namespace lt
