#pragma once
// Reading a small text file whole, and replacing a file so that a failed
// save never destroys the previous version: the new content goes to a
// temporary file in the same directory, which is then renamed over the
// target.
#include <cstddef>
#include <string>
#include <string_view>

namespace lt {

// The directory part of a path: "." when there is none, "/" for the root.
std::string directoryOfPath(const std::string& path);

enum class FileWriteResult {
    Written,
    CannotCreate, // the directory is missing or not writable, or the name is empty
    WriteFailed,  // the disk filled up or the rename failed; the old file is intact
};

FileWriteResult replaceFileContent(const std::string& path, std::string_view content);

enum class FileReadResult {
    Read,
    CannotOpen, // no such file, or not readable
    ReadFailed, // an I/O error part way; the bytes read so far are kept
};

// Reads at most maxBytes of the file into content (a longer file is cut).
FileReadResult readFileHead(const std::string& path, std::size_t maxBytes, std::string& content);

} // namespace lt
