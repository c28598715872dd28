#pragma once
// Reading a small file whole, and replacing a file so that a failed save
// never destroys the previous version: the new content goes to a temporary
// file in the same directory, is flushed to the disk, and is then renamed
// over the target. The file on disk is therefore always either the old or
// the new one. Used by the settings files and by the text files of the
// colour metrics page alike.
//
// A path that is a symbolic link is written through the link: the file it
// points at is replaced and the link stays. A file the user made read-only
// (no write permission for anyone) is not replaced. Temporary files that a
// killed writer left behind are removed by the first write of a later
// process into the same directory.
#include <cstddef>
#include <string>
#include <string_view>

namespace lt {

// The directory part of a path: "." when there is none, "/" for the root.
std::string directoryOfPath(const std::string& path);

enum class FileWriteResult {
    Written,
    CannotCreate, // the directory is missing or not writable, or the name is empty
    WriteFailed, // the disk filled up or the rename failed; the old file is intact
    ReadOnly, // the file exists and is write-protected; it was left as it is
};

// Replaces the file at path by content. A file that already exists keeps its
// permissions; a new one gets the usual ones (subject to the umask). On
// failure, *failureReason (when given) receives the system's description.
FileWriteResult replaceFileContent(
    const std::string& path, std::string_view content, std::string* failureReason = nullptr);

// Adds content at the end of the file at path (made when missing) and
// flushes it to the disk. A failure part way may leave the start of content
// at the end of the file.
FileWriteResult appendFileContent(
    const std::string& path, std::string_view content, std::string* failureReason = nullptr);

enum class FileReadResult {
    Read,
    CannotOpen, // no such file, or not readable
    ReadFailed, // an I/O error part way; the bytes read so far are kept
};

// Reads at most maxBytes of the file into content (a longer file is cut).
FileReadResult readFileHead(const std::string& path, std::size_t maxBytes, std::string& content);

} // namespace lt
