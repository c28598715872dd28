#pragma once
// One initialisation file with the semantics of the Windows profile calls:
// "[Section]" headers and "Key=Value" lines, section and key names compared
// without regard to case, the first of duplicate sections or keys wins,
// lines it does not understand (comments, garbage) are kept as they are,
// LF and CR LF both read. Writes keep every other line untouched and
// replace the file in one step (temporary file in the same directory, then
// rename), so the file on disk is always either the old or the new one.
// A write that would leave the file's bytes as they are does not touch it.
//
// The parsed lines are kept in memory. A read reloads them when the file on
// disk has changed since, so a second IniFile on the same path (or an editor)
// is seen. When a write cannot reach the disk the value is still kept in
// memory and later reads return it; the file is then no longer reloaded so
// that the values in use are not lost.
//
// Safe to use from several threads.
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lt {

class IniFile {
public:
    // Files larger than this are not read (treated as unreadable).
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    // Called with a description each time a write fails to reach the disk.
    using WriteFailureHandler =
        std::function<void(const std::string& path, const std::string& reason)>;

    explicit IniFile(std::string path);

    const std::string& path() const { return filePath; }

    // The value of key in section with blanks around it removed (and one pair
    // of enclosing quotes), or nothing when the key is missing or the file
    // cannot be read.
    std::optional<std::string> getString(std::string_view section, std::string_view key) const;

    // getString with a default, cut to at most maxLength characters as a
    // fixed read buffer of maxLength + 1 bytes would.
    std::string getString(std::string_view section, std::string_view key,
        std::string_view defaultValue, std::size_t maxLength) const;

    // The value as a signed 32-bit decimal number; the default when the key
    // is missing or does not start with a number.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets key in section (created at the end when missing). False when the
    // file could not be written; the value is kept in memory anyway.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the whole content of section by lines ("Key=Value" texts).
    bool writeSection(std::string_view section, const std::vector<std::string>& lines);

    void setWriteFailureHandler(WriteFailureHandler handler);

    // While a hold lasts, writes change the lines in memory only (reads see
    // them, and a write reports success unless its names are refused). When
    // the last hold ends the file is replaced once, and a failure is reported
    // then. For a burst of writes such as a program start filling in every
    // missing setting: one replacement (and one flush to the disk) instead of
    // one per key.
    class WriteHold {
    public:
        explicit WriteHold(IniFile& file);
        ~WriteHold();
        WriteHold(WriteHold&& other) noexcept : file(std::exchange(other.file, nullptr)) { }
        WriteHold(const WriteHold&) = delete;
        WriteHold& operator=(const WriteHold&) = delete;
        WriteHold& operator=(WriteHold&&) = delete;

    private:
        IniFile* file;
    };
    [[nodiscard]] WriteHold holdWrites() { return WriteHold(*this); }

    // The file's text as it would be written now (CR LF line ends).
    std::string text() const;

    // In dir, the file whose name equals name without regard to case: the
    // exact spelling first, else any other spelling found there, else
    // dir/name (which need not exist).
    static std::string locate(const std::string& dir, const std::string& name);

private:
    struct FileStamp {
        bool exists = false;
        long long size = 0;
        long long modifiedNs = 0;
        unsigned long long inode = 0;
        bool operator==(const FileStamp&) const = default;
    };

    FileStamp stampOnDisk() const;
    void refreshLocked() const;
    // Finds section (appending it when missing), lets change edit the lines
    // with the header's index (it tells whether it changed any), then writes
    // the file unless it already holds the lines, and reports a failure.
    bool changeSection(
        std::string_view section, const std::function<bool(std::size_t header)>& change);
    bool persistLocked(std::string& failure);
    // Writes the lines to the disk; on failure lets go of the lock and
    // calls the failure handler.
    bool persistOrReport(std::unique_lock<std::mutex>& lock);
    void releaseHold();
    std::string joinedLocked() const;
    // Index of the section header line, or npos.
    std::size_t findSectionLocked(std::string_view section) const;
    // One past the last line belonging to the section starting at header.
    std::size_t sectionEndLocked(std::size_t header) const;

    std::string filePath;
    mutable std::mutex mutex;
    mutable std::vector<std::string> lines; // without line ends
    mutable FileStamp loadedStamp;
    mutable bool loadedOnce = false;
    mutable bool unreadable = false; // exists but could not be read: never replaced
    mutable bool diskHoldsLines = false; // the file is byte for byte what lines would write
    bool unsavedChanges = false; // memory holds values the disk lacks
    int holds = 0; // writes reach the disk only when this is 0
    WriteFailureHandler onWriteFailure;
};

} // namespace lt
