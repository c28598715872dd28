#pragma once
// A fresh directory for one test, removed afterwards.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

} // namespace lt::testing
