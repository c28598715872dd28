#pragma once
// The operator's words for a failed exchange with the instrument, with the
// library's status code behind them: "No answer from the instrument on
// COM1 (10021)". The status line of the main window shows them.
#include <string>

namespace lt {

// status: a library status code (0 is no failure and gives ""); portNumber:
// the COM number the exchange used. A measurement adds 100, 200, 300 or 400
// to the library's code to name its fetch (measurementCycle): the words come
// from the library's code, the number shown is status as it stands.
std::string failureText(unsigned long status, int portNumber, bool measurementCycle = false);

} // namespace lt
