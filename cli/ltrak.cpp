// ltrak: the workstation's command line, for scripts and for machines
// without a display. One more front end on the program's core.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace {

const char* const kHelp = R"(Usage: ltrak COMMAND [OPTIONS]
The LtrakW colour-measurement workstation on the command line.

Commands:
  measure          measure samples and write spectrum, XYZ, L*a*b*, densities
  chart compare    compare two measured charts (CGATS files)
  chart convert    write a chart file as CGATS with L*a*b*
  firmware check   check a firmware file (Motorola S-records)
  firmware download  write a firmware file into a Lumatrak's flash

Run "ltrak COMMAND --help" for the options of a command.

Data goes to standard output, errors to standard error. Exit status:
0 success, 1 a measurement or a file failed, 2 wrong command line.
)";

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty())
        return std::fputs(kHelp, stderr), ltrak::kExitUsage;
    const std::string command = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, stdout);
        return ltrak::kExitSuccess;
    }
    if (command == "--version") {
        std::printf("ltrak %s\n", LTRAKW_VERSION);
        return ltrak::kExitSuccess;
    }
    if (command == "measure")
        return ltrak::measureCommand(rest);
    if (command == "chart")
        return ltrak::chartCommand(rest);
    if (command == "firmware")
        return ltrak::firmwareCommand(rest);
    return ltrak::fail(ltrak::kExitUsage, "unknown command \"" + command + "\" (see ltrak --help)");
}
