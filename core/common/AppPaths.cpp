#include "core/common/AppPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lt {
namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool isDirectory(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

} // namespace

std::string homeDirectory()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

std::string configDirectory()
{
    std::string dir = environment("LTRAKW_CONFIG_DIR");
    if (!dir.empty())
        return dir;
    dir = environment("XDG_CONFIG_HOME");
    if (!dir.empty())
        return joinPath(dir, "ltrakw");
    return joinPath(homeDirectory(), ".config/ltrakw");
}

std::string dataDirectory()
{
    std::string dir = environment("LTRAKW_DATA_DIR");
    if (!dir.empty())
        return dir;
    if (isDirectory(LTRAKW_INSTALL_DATADIR))
        return LTRAKW_INSTALL_DATADIR;
    return LTRAKW_SOURCE_DATADIR;
}

std::string resolveConfigPath(const std::string& fileName)
{
    if (!fileName.empty() && fileName.front() == '/')
        return fileName;
    return joinPath(configDirectory(), fileName);
}

std::string dataFile(const std::string& fileName)
{
    return joinPath(dataDirectory(), fileName);
}

std::string homeDefaultPath(const std::string& fileName)
{
    // Keep only the last component of a Windows path ("C:\TMP\name" -> "name").
    std::string::size_type cut = fileName.find_last_of("\\/:");
    std::string base = cut == std::string::npos ? fileName : fileName.substr(cut + 1);
    return joinPath(homeDirectory(), base);
}

bool ensureConfigDirectory()
{
    std::string dir = configDirectory();
    if (isDirectory(dir))
        return true;
    for (std::string::size_type pos = 1; pos <= dir.size(); ++pos) {
        if (pos == dir.size() || dir[pos] == '/') {
            std::string part = dir.substr(0, pos);
            if (!isDirectory(part) && ::mkdir(part.c_str(), 0755) != 0 && !isDirectory(part))
                return false;
        }
    }
    return isDirectory(dir);
}

} // namespace lt
