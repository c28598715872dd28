#pragma once
// Puts the process under a German locale, whose decimal point is a comma,
// as a German desktop does once the toolkit has taken the locale from the
// environment. When the system has no such locale it is generated with
// localedef into a private directory. The C locale returns afterwards.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace lt::testing {

class CommaLocale {
public:
    CommaLocale()
    {
        if (tryGerman())
            return;
        std::string dir = (std::filesystem::temp_directory_path() / "ltcore-locales").string();
        std::filesystem::create_directories(dir);
        std::string command =
            "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (!std::filesystem::exists(dir + "/de_DE.UTF-8"))
            (void)std::system(command.c_str());
        ::setenv("LOCPATH", dir.c_str(), 1);
        if (!tryGerman())
            reason = "no comma-decimal locale: de_DE.UTF-8 is not installed and localedef could "
                     "not make it";
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return reason.empty(); }
    std::string reason;

private:
    static bool tryGerman()
    {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            return false;
        return std::string(std::localeconv()->decimal_point) == ",";
    }
};

} // namespace lt::testing
