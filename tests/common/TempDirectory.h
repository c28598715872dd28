#pragma once
// A fresh directory for one test, removed afterwards; and the identity of a
// file, to tell a file replaced from one changed in place.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace lt::testing {

class TempDirectory {
public:
    TempDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ltcore-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            dir = pattern;
    }
    ~TempDirectory()
    {
        std::error_code ignored;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out << content;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

private:
    std::string dir;
};

// The file's inode number; 0 when there is no file.
inline ino_t inodeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

} // namespace lt::testing
