#pragma once
// A test fixture that fails a test which leaves a descriptor open. The
// instrument object does not close its port when it is destroyed (the host
// closes it), so a test that forgets to would keep a pseudo-terminal open
// for the rest of the run, and a later open of the same line would find it
// busy.

#include <dirent.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace lt::test {

// The process's open descriptors and what each one refers to.
inline std::map<int, std::string> openDescriptors()
{
    std::map<int, std::string> open;
    DIR* directory = opendir("/proc/self/fd");
    if (!directory)
        return open;
    const int own = dirfd(directory);
    while (const dirent* entry = readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        const int fd = std::atoi(entry->d_name);
        if (fd == own)
            continue;
        char target[256] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        open[fd] =
            length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string("?");
    }
    closedir(directory);
    return open;
}

// The count is taken before the fixture's members exist and compared after
// they are gone, so descriptors of the scripted instruments themselves do
// not count; only what the test left behind does.
template <typename Base = ::testing::Test>
class DescriptorChecked : public Base {
protected:
    DescriptorChecked() : m_openBefore(openDescriptors()) { }
    ~DescriptorChecked() override
    {
        for (const auto& [fd, target] : openDescriptors())
            if (m_openBefore.count(fd) == 0)
                ADD_FAILURE() << "descriptor " << fd << " (" << target << ") left open by the test";
    }

private:
    std::map<int, std::string> m_openBefore;
};

} // namespace lt::test
