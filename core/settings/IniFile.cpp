#include "core/settings/IniFile.h"

#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"

namespace lt {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A file saved by an editor may start with a byte order mark; a line is
// judged without it.
std::string_view withoutByteOrderMark(std::string_view line)
{
    if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        line.remove_prefix(kByteOrderMark.size());
    return line;
}

// The section name of a "[Name]" line, or nothing.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(withoutByteOrderMark(line));
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

bool isComment(std::string_view line)
{
    line = trim(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// Key and value of a "Key=Value" line.
bool splitEntry(std::string_view line, std::string_view& key, std::string_view& value)
{
    if (isComment(line))
        return false;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return !key.empty();
}

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Line breaks inside a value would start new lines (and keys) in the file.
std::string singleLine(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c == '\r' || c == '\n')
            c = ' ';
    return result;
}

// A name the reader finds again: not empty, on one line, without the blanks
// that reading trims from either end.
bool isReadableName(std::string_view name)
{
    return !name.empty() && name.find_first_of("\r\n") == std::string_view::npos &&
        trim(name).size() == name.size();
}

// "]" would end the "[Name]" header early.
bool isReadableSectionName(std::string_view section)
{
    return isReadableName(section) && section.find(']') == std::string_view::npos;
}

// "=" would split the key; a leading ";" or "#" makes the line a comment and
// a leading "[" may make it a section header, also behind a byte order mark
// and blanks.
bool isReadableKeyName(std::string_view key)
{
    return isReadableName(key) && key.find('=') == std::string_view::npos &&
        key.find_first_of(";#[") != 0 && trim(withoutByteOrderMark(key)).find('[') != 0;
}

} // namespace

IniFile::IniFile(std::string path) : filePath(std::move(path))
{
}

void IniFile::setWriteFailureHandler(WriteFailureHandler handler)
{
    std::lock_guard lock(mutex);
    onWriteFailure = std::move(handler);
}

IniFile::FileStamp IniFile::stampOnDisk() const
{
    FileStamp stamp;
    struct stat info { };
    if (::stat(filePath.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.size = info.st_size;
        stamp.modifiedNs =
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
        stamp.inode = info.st_ino;
    }
    return stamp;
}

void IniFile::refreshLocked() const
{
    if (unsavedChanges)
        return; // memory holds values the disk lacks: they stay in use
    const FileStamp stamp = stampOnDisk();
    if (loadedOnce && stamp == loadedStamp)
        return;
    loadedOnce = true;
    loadedStamp = stamp;
    lines.clear();
    unreadable = false;
    diskHoldsLines = false;
    if (!stamp.exists)
        return;
    if (static_cast<unsigned long long>(stamp.size) > kMaxFileBytes) {
        unreadable = true;
        return;
    }
    // One byte more than the cap tells a file that grew past it since the stat.
    std::string content;
    if (readFileHead(filePath, kMaxFileBytes + 1, content) != FileReadResult::Read ||
        content.size() > kMaxFileBytes) {
        unreadable = true;
        return;
    }
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        std::size_t stop = end == std::string::npos ? content.size() : end;
        std::string line = content.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    diskHoldsLines = joinedLocked() == content;
}

std::size_t IniFile::findSectionLocked(std::string_view section) const
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return std::string::npos;
}

std::size_t IniFile::sectionEndLocked(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines.size() && !sectionName(lines[i]))
        ++i;
    return i;
}

std::optional<std::string> IniFile::getString(std::string_view section, std::string_view key) const
{
    std::lock_guard lock(mutex);
    refreshLocked();
    std::size_t header = findSectionLocked(section);
    if (header == std::string::npos)
        return std::nullopt;
    std::size_t end = sectionEndLocked(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view lineKey, value;
        if (splitEntry(lines[i], lineKey, value) && sameName(lineKey, key))
            return std::string(unquote(value));
    }
    return std::nullopt;
}

std::string IniFile::getString(std::string_view section, std::string_view key,
    std::string_view defaultValue, std::size_t maxLength) const
{
    std::string value = getString(section, key).value_or(std::string(defaultValue));
    if (value.size() > maxLength)
        value.resize(maxLength);
    return value;
}

int IniFile::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    auto text = getString(section, key);
    if (!text)
        return defaultValue;
    return parseInteger(*text).value_or(defaultValue);
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!isReadableSectionName(section) || !isReadableKeyName(key))
        return false;
    return changeSection(section, [&](std::size_t header) {
        std::size_t end = sectionEndLocked(header);
        for (std::size_t i = header + 1; i < end; ++i) {
            std::string_view lineKey, oldValue;
            if (splitEntry(lines[i], lineKey, oldValue) && sameName(lineKey, key)) {
                std::string entry = std::string(lineKey) + "=" + singleLine(value);
                if (entry == lines[i])
                    return false;
                lines[i] = std::move(entry);
                return true;
            }
        }
        // After the section's last entry, before blank lines that separate it from the next.
        std::size_t insertAt = end;
        while (insertAt > header + 1 && trim(lines[insertAt - 1]).empty())
            --insertAt;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
            std::string(key) + "=" + singleLine(value));
        return true;
    });
}

bool IniFile::writeSection(std::string_view section, const std::vector<std::string>& sectionLines)
{
    if (!isReadableSectionName(section))
        return false;
    return changeSection(section, [&](std::size_t header) {
        const auto first = lines.begin() + static_cast<std::ptrdiff_t>(header + 1);
        const auto last = lines.begin() + static_cast<std::ptrdiff_t>(sectionEndLocked(header));
        std::vector<std::string> cleaned;
        for (const std::string& line : sectionLines)
            cleaned.push_back(singleLine(line));
        if (std::equal(first, last, cleaned.begin(), cleaned.end()))
            return false;
        lines.insert(lines.erase(first, last), cleaned.begin(), cleaned.end());
        return true;
    });
}

bool IniFile::changeSection(
    std::string_view section, const std::function<bool(std::size_t header)>& change)
{
    std::unique_lock lock(mutex);
    refreshLocked();
    std::size_t header = findSectionLocked(section);
    bool changed = false;
    if (header == std::string::npos) {
        if (!lines.empty() && !trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        header = lines.size() - 1;
        changed = true;
    }
    changed = change(header) || changed;
    // A write of what the file already holds, byte for byte, leaves it
    // alone: a program start that reads back every setting costs no
    // rewrite (and no flush to the disk) per key.
    if (!changed && diskHoldsLines && !unsavedChanges)
        return true;
    unsavedChanges = true;
    if (holds > 0)
        return true;
    return persistOrReport(lock);
}

bool IniFile::persistOrReport(std::unique_lock<std::mutex>& lock)
{
    std::string failure;
    if (persistLocked(failure))
        return true;
    const WriteFailureHandler handler = onWriteFailure;
    // Outside the lock: the handler may well read the settings again.
    lock.unlock();
    if (handler)
        handler(filePath, failure);
    return false;
}

IniFile::WriteHold::WriteHold(IniFile& held) : file(&held)
{
    std::lock_guard lock(file->mutex);
    ++file->holds;
}

IniFile::WriteHold::~WriteHold()
{
    if (file)
        file->releaseHold();
}

void IniFile::releaseHold()
{
    std::unique_lock lock(mutex);
    if (--holds == 0 && unsavedChanges)
        persistOrReport(lock);
}

std::string IniFile::text() const
{
    std::lock_guard lock(mutex);
    refreshLocked();
    return joinedLocked();
}

std::string IniFile::joinedLocked() const
{
    std::string content;
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    return content;
}

bool IniFile::persistLocked(std::string& failure)
{
    if (unreadable) {
        // Replacing a file we could not read would lose its other settings.
        failure = "the existing file cannot be read";
        return false;
    }
    if (replaceFileContent(filePath, joinedLocked(), &failure) != FileWriteResult::Written)
        return false;
    unsavedChanges = false;
    // The file now holds exactly the lines in memory: only its stamp is new.
    loadedStamp = stampOnDisk();
    loadedOnce = loadedStamp.exists; // else read again: someone removed it meanwhile
    diskHoldsLines = loadedStamp.exists;
    return true;
}

std::string IniFile::locate(const std::string& dir, const std::string& name)
{
    std::string exact = dir + "/" + name;
    struct stat info { };
    if (::stat(exact.c_str(), &info) == 0)
        return exact;
    if (DIR* directory = ::opendir(dir.c_str())) {
        std::string found;
        while (dirent* item = ::readdir(directory)) {
            if (sameName(item->d_name, name)) {
                found = dir + "/" + item->d_name;
                break;
            }
        }
        ::closedir(directory);
        if (!found.empty())
            return found;
    }
    return exact;
}

} // namespace lt
