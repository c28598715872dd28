#pragma once
// The one QApplication of a widget test binary, made on first use, with
// numbers in the C locale as the program's files and wire text expect.
#include <clocale>

#include <QApplication>

namespace lt::testing {

inline QApplication& testApplication(const char* binaryName)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(binaryName), nullptr};
    static QApplication* app = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return *app;
}

} // namespace lt::testing
