#pragma once
// Prints a quality-control set: its text with the columns at fixed
// positions, on as many pages as it needs, ending with the summary of the log.
#include <string>
#include <vector>

class QPrinter;

// Prints text and then closingLines on printer; false when the printer
// could not be started.
bool printQcSet(
    QPrinter& printer, const std::string& text, const std::vector<std::string>& closingLines);
